"""Lays out a disc folder for the launcher a brand file describes.

Usage: python3 -m tools.sample_disc.make_disc OUT_DIR EXE_DIR BRAND.toml [--strict]

EXE_DIR is a Windows build folder (build/win64 or build/win32): it holds
Startboard.exe, built from that brand, and tools/sample_disc/standin_setup.exe.
The launcher goes in under the brand's exe name, beside the brand's own disc
files (its [disc] files folder) when it has them. Every file a zone or link
names must be on the disc, found as Windows finds it, without regard to case:
one that is not gets a stand-in (in the folder as the disc spells it) and a
warning naming the zone (an error with --strict). Names in the disc folder
that differ only by case are an error, naming the files and the keys.
OUT_DIR is a build output: it is removed first, so that no file of another
brand's disc, nor of a failed run, stays behind.
"""
import os
import shutil
import sys

try:
    from tools.brand import BrandError, load
except ModuleNotFoundError as missing:
    sys.exit("make_disc: Python module %s is missing: install python3-pil (tools/ensure_deps.sh publisher)"
             % missing.name)
from tools.brand import footprint  # noqa: E402
from tools.cd import disc_names  # noqa: E402

STANDIN = os.path.join("tools", "sample_disc", "standin_setup.exe")

PROBE_PAGE = """<!DOCTYPE html>
<html lang="en">
<head><meta charset="utf-8"><title>%s</title></head>
<body><p>This page only tells the launcher which program shows web pages.</p></body>
</html>
"""

STANDIN_TEXT = """%s

A stand-in written by make disc: put the real file in the brand's disc files
folder before the disc is burnt.
"""


def pdf_text(text):
    """A PDF literal string: backslash and parentheses escaped."""
    return "(" + text.replace("\\", "\\\\").replace("(", "\\(").replace(")", "\\)") + ")"


def standin_pdf(title, author, lines):
    """A one-page PDF with a title and a few lines of Helvetica."""
    content = ["BT", "/F1 24 Tf", "72 700 Td", pdf_text(title) + " Tj", "/F2 12 Tf", "0 -40 Td"]
    for line in lines:
        content += [pdf_text(line) + " Tj", "0 -18 Td"]
    stream = ("\n".join(content + ["ET"]) + "\n").encode("ascii")
    objects = [
        b"<< /Type /Catalog /Pages 2 0 R >>",
        b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792]"
        b" /Resources << /Font << /F1 4 0 R /F2 5 0 R >> >> /Contents 6 0 R >>",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold >>",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
        b"<< /Length %d >>\nstream\n" % len(stream) + stream + b"endstream",
        ("<< /Title %s /Author %s >>" % (pdf_text(title), pdf_text(author))).encode("ascii"),
    ]
    # The second line's high bytes mark the file as binary for transfer tools.
    out = bytearray(b"%PDF-1.4\n%\xe2\xe3\xcf\xd3\n")
    offsets = []
    for number, body in enumerate(objects, start=1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % number + body + b"\nendobj\n"
    xref = len(out)
    # Each cross-reference entry is exactly 20 bytes, ending in space + LF.
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objects) + 1)
    out += b"".join(b"%010d 00000 n \n" % offset for offset in offsets)
    out += b"trailer\n<< /Size %d /Root 1 0 R /Info 7 0 R >>\n" % (len(objects) + 1)
    out += b"startxref\n%d\n%%%%EOF\n" % xref
    return bytes(out)


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("utf-8")


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def has_links(brand):
    return any(z.action == "web" for z in brand.zones) or any(
        c.url for c in (brand.about.controls if brand.about else ()))


def named_files(brand):
    """(disc path, who names it) for every file a zone or link opens or starts,
    the probe page the brand names (the build's own is not the brand's), and
    every folder an explore zone opens (its path ending in \\)."""
    files = []
    for zone in brand.zones:
        who = "zone %s (%s)" % (zone.name, zone.action)
        for path in (zone.document, zone.program, zone.show_first):
            if path:
                files.append((path, who))
        if zone.folder:
            files.append((zone.folder + "\\", who))
    if has_links(brand) and brand.disc.own_probe_page:
        files.append((brand.disc.probe_page, "the web links (disc.probe_page)"))
    return files


def standin(path, brand, standin_exe):
    """A small file of the right type for a disc path."""
    identity = brand.identity
    extension = os.path.splitext(path)[1].lower()
    if extension == ".exe":
        with open(standin_exe, "rb") as f:
            return f.read()
    if extension == ".pdf":
        return standin_pdf(identity.product, identity.company,
                           ["A stand-in for " + path.replace("\\", "/") + ", written by make disc.",
                            "Put the real file in the brand's disc files folder."])
    if extension in (".htm", ".html"):
        return crlf(PROBE_PAGE % identity.product)
    return crlf(STANDIN_TEXT % identity.product)


def locate(index, path):
    """Where a brand's disc path (parts joined by \\) lands in the disc folder,
    spelt as the folder spells what it has: (relative path with /, what is
    there: "file", "folder" or None). Windows ignores case, so docs\\x.txt
    finds Docs/X.TXT. Raises ValueError when a file stands where the path
    needs a folder."""
    parts = path.split("\\")
    spelt: list[str] = []
    for depth, part in enumerate(parts):
        here = index.get(disc_names.fold("/".join(spelt + [part])))
        if here is None:
            return "/".join(spelt + parts[depth:]), None
        spelt = here[0].split("/")
        if here[1] == "file" and depth < len(parts) - 1:
            raise ValueError("%s is a file in the disc folder, not a folder" % here[0])
    return "/".join(spelt), here[1]


def make_disc(out_dir, exe_dir, brand_file, strict=False):
    """Writes the disc into out_dir and returns its warnings; raises
    FileNotFoundError for a missing build output, ValueError for a disc
    folder Windows cannot read as it is, and under --strict."""
    # Whatever happens next, no disc of an earlier run stays behind.
    shutil.rmtree(out_dir, ignore_errors=True)
    brand = load(brand_file)
    launcher = os.path.join(exe_dir, "Startboard.exe")
    standin_exe = os.path.join(exe_dir, STANDIN)
    for needed in (launcher, standin_exe):
        if not os.path.isfile(needed):
            raise FileNotFoundError("not built: " + needed)
    own = brand.disc.files
    own = os.path.join(os.path.dirname(os.path.abspath(brand_file)), own) if own else None
    if own and not os.path.isdir(own):
        raise FileNotFoundError("%s: disc.files names no folder: %s" % (brand_file, own))
    exe = brand.identity.exe
    tree = disc_names.walk(own) if own else []
    named = named_files(brand)
    errors = []
    for group in disc_names.clashes([path for path, _ in tree] + [exe]):
        if exe in group:
            others = [path for path in group if path != exe] or [exe]
            errors.append("%s holds %s, where the launcher goes (identity.exe = %s)" % (
                own, " and ".join(others), exe))
            continue
        folded = disc_names.fold(group[0])
        keys = sorted({"%s (%s)" % (who, path) for path, who in named
                       if (disc_names.fold(path.replace("\\", "/")) + "/").startswith(folded + "/")})
        errors.append("%s holds %s, which Windows takes for one name (it ignores case)%s" % (
            own, " and ".join(group), "; named by " + ", ".join(keys) if keys else ""))
    index = {disc_names.fold(path): (path, "folder" if is_folder else "file") for path, is_folder in tree}
    index[disc_names.fold(exe)] = (exe, "file")
    lacking: dict[str, str] = {}  # where each stand-in goes, by its fold: one for keys that differ only by case
    warnings = []
    where = "the brand has no disc files folder" if own is None else "it is not in %s" % own
    for path, who in named:
        folder = path.endswith("\\")
        path = path.rstrip("\\")
        try:
            spelt, found = locate(index, path)
        except ValueError as error:
            errors.append("%s names %s, but %s" % (who, path, error))
            continue
        if found == ("file" if folder else "folder"):
            errors.append("%s names %s, which is a %s in %s" % (who, path, found, own))
        elif found is None and folder:
            # An empty folder shows what Explorer opens; one note says what goes there.
            warnings.append("%s names the folder %s, and %s" % (who, path, where))
            lacking.setdefault(disc_names.fold(spelt + "/readme.txt"), spelt + "/readme.txt")
            index.setdefault(disc_names.fold(spelt), (spelt, "folder"))
        elif found is None:
            warnings.append("%s names %s, and %s" % (who, path, where))
            lacking.setdefault(disc_names.fold(spelt), spelt)
            # A later key then finds the stand-in's folders as spelt here.
            parts = spelt.split("/")
            for depth in range(1, len(parts) + 1):
                index.setdefault(disc_names.fold("/".join(parts[:depth])),
                                 ("/".join(parts[:depth]), "file" if depth == len(parts) else "folder"))
    probe = None  # where the build's own probe page goes, when the brand names none and has links
    if has_links(brand) and not brand.disc.own_probe_page:
        probe, found = locate(index, brand.disc.probe_page)
        if found == "folder":
            errors.append("%s holds a folder %s, where the launcher's probe page goes" % (own, probe))
        elif found == "file":
            probe = None  # the publisher's own page of that name serves
    if errors:
        raise ValueError("\n".join("make_disc: error: " + e for e in errors))
    if strict and warnings:
        raise ValueError("\n".join("make_disc: error: " + w for w in warnings))
    os.makedirs(out_dir)
    if own:
        shutil.copytree(own, out_dir, dirs_exist_ok=True)
    shutil.copyfile(launcher, os.path.join(out_dir, exe))
    footprint.show(brand, launcher)
    for spelt in lacking.values():
        write(os.path.join(out_dir, *spelt.split("/")), standin(spelt, brand, standin_exe))
    if probe:
        write(os.path.join(out_dir, *probe.split("/")), crlf(PROBE_PAGE % brand.identity.product))
    if own is None and warnings and not strict:
        # A brand with no disc files at all is a sample disc by design: one line.
        return ["the brand has no disc files folder ([disc] files): stand-ins take the place of the %d files "
                "its zones and links name: %s" % (len(lacking), ", ".join(sorted(lacking.values())))]
    return warnings


def main(argv):
    strict = "--strict" in argv
    argv = [a for a in argv if a != "--strict"]
    if len(argv) != 4:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    try:
        for warning in make_disc(argv[1], argv[2], argv[3], strict):
            print("make_disc: warning: %s%s (STRICT=1 makes this an error)" % (
                warning, "" if warning.startswith("the brand has no") else ": a stand-in takes its place"),
                  file=sys.stderr)
    except FileNotFoundError as error:
        print("make_disc: %s" % error, file=sys.stderr)
        return 1
    except (ValueError, BrandError) as error:
        print(error, file=sys.stderr)
        return 1
    print("disc in %s" % argv[1])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

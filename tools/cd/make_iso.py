"""Makes the CD image: ISO 9660 with Joliet and Rock Ridge names, DISC_DIR's
tree plus a generated autorun.inf that starts the brand's exe, read back with
a second reader (pycdlib) before it is kept.

    python3 -m tools.cd.make_iso DISC_DIR OUT_ISO [BRAND.toml]   (default: assets/brand.toml)

The label goes whole into autorun.inf's label=, which Explorer shows; the
Joliet volume id, which Windows shows wherever it reads the volume's own
label, holds its first 16 characters (a longer label is cut, with a warning);
the ISO volume id is the brand's volume_id. Same input, same bytes: all dates
come from SOURCE_DATE_EPOCH (default 2000-01-01) and xorriso writes folders
in sorted order. An earlier OUT_ISO is removed first, so a failed run leaves
no image.
"""
import io
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
try:
    import pycdlib

    from tools.brand import BrandError, load
except ModuleNotFoundError as missing:
    sys.exit("make_iso: Python module %s is missing: install %s (tools/ensure_deps.sh publisher)" % (
        missing.name, "python3-pycdlib" if missing.name == "pycdlib" else "python3-pil"))
from tools.brand import footprint  # noqa: E402
from tools.cd import disc_names  # noqa: E402

DEFAULT_BRAND = os.path.join(HERE, "..", "..", "assets", "brand.toml")
JOLIET_LABEL_BYTES = 32  # the volume id field: 16 UCS-2 characters, big-endian
JOLIET_LABEL_AT = 40  # its offset in the volume descriptor
JOLIET_ESCAPES = (b"%/@", b"%/C", b"%/E")  # UCS-2 levels 1 to 3: what marks the Joliet descriptor
SECTOR = 2048


class Failure(Exception):
    pass


def fail(message):
    raise Failure("make_iso: " + message)


def joliet_label(label):
    """The Joliet volume id field for the label, cut to whole characters that
    fit and padded with spaces, and the text it holds."""
    units = label.encode("utf-16-be")[:JOLIET_LABEL_BYTES]
    while True:
        try:
            shown = units.decode("utf-16-be")
            break
        except UnicodeDecodeError:  # half a surrogate pair at the cut
            units = units[:-2]
    return units + " ".encode("utf-16-be") * ((JOLIET_LABEL_BYTES - len(units)) // 2), shown


def autorun(exe, label):
    """autorun.inf: plain ASCII when it can be. Windows reads any other INI
    file in the machine's ANSI code page, unless it starts with a UTF-16LE
    byte-order mark: then it reads Unicode, the same on every machine."""
    text = "[autorun]\r\nopen=%s\r\nicon=%s,0\r\nlabel=%s\r\n" % (exe, exe, label)
    try:
        return text.encode("ascii")
    except UnicodeEncodeError:
        return b"\xff\xfe" + text.encode("utf-16-le")


def check_names(disc, tree):
    problems = []
    for path, _ in tree:
        problem = disc_names.joliet_problem(path.rpartition("/")[2])
        if problem:
            problems.append("make_iso: %s/%s: %s" % (disc, path, problem))
    for group in disc_names.clashes([path for path, _ in tree]):
        problems.append("make_iso: names that differ only by case: %s" % ", ".join(group))
    if problems:
        raise Failure("\n".join(problems + ["make_iso: %s: names that do not fit on the disc" % disc]))


def joliet_descriptor(image):
    """The byte offset of the Joliet volume descriptor."""
    with open(image, "rb") as f:
        for sector in range(16, 32):
            f.seek(sector * SECTOR)
            head = f.read(91)
            if head[1:6] != b"CD001" or head[0] == 255:
                break
            if head[0] == 2 and head[88:91] in JOLIET_ESCAPES:
                return sector * SECTOR
    fail("no Joliet descriptor in the image")


def joliet_tree(iso):
    """(path, size or None for a folder) for every Joliet name in the image."""
    found: set[tuple[str, int | None]] = set()
    for root, dirs, files in iso.walk(joliet_path="/"):
        base = "" if root == "/" else root
        found.update((base + "/" + name, None) for name in dirs)
        for name in files:
            record = iso.get_record(joliet_path=base + "/" + name)
            found.add((base + "/" + name, record.get_data_length()))
    return found


def verify(image, stage, originals, field, volume_id):
    """Reads the image as Windows would, with a reader other than the writer:
    the Joliet descriptor whole, every name of the disc under Joliet, and the
    files named in `originals` (name at the root: the file it must equal)
    byte for byte."""
    iso = pycdlib.PyCdlib()
    try:
        iso.open(image)
    except pycdlib.pycdlibexception.PyCdlibException as error:
        fail("the image does not read back (%s)" % error)
    try:
        if not iso.has_joliet() or iso.joliet_vd.escape_sequences[:3] not in JOLIET_ESCAPES:
            fail("the image reads back without Joliet names")
        if iso.joliet_vd.volume_identifier != field:
            fail("the Joliet label reads back as %r" % iso.joliet_vd.volume_identifier.decode("utf-16-be"))
        if iso.pvd.volume_identifier.rstrip(b" ") != volume_id.encode("ascii"):
            fail("the ISO volume id reads back as %r" % iso.pvd.volume_identifier.decode("ascii").rstrip())
        expected = {("/" + path, None if folder else os.path.getsize(os.path.join(stage, path)))
                    for path, folder in disc_names.walk(stage)}
        found = joliet_tree(iso)
        if found != expected:
            wrong = sorted(path for path, _ in expected ^ found)
            fail("the image's Joliet names differ from the disc at %s" % ", ".join(wrong[:5]))
        for name, original in originals.items():
            data = io.BytesIO()
            iso.get_file_from_iso_fp(data, joliet_path="/" + name)
            with open(original, "rb") as f:
                if data.getvalue() != f.read():
                    fail("%s in the image differs from the disc's" % name)
    finally:
        iso.close()


def make_iso(disc, out, brand_file):
    brand = load(brand_file)
    exe, label = brand.identity.exe, brand.disc.label
    volume_id = brand.disc.volume_id
    if " " in exe:
        fail("%s: identity.exe %r has a space, and autorun.inf's open= would start %r: "
             "name the exe without spaces" % (brand_file, exe, exe.split(" ")[0]))
    epoch = os.environ.get("SOURCE_DATE_EPOCH", "946684800")
    if not epoch.isdigit():
        fail("SOURCE_DATE_EPOCH must be a number of seconds")
    if not os.path.isdir(disc):
        fail("%s: not a folder" % disc)
    if not os.path.isfile(os.path.join(disc, exe)):
        fail("%s: no %s at the root (autorun.inf opens it)" % (disc, exe))
    tree = disc_names.walk(disc)
    if any(disc_names.fold(path) == "AUTORUN.INF" for path, _ in tree):
        fail("%s: already has an autorun.inf; it is generated here" % disc)
    check_names(disc, tree)
    field, shown = joliet_label(label)
    if shown != label:
        print("make_iso: warning: %s: disc.label \"%s\" is longer than the 16 characters of the disc's own label: "
              "Windows shows \"%s\" for the drive where it reads that label (its Properties, dir), and the whole "
              "label in Explorer, from autorun.inf" % (brand_file, label, shown.rstrip()), file=sys.stderr)

    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    work = tempfile.mkdtemp()
    partial = "%s.tmp.%d" % (out, os.getpid())
    try:
        # A copy, never touching DISC_DIR; symbolic links become the files they name.
        stage = os.path.join(work, "disc")
        try:
            shutil.copytree(disc, stage)
        except (OSError, shutil.Error) as error:
            fail("%s: cannot copy the disc folder (%s)" % (disc, error))
        with open(os.path.join(stage, "autorun.inf"), "wb") as f:
            f.write(autorun(exe, label))
        # SOURCE_DATE_EPOCH fixes the volume dates and id; file dates are set apart.
        try:
            run = subprocess.run(["xorriso", "-as", "mkisofs", "-quiet", "-o", partial, "-V", volume_id, "-J", "-r",
                                  "--set_all_file_dates", "=" + epoch, stage],
                                 env=dict(os.environ, SOURCE_DATE_EPOCH=epoch), capture_output=True, text=True)
        except FileNotFoundError:
            fail("xorriso is missing: install xorriso (tools/ensure_deps.sh publisher)")
        if run.returncode != 0:
            sys.stderr.write(run.stdout + run.stderr)
            fail("xorriso failed")
        # xorriso copies the ISO volume id into the Joliet descriptor; the
        # label, in mixed case and any script, goes there instead.
        with open(partial, "r+b") as f:
            f.seek(joliet_descriptor(partial) + JOLIET_LABEL_AT)
            f.write(field)
        # The launcher on the disc must be the very file that was built.
        verify(partial, stage, {exe: os.path.join(disc, exe), "autorun.inf": os.path.join(stage, "autorun.inf")},
               field, volume_id)
        os.replace(partial, out)
    finally:
        shutil.rmtree(work, ignore_errors=True)
        if os.path.exists(partial):
            os.remove(partial)
    print("make_iso: %s (%d bytes)" % (out, os.path.getsize(out)))
    footprint.show(brand, os.path.join(disc, exe))


def main(argv):
    if len(argv) not in (3, 4):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    out = argv[2]
    if os.path.exists(out):
        os.remove(out)
    try:
        make_iso(argv[1], out, argv[3] if len(argv) == 4 else DEFAULT_BRAND)
    except (Failure, BrandError) as error:
        print(error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))

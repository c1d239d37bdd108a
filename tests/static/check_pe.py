#!/usr/bin/python3
"""Static checks of the launcher executable: format, imports, hardening
flags, version block, manifest and resources.

Usage: check_pe.py EXE [--pe32plus] [--resource-header src/app/resource.h]

Prints one line per check and finally "static: N passed, N failed"; exits 1
on any failure. Without --pe32plus the image must be a 32-bit (i386) PE32;
with it, an x86-64 PE32+ that also has HIGH_ENTROPY_VA.
"""
import argparse
import os
import re
import struct
import sys
import xml.etree.ElementTree as ElementTree

RT_CURSOR, RT_BITMAP, RT_ICON, RT_RCDATA = 1, 2, 3, 10
RT_GROUP_CURSOR, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 12, 14, 16, 24

ALLOWED_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll",
                "oleaut32.dll", "advapi32.dll", "msvcrt.dll", "comctl32.dll"}

DYNAMIC_BASE, NX_COMPAT, HIGH_ENTROPY_VA = 0x0040, 0x0100, 0x0020
SCN_EXECUTE, SCN_WRITE = 0x20000000, 0x80000000

VERSION_STRINGS = {
    "CompanyName": "Quillmere Software, Inc.",
    "FileVersion": "1.00",
    "InternalName": "Startboard",
    "OriginalFilename": "Startboard.exe",
    "ProductName": "Norvane 98 Startboard",
    "ProductVersion": "1.00",
}

SUPPORTED_OS = {  # Vista, 7, 8, 8.1, 10
    "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}


class PeError(Exception):
    pass


class Pe:
    """The parts of a PE image the checks read."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise PeError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        (self.machine, sections, self.timestamp, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        plus = self.magic == 0x20B
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", data, optional + 68)
        directories = optional + (112 if plus else 96)
        count = struct.unpack_from("<I", data, directories - 4)[0]
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(count)]
        self.sections = []
        for i in range(sections):
            fields = struct.unpack_from("<8sIIIIIIHHI", data, optional + optional_size + 40 * i)
            name = fields[0].rstrip(b"\0").decode("latin-1")
            self.sections.append({"name": name, "vsize": fields[1], "va": fields[2], "rawsize": fields[3],
                                  "raw": fields[4], "flags": fields[9]})

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def offset(self, rva):
        for section in self.sections:
            if section["va"] <= rva < section["va"] + max(section["vsize"], section["rawsize"]):
                return rva - section["va"] + section["raw"]
        raise PeError("RVA %#x lies in no section" % rva)

    def c_string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("latin-1")

    def imported_dlls(self):
        """Names from the import and delay-import directories."""
        names = []
        for index, size, name_field in ((1, 20, 12), (13, 32, 4)):
            rva = self.directory(index)[0]
            while rva:
                entry = self.data[self.offset(rva):self.offset(rva) + size]
                if entry == bytes(size):
                    break
                names.append(self.c_string(struct.unpack_from("<I", entry, name_field)[0]).lower())
                rva += size
        return names

    def resources(self):
        """{(type, id): [data bytes, one per language]} for the whole tree."""
        base_rva = self.directory(2)[0]
        found = {}
        if not base_rva:
            return found
        base = self.offset(base_rva)

        def entries(offset):
            named, ids = struct.unpack_from("<HH", self.data, base + offset + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, base + offset + 16 + 8 * i)
                key = ("name", name & 0x7FFFFFFF) if name & 0x80000000 else name
                yield key, target

        for type_id, type_target in entries(0):
            for name_id, name_target in entries(type_target & 0x7FFFFFFF):
                for _, leaf in entries(name_target & 0x7FFFFFFF):
                    data_rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(data_rva)
                    found.setdefault((type_id, name_id), []).append(self.data[start:start + size])
        return found


def version_strings(block):
    """The StringFileInfo tables of a VS_VERSIONINFO resource: {lang: {key: value}}."""

    def node(offset):
        length, value_length, kind = struct.unpack_from("<HHH", block, offset)
        key_end = offset + 6
        while block[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = block[offset + 6:key_end].decode("utf-16-le")
        value = (key_end + 2 + 3) & ~3
        children = value + (value_length * 2 if kind == 1 else value_length)
        return key, length, value, value_length, (children + 3) & ~3

    def children(offset):
        _, length, _, _, child = node(offset)
        while child < offset + length:
            yield child
            child = (child + node(child)[1] + 3) & ~3

    tables = {}
    for child in children(0):
        if node(child)[0] != "StringFileInfo":
            continue
        for table in children(child):
            strings = {}
            for string in children(table):
                key, _, value, value_length, _ = node(string)
                text = block[value:value + 2 * value_length].decode("utf-16-le")
                strings[key] = text.rstrip("\0")
            tables[node(table)[0]] = strings
    return tables


def resource_ids(header):
    """#define NAME number lines of the resource header."""
    with open(header, encoding="utf-8") as f:
        return {name: int(value) for name, value in re.findall(r"#define\s+(\w+)\s+(\d+)", f.read())}


# --- checks: each returns (ok, detail) ------------------------------------

def check_format(pe, plus):
    machine, magic = (0x8664, 0x20B) if plus else (0x14C, 0x10B)
    return (pe.machine, pe.magic) == (machine, magic), "machine %#x, optional header magic %#x" % (pe.machine, pe.magic)


def check_gui(pe, plus):
    return pe.subsystem == 2, "subsystem %d" % pe.subsystem


def check_imports(pe, plus):
    dlls = pe.imported_dlls()
    bad = [dll for dll in dlls if dll not in ALLOWED_DLLS]
    return bool(dlls) and not bad, "not allowed: %s" % ", ".join(bad) if bad else ", ".join(sorted(dlls))


def check_hardening(pe, plus):
    wanted = DYNAMIC_BASE | NX_COMPAT | (HIGH_ENTROPY_VA if plus else 0)
    return pe.dll_characteristics & wanted == wanted, "DllCharacteristics %#06x" % pe.dll_characteristics


def check_relocations(pe, plus):
    rva, size = pe.directory(5)
    return rva != 0 and size > 8, "base relocation directory of %d bytes" % size


def check_sections(pe, plus):
    bad = [s["name"] for s in pe.sections if s["flags"] & SCN_EXECUTE and s["flags"] & SCN_WRITE]
    return not bad, "writable and executable: %s" % ", ".join(bad) if bad else "%d sections" % len(pe.sections)


def check_timestamp(pe, plus):
    fixed = {0}
    if os.environ.get("SOURCE_DATE_EPOCH", "").isdigit():
        fixed.add(int(os.environ["SOURCE_DATE_EPOCH"]))
    stamps = [pe.timestamp]
    if pe.directory(2)[0]:
        stamps.append(struct.unpack_from("<I", pe.data, pe.offset(pe.directory(2)[0]) + 4)[0])
    return all(stamp in fixed for stamp in stamps), "time stamps %s" % stamps


def check_version(pe, plus):
    blocks = pe.resources().get((RT_VERSION, 1), [])
    if len(blocks) != 1:
        return False, "%d version resources" % len(blocks)
    tables = version_strings(blocks[0])
    strings = tables.get("040904B0", tables.get("040904b0"))
    if strings != VERSION_STRINGS:
        return False, "040904B0 holds %r (all tables: %s)" % (strings, sorted(tables))
    return True, "%d strings" % len(strings)


def check_manifest(pe, plus):
    blocks = pe.resources().get((RT_MANIFEST, 1), [])
    if len(blocks) != 1:
        return False, "%d manifests with id 1" % len(blocks)
    text = blocks[0].decode("utf-8-sig")
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        return False, "not well-formed XML: %s" % error
    elements = list(root.iter())

    def local(element):
        return element.tag.rsplit("}", 1)[-1]

    levels = [e.get("level") for e in elements if local(e) == "requestedExecutionLevel"]
    controls = [e.attrib for e in elements if local(e) == "assemblyIdentity"
                and e.get("name") == "Microsoft.Windows.Common-Controls"]
    systems = {e.get("Id", "").lower() for e in elements if local(e) == "supportedOS"}
    dpi = [local(e) for e in elements if local(e).lower() in ("dpiaware", "dpiawareness")]
    problems = []
    if levels != ["asInvoker"]:
        problems.append("execution level %s" % levels)
    if len(controls) != 1 or controls[0].get("version") != "6.0.0.0" or \
            controls[0].get("publicKeyToken") != "6595b64144ccf1df":
        problems.append("common controls dependency %s" % controls)
    if systems != SUPPORTED_OS:
        problems.append("supportedOS %s" % sorted(systems))
    if dpi:
        problems.append("declares %s" % dpi)
    return not problems, "; ".join(problems) or "asInvoker, Common-Controls 6.0.0.0, Vista..10, no DPI setting"


def icon_sizes(group):
    """(width, height, icon id) per entry of a GRPICONDIR."""
    count = struct.unpack_from("<H", group, 4)[0]
    sizes = []
    for i in range(count):
        width, height = group[6 + 14 * i], group[7 + 14 * i]
        icon_id = struct.unpack_from("<H", group, 6 + 14 * i + 12)[0]
        sizes.append((width or 256, height or 256, icon_id))
    return sizes


def make_resource_checks(ids):
    """Checks of the artwork resources named in the resource header."""

    def check_icon(pe, plus):
        resources = pe.resources()
        groups = resources.get((RT_GROUP_ICON, ids["IDI_APP"]), [])
        if len(groups) != 1:
            return False, "no icon group %d" % ids["IDI_APP"]
        entries = icon_sizes(groups[0])
        missing = [icon for _, _, icon in entries if (RT_ICON, icon) not in resources]
        sizes = {(w, h) for w, h, _ in entries}
        ok = {(16, 16), (32, 32)} <= sizes and not missing
        return ok, "sizes %s%s" % (sorted(sizes), ", missing images %s" % missing if missing else "")

    def check_cursor(pe, plus):
        resources = pe.resources()
        groups = resources.get((RT_GROUP_CURSOR, ids["IDC_HAND_CURSOR"]), [])
        images = [key for key in resources if key[0] == RT_CURSOR]
        return len(groups) == 1 and bool(images), "group %d: %d, cursor images: %d" % (
            ids["IDC_HAND_CURSOR"], len(groups), len(images))

    def check_bitmaps(pe, plus):
        resources = pe.resources()
        wanted = {name: value for name, value in ids.items() if name.startswith("IDB_")}
        problems = []
        for name, value in sorted(wanted.items()):
            blocks = resources.get((RT_BITMAP, value), [])
            if len(blocks) != 1 or struct.unpack_from("<I", blocks[0])[0] not in (40, 108, 124):
                problems.append(name)
        ok = bool(wanted) and not problems
        return ok, "bad or missing: %s" % problems if problems else "%s" % sorted(wanted)

    def check_jpeg(pe, plus):
        blocks = pe.resources().get((RT_RCDATA, ids["IDR_MAKER_LOGO"]), [])
        return len(blocks) == 1 and blocks[0][:3] == b"\xff\xd8\xff", "maker logo RCDATA %d" % ids["IDR_MAKER_LOGO"]

    return [("icon group with 16x16 and 32x32 images", check_icon),
            ("hand cursor resource", check_cursor),
            ("bitmap resources (BITMAPINFOHEADER)", check_bitmaps),
            ("maker logo is a JPEG resource", check_jpeg)]


BASE_CHECKS = [
    ("image format and machine", check_format),
    ("GUI subsystem", check_gui),
    ("imports only system DLLs", check_imports),
    ("DYNAMIC_BASE and NX_COMPAT (and HIGH_ENTROPY_VA for PE32+)", check_hardening),
    ("relocation table present", check_relocations),
    ("no section both writable and executable", check_sections),
    ("time stamps fixed", check_timestamp),
    ("version block 040904B0", check_version),
    ("manifest", check_manifest),
]


def run_checks(data, plus, ids):
    """[(name, ok, detail)] for every check on the image bytes."""
    try:
        pe = Pe(data)
    except (PeError, struct.error, ValueError) as error:
        return [("PE headers", False, str(error))]
    results = []
    for name, check in BASE_CHECKS + make_resource_checks(ids):
        try:
            ok, detail = check(pe, plus)
        except (PeError, struct.error, ValueError, KeyError, IndexError) as error:
            ok, detail = False, "cannot read: %r" % error
        results.append((name, ok, detail))
    return results


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("exe")
    parser.add_argument("--pe32plus", action="store_true", help="expect a 64-bit image")
    parser.add_argument("--resource-header", default=os.path.join(here, "..", "..", "src", "app", "resource.h"))
    options = parser.parse_args()
    with open(options.exe, "rb") as f:
        data = f.read()
    results = run_checks(data, options.pe32plus, resource_ids(options.resource_header))
    for name, ok, detail in results:
        print("%s %s: %s" % ("PASS" if ok else "FAIL", name, detail))
    failed = sum(1 for _, ok, _ in results if not ok)
    print("static: %d passed, %d failed" % (len(results) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

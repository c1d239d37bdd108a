#!/usr/bin/python3
"""The shipped executable's static properties: a 32-bit GUI program that
imports only system DLLs, hardened, run from the swap file, without time
stamps, with its version block, manifest and pictures. Read with pefile.

Usage: check_pe.py EXE    Prints a line per check, then "static: N passed, N failed".
"""
import re
import sys
import xml.etree.ElementTree as ElementTree

import pefile

VERSION = {"CompanyName": "Quillmere Software, Inc.", "FileDescription": "Norvane 98 Startboard", "FileVersion": "1.00", "InternalName": "Startboard",
           "OriginalFilename": "Startboard.exe", "ProductName": "Norvane 98 Startboard", "ProductVersion": "1.00"}
IMPORTS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll"}  # the rest load on first use
SUPPORTED_OS = {"{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
                "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
                "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"}  # Vista, 7, 8, 8.1, 10 and 11
RT_GROUP_CURSOR, RT_GROUP_ICON = 12, 14  # the pictures are checked where they are drawn


def resources(pe):
    """{(type, id): bytes} of the first language of each resource."""
    first = [((kind.id, entry.id), entry.directory.entries[0].data.struct)
             for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries for entry in kind.directory.entries]
    return {key: pe.get_data(data.OffsetToData, data.Size) for key, data in first}


def group_sizes(group):
    """The image sizes a GRPICONDIR (icons) or cursor group lists."""
    count = int.from_bytes(group[4:6], "little")
    return sorted({group[6 + 14 * i] or 256 for i in range(count)})


def manifest_settings(text):
    elements = list(ElementTree.fromstring(text).iter())
    local = {e.tag.rsplit("}", 1)[-1]: e for e in reversed(elements)}
    return {
        "level": local["requestedExecutionLevel"].get("level"),
        "controls": [(e.get("name"), e.get("version"), e.get("publicKeyToken")) for e in elements
                     if e.get("name") == "Microsoft.Windows.Common-Controls"],
        "systems": {e.get("Id").lower() for e in elements if e.tag.endswith("supportedOS")},
        "dpi": tuple(getattr(local.get(tag), "text", None) for tag in ("dpiAware", "dpiAwareness")),
    }


def checks(data):
    """(name, ok, detail) for each property of the image bytes."""
    pe = pefile.PE(data=data)
    res = resources(pe)
    flags = pe.OPTIONAL_HEADER.DllCharacteristics
    imports = {e.dll.decode().lower() for e in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])}
    imports |= {e.dll.decode().lower() for e in getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", [])}
    strings = {k.decode(): v.decode() for info in pe.FileInfo[0] for table in getattr(info, "StringTable", [])
               if table.LangID.upper() == b"040904B0" for k, v in table.entries.items()}
    manifest = manifest_settings(res.get((24, 1), b"<a/>").decode("utf-8-sig"))
    wx = [s.Name.rstrip(b"\0").decode() for s in pe.sections if s.Characteristics & 0xA0000000 == 0xA0000000]
    return [
        ("a 32-bit (i386) GUI program", (pe.FILE_HEADER.Machine, pe.OPTIONAL_HEADER.Magic,
                                         pe.OPTIONAL_HEADER.Subsystem) == (0x14C, 0x10B, 2), ""),
        ("imports only " + ", ".join(sorted(IMPORTS)), imports <= IMPORTS, ", ".join(sorted(imports))),
        ("DYNAMIC_BASE, NX_COMPAT, relocations, no section writable and executable",
         flags & 0x140 == 0x140 and pe.OPTIONAL_HEADER.DATA_DIRECTORY[5].Size > 8 and not wx,
         "flags %#x, writable and executable: %s" % (flags, wx)),
        ("runs from the swap file (removable and network), checksum right",
         pe.FILE_HEADER.Characteristics & 0x0C00 == 0x0C00 and pe.OPTIONAL_HEADER.CheckSum == pe.generate_checksum(),
         "characteristics %#x, checksum %#x" % (pe.FILE_HEADER.Characteristics, pe.OPTIONAL_HEADER.CheckSum)),
        ("no time stamps", pe.FILE_HEADER.TimeDateStamp == 0 and
         pe.DIRECTORY_ENTRY_RESOURCE.struct.TimeDateStamp == 0, ""),
        ("version block 040904B0", strings == VERSION, repr(strings)),
        ("manifest: asInvoker, common controls 6, Vista to 11, dpi per monitor",
         manifest == {"level": "asInvoker", "controls": [("Microsoft.Windows.Common-Controls", "6.0.0.0",
                                                          "6595b64144ccf1df")],
                      "systems": SUPPORTED_OS, "dpi": ("true/pm", "PerMonitorV2, PerMonitor")}, repr(manifest)),
        # Built without exceptions: one call into the runtime's throwing half
        # brings its unwinder, demangler and printf (about 80 KB read at start).
        ("no exception machinery", b"terminate called" not in data and b"__cxa_" not in data, ""),
        ("icon 16 and 32, hand cursor 32, 48 and 64",
         group_sizes(res.get((RT_GROUP_ICON, 1), bytes(6))) == [16, 32] and
         group_sizes(res.get((RT_GROUP_CURSOR, 101), bytes(6))) == [32, 48, 64], ""),
    ]


def main():
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    try:
        results = checks(data)
    except (AttributeError, KeyError, pefile.PEFormatError) as error:
        results = [("a readable image with resources and a version block", False, repr(error))]
    # The checker itself: a copy with another company name must fail.
    damaged = re.sub("Quillmere".encode("utf-16-le"), "Quillmore".encode("utf-16-le"), data, count=1)
    results.append(("a damaged copy fails the version check", not checks(damaged)[5][1], ""))
    for name, ok, detail in results:
        print("%s %s%s" % ("PASS" if ok else "FAIL", name, "" if ok or not detail else ": " + detail))
    failed = sum(not ok for _, ok, _ in results)
    print("static: %d passed, %d failed" % (len(results) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

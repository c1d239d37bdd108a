#!/usr/bin/python3
"""Shows that each check of check_pe.py fails when its property is broken:
every case damages one thing in a copy of a real executable.

Usage: test_check_pe.py [EXE]   (default build/win32/Startboard.exe)
"""
import os
import struct
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_pe  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
EXE = os.path.join(HERE, "..", "..", "build", "win32", "Startboard.exe")
HEADER = os.path.join(HERE, "..", "..", "src", "app", "resource.h")


class DamagedImage(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        with open(EXE, "rb") as f:
            cls.original = f.read()
        cls.pe = check_pe.Pe(cls.original)
        cls.plus = cls.pe.magic == 0x20B
        cls.ids = check_pe.resource_ids(HEADER)
        cls.pe_offset = struct.unpack_from("<I", cls.original, 0x3C)[0]

    def failures(self, data):
        return [name for name, ok, _ in check_pe.run_checks(bytes(data), self.plus, self.ids) if not ok]

    def expect_only(self, data, failing_check):
        self.assertEqual(self.failures(data), [failing_check])

    def replaced(self, old, new):
        self.assertEqual(len(old), len(new))
        self.assertEqual(self.original.count(old), 1, old)
        return self.original.replace(old, new)

    def test_original_passes_everything(self):
        self.assertEqual(self.failures(self.original), [])

    def test_wrong_machine(self):
        data = bytearray(self.original)
        struct.pack_into("<H", data, self.pe_offset + 4, 0x1C0)  # ARM
        self.expect_only(data, "image format and machine")

    def test_console_subsystem(self):
        data = bytearray(self.original)
        struct.pack_into("<H", data, self.pe_offset + 24 + 68, 3)
        self.expect_only(data, "GUI subsystem")

    def test_runtime_dll_import(self):
        name = next(n for n in (b"KERNEL32.dll", b"kernel32.dll") if n in self.original)
        self.expect_only(self.replaced(name, b"libgcc_s.dll"), "imports only system DLLs")

    def test_missing_hardening_flags(self):
        for flag in (check_pe.DYNAMIC_BASE, check_pe.NX_COMPAT) + ((check_pe.HIGH_ENTROPY_VA,) if self.plus else ()):
            data = bytearray(self.original)
            struct.pack_into("<H", data, self.pe_offset + 24 + 70, self.pe.dll_characteristics & ~flag)
            self.expect_only(data, "DYNAMIC_BASE and NX_COMPAT (and HIGH_ENTROPY_VA for PE32+)")

    def test_no_relocations(self):
        data = bytearray(self.original)
        directories = self.pe_offset + 24 + (112 if self.plus else 96)
        struct.pack_into("<II", data, directories + 8 * 5, 0, 0)
        self.expect_only(data, "relocation table present")

    def test_writable_code(self):
        data = bytearray(self.original)
        text = next(i for i, s in enumerate(self.pe.sections) if s["name"] == ".text")
        optional_size = struct.unpack_from("<H", data, self.pe_offset + 20)[0]
        flags_at = self.pe_offset + 24 + optional_size + 40 * text + 36
        struct.pack_into("<I", data, flags_at, self.pe.sections[text]["flags"] | check_pe.SCN_WRITE)
        self.expect_only(data, "no section both writable and executable")

    def test_time_stamp(self):
        data = bytearray(self.original)
        struct.pack_into("<I", data, self.pe_offset + 8, 0x36000000)
        self.expect_only(data, "time stamps fixed")

    def test_version_strings(self):
        for old, new in (("Quillmere Software, Inc.", "Quillmere Software, Ltd."),
                         ("Startboard.exe", "Startboard.EXE")):
            data = self.replaced(old.encode("utf-16-le"), new.encode("utf-16-le"))
            self.expect_only(data, "version block 040904B0")

    def test_manifest(self):
        description = b"<description>Norvane 98 Startboard</description>"
        dpi = b"<dpiAware>true</dpiAware>"
        for old, new in ((b'level="asInvoker"', b'level="asInvokeX"'),
                         (b'version="6.0.0.0" processorArchitecture', b'version="5.8.0.0" processorArchitecture'),
                         (b"{1f676c76-80e1", b"{1f676c76-80e2"),
                         (description, dpi + b" " * (len(description) - len(dpi))),
                         (b"</assembly>", b"</assembla>")):
            self.expect_only(self.replaced(old, new), "manifest")

    def test_icon_sizes(self):
        group = self.pe.resources()[(check_pe.RT_GROUP_ICON, self.ids["IDI_APP"])][0]
        data = bytearray(self.original)
        at = bytes(self.original).index(group)
        entry = next(i for i, (w, _, _) in enumerate(check_pe.icon_sizes(group)) if w == 16)
        data[at + 6 + 14 * entry] = 48
        data[at + 7 + 14 * entry] = 48
        self.expect_only(data, "icon group with 16x16 and 32x32 images")

    def test_missing_resources(self):
        # A resource header naming ids the image lacks.
        shifted = {name: value + 1000 for name, value in self.ids.items()}
        failing = [name for name, ok, _ in check_pe.run_checks(self.original, self.plus, shifted) if not ok]
        self.assertEqual(failing, ["icon group with 16x16 and 32x32 images", "hand cursor resource",
                                   "bitmap resources (BITMAPINFOHEADER)", "maker logo is a JPEG resource"])


if __name__ == "__main__":
    if len(sys.argv) > 1 and not sys.argv[1].startswith("-"):
        EXE = sys.argv.pop(1)
    unittest.main()

"""Tests for report.py: the PE resource split against executables built here
with known resources, and the table's budgets at and past their limits.

Run: /usr/bin/python3 tools/bench/test_report.py
"""

import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import report  # noqa: E402

TOOLCHAINS = ("i686-w64-mingw32", "x86_64-w64-mingw32")


def dib(size=16):
    """A 32-bit icon image: header, pixels and AND mask."""
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"\x80" * (size * size * 4) + b"\0" * (size * 4)


def icon_file(kind, image):
    """An .ico (kind 1) or .cur (kind 2) file holding one image."""
    planes_or_x, bits_or_y = (1, 32) if kind == 1 else (3, 5)
    entry = struct.pack("<BBBBHHII", 16, 16, 0, 0, planes_or_x, bits_or_y, len(image), 22)
    return struct.pack("<HHH", 0, kind, 1) + entry + image


class ReadPeTest(unittest.TestCase):
    """Builds a tiny exe per toolchain with resources of known sizes."""

    @classmethod
    def setUpClass(cls):
        cls.folder = tempfile.mkdtemp()
        image = dib()
        cls.files = {
            "menu.bmp": b"BM" + b"\0" * 12 + dib(32),
            "logo.bmp": b"BM" + b"\0" * 12 + dib(8),
            "maker.jpg": b"\xff\xd8" + b"J" * 777,
            "app.ico": icon_file(1, image),
            "hand.cur": icon_file(2, image),
        }
        for name, data in cls.files.items():
            with open(os.path.join(cls.folder, name), "wb") as out:
                out.write(data)
        with open(os.path.join(cls.folder, "app.rc"), "w") as out:
            out.write('1 ICON "app.ico"\n101 CURSOR "hand.cur"\n201 BITMAP "menu.bmp"\n'
                      '202 BITMAP "logo.bmp"\n203 RCDATA "maker.jpg"\n'
                      '1 VERSIONINFO FILEVERSION 1,0,0,0 BEGIN END\n')
        with open(os.path.join(cls.folder, "main.c"), "w") as out:
            out.write("int main(void) { return 0; }\n")

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.folder)

    def build(self, toolchain):
        if shutil.which(f"{toolchain}-gcc") is None:
            self.skipTest(f"{toolchain} is not installed")
        exe = os.path.join(self.folder, f"{toolchain}.exe")
        subprocess.run([f"{toolchain}-windres", "app.rc", "-O", "coff", "-o", f"{toolchain}.res"],
                       cwd=self.folder, check=True)
        subprocess.run([f"{toolchain}-gcc", "main.c", f"{toolchain}.res", "-o", exe],
                       cwd=self.folder, check=True)
        with open(exe, "rb") as built:
            return exe, built.read()

    def test_resource_bytes_by_type(self):
        for toolchain in TOOLCHAINS:
            with self.subTest(toolchain):
                _, data = self.build(toolchain)
                _, resources = report.read_pe(data)
                files = self.files
                # A bitmap resource is the file without its 14-byte header;
                # icon and cursor files are split into images and a group.
                self.assertEqual(resources[report.RT_BITMAP],
                                 len(files["menu.bmp"]) + len(files["logo.bmp"]) - 28)
                self.assertEqual(resources[report.RT_RCDATA], len(files["maker.jpg"]))
                self.assertEqual(resources[report.RT_ICON], len(dib()))
                self.assertEqual(resources[report.RT_CURSOR], len(dib()) + 4)
                self.assertEqual(resources[report.RT_GROUP_ICON], 6 + 14)
                self.assertEqual(resources[report.RT_GROUP_CURSOR], 6 + 14)
                self.assertIn(16, resources)  # the version block, not a picture
                pictures = sum(resources[kind] for kind in report.PICTURE_TYPES)
                self.assertEqual(pictures, sum(resources.values()) - resources[16])

    def test_sections_match_objdump(self):
        for toolchain in TOOLCHAINS:
            with self.subTest(toolchain):
                exe, data = self.build(toolchain)
                sections, _ = report.read_pe(data)
                listing = subprocess.run([f"{toolchain}-objdump", "-h", exe], check=True,
                                         capture_output=True, text=True).stdout
                expected = [(name, int(size, 16)) for name, size in
                            re.findall(r"^\s*\d+\s+(\S+)\s+([0-9a-f]{8})", listing, re.M)]
                self.assertEqual([(name, virtual) for name, _, virtual in sections], expected)

    def test_rejects_what_is_not_a_pe(self):
        with self.assertRaises(report.BrokenMeasurement):
            report.read_pe(b"#!/bin/sh\n" + b"\0" * 128)
        with self.assertRaises(report.BrokenMeasurement):
            report.read_pe(b"MZ" + b"\0" * 58 + struct.pack("<I", 64) + b"NE\0\0" + b"\0" * 64)


def figures(**changes):
    """A complete results file's figures, every budget just met."""
    values = {
        "startup_floor_ms": "100,200,300",
        "startup_launcher_ms": "110,220,330",
        "idle_cpu_ms": "0", "idle_linux_cpu_ms": "19.99", "idle_wakeups": "0",
        "idle_seconds": "10",
        "mouse_cpu_ms": "0", "mouse_linux_cpu_ms": "199.9", "mouse_wakeups": "9",
        "mouse_seconds": "10", "mouse_moves": "1001",
        "floor_mouse_cpu_ms": "0", "floor_mouse_linux_cpu_ms": "100", "floor_mouse_wakeups": "5",
        "floor_mouse_seconds": "10",
        "peak_floor_kib": "1000,3000,2000",
        "peak_launcher_kib": "4048,9000,1",
        "modules_floor": "gdi32.dll,user32.dll",
        "modules_launcher": "gdi32.dll,user32.dll,shell32.dll,comctl32.dll",
        "about_ws_kib": "500,700,500",
        "about_gdi_first": "0", "about_gdi_last": "0",
        "about_user_first": "0", "about_user_last": "0",
        "click_shell_us": "999,10,998,5000", "click_dropped": "1",
        "done": "1",
    }
    values.update(changes)
    return report.read_results("\n".join(f"{key}={value}" for key, value in values.items()))


def verdicts(figures_):
    rows = (report.startup_rows(figures_) + report.cpu_rows(figures_)
            + report.memory_rows(figures_) + report.click_rows(figures_))
    return {row[0].split(" (")[0]: row[3] for row in rows if row[2]}


class TableTest(unittest.TestCase):
    def test_every_budget_met_at_its_limit(self):
        self.assertEqual(verdicts(figures()), {
            "Start-up: launcher / floor": "met",
            "CPU idle over 10.0 s": "met",
            "CPU with the mouse moving": "met",
            "CPU with the mouse moving: the launcher's own share": "met",
            "Peak working set: launcher": "met",
            "Working set after About 1 → 3": "met",
            "GDI / USER objects after About 1 → 3": "cannot be measured under Wine",
            "Click to shell call": "met",
        })

    def test_each_budget_past_its_limit(self):
        cases = [
            ({"startup_launcher_ms": "110,221,330"}, "Start-up: launcher / floor",
             "not met, by 0.005"),
            ({"idle_linux_cpu_ms": "20"}, "CPU idle over 10.0 s", "not met, by 0.00 ms"),
            ({"mouse_linux_cpu_ms": "250"}, "CPU with the mouse moving",
             "not met, by 0.50 percentage points"),
            ({"mouse_linux_cpu_ms": "300.1"}, "CPU with the mouse moving: the launcher's own share",
             "not met, by 0.00 percentage points"),
            ({"peak_launcher_kib": "4049,9000,1"}, "Peak working set: launcher",
             "not met, by 1 KiB"),
            ({"about_ws_kib": "500,400,504"}, "Working set after About 1 → 3", "not met, by 4 KiB"),
            ({"about_user_first": "12", "about_user_last": "13"},
             "GDI / USER objects after About 1 → 3", "not met, by 1 objects"),
            ({"click_shell_us": "1000,1000,10,5000"}, "Click to shell call",
             "not met, by 0 µs"),
        ]
        for changes, row, expected in cases:
            with self.subTest(row):
                self.assertEqual(verdicts(figures(**changes))[row], expected)

    def test_size_budget_and_picture_split(self):
        resources = {report.RT_BITMAP: 400_000, report.RT_RCDATA: 6_000, report.RT_ICON: 1_000,
                     report.RT_GROUP_ICON: 20, report.RT_CURSOR: 300, report.RT_GROUP_CURSOR: 20,
                     16: 600, 24: 1_400}
        pictures = 407_340
        at_limit = report.size_rows(pictures + 65_536, resources)
        self.assertEqual(at_limit[1][1], "407,340 B")
        self.assertEqual(at_limit[2][1:], ("65,536 B", "≤ 65,536 B", "met"))
        self.assertEqual(report.size_rows(pictures + 65_537, resources)[2][3], "not met, by 1 B")

    def test_medians_and_the_extra_dlls(self):
        rows = report.startup_rows(figures(startup_floor_ms="1,2,3,100"))
        self.assertTrue(rows[0][1].startswith("2.5 ms"))
        self.assertEqual(rows[3][1], "110.000")  # fastest launcher run / fastest floor run
        memory = {row[0]: row[1] for row in report.memory_rows(figures())}
        self.assertEqual(memory["DLLs the launcher loads beyond the floor's"],
                         "comctl32.dll, shell32.dll")
        self.assertEqual(memory["Peak working set: launcher"], "4,048 KiB")

    def test_broken_measurements(self):
        with self.assertRaisesRegex(report.BrokenMeasurement, "no window StartboardMain"):
            report.read_results("startup_floor_ms=1\nerror=no window StartboardMain\n")
        with self.assertRaisesRegex(report.BrokenMeasurement, "did not finish"):
            report.read_results("startup_floor_ms=1,2\n")
        with self.assertRaisesRegex(report.BrokenMeasurement, "no DLL lists"):
            report.memory_rows(figures(modules_launcher=""))
        for key in ("click_shell_us", "click_dropped", "idle_linux_cpu_ms", "modules_floor"):
            with self.subTest(key):
                broken = figures()
                del broken[key]
                with self.assertRaises(report.BrokenMeasurement):
                    report.render("m", "x.exe", 1, [], {}, broken)
        with self.assertRaises(report.BrokenMeasurement):
            report.startup_rows(figures(startup_floor_ms=""))

    def test_exit_codes(self):
        with tempfile.TemporaryDirectory() as folder:
            exe = os.path.join(folder, "x.exe")
            with open(exe, "wb") as out:
                out.write(b"MZ" + b"\0" * 58 + struct.pack("<I", 64) + b"PE\0\0"
                          + struct.pack("<HHIIIHH", 0x14C, 0, 0, 0, 0, 224, 0)
                          + struct.pack("<H", 0x10B) + b"\0" * 222)
            results = os.path.join(folder, "results.txt")
            out_md = os.path.join(folder, "bench.md")
            arguments = ["--exe", exe, "--results", results, "--machine", "m", "--out", out_md]
            self.assertEqual(report.main(arguments), 2)  # no results file
            self.assertFalse(os.path.exists(out_md))
            with open(results, "w") as out:
                out.write("\n".join(f"{key}={value}" for key, value in figures().items()))
            with open(os.devnull, "w") as quiet:
                stdout, sys.stdout = sys.stdout, quiet
                try:
                    self.assertEqual(report.main(arguments), 0)
                finally:
                    sys.stdout = stdout
            with open(out_md, encoding="utf-8") as written:
                self.assertIn("| Start-up: launcher / floor (medians) | 1.100 | ≤ 1.10 | met |",
                              written.read())


if __name__ == "__main__":
    unittest.main()

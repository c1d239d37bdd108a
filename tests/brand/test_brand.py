#!/usr/bin/python3
"""Checks that a brand file with a mistake stops the build with one line that
names the mistake's line and what is allowed, and that a good one loads."""

import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

from PIL import Image

import brand  # tools/brand, on the path pytest.ini sets

ROOT = Path(__file__).resolve().parents[2]

# A small brand with every kind of zone and control. The array headers carry
# comments so a row can name the header a missing key is reported at.
MAIN = '''# A brand the tests break one way at a time.
[identity]
title = "Test Launcher"
product = "Test Launcher"
company = "Example Co"
version = "1.2"
icon = "app.ico"

[menu]
picture = "menu.bmp"
picture_2x = "menu-2x.jpg"
size = [40, 30]
cursor = "hand.cur"

[disc]
probe_page = "probe.htm"
label = "Test Disc"

[[zone]]  # manual
rect = [0, 0, 20, 15]
tooltip = "Read the manual"
action = "open"
document = "docs/manual.pdf"

[[zone]]  # setup
rect = [20, 0, 20, 15]
tooltip = "Install"
action = "install"
question = """Install it?

[[zone]] is not a header in here either."""
program = "setup/setup.exe"

[[zone]]  # about
rect = [0, 15, 20, 15]
tooltip = "About"
action = "about"

[[zone]]  # web
rect = [20, 15, 20, 15]
tooltip = "Website"
action = "web"
url = "https://example.com/"
'''
ABOUT = '''
[about]
title = "About"
size = [100, 80]
background = "#000000"

[[about.control]]  # logo
kind = "picture"
rect = [0, 0, 30, 20]
file = "logo.jpg"
file_2x = "logo-2x.jpg"
background = "#FFFFFF"

[[about.control]]  # mail
kind = "label"
rect = [10, 50, 60, 12]
text = "Mail us"
colour = "#FFFFFF"
url = "mailto:help@example.com"
tooltip = "Send mail"

[[about.control]]  # oval
kind = "oval"
rect = [60, 40, 90, 90]
colour = "#FFFFFF"
'''
GARBAGE = b"this is not a picture at all"
TRUNCATED_ICON = (ROOT / "assets" / "startboard.ico").read_bytes()[:60]

# (what, text replaced, its replacement, text on the line reported or None for
# the replacement's first line, fragment of the message[, extra files])
ROWS = [
    ("syntax", 'label = "Test Disc"', 'label = "Test Disc', None, "TOML syntax"),
    ("top-level key", "break one way at a time.", 'break one way at a time.\ntitel = "x"', "titel",
     "key 'titel' outside any table; a brand has [identity],"),
    ("unknown table", "[disc]", "[discs]\nx = 1\n\n[disc]", None,
     "unknown table [discs] (did you mean 'disc'?); a brand has [identity], [menu], [disc], [zone], [about]"),
    ("unknown key", 'version = "1.2"', 'version = "1.2"\ncopyrigth = "1998"', "copyrigth",
     "identity has no key 'copyrigth' (did you mean 'copyright'?); it takes title,"),
    ("missing key", 'company = "Example Co"\n', "", "[identity]", "[identity] needs company"),
    ("missing zone key", 'tooltip = "Website"\n', "", "# web", "zone 4 needs tooltip"),
    ("string for a rect", "rect = [20, 15, 20, 15]", 'rect = "20, 15, 20, 15"', None,
     "zone 4 (web).rect must be [left, top, width, height] in pixels"),
    ("number for a string", 'title = "About"', "title = 5", None, "[about].title must be a non-empty string"),
    ("zone partly outside", "rect = [20, 15, 20, 15]", "rect = [21, 15, 20, 15]", None,
     "zone 4 lies outside the 40x30 menu picture"),
    ("control entirely outside", "rect = [60, 40, 90, 90]", "rect = [100, 40, 90, 90]", None,
     "about control 3 lies outside the 100x80 About window"),
    ("unknown action", 'action = "web"', 'action = "website"', None,
     "zone 4: unknown action 'website' (did you mean 'web'?); one of open, install, web, about, quit"),
    ("about without a window", ABOUT, "", 'action = "about"', 'an "about" zone needs an [about] window'),
    ("window never shown", 'action = "about"', 'action = "quit"', "[about]", "the [about] window is never shown"),
    ("missing picture", 'picture = "menu.bmp"', 'picture = "gone.bmp"', None, "no file gone.bmp beside the brand"),
    ("unreadable picture", 'picture = "menu.bmp"', 'picture = "junk.bmp"', None,
     "menu.picture: junk.bmp is not a readable picture", {"junk.bmp": GARBAGE}),
    ("picture not the menu's size", "size = [40, 30]", "size = [40, 32]", 'picture = "menu.bmp"',
     "menu.picture is 40x30 but menu.size says 40x32"),
    ("2x not twice", 'file_2x = "logo-2x.jpg"', 'file_2x = "menu-2x.jpg"', None,
     "file_2x is 80x60; it must be exactly twice about control 1 file, 60x40"),
    ("icon garbage", 'icon = "app.ico"', 'icon = "junk.ico"', None, "junk.ico is not readable (not a .ico file)",
     {"junk.ico": GARBAGE}),
    ("icon cut short", 'icon = "app.ico"', 'icon = "short.ico"', None, "runs past the end",
     {"short.ico": TRUNCATED_ICON}),
    ("ftp url", 'url = "https://example.com/"', 'url = "ftp://example.com/"', None,
     "must be a URL starting http://, https:// or mailto:"),
    ("drive path", 'document = "docs/manual.pdf"', r"document = 'C:\manual.pdf'", None,
     "a path relative to the launcher's folder, not absolute"),
    ("path leaving the disc", 'program = "setup/setup.exe"', 'program = "setup/../../setup.exe"', None,
     "a path that stays on the disc (no ..)"),
    ("forbidden character", 'document = "docs/manual.pdf"', 'document = "docs/a?b.pdf"', None,
     "a path whose names Windows allows"),
]


class BrandTest(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, self.folder)
        for name, size in (("menu.bmp", (40, 30)), ("menu-2x.jpg", (80, 60)), ("logo.jpg", (30, 20)),
                           ("logo-2x.jpg", (60, 40))):
            Image.new("RGB", size, (200, 40, 40)).save(self.folder / name)
        shutil.copy(ROOT / "assets" / "startboard.ico", self.folder / "app.ico")
        shutil.copy(ROOT / "assets" / "hand.cur", self.folder / "hand.cur")
        self.path = self.folder / "brand.toml"

    def write(self, old="", new="", files=None):
        text = MAIN + ABOUT
        if old:
            self.assertEqual(text.count(old), 1, old)
        text = text.replace(old, new)
        self.path.write_text(text, encoding="utf-8")
        for name, data in (files or {}).items():
            (self.folder / name).write_bytes(data)
        return text

    def test_good_brands_load(self):
        self.write()
        # The oval runs past the window's edge: allowed for About controls.
        self.assertEqual(brand.load(str(self.path))["about"]["controls"][2]["rect"], (60, 40, 90, 90))
        loaded = brand.load(str(ROOT / "assets" / "brand.toml"))
        self.assertTrue(loaded["zones"] and loaded["about"]["controls"])

    def test_each_mistake_is_one_line_at_its_place(self):
        for what, old, new, at, fragment, *files in ROWS:
            with self.subTest(what):
                text = self.write(old, new, files[0] if files else None)
                marker = at or new.splitlines()[0]
                lines = [n for n, line in enumerate(text.splitlines(), 1) if marker in line]
                self.assertEqual(len(lines), 1, "marker %r" % marker)
                with self.assertRaises(brand.BrandError) as caught:
                    brand.load(str(self.path))
                message = str(caught.exception)
                self.assertEqual(len(message.splitlines()), 1, message)
                self.assertTrue(message.startswith("%s:%d: " % (self.path, lines[0])), message)
                self.assertIn(fragment, message)

    def test_generate_leaves_nothing_behind_a_mistake(self):
        self.write()
        out, depfile = self.folder / "out", self.folder / "brand.d"
        command = ["/usr/bin/python3", str(ROOT / "tools" / "brand" / "brand.py"), "generate", str(self.path),
                   str(out), str(depfile)]
        good = subprocess.run(command, capture_output=True, text=True)
        self.assertEqual(good.returncode, 0, good.stderr)
        self.assertIn("std::array<HotZone, 4>", (out / "brand" / "Data.h").read_text())
        self.assertIn("logo-2x.jpg", depfile.read_text())  # a changed picture rebuilds

        text = self.write('size = [40, 30]', 'size = [40, 32]')
        bad = subprocess.run(command, capture_output=True, text=True)
        self.assertEqual(bad.returncode, 1)
        line = text.splitlines().index('picture = "menu.bmp"') + 1
        self.assertEqual(bad.stderr, "%s:%d: menu.picture is 40x30 but menu.size says 40x32\n" % (self.path, line))
        for name in ("Data.h", "Data.rc", "Startboard.manifest"):
            self.assertFalse((out / "brand" / name).exists(), name)
        self.assertFalse(depfile.exists())

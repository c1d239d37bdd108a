#!/usr/bin/python3
"""What the generator writes, read back the way the build reads it: texts
full of characters each target treats specially come out of the compiled
C++ tables, the compiled version block and the parsed manifest exactly as
the brand wrote them; every picture of a brand and its languages goes in
no larger and with the same pixels; PNG inputs become the icon and cursor
the exe embeds; the exe's footprint and its budget."""

import re
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

from PIL import Image

from sample import ABOUT, LANGUAGES, MAIN, PAGES, PRINTER, ROOT, brand_folder, brand_tool, png
from tools.brand import footprint, load, model
from tools.brand.emit import art_files, picture_ids

# Each character class a target escapes: quotes, backslashes that look like
# escapes, trigraphs, line breaks, XML's specials, placeholders of the
# manifest template, non-ASCII and non-BMP characters.
TITLE = 'Say "hi" ??! ??) ??/ ??= \\n \\\\server\\share \u00e9 \U0001F4BF'
PRODUCT = 'Mini\\101\\x42 <&> "q" \'a\' @VERSION@ @NAME@ ??('
COMPANY = 'Example\\new Tools\\ "Smith\'s & Sons"'
COPYRIGHT = "\u00a9 2026 Example\nAll rights reserved \\ ??-"
QUESTION = 'Line one\n\nLine "three" \\ ??<'


# The pages' tables as the launcher walks them: the menu first, then each page
# with its pictures, zones, conditions and actions.
PAGE_TABLES = r'''#include "brand/Data.h"
using namespace startboard;
using namespace startboard::brand;
constexpr const Page& kTools = kLanguages[0].pages[1];
static_assert(kLanguages[0].pages.size() == 2 && kPages[0].zones.data() == kZones.data() && !kPages[0].off.Present());
static_assert(kZones[3].click.kind == ActionKind::Page && kZones[3].click.page == 1);
static_assert(kTools.name == "tools" && kTools.art.Present() && kTools.off.Present() && kTools.zones.size() == 3);
static_assert(kTools.when.size() == 1 && kTools.when[0].kind == ConditionKind::RegistryValue &&
              kTools.when[0].hive == Hive::CurrentUser && kTools.when[0].path == "Software\\Example" &&
              kTools.when[0].value == "Path" && kTools.when[0].view32);
static_assert(kTools.zones[0].click.kind == ActionKind::Explore && kTools.zones[0].click.path == "extras");
static_assert(kTools.zones[0].unless.size() == 2 && kTools.zones[0].unless[1].machines == (kX86 | kArm64) &&
              kTools.zones[0].unless[0].kind == ConditionKind::Windows &&
              kTools.zones[0].unless[0].atLeast == WindowsVersion{10, 0, 22000});
static_assert(kTools.zones[1].click.arguments == "/quiet" && kTools.zones[1].click.elevate);
static_assert(kTools.zones[2].click.kind == ActionKind::Back && kTools.focusOrder.empty());
int main() {}
'''


def toml(text):
    """A TOML basic string."""
    out = []
    for char in text:
        if char in '"\\':
            out.append("\\" + char)
        elif char == "\n":
            out.append("\\n")
        else:
            out.append(char)
    return '"' + "".join(out) + '"'


def version_strings(res):
    """The StringFileInfo entries of the RT_VERSION resource in a .res file."""
    at = 0
    while at < len(res):
        data_size, header_size = struct.unpack_from("<II", res, at)
        kind = struct.unpack_from("<HH", res, at + 8)
        if kind == (0xFFFF, 16):
            return parse_block(res[at + header_size:at + header_size + data_size])
        at += (header_size + data_size + 3) & ~3
    raise AssertionError("no version resource")


def parse_block(data):
    """{key: value} of every string in a VS_VERSIONINFO, walking its nested blocks."""
    found = {}

    def walk(at, end, depth):
        while at + 6 <= end:
            length, value_length, is_text = struct.unpack_from("<HHH", data, at)
            if length == 0:
                return
            key_end = data.index(b"\0\0", at + 6)
            key_end += (key_end - at) % 2
            key = data[at + 6:key_end].decode("utf-16-le")
            value_at = (key_end + 2 + 3) & ~3
            if depth == 3:
                found[key] = data[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
            else:
                child = value_at + (value_length * (2 if is_text else 1) if depth == 0 else 0)
                walk((child + 3) & ~3, at + length, depth + 1)
            at = (at + length + 3) & ~3

    walk(0, len(data), 0)
    return found


def stretches(bmp):
    """The lengths of the literal stretches of an RLE8 bitmap."""
    at, found = struct.unpack_from("<I", bmp, 10)[0], []
    while bmp[at:at + 2] != b"\0\1":
        if bmp[at] == 0 and bmp[at + 1] >= 3:
            found.append(bmp[at + 1])
            at += bmp[at + 1] + bmp[at + 1] % 2
        at += 2
    return found


class Generate(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, self.folder)
        brand_folder(self.folder)
        Image.new("RGB", (40, 30), (10, 200, 30)).save(self.folder / "menu.png")
        Image.new("RGB", (80, 60), (10, 200, 30)).save(self.folder / "menu-2x.png")
        Image.new("RGBA", (30, 20), (255, 0, 0, 128)).save(self.folder / "logo.png")  # laid on its background
        Image.new("RGBA", (48, 48), (255, 255, 255, 255)).save(self.folder / "icon.png")
        hand = Image.new("RGBA", (40, 40), (0, 0, 0, 0))
        hand.paste((0, 0, 0, 255), (10, 2, 20, 30))
        hand.save(self.folder / "hand.png")
        text = (MAIN + PAGES + ABOUT).replace('"Test Launcher"', "%s", 2) % (toml(TITLE), toml(PRODUCT))
        for old, new in (('"Example Co"', "%s\ncopyright = %s" % (toml(COMPANY), toml(COPYRIGHT))),
                         ('"Install"', toml(TITLE)), ('"""Install it?\n\n[[zone]] is not a header in here either."""', toml(QUESTION)),
                         ('"menu.bmp"', '"menu.png"'), ('"menu-2x.jpg"', '"menu-2x.png"'), ('"app.ico"', '"icon.png"'),
                         ('cursor = "hand.cur"', 'cursor = "hand.png"\ncursor_hotspot = [10, 2]'),
                         ('file = "logo.jpg"', 'file = "logo.png"'), ('file_2x = "logo-2x.jpg"\n', ""),
                         ('#FFFFFF"\n\n[[about.control]]  # mail', '#0000FF"\n\n[[about.control]]  # mail'),
                         ('action = "web"\nurl = "https://example.com/"', 'action = "page"\npage = "Tools"'),
                         ('{ file = "tools/ready.txt" }', "{ registry = 'HKCU\\Software\\Example', value = 'Path', view = 32 }"),
                         ('{ architecture = "x86" }', '{ architecture = ["arm64", "X86"], windows = "10.0.22000" }')):
            text = text.replace(old, new, 1)
        (self.folder / "brand.toml").write_text(text, encoding="utf-8")
        self.out = self.folder / "out"
        result = brand_tool("generate", self.folder / "brand.toml", self.out)
        self.assertEqual(result.returncode, 0, result.stderr)
        self.generated = self.out / "brand"

    def test_cpp_tables_hold_the_texts_exactly(self):
        source = self.folder / "print.cpp"
        source.write_text(PRINTER)
        exe = self.folder / "print"
        subprocess.run(["g++", "-std=c++20", "-Wall", "-Wextra", "-Wpedantic", "-Werror", "-I", str(ROOT / "src"),
                        "-I", str(self.out), str(source), "-o", str(exe)], check=True)
        run = subprocess.run([str(exe)], capture_output=True)
        self.assertEqual(run.returncode, 0, "an oval without outline has none")
        texts = run.stdout.decode("utf-8").split("\0")[:-1]
        self.assertEqual(texts, [TITLE, TITLE, QUESTION.replace("\n", "\r\n"), TITLE])

    def test_pages_tables_hold_what_the_brand_says(self):
        source = self.folder / "pages.cpp"
        source.write_text(PAGE_TABLES)
        subprocess.run(["g++", "-std=c++20", "-fsyntax-only", "-Wall", "-Wextra", "-Werror", "-I", str(ROOT / "src"),
                        "-I", str(self.out), str(source)], check=True)

    def test_version_block_and_manifest_hold_the_texts_exactly(self):
        res = self.folder / "brand.res"
        subprocess.run(["i686-w64-mingw32-windres", "-c", "65001", "-I", str(ROOT / "src"), "-I", str(self.out),
                        str(ROOT / "src" / "app" / "Startboard.rc"), "-O", "res", "-o", str(res)], check=True)
        strings = version_strings(res.read_bytes())
        self.assertEqual({k: strings[k] for k in ("CompanyName", "ProductName", "LegalCopyright",
                                                  "FileDescription")},
                         {"CompanyName": COMPANY, "ProductName": PRODUCT,
                          "LegalCopyright": COPYRIGHT.replace("\n", "\r\n"), "FileDescription": TITLE})
        manifest = ElementTree.parse(self.generated / "Startboard.manifest").getroot()
        ns = "{urn:schemas-microsoft-com:asm.v1}"
        self.assertEqual(manifest.find(ns + "description").text, PRODUCT)
        self.assertEqual(manifest.find(ns + "assemblyIdentity").get("version"), "1.2.0.0")

    def test_picture_ids_never_meet_however_many_pictures_languages_bring(self):
        for count in (3, 100, 150):
            arts = [("a.bmp", "a-2x.jpg")] * count
            used = [i for index in range(count) for i in picture_ids(arts, index)]
            self.assertEqual(len(set(used)), 2 * count, count)

    def test_each_kind_of_picture_goes_in_no_larger_and_with_the_same_pixels(self):
        """Every picture of a brand and its languages, read back from what is emitted; the one that grows told."""
        def noise(size, mode="RGB"):  # colours in thousands and no run to code
            return Image.merge(mode, [Image.effect_noise(size, 40 + 20 * i) for i in range(len(mode))])

        one, two, logo = (40, 30), (80, 60), (30, 20)
        ramp = Image.merge("RGB", [Image.linear_gradient("L").resize(one), Image.linear_gradient("L").rotate(90)
                                   .resize(one), Image.new("L", one, 30)])
        clear = Image.new("RGBA", (60, 40), (255, 0, 0, 255))
        clear.paste((0, 0, 0, 0), (0, 0, 20, 40))
        # 16 bits a channel, which Pillow reads as 8: a smaller PNG it wrote would lose them.
        rows = b"".join(b"\0" + bytes((x + 7 * y) % 256 for x in range(240)) for y in range(30))
        (self.folder / "deep.png").write_bytes(png(*one, 16, rows))
        # Grey levels a step apart, in runs and stretches longer than a run-length count holds.
        wide = Image.frombytes("L", (4000, 2), bytes(4000) + bytes(x % 7 for x in range(4000)))
        # file: (picture, how it is saved, as it goes in: None as given, else the extension made)
        inputs = {"flat.png": (Image.new("RGBA", one, (10, 200, 30)), {"compress_level": 0}, ".png"),  # menu: opaque
                  "photo-2x.jpg": (noise(two), {"quality": 90}, None),
                  "indexed.bmp": (Image.new("RGB", one, (10, 20, 230)).quantize(8), {}, ".bmp"),  # run-length coded
                  "noise.bmp": (noise(one), {}, None),  # PNG would not be smaller
                  "grows.png": (noise(logo, "LA"), {"optimize": True}, ".png"),  # About: grey laid on a colour
                  "clear-2x.png": (clear, {}, ".png"),
                  "wide.bmp": (wide, {}, ".bmp"),
                  "flat.bmp": (Image.new("RGB", one, (90, 90, 0)), {}, ".bmp"),  # German menu: 24 bits, coded
                  "noise-2x.png": (noise(two), {"optimize": True}, None),
                  "ramp.bmp": (ramp, {}, ".png"),
                  "photo.jpg": (noise(one), {"quality": 90}, None),
                  "palette.png": (noise(logo).quantize(256), {"transparency": 0}, ".png"),  # German About
                  "deep.png": (None, None, None)}  # German page
        for name, (image, options, _) in inputs.items():
            if options is not None:
                image.save(self.folder / name, **options)
        text = (MAIN + PAGES + ABOUT + '[[about.control]]\nkind = "picture"\nrect = [0, 60, 30, 20]\n'
                'file = "wide.bmp"\nbackground = "#000000"\n' + LANGUAGES +
                '[language.de.about.control.Picture1]\nfile = "palette.png"\n')
        for old, new in (('picture_2x = "menu-2x.jpg"', 'picture_2x = "photo-2x.jpg"\nhover = "indexed.bmp"\n'
                          'pressed = "noise.bmp"'), ('"menu.bmp"', '"flat.png"'),
                         ('"logo.jpg"\nfile_2x = "logo-2x.jpg"\nbackground = "#FFFFFF"',
                          '"grows.png"\nfile_2x = "clear-2x.png"\nbackground = "#123456"'),
                         ('picture = "menu-de.bmp"', 'picture = "flat.bmp"\npicture_2x = "noise-2x.png"\n'
                          'hover = "ramp.bmp"\npressed = "photo.jpg"'),
                         ('off = "menu-de.bmp"', 'picture = "deep.png"')):
            text = text.replace(old, new, 1)
        brand = self.folder / "pictures.toml"
        brand.write_text(text, encoding="utf-8")
        result = brand_tool("generate", brand, self.folder / "made")
        self.assertEqual(result.returncode, 0, result.stderr)
        rc = dict((int(i), (kind, path)) for i, kind, path in re.findall(
            r'^(\d+) (BITMAP|RCDATA) "(.*)"$', (self.folder / "made" / "brand" / "Data.rc").read_text(), re.M))
        entries = art_files(load(str(brand)).views())
        sizes = {}  # file: (bytes given, bytes embedded)
        for index, (*files, matte) in enumerate(entries):
            for given, number in zip(files, picture_ids([tuple(e[:2]) for e in entries], index)):
                if given is None:
                    continue
                name = Path(given).name
                kind, stored = rc[number]
                sizes[name] = (Path(given).stat().st_size, Path(stored).stat().st_size)
                with self.subTest(name), Image.open(given) as image, Image.open(stored) as kept:
                    if name in inputs:  # the brand_folder's own go in as they may
                        made = inputs[name][2]
                        self.assertEqual(stored if made is None else Path(stored).suffix, made or given)
                    self.assertEqual(kind, "BITMAP" if stored.endswith(".bmp") else "RCDATA")
                    if name != "grows.png":
                        self.assertLessEqual(sizes[name][1], sizes[name][0])
                    ground = Image.new("RGBA", image.size, (matte >> 16, matte >> 8 & 255, matte & 255))
                    self.assertEqual(Image.alpha_composite(ground, image.convert("RGBA")).convert("RGB").tobytes(),
                                     kept.convert("RGB").tobytes())
                    if name == "wide.bmp":  # Wine's GDI skips a stretch of 255 wrongly
                        self.assertEqual(max(stretches(Path(stored).read_bytes())), 254)
        self.assertLessEqual(set(inputs), set(sizes))
        given, grown = sizes["grows.png"]
        line = text.splitlines().index('file = "grows.png"') + 1
        self.assertEqual(re.findall(r"^.*warning: .*goes in.*", result.stderr, re.M), [
            "%s:%d: warning: grows.png goes in as %d bytes, %d more than its file: its transparent parts are laid on "
            "its background; a picture without transparency goes in as it is" % (
                brand, line, grown, grown - given)])
        cursor = (self.generated / "cursor.cur").read_bytes()
        count = struct.unpack_from("<HHH", cursor)[2]
        entries = [struct.unpack_from("<BBBBHH", cursor, 6 + 16 * i) for i in range(count)]
        self.assertEqual([(e[0], e[4], e[5]) for e in entries], [(32, 8, 1), (48, 12, 2), (64, 16, 3)])
        with Image.open(self.generated / "icon.ico") as icon:
            self.assertEqual(sorted(icon.info["sizes"]), [(16, 16), (32, 32), (48, 48)])  # its own size, none above it
        warnings = load(str(self.folder / "brand.toml")).warnings
        self.assertEqual(len(warnings), 1, warnings)  # a brand without a quit zone is told
        self.assertIn(":21: warning: no zone quits", warnings[0])


class OneModel(unittest.TestCase):
    def test_the_members_the_tables_set_are_those_types_h_declares(self):
        """A member is added in Types.h and named in model.CPP_MEMBERS: the two agree."""
        types = (ROOT / "src" / "brand" / "Types.h").read_text(encoding="utf-8")
        for struct_name, members in model.CPP_MEMBERS.items():
            body = re.search(r"^struct %s \{\n(.*?)^\};" % struct_name, types, re.S | re.M).group(1)
            declared = re.findall(r"^  [\w:<>, *]+? (\w+)\{\};", body, re.M)
            self.assertEqual(tuple(declared), members, struct_name)


class Footprint(unittest.TestCase):
    def test_the_exe_is_told_its_reading_time_and_warned_past_its_pictures_and_128_kib(self):
        folder = Path(self.enterContext(tempfile.TemporaryDirectory()))
        path = brand_folder(folder)
        path.write_text(MAIN + PAGES + ABOUT + LANGUAGES, encoding="utf-8")
        # Each picture once, the German menu's too, though it is its page's off as well.
        given = sum((folder / name).stat().st_size for name in (
            "menu.bmp", "menu-2x.jpg", "page.bmp", "page-off.bmp", "logo.jpg", "logo-2x.jpg", "menu-de.bmp"))
        exe = folder / "Startboard.exe"
        brand = load(str(path))
        for over in (0, 1):
            exe.write_bytes(bytes(given + 128 * 1024 + over))
            self.assertEqual(footprint.lines(brand, str(exe))[1:], [
                "Startboard.exe: warning: 1 bytes more than its pictures as given and 128 KiB: a picture went in "
                "larger than its file"] if over else [])
        exe.write_bytes(bytes(3_600_000))
        run = subprocess.run([sys.executable, "-m", "tools.brand.footprint", path, exe], cwd=ROOT, capture_output=True,
                             text=True)
        self.assertEqual((run.returncode, run.stdout, run.stderr), (0, "Startboard.exe: 3,600,000 bytes, 1000 ms to "
                         "read from a 24x drive before it starts (pictures as given: {:,} bytes)\n".format(given),
                         "Startboard.exe: warning: {:,} bytes more than its pictures as given and 128 KiB: a picture "
                         "went in larger than its file\n".format(3_600_000 - given - 128 * 1024)))

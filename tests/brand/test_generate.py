#!/usr/bin/python3
"""What the generator writes, read back the way the build reads it: texts
full of characters each target treats specially come out of the compiled
C++ tables, the compiled version block and the parsed manifest exactly as
the brand wrote them; PNG inputs become the pictures, icon and cursor the
exe embeds."""

import re
import shutil
import struct
import subprocess
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

from PIL import Image

from sample import ABOUT, MAIN, PAGES, PRINTER, ROOT, brand_folder, brand_tool
from tools.brand import load, model, pictures
from tools.brand.emit import picture_ids

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


class Generate(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, self.folder)
        brand_folder(self.folder)
        Image.new("RGB", (40, 30), (10, 200, 30)).save(self.folder / "menu.png")
        Image.new("RGB", (80, 60), (10, 200, 30)).save(self.folder / "menu-2x.png")
        logo = Image.new("RGBA", (30, 20), (255, 0, 0, 255))
        logo.paste((0, 0, 0, 0), (0, 0, 10, 20))  # its left third clear: the blue background shows
        logo.save(self.folder / "logo.png")
        Image.new("RGBA", (64, 64), (255, 255, 255, 255)).save(self.folder / "icon.png")
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
        # Colours in thousands and no run to code.
        noise = Image.merge("RGB", [Image.effect_noise((64, 48), sigma) for sigma in (40, 60, 80)])
        flat = Image.new("RGB", (64, 48), (10, 200, 30))
        flat.paste((200, 10, 30), (0, 0, 20, 48))
        ramp = Image.merge("RGB", [Image.linear_gradient("L").resize((64, 48)), Image.linear_gradient("L").rotate(90).resize((64, 48)), flat.getchannel(0)])
        inputs = {"flat.png": (flat, {"optimize": False, "compress_level": 0}, ".png"),
                  "noise.png": (noise, {"optimize": True}, ".png"),
                  "photo.jpg": (noise, {"quality": 90}, ".jpg"),
                  "indexed.bmp": (flat.quantize(8), {}, ".bmp"),  # run-length coded
                  "flat.bmp": (flat, {}, ".bmp"),  # 24 bits of two colours: run-length coded too
                  "noise.bmp": (noise, {}, ".bmp"),  # PNG would not be smaller
                  "ramp.bmp": (ramp, {}, ".png")}
        for name, (image, options, extension) in inputs.items():
            with self.subTest(name):
                path = self.folder / name
                image.save(path, **options)
                made, data = pictures.compact(str(path))
                stored = self.folder / ("stored-" + name + extension)
                stored.write_bytes(data if data is not None else path.read_bytes())
                self.assertEqual(made, extension)
                self.assertLessEqual(stored.stat().st_size, path.stat().st_size)
                with Image.open(path) as given, Image.open(stored) as kept:
                    self.assertEqual(given.convert("RGB").tobytes(), kept.convert("RGB").tobytes())
        rc = (self.generated / "Data.rc").read_text(encoding="utf-8")
        self.assertIn('201 RCDATA "%s"' % (self.generated / "picture0.png"), rc)  # a PNG, as the exe decodes it
        with Image.open(self.generated / "picture1.png") as logo:  # flattened onto its background
            self.assertEqual((logo.getpixel((2, 2)), logo.getpixel((25, 2))), ((0, 0, 255), (255, 0, 0)))
        cursor = (self.generated / "cursor.cur").read_bytes()
        count = struct.unpack_from("<HHH", cursor)[2]
        entries = [struct.unpack_from("<BBBBHH", cursor, 6 + 16 * i) for i in range(count)]
        self.assertEqual([(e[0], e[4], e[5]) for e in entries], [(32, 8, 1), (48, 12, 2), (64, 16, 3)])
        with Image.open(self.generated / "icon.ico") as icon:
            self.assertEqual(sorted(icon.info["sizes"]), [(16, 16), (32, 32), (48, 48)])  # none above its 64
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

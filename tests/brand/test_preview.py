#!/usr/bin/python3
"""The brand preview: each zone outlined just outside its own rectangle, the
picture untouched inside; a broken brand stops it with the brand's own error
lines and nothing written."""

import re
import shutil
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

from PIL import Image

from tools.brand import load

ROOT = Path(__file__).resolve().parents[2]
BRAND = ROOT / "assets" / "brand.toml"


def preview(brand_file, out, *tag):
    return subprocess.run([sys.executable, "-m", "tools.brand.preview", str(brand_file), str(out), *tag],
                          cwd=ROOT, capture_output=True, text=True, check=False)


def find(image, part, within=100):
    """Where `part` lies in `image`, its top-left corner searched near the origin."""
    want = part.tobytes()
    for y in range(within):
        for x in range(within):
            if image.crop((x, y, x + part.width, y + part.height)).tobytes() == want:
                return x, y
    raise AssertionError("the menu picture is not in the preview")


class Preview(unittest.TestCase):
    def test_zones_outlined_around_the_picture(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = Path(tmp) / "new" / "preview.png"
            done = preview(BRAND, out)
            self.assertEqual((done.returncode, done.stdout, done.stderr), (0, "preview in %s\n" % out, ""))
            with Image.open(out) as image:
                shown = image.convert("RGB")
        loaded = load(str(BRAND))
        with Image.open(loaded.menu.picture) as image:
            picture = image.convert("RGB")
        x0, y0 = find(shown, picture.crop((0, 0, 24, 24)))
        colours = []
        for zone in loaded.zones:
            left, top, width, height = zone.rect
            right, bottom, middle, centre = left + width - 1, top + height - 1, top + height // 2, left + width // 2
            with self.subTest(zone.name):
                outside = {shown.getpixel((x0 + x, y0 + y)) for x, y in (
                    (left - 1, middle), (right + 1, middle), (centre, top - 1), (centre, bottom + 1))}
                self.assertEqual(len(outside), 1, "one colour all round, next to the zone's edges")
                colours.append(outside.pop())
                self.assertNotEqual(colours[-1], picture.getpixel((left - 1, middle)))
                for x, y in ((left, middle), (right, middle), (centre, top), (centre, bottom), (centre, middle)):
                    self.assertEqual(shown.getpixel((x0 + x, y0 + y)), picture.getpixel((x, y)),
                                     "the zone's own pixel at %d,%d" % (x, y))
        self.assertEqual(len(set(colours)), len(colours), "each zone in a colour of its own")

    def test_each_zone_shows_its_hover_and_pressed_part(self):
        loaded = load(str(BRAND))
        zones = [zone.rect for zone in loaded.zones]
        looks = {"hover": [(3, 9 + 20 * i, 251) for i in range(len(zones))],
                 "pressed": [(251, 9 + 20 * i, 3) for i in range(len(zones))]}
        with tempfile.TemporaryDirectory() as tmp:
            folder = Path(tmp) / "brand"
            shutil.copytree(BRAND.parent, folder)
            for key, colours in looks.items():  # each zone in a colour of its own, the front one last
                lit = Image.new("RGB", tuple(loaded.menu.size), (0, 0, 0))
                for (left, top, width, height), fill in reversed(list(zip(zones, colours))):
                    lit.paste(fill, (left, top, left + width, top + height))
                lit.save(folder / (key + ".png"))
            text = (folder / "brand.toml").read_text(encoding="utf-8")
            (folder / "brand.toml").write_text(text.replace("[menu]\n", '[menu]\nhover = "hover.png"\n'
                                                            'pressed = "pressed.png"\n', 1), encoding="utf-8")
            out = Path(tmp) / "preview.png"
            self.assertEqual(preview(folder / "brand.toml", out).returncode, 0)
            with Image.open(out) as image:
                shown = {colour for _, colour in image.convert("RGB").getcolors(1 << 24)}
        for key, colours in looks.items():
            self.assertEqual([c for c in colours if c not in shown], [], "zones whose %s part is missing" % key)

    def test_a_broken_brand_writes_nothing(self):
        with tempfile.TemporaryDirectory() as tmp:
            alone = Path(tmp) / "brand.toml"  # its pictures left behind
            shutil.copy(BRAND, alone)
            out = Path(tmp) / "new" / "preview.png"
            done = preview(alone, out)
            self.assertEqual((done.returncode, done.stdout), (1, ""))
            self.assertRegex(done.stderr, r"^%s:\d+: identity.icon: no file startboard.ico" % re.escape(str(alone)))
            self.assertFalse(out.parent.exists(), "no folder made for a preview never drawn")

    def test_a_sheet_per_language(self):
        with tempfile.TemporaryDirectory() as tmp:
            folder = Path(tmp)
            shutil.copytree(ROOT / "assets", folder, dirs_exist_ok=True)
            german = Image.new("RGB", (725, 544), (30, 90, 40))
            german.save(folder / "menu-de.bmp")
            with open(folder / "brand.toml", "a", encoding="utf-8") as f:
                f.write('\n[language.de.menu]\npicture = "menu-de.bmp"\n\n[language.fr.identity]\ntitle = "Norvane"\n')
            done = preview(folder / "brand.toml", folder / "preview.png")
            sheets = [folder / name for name in ("preview.png", "preview-de.png", "preview-fr.png")]
            self.assertEqual(done.stdout, "".join("preview in %s\n" % sheet for sheet in sheets), done.stderr)
            with Image.open(sheets[1]) as image:
                find(image.convert("RGB"), german.crop((0, 0, 24, 24)))  # the German menu on the German sheet
            done = preview(folder / "brand.toml", folder / "alone.png", "DE")
            self.assertEqual((done.returncode, sorted(p.name for p in folder.glob("alone*"))), (0, ["alone.png"]))
            done = preview(folder / "brand.toml", folder / "es.png", "es")
            self.assertEqual((done.returncode, done.stderr), (1, "preview: the brand has no language es; it has en, "
                                                                 "de, fr\n"))

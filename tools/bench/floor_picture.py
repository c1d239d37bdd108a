#!/usr/bin/python3
"""The floor program's pictures, from the brand's: at 96 dpi its menu picture
(a BMP as it is, anything else as an uncompressed bitmap), and at 144 dpi its
2x menu picture (its 1x one when it has none) resized to the menu's size
there, uncompressed.

Usage: floor_picture.py BRAND.toml OUT-96.bmp OUT-144.bmp"""
import shutil
import sys
import tomllib
from pathlib import Path

from PIL import Image

DPI = 144

if len(sys.argv) != 4:
    sys.exit(__doc__)
brand = Path(sys.argv[1])
with brand.open("rb") as f:
    menu = tomllib.load(f)["menu"]
picture = brand.parent / menu["picture"]
if picture.suffix.lower() == ".bmp":
    shutil.copyfile(picture, sys.argv[2])  # the launcher embeds a BMP as it is
else:
    with Image.open(picture) as image:
        image.convert("RGB").save(sys.argv[2], format="BMP")
# Twips (15 a pixel at 96 dpi) to pixels, halves up, as the launcher scales.
size = tuple((v * 15 * DPI + 720) // 1440 for v in menu["size"])
with Image.open(brand.parent / menu.get("picture_2x", menu["picture"])) as image:
    image.convert("RGB").resize(size, Image.LANCZOS).save(sys.argv[3], format="BMP")

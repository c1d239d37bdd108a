#!/usr/bin/python3
"""The floor program's picture at 144 dpi: the brand's 2x menu picture (its
1x one when it has none) resized to the menu's size at 144 dpi, as an
uncompressed bitmap.

Usage: floor_picture.py BRAND.toml OUT.bmp"""
import sys
import tomllib
from pathlib import Path

from PIL import Image

DPI = 144

if len(sys.argv) != 3:
    sys.exit(__doc__)
brand = Path(sys.argv[1])
with brand.open("rb") as f:
    menu = tomllib.load(f)["menu"]
# Twips (15 a pixel at 96 dpi) to pixels, halves up, as the launcher scales.
size = tuple((v * 15 * DPI + 720) // 1440 for v in menu["size"])
with Image.open(brand.parent / menu.get("picture_2x", menu["picture"])) as picture:
    picture.convert("RGB").resize(size, Image.LANCZOS).save(sys.argv[2])

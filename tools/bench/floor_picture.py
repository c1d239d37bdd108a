"""The floor program's pictures, from the brand's: at 96 dpi its menu picture
(a BMP as it is, anything else as an uncompressed bitmap), and at 144 dpi its
2x menu picture (its 1x one when it has none) resized to the menu's size
there, uncompressed.

Usage: python3 -m tools.bench.floor_picture BRAND.toml OUT-96.bmp OUT-144.bmp"""
import shutil
import sys

from PIL import Image

from tools.brand import BrandError, load

DPI = 144

if len(sys.argv) != 4:
    sys.exit(__doc__)
try:
    menu = load(sys.argv[1]).menu
except BrandError as error:
    sys.exit(str(error))
if menu.picture.lower().endswith(".bmp"):
    shutil.copyfile(menu.picture, sys.argv[2])  # the launcher embeds a BMP as it is
else:
    with Image.open(menu.picture) as image:
        image.convert("RGB").save(sys.argv[2], format="BMP")
# Twips (15 a pixel at 96 dpi) to pixels, halves up, as the launcher scales.
size = tuple((v * 15 * DPI + 720) // 1440 for v in menu.size)
with Image.open(menu.picture_2x or menu.picture) as image:
    image.convert("RGB").resize(size, Image.LANCZOS).save(sys.argv[3], format="BMP")

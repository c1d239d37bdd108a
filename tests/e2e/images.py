"""Comparing screenshots with the artwork they should show (PIL)."""
from PIL import Image


def load_rgb(path):
    with Image.open(path) as image:
        return image.convert("RGB")


def icon_image(path, size):
    with Image.open(path) as image:
        image.size = (size, size)  # picks that image of the .ico
        return image.convert("RGBA")


def matching_fraction(shot, origin, expected, tolerance=0):
    """The share of `expected`'s pixels found in `shot` at `origin` (top
    left), each channel within `tolerance`. Parts outside `shot` count as
    differences."""
    shot_pixels, expected_pixels = shot.load(), expected.load()
    matches = 0
    for y in range(expected.height):
        for x in range(expected.width):
            sx, sy = origin[0] + x, origin[1] + y
            if 0 <= sx < shot.width and 0 <= sy < shot.height:
                got, want = shot_pixels[sx, sy], expected_pixels[x, y]
                matches += all(abs(g - w) <= tolerance for g, w in zip(got, want[:3]))
    return matches / float(expected.width * expected.height)


def find_icon(shot, icon, area, tolerance=24):
    """Best (fraction, position) of the icon's opaque pixels matching inside
    `area` (left, top, right, bottom) of the shot."""
    icon_pixels = icon.load()
    opaque = [(x, y, icon_pixels[x, y]) for y in range(icon.height) for x in range(icon.width)
              if icon_pixels[x, y][3] == 255]
    shot_pixels = shot.load()
    best = (0.0, None)
    for top in range(area[1], area[3] - icon.height + 1):
        for left in range(area[0], area[2] - icon.width + 1):
            matches = sum(all(abs(g - w) <= tolerance for g, w in zip(shot_pixels[left + x, top + y], want[:3]))
                          for x, y, want in opaque)
            best = max(best, (matches / float(len(opaque)), (left, top)), key=lambda b: b[0])
    return best


def colours_in(shot, box):
    """The set of '#RRGGBB' colours inside box (left, top, right, bottom)."""
    return {"#%02X%02X%02X" % shot.getpixel((x, y)) for y in range(box[1], box[3]) for x in range(box[0], box[2])}

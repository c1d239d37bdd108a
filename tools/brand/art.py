"""The brand's pictures, icon and cursor: readable, of the sizes they must
have, each mistake blamed on the picture that is wrong."""
import os

from . import pictures
from .findings import Findings, named, shown

WINDOW_LIMIT = (4000, 4000)  # pixels at 96 dpi
LIT = ("hover", "pressed")  # the menu's pictures of a zone under the pointer and held down


def picture(report: Findings, where, path, what, limit=WINDOW_LIMIT):
    """(width, height, transparent) of a picture, or None after an error."""
    report.places.setdefault(path, report.line(where))
    try:
        return pictures.read(path, limit)
    except pictures.PictureError as error:
        report.error(where, "%s: %s %s" % (what, named(os.path.basename(path)), error))
        return None


def picture_pair(report: Findings, where, table, key, what, opaque, expected=None, wrong_size=None):
    """A picture and its 2x: each readable, the 1x of the `expected` size
    (`wrong_size(1x size, expected)` says otherwise), the 2x exactly twice
    it. Of the two, the one that is wrong is blamed: a 2x twice the expected
    size beside a wrong 1x is right. Returns the 1x size, or None."""
    one = picture(report, where + (key,), table[key], what) if key in table else None
    if one and opaque and one[2]:
        report.error(where + (key,), "%s: %s has transparent pixels, and nothing lies behind the window: "
                     "flatten it onto a colour" % (what, named(os.path.basename(table[key]))))
    if one and expected and one[:2] != tuple(expected):
        report.error(where + (key,), wrong_size(one[:2], expected))
    two_key = key + "_2x"
    if two_key in table:
        two = picture(report, where + (two_key,), table[two_key], what + "_2x",
                      tuple(2 * v for v in WINDOW_LIMIT))
        base = tuple(expected) if expected else one[:2] if one else None
        if base and two and two[:2] != (2 * base[0], 2 * base[1]) and not (one and two[:2] == (2 * one[0], 2 * one[1])):
            report.error(where + (two_key,), "%s_2x is %dx%d; it must be exactly twice %s, %dx%d" % (
                what, two[0], two[1], what, 2 * base[0], 2 * base[1]))
        if two and opaque and two[2]:
            report.error(where + (two_key,), "%s_2x has transparent pixels: flatten it onto a colour" % what)
    return one[:2] if one else None


def icon(report: Findings, where, path):
    name = named(os.path.basename(path))
    try:
        if path.lower().endswith(".png"):
            size = pictures.read(path, (1024, 1024))
            if size[0] != size[1]:
                raise pictures.PictureError("is %dx%d; an icon must be square" % size[:2])
            if size[0] < 32:
                report.warn(where, "identity.icon: %s is %dx%d; Windows shows icons at 32 pixels and more: it will "
                            "look blurred" % (name, *size[:2]))
            return
        if not path.lower().endswith(".ico"):
            raise pictures.PictureError("must be a .ico or a square PNG")
        sizes = pictures.read_icon(path, 1)
    except pictures.PictureError as error:
        return report.error(where, "identity.icon: %s %s" % (name, error))
    lacking = [s for s in (16, 32) if s not in sizes]
    if lacking:
        report.warn(where, "identity.icon: %s has no %s image; Windows scales another for it" % (
            name, " or ".join("%dx%d" % (s, s) for s in lacking)))


def cursor(report: Findings, where, menu):
    path = menu.get("cursor")
    hotspot = menu.get("cursor_hotspot")
    if path is None:
        if hotspot is not None and not report.given(where + ("cursor",)):
            report.error(where + ("cursor_hotspot",), "menu.cursor_hotspot goes with a PNG cursor, and there is "
                         "no cursor")
        return
    name = named(os.path.basename(path))
    try:
        if path.lower().endswith(".png"):
            size = pictures.read(path, (256, 256))
            if size[0] != size[1]:
                raise pictures.PictureError("is %dx%d; a cursor must be square" % size[:2])
            if hotspot is None:
                return report.error(where + ("cursor",), "menu.cursor: a PNG cursor needs cursor_hotspot = [x, y], "
                                    "the pointer's tip in its pixels")
            if hotspot[0] >= size[0] or hotspot[1] >= size[1]:
                report.error(where + ("cursor_hotspot",), "menu.cursor_hotspot %s lies outside the %dx%d cursor" % (
                    shown(list(hotspot)), *size[:2]))
            return
        if not path.lower().endswith(".cur"):
            raise pictures.PictureError("must be a .cur or a square PNG")
        sizes = pictures.read_icon(path, 2)
    except pictures.PictureError as error:
        return report.error(where + ("cursor",), "menu.cursor: %s %s" % (name, error))
    if hotspot is not None:
        report.error(where + ("cursor_hotspot",), "menu.cursor_hotspot goes with a PNG cursor; a .cur holds its own")
    if not any(s in sizes for s in pictures.CURSOR_SIZES):
        report.warn(where + ("cursor",), "menu.cursor: %s has none of the 32, 48 and 64 pixel images Windows "
                    "takes; it will be scaled" % name)


def lit_pictures(report: Findings, menu, size, where=("menu",), what="menu"):
    """The menu (or a page) drawn lit, pressed and off: each of the menu's
    size, its 2x twice that, and no 2x without its 1x."""
    for key in LIT + ("off",):
        if key + "_2x" in menu and key not in menu:
            report.error(where + (key + "_2x",), "%s.%s_2x needs %s.%s, the same picture at 100 %%" % (
                what, key, what, key))
        picture_pair(report, where, menu, key, "%s.%s" % (what, key), True, size, lambda found, size: (
            "%s.%s is %dx%d; it must be the menu's size, %dx%d" % (what, key, *found, *size)))

#!/usr/bin/python3
"""Checks the committed artwork: the exact layouts the resource compiler,
LoadImage and the OLE picture loader take, and what the user sees on the
menu at 1x and at 2x: every item inside the zone that takes its clicks."""

import io
import struct
import unittest
from pathlib import Path

from PIL import Image

ASSETS = Path(__file__).resolve().parents[2] / "assets"

# The menu window's click zones in client pixels at 1x, edges inclusive.
ZONES = {"manual": (234, 3, 492, 155), "logo": (62, 176, 671, 347), "reader": (4, 352, 152, 540),
         "install": (183, 353, 523, 540), "quit": (560, 338, 721, 540)}
CEILING = 100  # no background pixel is brighter (luma)
BRIGHT = 200  # buttons and captions reach this

BITMAPS = ("menu.bmp", "product-logo.bmp")
# Each 2x picture is exactly twice the size of its 1x one.
JPEGS = {"maker-logo.jpg": None, "maker-logo-2x.jpg": "maker-logo.jpg",
         "product-logo-2x.jpg": "product-logo.bmp", "menu-2x.jpg": "menu.bmp"}
SOF_MARKERS = set(range(0xC0, 0xD0)) - {0xC4, 0xC8, 0xCC}


def read(name):
    return (ASSETS / name).read_bytes()


def box(rect, k):
    """An inclusive rectangle at 1x as a crop box at scale k."""
    x0, y0, x1, y1 = rect
    return x0 * k, y0 * k, (x1 + 1) * k, (y1 + 1) * k


def check_bitmap(tc, data):
    """An uncompressed, bottom-up 8-bit BMP whose pixels follow its palette, as
    the resource compiler and LoadImage take it."""
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data)
    header, width, height, planes, bits, compression, _, _, _, colours = struct.unpack_from("<IiiHHIIiiI", data, 14)
    tc.assertEqual((magic, size, header, planes, bits, compression), (b"BM", len(data), 40, 1, 8, 0))
    tc.assertTrue(width > 0 and height > 0, "bottom-up rows")
    tc.assertEqual(offset, 14 + 40 + 4 * colours, "pixels right after the palette")
    tc.assertGreaterEqual(len(data), offset + (width + 3) // 4 * 4 * height)
    tc.assertLess(max(Image.open(io.BytesIO(data)).tobytes()), colours, "index past the palette")


def check_jpeg(tc, data, width, height):
    """Baseline JFIF at 96 dpi, Y Cb Cr at full resolution each."""
    tc.assertEqual(data[:2] + data[-2:], b"\xff\xd8\xff\xd9")
    # APP0 straight after SOI: marker, length, "JFIF\0", version, then dots per inch, 96 by 96.
    tc.assertEqual(data[2:4] + data[6:11] + data[13:18], b"\xff\xe0JFIF\0\x01\x00\x60\x00\x60")
    frames, at = [], 2  # the frame headers among the segments before the scan
    while data[at] == 0xFF and data[at + 1] != 0xDA:
        length = struct.unpack_from(">H", data, at + 2)[0]
        if data[at + 1] in SOF_MARKERS:
            frames.append((data[at + 1], data[at + 4:at + 2 + length]))
        at += 2 + length
    tc.assertEqual(data[at:at + 2], b"\xff\xda", "segments up to the start of scan")
    tc.assertEqual([m for m, _ in frames], [0xC0], "one SOF0, nothing progressive")
    tc.assertEqual(frames[0][1][:6], struct.pack(">BHHB", 8, height, width, 3))
    tc.assertEqual(frames[0][1][7::3], b"\x11\x11\x11", "no chroma subsampling")


def icon_dir(data):
    """The type and the directory entries of an .ico or .cur file."""
    _, kind, count = struct.unpack_from("<HHH", data)
    return kind, [struct.unpack_from("<BBBBHHII", data, 6 + 16 * i) for i in range(count)]


class Formats(unittest.TestCase):
    def test_bitmaps(self):
        for name in BITMAPS:
            with self.subTest(name):
                check_bitmap(self, read(name))

    def test_jpegs(self):
        for name, base in JPEGS.items():
            with self.subTest(name):
                w, h = Image.open(ASSETS / (base or name)).size
                k = 2 if base else 1
                check_jpeg(self, read(name), w * k, h * k)

    def test_hand_cursor_fingertip_at_each_hotspot(self):
        data = read("hand.cur")
        kind, entries = icon_dir(data)
        self.assertEqual(kind, 2)
        self.assertEqual([(e[0], e[1], e[4], e[5]) for e in entries],
                         [(32, 32, 12, 8), (48, 48, 18, 12), (64, 64, 24, 16)])
        for n, _, _, _, hot_x, hot_y, _, offset in entries:
            with self.subTest(size=n):
                self.assertEqual(struct.unpack_from("<IiiHH", data, offset), (40, n, 2 * n, 1, 1))
                stride = (n + 31) // 32 * 4
                mask = offset + 40 + 8 + stride * n  # after header, two colours, XOR bits
                # The AND mask, bottom-up, read inverted: the hand's pixels are set.
                hand = Image.frombytes("1", (n, n), data[mask:mask + stride * n], "raw", "1;I", stride, -1)
                self.assertEqual(hand.getbbox()[1], hot_y, "the fingertip is the topmost point")
                self.assertTrue(hand.getpixel((hot_x, hot_y)))

    def test_app_icon_16_and_32_at_4_bits(self):
        data = read("startboard.ico")
        kind, entries = icon_dir(data)
        self.assertEqual(kind, 1)
        self.assertEqual([(e[0], e[1], e[5], struct.unpack_from("<H", data, e[7] + 14)[0])
                          for e in entries], [(16, 16, 4, 4), (32, 32, 4, 4)])


class MenuArt(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.menus = {1: Image.open(ASSETS / "menu.bmp").convert("L"), 2: Image.open(ASSETS / "menu-2x.jpg").convert("L")}

    def test_nothing_bright_outside_the_zones_nor_in_the_strip_logo_and_quit_share(self):
        strip = ZONES["quit"][:2] + ZONES["logo"][2:]  # a click there quits
        for k, luma in self.menus.items():
            outside = luma.copy()
            for zone in ZONES.values():
                outside.paste(0, box(zone, k))
            outside.paste(luma.crop(box(strip, k)), box(strip, k))
            where = outside.point(lambda v: 255 if v > CEILING else 0).getbbox()
            self.assertIsNone(where, f"bright pixels outside the zones or in the strip at {k}x")

    def test_each_zone_holds_a_bright_item(self):
        for k, luma in self.menus.items():
            for name, zone in ZONES.items():
                bright = sum(luma.crop(box(zone, k)).histogram()[BRIGHT:])
                with self.subTest(scale=k, zone=name):
                    self.assertGreater(bright, 500 * k * k)


if __name__ == "__main__":
    unittest.main()

"""A second brand, unlike the default in every way a publisher may change:
another picture size (480 x 320), a publisher's PNG pictures, PNG icon and
PNG cursor, four zones, a web zone, an install with no question, its own
identity and exe name, no About window, and its own disc files, spelt in
other cases than its keys name them.

    second.py make FOLDER STANDIN   writes the brand file, its pictures and
                                    its disc files there (STANDIN: the
                                    installer that only says it ran)

Its tests run that launcher, built from this brand, as a user meets it:
pytest tests/e2e/second.py with the options of tests/e2e/conftest.py."""
import os
import pathlib
import sys
import time

import pefile
import pytest
import tomli_w
from PIL import Image, ImageDraw

from harness import DISC, RECORDER, STANDIN_TITLE, asset, expect, expect_equal, hand, matching
from scenarios import expect_start

TITLE = "Orchard Atlas Setup"
EXE = "Atlas.exe"
SIZE = (480, 320)
URL = "https://atlas.example.org/start?from=cd"
NO_READER = "Install a PDF reader to read the guide."
ZONES = {  # pixels at 96 dpi (left, top, width, height), colour on the picture, tip, action
    "guide": ((24, 24, 200, 120), (60, 130, 200), "Read the Atlas guide",
              {"action": "open", "document": "docs/guide.pdf", "no_program": NO_READER}),
    "install": ((256, 24, 200, 120), (70, 160, 90), "Install Orchard Atlas",
                {"action": "install", "program": "setup/atlas.exe"}),
    "web": ((24, 176, 200, 120), (200, 140, 40), "Visit the Atlas website", {"action": "web", "url": URL}),
    "quit": ((256, 176, 200, 120), (170, 60, 60), "Close this window", {"action": "quit"}),
}
GAP = (240, 160)  # between the four zones
BRAND = {
    "identity": {"title": TITLE, "product": "Orchard Atlas", "company": "Pellucid Maps Ltd.", "version": "2.5.1",
                 "product_version": "2.5", "copyright": "\u00a9 2026 Pellucid Maps Ltd.", "icon": "atlas.png",
                 "exe": EXE},
    "menu": {"picture": "menu.png", "picture_2x": "menu-2x.png", "size": list(SIZE), "cursor": "hand.png",
             "cursor_hotspot": [24, 16]},  # at 32, 48 and 64 pixels it lands where the default hand's does
    "disc": {"probe_page": "web/probe.htm", "label": "Orchard Atlas", "files": "Disc Files"},
}
DISC_FILES = {"Docs/Guide.PDF": b"%PDF-1.4\n", "Web/Probe.HTM": b"<!DOCTYPE html><title>probe</title>\n"}


def picture(scale):
    """The menu: a dark field with one coloured panel per zone."""
    image = Image.new("RGB", (SIZE[0] * scale, SIZE[1] * scale), (20, 24, 40))
    draw = ImageDraw.Draw(image)
    for (left, top, width, height), colour, _, _ in ZONES.values():
        draw.rounded_rectangle([left * scale, top * scale, (left + width) * scale - 1, (top + height) * scale - 1],
                               radius=12 * scale, fill=colour)
    return image


def make(folder, standin):
    os.makedirs(folder, exist_ok=True)
    zones = [dict(name=name, rect=list(rect), tooltip=tip, **action) for name, (rect, _, tip, action) in ZONES.items()]
    with open(os.path.join(folder, "brand.toml"), "wb") as f:
        tomli_w.dump(dict(BRAND, zone=zones), f)
    picture(1).save(os.path.join(folder, "menu.png"))
    picture(2).save(os.path.join(folder, "menu-2x.png"))
    with Image.open(asset("startboard.ico")) as icon:
        icon.convert("RGBA").resize((64, 64)).save(os.path.join(folder, "atlas.png"))
    hand = Image.new("RGBA", (64, 64), (0, 0, 0, 0))
    ImageDraw.Draw(hand).polygon([(24, 16), (24, 60), (34, 50), (44, 62), (50, 58), (40, 46), (54, 46)],
                                 fill=(255, 255, 255, 255), outline=(0, 0, 0, 255))
    hand.save(os.path.join(folder, "hand.png"))
    files = os.path.join(folder, "Disc Files")
    for name, data in list(DISC_FILES.items()) + [("Setup/ATLAS.exe", pathlib.Path(standin).read_bytes())]:
        os.makedirs(os.path.dirname(os.path.join(files, name)), exist_ok=True)
        with open(os.path.join(files, name), "wb") as f:
            f.write(data)


def centre(name, dpi):
    left, top, width, height = ZONES[name][0]
    return (left + width // 2) * dpi // 96, (top + height // 2) * dpi // 96


@pytest.mark.dpi(96, 144)
def test_second_brand_window_pointer_tips_and_version_block(t):
    main = t.launcher(exe=EXE, title=TITLE)
    size = tuple(round(v * t.dpi / 96) for v in SIZE)
    expect_equal(main.size(), size, "client size")
    shot = main.shot()
    t.save(shot, "second")
    expected = picture(1 if t.dpi == 96 else 2).resize(size, Image.Resampling.BILINEAR)
    share = matching(shot, expected, 24)  # the 2x is JPEG-coded on the way
    expect(share > 0.97, "the menu picture matches %.1f%%" % (100 * share))
    main.move((-40, -40))
    arrow = t.cursor()
    for name, (_, _, tip, _) in ZONES.items():
        expect(t.pointer_is(main, centre(name, t.dpi), hand(t.dpi)), "no hand over %s" % name)
        expect(t.tooltip(tip), "no tip %r over %s" % (tip, name))
    expect(t.pointer_is(main, tuple(v * t.dpi // 96 for v in GAP), arrow), "a hand between the zones")
    if t.dpi == 96:
        exe = pefile.PE(os.path.join(t.disc, EXE))
        strings = {k.decode(): v.decode() for info in exe.FileInfo[0] if info.Key == b"StringFileInfo"
                   for table in info.StringTable for k, v in table.entries.items()}
        fixed = exe.VS_FIXEDFILEINFO[0]
        expect_equal((strings, fixed.FileVersionMS, fixed.FileVersionLS, fixed.ProductVersionMS),
                     ({"CompanyName": "Pellucid Maps Ltd.", "FileDescription": TITLE, "FileVersion": "2.5.1",
                       "InternalName": "Atlas",
                       "LegalCopyright": "\u00a9 2026 Pellucid Maps Ltd.", "OriginalFilename": EXE,
                       "ProductName": "Orchard Atlas", "ProductVersion": "2.5"}, 0x20005, 0x10000, 0x20005),
                     "version block")


@pytest.mark.dpi(96, 144)
def test_second_brand_each_zone_reaches_the_shell(t):
    root = DISC
    main = t.launcher(exe=EXE, title=TITLE)
    main.click(centre("guide", t.dpi))
    expect_start(t.records(1)[-1], [RECORDER, root + "docs\\guide.pdf"])
    t.settle()
    t.associate(pdf=False)
    time.sleep(0.6)  # past the double-click time: a second press there is no click
    main.click(centre("guide", t.dpi))
    expect_equal(t.box(TITLE).text, NO_READER, "box when no program opens the guide")
    t.box(TITLE).answer("OK")
    main.click(centre("install", t.dpi))  # no question first
    box = t.box(STANDIN_TITLE)
    box.answer("OK")
    expect_start(t.records(2)[-1], [root + "setup\\atlas.exe"])
    main.click(centre("web", t.dpi))
    expect_equal(t.records(3)[-1].command_line, '"%s" %s' % (RECORDER, URL), "browser started")
    t.settle()
    main.click(centre("quit", t.dpi))
    expect_equal(t.exit_code(), 0, "exit code after Quit")


if __name__ == "__main__":
    if len(sys.argv) != 4 or sys.argv[1] != "make":
        sys.exit(__doc__)
    make(sys.argv[2], sys.argv[3])

"""A second brand, unlike the default in every way a publisher may change:
another picture size (480 x 320), a publisher's PNG pictures, PNG icon and
PNG cursor, six zones, a web zone, an install with no question and one with,
a zone that closes the launcher once it started, its own identity and exe
name, no About window, pictures of the menu lit and pressed, the keyboard,
its own disc files, spelt in other cases than its keys name them, two
languages beside its own English: German, with a menu and a page picture
of its own, and French, which leaves some texts in English; and a second
page, opened from the menu or first where a registry value says so, with a
zone only on x64, one only where a registry key exists (drawn from the
page's off picture until then), an installer started with arguments (each
language's) and administrator rights, a disc folder to explore and a way
back.

    second.py make FOLDER STANDIN   writes the brand file, its pictures and
                                    its disc files there (STANDIN: the
                                    installer that only says it ran)

Its tests run that launcher, built from this brand, as a user meets it:
pytest tests/e2e/second.py with the options of tests/e2e/conftest.py."""
import itertools
import os
import pathlib
import struct
import sys
import time

import pefile
import pytest
import tomli_w
from PIL import Image, ImageDraw

from harness import (DISC, FOCUSABLE, RECORDER, STANDIN_TITLE, asset, expect, expect_equal, expect_start,
                     focused_children, hand, matching)
from tools.wine.wine import WINE, wait_for

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
    "tools": ((24, 300, 136, 16), (120, 120, 150), "Install the map tools",
              {"action": "install", "program": "setup/tools.exe", "question": "Install the map tools?",
               "question_title": "Map tools"}),
    "readme": ((176, 300, 128, 16), (150, 150, 150), "Read me, then close",
               {"action": "open", "document": "readme.txt", "then": "quit"}),
    "more": ((320, 300, 136, 16), (90, 150, 170), "More products", {"action": "page", "page": "products"}),
}
ATLAS_KEY = r"HKCU\Software\Pellucid\Atlas"  # the update zone's; its value Start opens the page first
ARGUMENTS = "/quiet /lang=en"
PAGE_ZONES = {
    "atlas64": ((24, 24, 200, 120), (60, 90, 200), "Install Atlas for 64-bit Windows",
                {"action": "install", "program": "x64/setup.exe", "arguments": ARGUMENTS, "elevate": True,
                 "when": {"architecture": ["x64", "arm64"]}}),
    "update": ((256, 24, 200, 120), (200, 80, 160), "Update Orchard Atlas",
               {"action": "install", "program": "setup/atlas.exe", "when": {"registry": ATLAS_KEY}}),
    "extras": ((24, 176, 200, 120), (200, 170, 60), "Browse the extras", {"action": "explore", "folder": "extras"}),
    "back": ((256, 176, 200, 120), (120, 120, 120), "Back to the menu", {"action": "back"}),
}
PAGE = {"name": "products", "picture": "products.png", "picture_2x": "products-2x.png", "off": "products-off.png",
        "off_2x": "products-off-2x.png", "when": {"registry": ATLAS_KEY, "value": "Start"}}
FIELD, GERMAN_FIELD = (20, 24, 40), (44, 30, 18)  # the pictures' background, and the German ones'
LANGUAGES = {
    "de": {"identity": {"title": "Orchard Atlas Einrichtung", "description": "Orchard Atlas Einrichtung"},
           "menu": {"picture": "menu-de.jpg", "picture_2x": "menu-de-2x.jpg"},
           "page": {"products": {"picture": "products-de.png", "picture_2x": "products-de-2x.png",
                                 "off": "products-off-de.png", "off_2x": "products-off-de-2x.png"}},
           "zone": {"guide": {"tooltip": "Das Atlas-Handbuch lesen",
                              "no_program": "Installieren Sie ein PDF-Programm, um das Handbuch zu lesen."},
                    "install": {"tooltip": "Orchard Atlas installieren"},
                    "web": {"tooltip": "Die Atlas-Website besuchen"},
                    "quit": {"tooltip": "Dieses Fenster schlie\u00dfen"},
                    "tools": {"tooltip": "Die Kartenwerkzeuge installieren",
                              "question": "Die Kartenwerkzeuge installieren?", "question_title": "Kartenwerkzeuge"},
                    "more": {"tooltip": "Weitere Produkte"},
                    "atlas64": {"tooltip": "Atlas f\u00fcr 64-Bit-Windows installieren", "arguments": "/quiet /lang=de"},
                    "extras": {"tooltip": "Die Extras durchsuchen"},
                    "back": {"tooltip": "Zur\u00fcck zum Men\u00fc"}},
           "messages": {"no_browser": "Kein Webbrowser gefunden. Bitte installieren Sie einen."}},
    "fr": {"identity": {"title": "Installation d\u2019Orchard Atlas",
                        "copyright": "\u00a9 2026 Pellucid Maps SARL"},
           "zone": {"guide": {"tooltip": "Lire le guide de l\u2019Atlas",
                              "no_program": "Installez un lecteur PDF pour lire le guide."},
                    "tools": {"question": "Installer les outils cartographiques\u00a0?"}}},
}
GAP = (240, 160)  # between the zones
ROLE_CLIENT, ROLE_PUSHBUTTON = 0x0A, 0x2B  # Active Accessibility's roles
BRAND = {
    "identity": {"title": TITLE, "product": "Orchard Atlas", "company": "Pellucid Maps Ltd.", "version": "2.5.1",
                 "product_version": "2.5", "copyright": "\u00a9 2026 Pellucid Maps Ltd.", "icon": "atlas.png",
                 "exe": EXE},
    "menu": {"picture": "menu.png", "picture_2x": "menu-2x.png", "size": list(SIZE), "cursor": "hand.png",
             "cursor_hotspot": [24, 16],  # at 32, 48 and 64 pixels it lands where the default hand's does
             "hover": "hover.jpg", "hover_2x": "hover-2x.jpg", "pressed": "pressed.png", "pressed_2x": "pressed-2x.png",
             "keyboard": True, "focus_order": ["guide", "install", "more", "web", "quit", "readme"]},  # not tools
    "disc": {"probe_page": "web/probe.htm", "label": "Orchard Atlas", "files": "Disc Files"},
}
DISC_FILES = {"Docs/Guide.PDF": b"%PDF-1.4\n", "Web/Probe.HTM": b"<!DOCTYPE html><title>probe</title>\n",
              "ReadMe.TXT": b"Read me.\r\n", "Extras/Map.txt": b"A map.\r\n"}


LOOKS = {"plain": lambda c: c, "hover": lambda c: tuple(min(255, v + 70) for v in c),
         "pressed": lambda c: tuple(v // 2 for v in c), "off": lambda c: (sum(c) // 3,) * 3}


def picture(scale, look="plain", field=FIELD, zones=None):
    """The menu (or the page of `zones`): a field with one coloured panel per
    zone, lit, pressed or greyed."""
    image = Image.new("RGB", (SIZE[0] * scale, SIZE[1] * scale), field)
    draw = ImageDraw.Draw(image)
    for (left, top, width, height), plain, _, _ in (zones or ZONES).values():
        colour = LOOKS[look](plain)
        draw.rounded_rectangle([left * scale, top * scale, (left + width) * scale - 1, (top + height) * scale - 1],
                               radius=min(12, height // 2) * scale, fill=colour)
    return image


def make(folder, standin):
    os.makedirs(folder, exist_ok=True)
    zones, page_zones = ([dict(name=name, rect=list(rect), tooltip=tip, **action)
                          for name, (rect, _, tip, action) in table.items()] for table in (ZONES, PAGE_ZONES))
    with open(os.path.join(folder, "brand.toml"), "wb") as f:
        tomli_w.dump(dict(BRAND, zone=zones, page=[dict(PAGE, zone=page_zones)], language=LANGUAGES), f)
    for (scale, suffix), (field, tag) in itertools.product(((1, ""), (2, "-2x")), ((FIELD, ""), (GERMAN_FIELD, "-de"))):
        picture(scale, zones=PAGE_ZONES, field=field).save(os.path.join(folder, "products%s%s.png" % (tag, suffix)))
        picture(scale, "off", zones=PAGE_ZONES, field=field).save(
            os.path.join(folder, "products-off%s%s.png" % (tag, suffix)))
    picture(1).save(os.path.join(folder, "menu.png"))
    picture(2).save(os.path.join(folder, "menu-2x.png"))
    picture(1, field=GERMAN_FIELD).save(os.path.join(folder, "menu-de.jpg"), quality=92)
    picture(2, field=GERMAN_FIELD).save(os.path.join(folder, "menu-de-2x.jpg"), quality=92)
    picture(1, "hover").save(os.path.join(folder, "hover.jpg"), quality=92)
    picture(2, "hover").save(os.path.join(folder, "hover-2x.jpg"), quality=92)
    picture(1, "pressed").save(os.path.join(folder, "pressed.png"))
    picture(2, "pressed").save(os.path.join(folder, "pressed-2x.png"))
    with Image.open(asset("startboard.ico")) as icon:
        icon.convert("RGBA").resize((64, 64)).save(os.path.join(folder, "atlas.png"))
    hand = Image.new("RGBA", (64, 64), (0, 0, 0, 0))
    ImageDraw.Draw(hand).polygon([(24, 16), (24, 60), (34, 50), (44, 62), (50, 58), (40, 46), (54, 46)],
                                 fill=(255, 255, 255, 255), outline=(0, 0, 0, 255))
    hand.save(os.path.join(folder, "hand.png"))
    files = os.path.join(folder, "Disc Files")
    for name, data in list(DISC_FILES.items()) + [(name, pathlib.Path(standin).read_bytes())
                                           for name in ("Setup/ATLAS.exe", "Setup/Tools.EXE", "x64/Setup.exe")]:
        os.makedirs(os.path.dirname(os.path.join(files, name)), exist_ok=True)
        with open(os.path.join(files, name), "wb") as f:
            f.write(data)


def centre(name, dpi):
    left, top, width, height = {**ZONES, **PAGE_ZONES}[name][0]
    return (left + width // 2) * dpi // 96, (top + height // 2) * dpi // 96


@pytest.mark.dpi(96, 144)
def test_second_brand_window_pointer_tips_and_version_block(t):
    main = t.launcher(exe=EXE, title=TITLE)
    size = tuple(round(v * t.dpi / 96) for v in SIZE)
    expect_equal(main.size(), size, "client size")
    shot = main.shot()
    t.save(shot, "second")
    expected = picture(1 if t.dpi == 96 else 2).resize(size, Image.Resampling.BILINEAR)
    share = matching(shot, expected, 24)  # at 144 dpi resized by the launcher, not Pillow
    expect(share > 0.97, "the menu picture matches %.1f%%" % (100 * share))
    main.move((-40, -40))
    arrow = t.cursor()
    for name, (_, _, tip, _) in ZONES.items():
        expect(t.pointer_is(main, centre(name, t.dpi), hand(t.dpi)), "no hand over %s" % name)
        expect(t.tooltip(tip), "no tip %r over %s" % (tip, name))
    expect(t.pointer_is(main, tuple(v * t.dpi // 96 for v in GAP), arrow), "a hand between the zones")
    if t.dpi == 96:
        from tools.brand import footprint, load  # the build's tools: not needed by `second.py make`
        ours = load(os.path.join(t.disc, "..", "brand", "brand.toml"))
        size, given = os.path.getsize(os.path.join(t.disc, EXE)), footprint.given_bytes(ours)
        expect(size <= given + footprint.OVERHEAD, "%s is %d bytes: its pictures as given are %d" % (EXE, size, given))
        exe = pefile.PE(os.path.join(t.disc, EXE))
        tables = {table.LangID.decode(): {k.decode(): v.decode() for k, v in table.entries.items()}
                  for info in exe.FileInfo[0] if info.Key == b"StringFileInfo" for table in info.StringTable}
        fixed = exe.VS_FIXEDFILEINFO[0]
        english = {"CompanyName": "Pellucid Maps Ltd.", "FileDescription": TITLE, "FileVersion": "2.5.1",
                   "InternalName": "Atlas", "LegalCopyright": "\u00a9 2026 Pellucid Maps Ltd.",
                   "OriginalFilename": EXE, "ProductName": "Orchard Atlas", "ProductVersion": "2.5"}
        # One string table per language: Explorer shows the user's.
        expect_equal((tables, fixed.FileVersionMS, fixed.FileVersionLS, fixed.ProductVersionMS),
                     ({"040904B0": english,
                       "040704B0": dict(english, FileDescription="Orchard Atlas Einrichtung"),
                       "040C04B0": dict(english, FileDescription=LANGUAGES["fr"]["identity"]["title"],
                                        LegalCopyright=LANGUAGES["fr"]["identity"]["copyright"])},
                      0x20005, 0x10000, 0x20005), "version block")
        # The Translation list, as Explorer reads it (pefile keeps only its last pair).
        raw = bytes(exe.__data__)
        key = "Translation".encode("utf-16-le") + b"\0\0"
        start = raw.index(key) - 6
        length = struct.unpack_from("<H", raw, start + 2)[0]
        value = (start + 6 + len(key) + 3) & ~3
        expect_equal(struct.unpack_from("<%dH" % (length // 2), raw, value),
                     (0x0409, 1200, 0x0407, 1200, 0x040C, 1200), "the version block's languages")


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


@pytest.fixture(autouse=True)
def pointer_aside(t):
    """The pointer starts in the screen's corner, over no zone."""
    t.xdotool("mousemove", 0, 0)


def look(main, name, screen=None):
    """How a zone is drawn now (or on `screen`, a grab of it): plain, hover
    or pressed (by its middle pixel), or None."""
    pixel = (screen or main.desktop.grab()).getpixel(main.at(centre(name, main.desktop.dpi)))
    colour = ZONES[name][1]
    return next((k for k, f in LOOKS.items() if all(abs(a - b) <= 30 for a, b in zip(pixel, f(colour)))), None)


def expect_looks(main, looks, what):
    """Waits up to 2 s for the zones to be drawn as `looks` says (plain where it says nothing)."""
    wanted = {name: looks.get(name, "plain") for name in ZONES}
    seen = {}

    def drawn():
        screen = main.desktop.grab()  # one grab for all: the zones as they were at one moment
        seen.update({n: look(main, n, screen) for n in ZONES})
        return seen == wanted
    expect(wait_for(drawn, 2), "%s: zones drawn %r, expected %r" % (what, seen, wanted))


@pytest.mark.dpi(96, 144)
def test_second_brand_zones_light_under_the_pointer_and_press(t):
    main = t.launcher(exe=EXE, title=TITLE)
    expect_looks(main, {}, "at start")
    main.move(centre("guide", t.dpi))
    expect_looks(main, {"guide": "hover"}, "over the guide")
    t.save(main.shot(), "second-lit")  # README's picture of a lit zone
    main.move(centre("readme", t.dpi))
    expect_looks(main, {"readme": "hover"}, "over the readme strip")
    main.move(tuple(v * t.dpi // 96 for v in GAP))
    expect_looks(main, {}, "between the zones")
    t.xdotool("mousemove", *main.at(centre("install", t.dpi)), "mousedown", 1)
    expect_looks(main, {"install": "pressed"}, "held down on install")
    main.move(tuple(v * t.dpi // 96 for v in GAP))
    expect_looks(main, {}, "held down, moved off install")
    main.move(centre("install", t.dpi))
    expect_looks(main, {"install": "pressed"}, "held down, back on install")
    main.move(centre("web", t.dpi))
    t.xdotool("mouseup", 1)  # released over another zone: nothing runs
    expect_looks(main, {"web": "hover"}, "released over the web zone")
    time.sleep(0.7)
    expect_equal(t.records(), [], "programs started by a press moved off its zone")
    t.associate(pdf=False)
    main.click(centre("guide", t.dpi))
    t.box(TITLE)
    expect_looks(main, {}, "behind the failure box")
    t.box(TITLE).answer("OK")
    wait_for(lambda: main.fresh().foreground, 5, "the menu is not in front after the box")
    main.key("Escape")
    expect_equal(t.exit_code(), 0, "exit code after Escape")


@pytest.mark.dpi(96, 144)
def test_second_brand_is_used_from_the_keyboard(t):
    main = t.launcher(exe=EXE, title=TITLE)
    wait_for(lambda: main.fresh().foreground, 5, "the menu is not in front")
    expect_looks(main, {}, "before a key")
    # The zone the keys never visit cannot take the focus.
    buttons = [{"name": tip, "role": ROLE_PUSHBUTTON, "state": 0 if name == "tools" else FOCUSABLE}
               for name, (_, _, tip, _) in ZONES.items()]
    read = t.wine.call("acc", main.hwnd)
    expect_equal((read["role"], read["children"], read["focus"]), (ROLE_CLIENT, buttons, 0), "as a screen reader reads it")
    main.key("Tab")
    expect_looks(main, {"guide": "hover"}, "the first Tab")
    expect(t.tooltip(ZONES["guide"][2]), "no tip for the focused guide zone")
    read = t.wine.call("acc", main.hwnd)
    expect_equal((read["focus"], focused_children(read)), (1, [1]), "the focused button, as a screen reader reads it")
    main.key("Tab")
    expect_looks(main, {"install": "hover"}, "the second Tab")
    expect(t.tooltip(ZONES["install"][2]), "no tip for the focused install zone")
    main.key("shift+Tab")
    expect_looks(main, {"guide": "hover"}, "Shift+Tab")
    main.key("Left")
    expect_looks(main, {"readme": "hover"}, "Left from the first zone: the last")
    main.key("Left")
    expect_looks(main, {"quit": "hover"}, "Left again: past the tools zone, which the keys never visit")
    main.key("Right")
    main.key("Right")
    main.key("Right")
    expect_looks(main, {"install": "hover"}, "Right three times")
    main.move(centre("web", t.dpi))
    expect_looks(main, {"install": "hover", "web": "hover"}, "the focus stays, the hover follows the pointer")
    # Off the zones, in the window: outside it, the keys after the installer's box went astray.
    main.move(tuple(v * t.dpi // 96 for v in GAP))
    main.key("Return")
    t.box(STANDIN_TITLE).answer("OK")
    expect_start(t.records(1)[-1], [DISC + "setup\\atlas.exe"])
    wait_for(lambda: main.fresh().foreground, 5, "the menu is not in front after the installer")
    # A page opened from the keys: the focus on its first zone, framed (no hover picture) and
    # tipped; back by its zone or Escape, on the zone that opened it.
    main.key("Right")
    expect_looks(main, {"more": "hover"}, "Right from the install zone")
    main.key("Return")
    read = page_shown(t, main, ("atlas64", "extras", "back"), "opened by Enter")
    expect_equal((read["focus"], focused_children(read)), (1, [1]), "the page's focus, as a screen reader reads it")
    expect(framed(main, "atlas64"), "no focus frame on the page's first zone")
    expect(t.tooltip(PAGE_ZONES["atlas64"][2]), "no tip for the focused x64 zone")
    main.key("shift+Tab")
    expect_equal(focused_children(t.wine.call("acc", main.hwnd)), [3], "Shift+Tab on the page: the back zone")
    main.key("space")
    menu_shown(t, main, "the back zone, by Space")
    expect_looks(main, {"more": "hover"}, "back by Space: the focus on the zone that opened the page")
    read = t.wine.call("acc", main.hwnd)
    expect_equal((read["focus"], focused_children(read)), (7, [7]), "back by Space, as a screen reader reads it")
    main.key("Return")
    page_shown(t, main, ("atlas64", "extras", "back"), "opened by Enter again")
    main.key("Escape")
    menu_shown(t, main, "Escape on the page")
    expect_looks(main, {"more": "hover"}, "Escape on the page: the focus on the zone that opened it")
    main.key("Escape")
    expect_equal(t.exit_code(), 0, "exit code after Escape")


@pytest.mark.dpi(96)
def test_a_screen_reader_holding_an_object_past_its_window_hears_errors(t, pytestconfig):
    probe = "Z:" + os.path.abspath(os.path.join(pytestconfig.getoption("tools"), "accessible_probe.exe"))
    probe = probe.replace("/", "\\")
    t.roots.append(probe)  # ended with the test, whatever happens
    pid = t.wine.call("start", '"%s"' % probe, "C:\\windows")["pid"]
    # A bit per question answered with success (see accessible_probe.cpp); a crash is 0xC0000005.
    expect_equal(hex(t.wine.call("wait-exit", pid, 30000)["exit_code"]), "0x0", "the probe's exit code")


@pytest.mark.dpi(96)
def test_second_brand_then_quit_closes_only_after_a_start(t):
    t.associate(txt=False)
    main = t.launcher(exe=EXE, title=TITLE)
    main.click(centre("readme", t.dpi))
    t.box(TITLE).answer("OK")  # no program for .txt: the box, and the menu stays
    expect(main.fresh().visible, "the menu closed after a failed start")
    t.associate()
    time.sleep(0.6)
    main.click(centre("readme", t.dpi))
    expect_start(t.records(1)[-1], [RECORDER, DISC + "readme.txt"])
    expect_equal(t.exit_code(), 0, "exit code after a then-quit zone started")


def test_second_brand_without_the_imaging_component_shows_its_zones_as_buttons(t):
    """Windows XP before SP3 has no imaging component to draw a PNG: the
    menu is the window's face with a button a zone, each named by its tip."""
    overrides = r"HKCU\Software\Wine\AppDefaults\%s\DllOverrides" % EXE
    t.wine.run(WINE, "reg", "add", overrides, "/v", "windowscodecs", "/d", "", "/f")
    try:
        main = t.launcher(exe=EXE, title=TITLE)
        shot = main.shot()
        t.save(shot, "second-plain")
        expect_equal(main.size(), SIZE, "client size")
        face = shot.getpixel(GAP)
        expect(face != picture(1).getpixel(GAP), "the picture's field where it cannot be decoded")
        for name, (rect, _, tip, _) in ZONES.items():
            left, top, width, height = rect
            inside = shot.crop((left + 3, top + 3, left + width - 3, top + height - 3))
            expect(face in [colour for _, colour in inside.getcolors(4096) or []] and
                   len(inside.getcolors(4096) or []) > 1, "no button with a text for %s" % name)
            main.move(centre(name, t.dpi))
            expect(t.tooltip(tip), "no tip %r over %s" % (tip, name))
        main.click(centre("quit", t.dpi))
        expect_equal(t.exit_code(), 0, "exit code after Quit")
    finally:
        t.wine.run(WINE, "reg", "delete", overrides, "/f")


def menu_shown(t, main, what):
    expected = picture(1 if t.dpi == 96 else 2).resize(main.size(), Image.Resampling.BILINEAR)
    expect(wait_for(lambda: matching(main.shot(), expected, 24) > 0.97, 3), "%s: the menu is not shown" % what)


def page_shown(t, main, present, what, tag="en"):
    """The products page is shown in a language with the zones `present`
    (the others drawn from its off picture), and screen readers read those
    zones' buttons: what they read is returned."""
    scale, field = 1 if t.dpi == 96 else 2, GERMAN_FIELD if tag == "de" else FIELD
    expected, greyed = (picture(scale, look, field, PAGE_ZONES) for look in ("plain", "off"))
    for name, ((left, top, width, height), _, _, _) in PAGE_ZONES.items():
        if name not in present:
            box = (left * scale, top * scale, (left + width) * scale, (top + height) * scale)
            expected.paste(greyed.crop(box), box)
    expected = expected.resize(main.size(), Image.Resampling.BILINEAR)
    expect(wait_for(lambda: matching(main.shot(), expected, 24) > 0.97, 3),
           "%s: the page is not drawn with %s" % (what, ", ".join(present)))
    read = t.wine.call("acc", main.hwnd)
    expect_equal([child["name"] for child in read["children"]], [said(tag, name, "tooltip") for name in present],
                 "%s: the buttons a screen reader reads" % what)
    return read


def framed(main, name):
    """Whether a focus frame is drawn on a zone of the page: the line two
    pixels inside its top edge dotted, every other pixel inverted."""
    (left, top, width, _), colour, _, _ = PAGE_ZONES[name]
    dpi, shot = main.desktop.dpi, main.shot()
    row = [shot.getpixel((x, top * dpi // 96 + 2)) for x in range((left + 16) * dpi // 96, (left + width - 16) * dpi // 96)]
    inverted = sum(all(abs(a + b - 255) <= 40 for a, b in zip(pixel, colour)) for pixel in row)
    return inverted > len(row) // 3


FOLDER_EXPLORE = r"HKLM\Software\Classes\Folder\shell\explore\command"  # Wine 8 ignores Directory's


@pytest.mark.dpi(96, 144)
def test_second_brand_turns_its_pages(t):
    # shell32's trace shows the verb each start asks for: Wine 8 starts a
    # program asked for with runas as it opens one, asking nothing and
    # reading no runas command from the registry.
    with t.shell_calls() as shell_calls:
        main = t.launcher(exe=EXE, title=TITLE)
        main.click(centre("more", t.dpi))
        read = page_shown(t, main, ("atlas64", "extras", "back"), "opened from the menu, Atlas not installed")
        # Opened by the mouse: screen readers hear the focus go to the
        # page's first zone, and no frame shows it.
        expect_equal((read["focus"], focused_children(read)), (1, [1]), "the focus on a page the mouse opened")
        expect(not framed(main, "atlas64"), "a focus frame on a page the mouse opened")
        main.move((-40, -40))
        arrow = t.cursor()
        expect(t.pointer_is(main, centre("update", t.dpi), arrow), "a hand over the absent update zone")
        expect(t.pointer_is(main, centre("atlas64", t.dpi), hand(t.dpi)), "no hand over the x64 zone")
        expect(t.tooltip(PAGE_ZONES["atlas64"][2]), "no tip over the x64 zone")
        # Its installer, with its arguments and administrator rights,
        # installs Atlas: back in the menu, the user finds its update.
        main.click(centre("atlas64", t.dpi))
        box = t.box(STANDIN_TITLE)
        expect_start(t.records(1)[-1], [DISC + "x64\\setup.exe"] + ARGUMENTS.split())
        t.wine.run(WINE, "reg", "add", ATLAS_KEY, "/f")
        try:
            t.wine.run(WINE, "reg", "add", FOLDER_EXPLORE, "/ve", "/d", '"%s" explore "%%1"' % RECORDER, "/f")
            box.answer("OK")
            wait_for(lambda: main.fresh().foreground, 5, "the menu is not in front after the installer")
            read = page_shown(t, main, tuple(PAGE_ZONES), "back from the installer, Atlas installed")
            expect_equal(focused_children(read), [1], "the focus after the update zone came")
            main.key("Escape")
            menu_shown(t, main, "Escape on the page")
            main.click(centre("more", t.dpi))
            page_shown(t, main, tuple(PAGE_ZONES), "opened again")
            main.click(centre("extras", t.dpi))
            expect_equal(t.records(2)[-1].arguments(), [RECORDER, "explore", DISC + "extras"], "the folder explored")
            expect_equal(shell_calls(), [("runas", DISC + "x64\\setup.exe", ARGUMENTS, "C:\\"),
                                         ("explore", DISC + "extras", None, None)], "the shell's verbs")
            main.click(centre("back", t.dpi))
            menu_shown(t, main, "the back zone")
            read = t.wine.call("acc", main.hwnd)
            expect_equal((read["focus"], focused_children(read), look(main, "more")), (7, [7], "plain"),
                         "the focus back on the zone that opened the page, unseen")
            main.key("Escape")
            expect_equal(t.exit_code(), 0, "exit code after Escape on the menu")
            # The page opens first where the value says so; Escape there quits.
            t.wine.run(WINE, "reg", "add", ATLAS_KEY, "/v", "Start", "/f")
            main = t.launcher(exe=EXE, title=TITLE)
            page_shown(t, main, tuple(PAGE_ZONES), "the first page, by condition")
            main.key("Escape")
            expect_equal(t.exit_code(), 0, "exit code after Escape on the first page")
        finally:
            t.wine.run(WINE, "reg", "delete", ATLAS_KEY, "/f")
            t.wine.run(WINE, "reg", "delete", FOLDER_EXPLORE.rsplit("\\", 1)[0], "/f")


def said(tag, zone, key):
    """A zone's text in a language: its own, else the brand's."""
    own = next(entry[3].get(key, entry[2] if key == "tooltip" else None) for name, entry in {**ZONES, **PAGE_ZONES}.items()
               if name == zone)
    return LANGUAGES.get(tag, {}).get("zone", {}).get(zone, {}).get(key, own)


@pytest.mark.parametrize("locale, tag", [("de_DE.UTF-8", "de"), ("fr_CA.UTF-8", "fr"), ("es_ES.UTF-8", "en")],
                         ids=["German", "French in Canada", "Spanish, which the brand lacks"])
def test_second_brand_speaks_the_users_language(t, locale, tag):
    title = LANGUAGES.get(tag, {}).get("identity", {}).get("title", TITLE)
    main = t.launcher(exe=EXE, title=title, locale=locale)
    expected = picture(1, field=GERMAN_FIELD if tag == "de" else FIELD)
    share = matching(main.shot(), expected, 24)
    expect(share > 0.97, "the %s menu picture matches %.1f%%" % (tag, 100 * share))
    expect_equal([child["name"] for child in t.wine.call("acc", main.hwnd)["children"]],
                 [said(tag, name, "tooltip") for name in ZONES], "the buttons a screen reader reads")
    for name in ZONES:
        tip = said(tag, name, "tooltip")
        main.move(centre(name, t.dpi))
        expect(t.tooltip(tip), "no tip %r over %s" % (tip, name))
    main.click(centre("tools", t.dpi))
    box = t.box(said(tag, "tools", "question_title"))
    expect_equal(box.text, said(tag, "tools", "question"), "the question")
    box.answer("No")
    t.associate(pdf=False, htm=False)
    time.sleep(0.6)
    main.click(centre("guide", t.dpi))
    box = t.box(title)
    expect_equal(box.text, said(tag, "guide", "no_program"), "the box when no program opens the guide")
    box.answer("OK")
    time.sleep(0.6)
    main.click(centre("web", t.dpi))
    box = t.box(title)
    expect_equal(box.text, LANGUAGES.get(tag, {}).get("messages", {}).get(
        "no_browser", "Can't launch your web browser. Please install a web browser."), "the box without a browser")
    box.answer("OK")
    # The page: its picture, names, tips and installer arguments the language's.
    main.click(centre("more", t.dpi))
    page_shown(t, main, ("atlas64", "extras", "back"), "the %s page" % tag, tag)
    main.move(centre("atlas64", t.dpi))
    expect(t.tooltip(said(tag, "atlas64", "tooltip")), "no tip over the x64 zone")
    main.click(centre("atlas64", t.dpi))
    t.box(STANDIN_TITLE).answer("OK")
    expect_start(t.records(1)[-1], [DISC + "x64\\setup.exe"] + said(tag, "atlas64", "arguments").split())


if __name__ == "__main__":
    if len(sys.argv) != 4 or sys.argv[1] != "make":
        sys.exit(__doc__)
    make(sys.argv[2], sys.argv[3])

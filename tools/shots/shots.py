#!/usr/bin/python3
"""Every state of the real launcher, run under Wine at 96 and 144 dpi, on one
sheet per language: the window at rest; each zone with its tip (lit, with a
hover picture) and pressed (with a pressed picture); the keyboard's focus on
each zone in Tab order (with keyboard = true); the About window, and its focus
frame after Tab; each question box; and the boxes a failed start shows: a
document missing, no program for a document's type, no web browser.

    shots.py BRAND.toml DISC TOOLS OUT.png [TAG]

DISC is the laid-out disc whose exe Wine runs, TOOLS the folder of
e2e_driver.exe and recorder.exe. Sheets are named as make preview names them
(OUT.png, OUT-de.png; with TAG only that language, as OUT.png). A line is
printed per state; a state that cannot be reached stops it, naming the state,
and no sheet is written. The sheet's PNG text "tiles" lists each state's
label, dpi and box on the sheet.
"""
import json
import locale
import os
import sys
import time

from PIL import Image, ImageDraw, PngImagePlugin

import brand
import preview
import tags
from desktop import Desktop, start_world
from wine import DriverError, Wine, wait_for

DPIS = (96, 144)
ROOT = "C:\\Disc\\"  # the disc's copy the launcher runs from; the failure states take files from it
AROUND = 10  # pixels at 96 dpi around a zone's part of the window


class Unreached(Exception):
    pass


def locale_of(tag):
    """The Unix locale whose user language Wine gives the launcher: the tag's
    own country, or its language's usual one."""
    return locale.windows_locale[tags.ids(tag)[1]] + ".UTF-8"


def scaled(rect, dpi):
    return tuple(round(v * dpi / 96) for v in rect)


def inside(point, rect):
    return rect[0] <= point[0] < rect[0] + rect[2] and rect[1] <= point[1] < rect[1] + rect[3]


def spot(zones, index):
    """A point of the zone (96 dpi) that no zone in front of it covers: its
    middle where it can."""
    left, top, width, height = zones[index]["rect"]
    candidates = [(left + width * i // 8, top + height * j // 8) for i in (4, 2, 6, 1, 7) for j in (4, 2, 6, 1, 7)]
    for point in candidates:
        if not any(inside(point, zone["rect"]) for zone in zones[:index]):
            return point
    return candidates[0]


class Session:
    """One language at one dpi, in a Wine world: the states as tiles."""

    def __init__(self, desktop, view, tag, loaded):
        self.d, self.view, self.tag, self.loaded = desktop, view, tag, loaded
        self.dpi = desktop.dpi
        self.title = view["identity"]["title"]
        self.zones = view["zones"]
        self.tiles = []
        self.main = None

    def at(self, point96):
        return tuple(round(v * self.dpi / 96) for v in point96)

    def add(self, label, image):
        print("shots: %d dpi, %s: %s" % (self.dpi, self.tag, label), flush=True)
        self.tiles.append((label, image))

    def reach(self, what, found):
        if not found:
            raise Unreached("%d dpi, %s: %s" % (self.dpi, self.tag, what))
        return found

    def still(self, box):
        """The screen's pixels in box (left, top, right, bottom), once two
        grabs a tenth of a second apart agree."""
        shot = None
        for _ in range(30):
            last, shot = shot, self.d.grab().crop(box)
            if last is not None and shot.tobytes() == last.tobytes():
                break
            time.sleep(0.1)
        return shot

    def around(self, index, *windows):
        """The zone's part of the screen and whatever windows show beside it."""
        left, top = self.main.at(self.at(self.zones[index]["rect"][:2]))
        width, height = scaled(self.zones[index]["rect"][2:], self.dpi)
        boxes = [(left, top, left + width, top + height)] + [tuple(w.rect) for w in windows]
        margin = AROUND * self.dpi // 96
        screen = self.d.grab().size
        return self.still((max(0, min(b[0] for b in boxes) - margin), max(0, min(b[1] for b in boxes) - margin),
                           min(screen[0], max(b[2] for b in boxes) + margin),
                           min(screen[1], max(b[3] for b in boxes) + margin)))

    def start(self):
        self.d.xdotool("mousemove", 0, 0)  # over no zone
        self.main = self.d.launcher(ROOT, self.loaded["identity"]["exe"], self.title, locale_of(self.tag))
        self.reach("the launcher is not in front", wait_for(lambda: self.main.fresh().foreground, 5))

    def quit(self):
        self.main.key("alt+F4")
        self.d.exit_code()

    def click(self, index):
        time.sleep(0.6)  # past the double-click time: a second press on the same zone is a click of its own
        self.main.click(self.at(spot(self.zones, index)))
        self.d.xdotool("mousemove", 0, 0)

    def name(self, index):
        return self.zones[index]["name"]

    def run(self):
        self.start()
        self.add("at rest", self.main.shot())
        menu = self.view["menu"]
        for index, zone in enumerate(self.zones):
            self.main.move(self.at(spot(self.zones, index)))
            tip = self.reach("no tip over zone %s" % self.name(index), self.d.tooltip(zone["tooltip"]))
            self.add("%s: %stip" % (self.name(index), "lit, " if menu.get("hover") else ""), self.around(index, tip))
        if menu.get("pressed"):
            for index in range(len(self.zones)):
                self.d.xdotool("mousemove", *self.main.at(self.at(spot(self.zones, index))), "mousedown", 1)
                time.sleep(0.3)
                self.add("%s: pressed" % self.name(index), self.around(index))
                self.d.xdotool("mousemove", 0, 0, "mouseup", 1)  # released off it: it runs nothing
        self.d.xdotool("mousemove", 0, 0)
        self.questions()
        self.failures()
        self.about()
        self.quit()
        if self.view["menu"]["focus"]:
            self.keyboard()

    def box(self, label, title=None):
        box = self.d.box(title or self.title)
        self.add(label, box.shot("rect"))
        return box

    def questions(self):
        for index, zone in enumerate(self.zones):
            if zone.get("question"):
                self.click(index)
                self.box("%s: the question" % self.name(index), zone.get("question_title")).answer("No")

    def failures(self):
        opens = [i for i, zone in enumerate(self.zones) if zone["action"] == "open"]
        for index in opens:
            extension = os.path.splitext(self.zones[index]["document"])[1]
            self.d.open_with(extension, False)
            self.click(index)
            self.box("%s: no program opens %s" % (self.name(index), extension)).answer("OK")
            self.d.open_with(extension, True)
        if opens:
            document = self.zones[opens[0]]["document"].replace("\\", "/")
            path = os.path.join(self.d.wine.host_path(ROOT), document)
            os.rename(path, path + ".away")
            self.click(opens[0])
            self.box("%s: %s missing" % (self.name(opens[0]), document)).answer("OK")
            os.rename(path + ".away", path)
        page = os.path.splitext(self.loaded["disc"].get("probe_page") or "temphtm.htm")[1]
        self.d.open_with(page, False)
        webs = [i for i, zone in enumerate(self.zones) if zone["action"] == "web"]
        links = [c for c in (self.view["about"] or {}).get("controls", []) if c.get("url")]
        if webs:
            self.click(webs[0])
            self.box("%s: no web browser" % self.name(webs[0])).answer("OK")
        elif links and self.about_zone() is not None:
            about = self.open_about()
            left, top, _, height = links[0]["rect"]
            about.click(self.at((left + 4, top + min(height, 13) // 2)))
            self.box("%s: no web browser" % links[0]["name"]).answer("OK")
            about.key("Escape")
            about.gone()
        self.d.open_with(page, True)

    def about_zone(self):
        return next((i for i, zone in enumerate(self.zones) if zone["action"] == "about"), None)

    def open_about(self):
        self.click(self.about_zone())
        about = self.d.about(self.view["about"]["title"])
        self.reach("the About window is not in front", wait_for(lambda: about.fresh().foreground, 5))
        return about

    def about(self):
        if self.about_zone() is None:
            return
        about = self.open_about()
        plain = about.shot("rect")
        self.add("About window", plain)
        about.key("Tab")
        framed = self.reach("no focus frame in the About window after Tab", wait_for(
            lambda: about.shot("rect").tobytes() != plain.tobytes(), 3) and about.shot("rect"))
        self.add("About window: Tab", framed)
        about.key("Escape")
        about.gone()

    def keyboard(self):
        """A fresh start: nothing has the focus before the first key."""
        self.start()
        for count, index in enumerate(self.view["menu"]["focus"], start=1):
            self.main.key("Tab")
            tip = self.reach("no tip for zone %s after Tab %d" % (self.name(index), count),
                             self.d.tooltip(self.zones[index]["tooltip"]))
            self.add("Tab %d: %s" % (count, self.name(index)), self.around(index, tip))
        self.quit()


def opened(loaded):
    """The types of the documents the launcher opens: what zones open and
    show first, and the page it finds the browser with."""
    files = [z.get(key) for z in loaded["zones"] for key in ("document", "show_first")]
    files.append(loaded["disc"].get("probe_page") or "temphtm.htm")
    return sorted({os.path.splitext(f)[1].lower() for f in files if f} - {""})


def shoot(loaded, chosen, disc, tools):
    """{tag: {dpi: [(label, image)]}} for the chosen languages."""
    shots = {tag: {} for _, tag, _ in chosen}
    for dpi in DPIS:
        wine = Wine(dpi)
        try:
            start_world(wine, tools)
            desktop = Desktop(wine, disc)
            desktop.place_disc(ROOT)
            for extension in opened(loaded):
                desktop.open_with(extension, True)
            for _, tag, view in chosen:
                session = Session(desktop, view, tag, loaded)
                try:
                    session.run()
                except DriverError as error:
                    raise Unreached("%d dpi, %s: %s (the last state shown: %s)" % (
                        dpi, tag, error, session.tiles[-1][0] if session.tiles else "none")) from None
                shots[tag][dpi] = session.tiles
        finally:
            wine.close()
    return shots


def sheet(title, sections):
    """The tiles under their labels, a section per dpi, rows as wide as two of
    the largest; and the tiles' boxes for the PNG's text."""
    widest = max(image.width for tiles in sections.values() for _, image in tiles)
    width = max(2 * widest + preview.GAP, 1200) + 2 * preview.MARGIN
    placed, y = [], preview.MARGIN + 30
    for dpi, tiles in sections.items():
        placed.append(("%d dpi (%d %%)" % (dpi, dpi * 100 // 96), None, dpi, (preview.MARGIN, y)))
        y += 26
        x, row = preview.MARGIN, 0
        for label, image in tiles:
            if x > preview.MARGIN and x + image.width > width - preview.MARGIN:
                x, y, row = preview.MARGIN, y + row + preview.GAP, 0
            placed.append((label, image, dpi, (x, y)))
            x += max(image.width, int(preview.BOLD.getlength(label))) + preview.GAP
            row = max(row, preview.LINE + 4 + image.height)
        y += row + preview.GAP
    canvas = Image.new("RGB", (width, y + preview.MARGIN), preview.PAPER)
    draw = ImageDraw.Draw(canvas)
    draw.text((preview.MARGIN, preview.MARGIN), title, font=preview.TITLE, fill=preview.INK)
    boxes = []
    for label, image, dpi, (x, y) in placed:
        if image is None:
            draw.text((x, y), label, font=preview.TITLE, fill=preview.GREY)
            continue
        draw.text((x, y), label, font=preview.BOLD, fill=preview.INK)
        canvas.paste(image, (x, y + preview.LINE + 4))
        boxes.append({"label": label, "dpi": dpi, "box": [x, y + preview.LINE + 4, image.width, image.height]})
    info = PngImagePlugin.PngInfo()
    info.add_text("tiles", json.dumps(boxes))
    return canvas, info


def main(argv):
    if len(argv) not in (4, 5):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    source, disc, tools, out = argv[:4]
    try:
        loaded = brand.load(source)
    except brand.BrandError as error:
        print(error, file=sys.stderr)
        return 1
    chosen = preview.sheets(brand.views(loaded), out, argv[4] if len(argv) == 5 else None, "shots")
    if chosen is None:
        return 1
    started = time.time()
    try:
        shots = shoot(loaded, chosen, os.path.abspath(disc), tools)
    except Unreached as error:
        print("shots: FAILED: %s" % error, file=sys.stderr)
        return 1
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    for path, tag, view in chosen:
        canvas, info = sheet('%s (%s): "%s" under Wine' % (os.path.basename(path), tag, view["identity"]["title"]),
                             shots[tag])
        preview.save(canvas, path, "shots", info)
    print("shots: %d states in %.0f s" % (sum(len(t) for s in shots.values() for t in s.values()),
                                          time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

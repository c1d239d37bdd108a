"""Every state of the real launcher, run under Wine at 96 and 144 dpi, on one
sheet per language: the window at rest; each zone with its tip (lit, with a
hover picture) and pressed (with a pressed picture); the keyboard's focus on
each zone in Tab order (with keyboard = true); the About window, and its focus
frame after Tab; each question box; and the boxes a failed start shows: a
document missing, no program for a document's type, no web browser. Then each
page, turned to by clicking the zones that open it from the menu: at rest,
its zones' tips, lit and pressed, and its Tab order. Zones whose conditions
fail on this Wine machine are absent, as a user there meets them.

    python3 -m tools.shots.shots BRAND.toml DISC TOOLS OUT.png [TAG] [--keep DPI:STATE=PATH ...]
    python3 -m tools.shots.shots --reachable BRAND.toml

DISC is the laid-out disc whose exe Wine runs, TOOLS the folder of
e2e_driver.exe and recorder.exe. Sheets are named as make preview names them
(OUT.png, OUT-de.png; with TAG only that language, as OUT.png). A line is
printed per state; a state that cannot be reached stops it, naming the state,
and no sheet is written. A page no zone opens from the menu stops it before
Wine starts; --reachable checks only that (make shots, before the build).
The sheet's PNG text "tiles" lists each state's label, dpi and box on the
sheet. --keep saves a state's whole window too (README's pictures: see
keep()).
"""
import argparse
import json
import locale
import os
import sys
import threading
import time
import traceback

from PIL import Image, ImageDraw, PngImagePlugin

from tools.brand import BrandError, load, preview, tags
from tools.wine.desktop import Desktop, start_world
from tools.wine.wine import DriverError, Wine, wait_for

DPIS = (96, 144)
ROOT = "C:\\Disc\\"  # the disc's copy the launcher runs from; the failure states take files from it
AROUND = 10  # pixels at 96 dpi around a zone's part of the window


class Unreached(Exception):
    pass


def locale_of(tag):
    """The Unix locale whose user language Wine gives the launcher: the tag's
    own country, or its language's usual one."""
    return locale.windows_locale[tags.ids(tag)[1]] + ".UTF-8"


def inside(point, rect):
    return rect[0] <= point[0] < rect[0] + rect[2] and rect[1] <= point[1] < rect[1] + rect[3]


def spot(zones, index):
    """A point of the zone (96 dpi) that no zone in front of it covers: its
    middle where it can."""
    left, top, width, height = zones[index].rect
    candidates = [(left + width * i // 8, top + height * j // 8) for i in (4, 2, 6, 1, 7) for j in (4, 2, 6, 1, 7)]
    for point in candidates:
        if not any(inside(point, zone.rect) for zone in zones[:index]):
            return point
    return candidates[0]


def on_disc(folder, relative):
    """The host path of a file the launcher names, whatever its case on the
    disc (Windows reads names either way); None when it is not there."""
    for part in relative.split("/"):
        found = [name for name in os.listdir(folder) if name.lower() == part.lower()] if os.path.isdir(folder) else []
        if not found:
            return None
        folder = os.path.join(folder, found[0])
    return folder


def zones_on(zones, number):
    return [z for z in zones if z.on_page == number]


def way_to(zones, pages, number, passed=()):
    """The clicks that turn the menu to page `number` (of `pages`, the menu
    counted), [(page, index of the zone on it)]: through the first page with a
    zone that opens it; None if none can."""
    if number == 0:
        return []
    for page in range(pages):
        if page == number or page in passed:
            continue
        for index, zone in enumerate(zones_on(zones, page)):
            if zone.action == "page" and zone.page_number == number:
                way = way_to(zones, pages, page, passed + (number,))
                if way is not None:
                    return way + [(page, index)]
    return None


def unreachable(brand):
    """Pages make shots cannot turn to: no zone opens them from the menu, by
    any way (one that opens first where its `when` holds, say)."""
    return ["page %s: no zone opens it from the menu" % page.name for number, page in enumerate(brand.pages, 1)
            if way_to(brand.zones, len(brand.pages) + 1, number) is None]


class Session:
    """One language at one dpi, in a Wine world: the states as tiles."""

    def __init__(self, desktop, view, tag, loaded):
        self.d, self.view, self.tag, self.loaded = desktop, view, tag, loaded
        self.dpi = desktop.dpi
        self.title = view.identity.title
        self.pages = [view.menu] + list(view.pages)
        self.asks = bool(view.pages) or any(z.when or z.unless for z in view.zones)
        self.show(0)
        self.tiles = []
        self.windows = {}  # a state's whole launcher window, for README's pictures
        self.main = None

    def show(self, number):
        """Works on page `number` (0: the menu) from now: its zones and
        their labels."""
        self.page, self.number = self.pages[number], number
        self.zones = self.zones_of(number)
        self.here = list(range(len(self.zones)))  # the zones present, until asked
        self.prefix = "page %s: " % self.page.name if number else ""

    def zones_of(self, number):
        return zones_on(self.view.zones, number)

    def ask(self):
        """The zones of the page shown that this machine's conditions leave:
        a screen reader reads a button for each, in the zones' order. The
        launcher answers screen readers only with the keyboard; without it,
        a zone with a condition is there when its tip shows under the
        pointer."""
        if not self.asks:
            return
        if not self.view.menu.keyboard:
            self.here = [index for index, zone in enumerate(self.zones)
                         if not (zone.when or zone.unless) or self.hovered(index)]
            return
        names = [child["name"] for child in self.d.wine.call("acc", self.main.hwnd)["children"]]
        read = list(names)
        self.here = []
        for index, zone in enumerate(self.zones):
            if read and read[0] == zone.tooltip:
                read.pop(0)
                self.here.append(index)
        self.reach("%sthe launcher shows other zones than this page's (%s)" % (
            self.prefix or "the menu: ", ", ".join(names)), not read)

    def hovered(self, index):
        """Whether the zone shows its own tip under the pointer (absent, it
        shows none, or the tip of a zone behind it)."""
        self.main.move(self.scaled(spot(self.zones, index)))
        found = self.d.tooltip(self.zones[index].tooltip, 3) is not None
        self.d.xdotool("mousemove", 0, 0)
        self.reach("%sa tip stays, the pointer off the window" % self.prefix, wait_for(lambda: not self.tips(), 5))
        return found

    def absent(self):
        gone = [self.name(i) for i in range(len(self.zones)) if i not in self.here]
        return " (absent here: %s)" % ", ".join(gone) if gone else ""

    def scaled(self, values):
        """Pixels at 96 dpi at this dpi."""
        return tuple(round(v * self.dpi / 96) for v in values)

    def add(self, label, image):
        label = self.prefix + label
        sys.stdout.write("shots: %d dpi, %s: %s\n" % (self.dpi, self.tag, label))
        sys.stdout.flush()
        self.tiles.append((label, image))

    def reach(self, what, found):
        if not found:
            raise Unreached("%d dpi, %s: %s" % (self.dpi, self.tag, what))
        return found

    def around(self, index, *windows):
        """The zone's part of the window, a margin round it, and the windows
        (its tip) that show beside it."""
        left, top = self.main.at(self.scaled(self.zones[index].rect[:2]))
        width, height = self.scaled(self.zones[index].rect[2:])
        margin = AROUND * self.dpi // 96
        frame = self.main.rect
        boxes = [(max(frame[0], left - margin), max(frame[1], top - margin), min(frame[2], left + width + margin),
                  min(frame[3], top + height + margin))] + [tuple(w["rect"]) for w in windows]
        return self.d.still((min(b[0] for b in boxes), min(b[1] for b in boxes), max(b[2] for b in boxes),
                           max(b[3] for b in boxes)))

    def tips(self):
        """The launcher's tips on the screen now."""
        return [self.d.wine.call("info", w["hwnd"]) for w in self.d.wine.call("windows")["windows"]
                if w["class"] == "tooltips_class32" and w["pid"] == self.d.pid]

    def start(self):
        self.d.xdotool("mousemove", 0, 0)  # over no zone
        self.main = self.d.launcher(ROOT, self.loaded.identity.exe, self.title, locale_of(self.tag))
        self.reach("the launcher is not in front", wait_for(lambda: self.main.fresh().foreground, 5))
        # Should Wine have placed the pointer where it last knew it: tell it
        # again, and let a tip that showed there go.
        self.d.xdotool("mousemove", 1, 1, "mousemove", 0, 0)
        self.reach("a tip stays at rest, the pointer off the window", wait_for(lambda: not self.tips(), 5))

    def quit(self):
        self.main.key("alt+F4")
        self.d.exit_code()

    def click(self, index):
        time.sleep(0.6)  # past the double-click time: a second press on the same zone is a click of its own
        self.main.click(self.scaled(spot(self.zones, index)))
        self.d.xdotool("mousemove", 0, 0)

    def name(self, index):
        return self.zones[index].name

    def run(self):
        self.start()
        self.states()
        self.windows["at rest"] = next(image for label, image in self.tiles if label.startswith("at rest"))
        self.questions()
        self.failures()
        self.about()
        self.quit()
        if self.view.menu.focus:
            self.keyboard()
        for number in range(1, len(self.pages)):
            self.turn(number)

    def states(self):
        """The page shown at rest, and each present zone with its tip, lit
        and pressed."""
        self.ask()
        self.add("at rest" + self.absent(), self.main.shot())
        for index in self.here:
            self.main.move(self.scaled(spot(self.zones, index)))
            tip = self.reach("%sno tip over zone %s" % (self.prefix, self.name(index)),
                             self.d.tooltip(self.zones[index].tooltip, 5))
            lit = "lit, " if self.page.hover else ""
            self.add("%s: %stip" % (self.name(index), lit), self.around(index, tip.info))
            self.windows.setdefault("lit", self.main.shot())
        if self.page.pressed:
            for index in self.here:
                self.d.xdotool("mousemove", *self.main.at(self.scaled(spot(self.zones, index))), "mousedown", 1)
                time.sleep(0.3)
                self.add("%s: pressed" % self.name(index), self.around(index, *self.tips()))
                self.d.xdotool("mousemove", 0, 0, "mouseup", 1)  # released off it: it runs nothing
        self.d.xdotool("mousemove", 0, 0)

    def turn(self, number):
        """Page `number`'s states, and back; then its Tab order, from a fresh
        start as the menu's."""
        self.open_page(number)
        self.states()
        back = [i for i in self.here if self.zones[i].action == "back"]
        if back or self.view.menu.keyboard:
            before = self.main.shot()
            if back:
                self.click(back[0])
            else:
                self.main.key("Escape")
            self.reach("%sthe launcher did not go back" % self.prefix,
                       wait_for(lambda: self.main.shot().tobytes() != before.tobytes(), 5))
        self.quit()
        if self.page.focus:
            self.keyboard(number)
        self.show(0)

    def open_page(self, number):
        """A fresh start, turned to page `number` by clicking the zones that
        open it."""
        name = getattr(self.pages[number], "name", "menu")
        way = way_to(self.view.zones, len(self.pages), number)
        self.reach("page %s: no zone opens it from the menu" % name, way is not None)
        self.start()
        for page, index in way:
            self.show(page)
            self.ask()
            self.reach("page %s: zone %s, which opens it, is absent here" % (name, self.name(index)),
                       index in self.here)
            before = self.main.shot()
            self.click(index)
            self.reach("page %s: zone %s did not open it" % (name, self.name(index)),
                       wait_for(lambda: self.main.shot().tobytes() != before.tobytes(), 5))
        self.show(number)

    def box(self, label, title=None):
        try:
            box = self.d.box(title or self.title)
        except DriverError as error:
            raise Unreached("%d dpi, %s: %s: %s" % (self.dpi, self.tag, label, error)) from None
        self.add(label, box.shot("rect"))
        return box

    def questions(self):
        for index, zone in enumerate(self.zones):
            if zone.question and index in self.here:
                self.click(index)
                self.box("%s: the question" % self.name(index), zone.question_title).answer("No")

    def failures(self):
        opens = [i for i, zone in enumerate(self.zones) if zone.action == "open" and i in self.here]
        for index in opens:
            extension = os.path.splitext(self.zones[index].document)[1]
            self.d.open_with(extension, False)
            self.click(index)
            self.box("%s: no program opens %s" % (self.name(index), extension)).answer("OK")
            self.d.open_with(extension, True)
        if opens:
            document = self.zones[opens[0]].document.replace("\\", "/")
            path = self.reach("no %s on the disc" % document, on_disc(self.d.wine.host_path(ROOT), document))
            os.rename(path, path + ".away")
            self.click(opens[0])
            self.box("%s: %s missing" % (self.name(opens[0]), document)).answer("OK")
            os.rename(path + ".away", path)
        page = os.path.splitext(self.loaded.disc.probe_page)[1]
        self.d.open_with(page, False)
        webs = [i for i, zone in enumerate(self.zones) if zone.action == "web" and i in self.here]
        links = [c for c in (self.view.about.controls if self.view.about else ()) if c.url]
        if webs:
            self.click(webs[0])
            self.box("%s: no web browser" % self.name(webs[0])).answer("OK")
        elif links and self.about_zone() is not None:
            about = self.open_about()
            left, top, _, height = links[0].rect
            about.click(self.scaled((left + 4, top + min(height, 13) // 2)))
            self.box("About window, link %s: no web browser" % links[0].name).answer("OK")
            about.key("Escape")
            about.gone()
        self.d.open_with(page, True)

    def about_zone(self):
        return next((i for i, zone in enumerate(self.zones) if zone.action == "about" and i in self.here), None)

    def open_about(self):
        self.click(self.about_zone())
        about = self.d.about(self.view.about.title)
        self.reach("the About window is not in front", wait_for(lambda: about.fresh().foreground, 5))
        return about

    def about(self):
        if self.about_zone() is None:
            return
        about = self.open_about()
        plain = about.shot("rect")
        self.add("About window", plain)
        self.windows["About window"] = plain
        about.key("Tab")
        framed = self.reach("no focus frame in the About window after Tab", wait_for(
            lambda: about.shot("rect").tobytes() != plain.tobytes(), 3) and about.shot("rect"))
        self.add("About window: Tab", framed)
        about.key("Escape")
        about.gone()

    def keyboard(self, number=0):
        """A fresh start (turned to page `number`): nothing has the focus
        before the first key."""
        self.open_page(number)
        self.ask()
        for count, index in enumerate([i for i in self.page.focus if i in self.here], start=1):
            self.main.key("Tab")
            tip = self.reach("%sno tip for zone %s after Tab %d" % (self.prefix, self.name(index), count),
                             self.d.tooltip(self.zones[index].tooltip, 5))
            self.add("Tab %d: %s" % (count, self.name(index)), self.around(index, tip.info))
        self.quit()


def opened(loaded):
    """The types of the documents the launcher opens: what zones open and
    show first, and the page it finds the browser with."""
    files = [path for z in loaded.zones for path in (z.document, z.show_first)]
    files.append(loaded.disc.probe_page)
    return sorted({os.path.splitext(f)[1].lower() for f in files if f} - {""})


def shoot_at(dpi, loaded, chosen, disc, tools, shots):
    """Every chosen language's states at one dpi, in a Wine world of its own,
    into shots[tag][dpi]."""
    wine = Wine(dpi)
    try:
        try:
            start_world(wine, tools)
        except DriverError as error:  # seen once under a heavy load: a new prefix's wineboot failed
            print("shots: %d dpi: the Wine world did not start (%s); once more" % (dpi, error), flush=True)
            wine.close()
            wine = Wine(dpi)
            start_world(wine, tools)
        desktop = Desktop(wine, disc)
        # The pointer off every window from the start (the X server puts it
        # in the middle): Wine learns where it is as it comes, and a window
        # that shows before then finds it where it was.
        desktop.xdotool("mousemove", 0, 0)
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
            shots[tag][dpi] = session
    finally:
        wine.close()


def shoot(loaded, chosen, disc, tools):
    """{tag: {dpi: Session}} for the chosen languages. The dpis run
    side by side, each in its own Wine world: most of the time goes in
    waiting for Wine."""
    shots = {tag: {} for _, tag, _ in chosen}
    failed = []

    def run(dpi):
        try:
            shoot_at(dpi, loaded, chosen, disc, tools, shots)
        except (Unreached, DriverError) as error:
            failed.append(str(error))
        except Exception:  # a fault of this tool: said, not lost with the thread
            failed.append("%d dpi: %s" % (dpi, traceback.format_exc()))
    workers = [threading.Thread(target=run, args=(dpi,)) for dpi in DPIS]
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join()
    if failed:
        raise Unreached("; ".join(failed))
    return {tag: dict(sorted(by_dpi.items())) for tag, by_dpi in shots.items()}


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


def keep(shots, tag, wanted):
    """README's pictures: each `DPI:STATE=PATH` the whole launcher window of
    that state in the first language (STATE: "at rest", "lit", "About
    window"); PNG with a palette, JPEG for .jpg."""
    for entry in wanted:
        state, path = entry.split("=", 1)
        dpi, state = state.split(":", 1)
        window = shots[tag][int(dpi)].windows.get(state)
        if window is None:
            raise Unreached("%s dpi: the brand has no state %r for %s" % (dpi, state, path))
        if path.endswith(".jpg"):
            window.save(path, quality=90)
        else:
            window.convert("P", palette=Image.Palette.ADAPTIVE, colors=256).save(path, optimize=True)
        print("shots: %s" % path)


def reachable(path, loaded=None):
    """0 when every page can be turned to; else 1, each said."""
    try:
        loaded = loaded or load(path)
    except BrandError as error:
        print(error, file=sys.stderr)
        return 1
    problems = unreachable(loaded)
    for problem in problems:
        print("shots: FAILED: %s" % problem, file=sys.stderr)
    return 1 if problems else 0


def main(argv):
    if argv[:1] == ["--reachable"] and len(argv) == 2:
        return reachable(argv[1])
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0], usage=__doc__.split("\n\n")[1].strip())
    parser.add_argument("brand")
    parser.add_argument("disc")
    parser.add_argument("tools")
    parser.add_argument("out")
    parser.add_argument("tag", nargs="?")
    parser.add_argument("--keep", action="append", default=[], metavar="DPI:STATE=PATH")
    args = parser.parse_args(argv)
    try:
        loaded = load(args.brand)
    except BrandError as error:
        print(error, file=sys.stderr)
        return 1
    if reachable(args.brand, loaded):
        return 1
    chosen = preview.sheets(loaded.views(), args.out, args.tag, "shots")
    if chosen is None:
        return 1
    started = time.time()
    try:
        shots = shoot(loaded, chosen, os.path.abspath(args.disc), args.tools)
        keep(shots, chosen[0][1], args.keep)
    except Unreached as error:
        print("shots: FAILED: %s" % error, file=sys.stderr)
        return 1
    os.makedirs(os.path.dirname(os.path.abspath(args.out)), exist_ok=True)
    for path, tag, view in chosen:
        canvas, info = sheet('%s (%s): "%s" under Wine' % (os.path.basename(path), tag, view.identity.title),
                             {dpi: session.tiles for dpi, session in shots[tag].items()})
        preview.save(canvas, path, "shots", info)
    print("shots: %d states in %.0f s" % (sum(len(s.tiles) for by_dpi in shots.values() for s in by_dpi.values()),
                                          time.time() - started))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

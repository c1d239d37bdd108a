"""The brand at a glance, without Wine: the menu picture with its click zones
outlined and numbered, the About window sketched with its controls, and a
legend beside each; where the brand has hover and pressed pictures, each
zone's part of them beside its number.

    python3 -m tools.brand.preview BRAND.toml OUT.png [TAG]

OUT.png shows the brand in its own language, or in the language TAG; without
TAG each of the brand's other languages gets a sheet of its own beside it,
OUT-TAG.png (preview-de.png).
"""
import os
import sys
from typing import Any

try:
    from PIL import Image, ImageDraw, ImageFont
except ModuleNotFoundError:
    sys.exit("preview: Python module PIL is missing: install python3-pil (tools/ensure_deps.sh publisher)")

from . import BrandError, load
from .labels import LABEL_LINE, font_of, wrap

FONTS = "/usr/share/fonts/truetype/dejavu/"
SANS = ImageFont.truetype(FONTS + "DejaVuSans.ttf", 12)
BOLD = ImageFont.truetype(FONTS + "DejaVuSans-Bold.ttf", 12)
TITLE = ImageFont.truetype(FONTS + "DejaVuSans-Bold.ttf", 16)
SMALL_BOLD = ImageFont.truetype(FONTS + "DejaVuSans-Bold.ttf", 11)
# Bright enough to show on dark pictures; the black line around each outline
# carries it over light ones. Neighbouring numbers get unlike colours.
COLOURS = [(255, 48, 48), (255, 214, 0), (0, 224, 255), (64, 255, 64), (255, 64, 255),
           (255, 140, 0), (120, 150, 255), (190, 255, 120), (255, 160, 200), (160, 255, 230)]
INK, PAPER, GREY = (20, 20, 20), (246, 246, 242), (110, 110, 110)
MARGIN, GAP, LEGEND_WIDTH, LINE = 16, 24, 560, 16
PAD = 3  # around a picture, for the outlines of rectangles at its edges
PART = (160, 64)  # the most a zone's lit and pressed part takes in the legend


def colour(number):
    return COLOURS[(number - 1) % len(COLOURS)]


def rgb(value):
    return (value >> 16) & 255, (value >> 8) & 255, value & 255


def one_line(text):
    return " ".join(text.split())


def tag_width(number):
    return int(SMALL_BOLD.getlength(str(number))) + 8


def tag(draw, x, y, number):
    """The numbered tag: a filled box in the number's colour."""
    draw.rectangle((x, y, x + tag_width(number) - 1, y + 14), fill=colour(number), outline=INK)
    draw.text((x + 4, y + 1), str(number), font=SMALL_BOLD, fill=INK)


def outline(draw, rect, number):
    """Two pixels of colour just outside the rectangle, a black line beyond:
    every pixel of the rectangle itself stays visible, text up to its edge too."""
    left, top, width, height = rect
    right, bottom = left + width - 1, top + height - 1
    draw.rectangle((left - 3, top - 3, right + 3, bottom + 3), outline=INK)
    draw.rectangle((left - 2, top - 2, right + 2, bottom + 2), outline=colour(number), width=2)


def tag_place(rect, number, room):
    """Inside the top-left corner; a rectangle too small to hold the tag beside
    its text gets it just outside, left or right, where the window has room."""
    left, top, width, height = rect
    size = tag_width(number)
    if height >= 48 and width >= 3 * size:
        return left + 2, top + 2
    if left >= size + 4:
        return left - size - 4, top
    if left + width + size + 4 <= room:
        return left + width + 4, top
    return left + 2, top + 2


def note(draw, x, y, text):
    """A white box beside a tag: the zone's place in the Tab order, or that it quits."""
    width = int(SMALL_BOLD.getlength(text)) + 8
    draw.rectangle((x, y, x + width - 1, y + 14), fill=(255, 255, 255), outline=INK)
    draw.text((x + 4, y + 1), text, font=SMALL_BOLD, fill=INK)
    return width


def mark(picture, rects, notes=None):
    """The picture with a margin of PAD for the outlines at its edges. Outlines
    are drawn back to front, so the front one's runs over where they cross;
    the tags last, so none hides under another outline; each tag's notes
    (texts) beside it."""
    marked = Image.new("RGB", (picture.width + 2 * PAD, picture.height + 2 * PAD), PAPER)
    marked.paste(picture, (PAD, PAD))
    draw = ImageDraw.Draw(marked)
    draw.rectangle((PAD - 1, PAD - 1, PAD + picture.width, PAD + picture.height), outline=GREY)
    shifted = [(left + PAD, top + PAD, width, height) for left, top, width, height in rects]
    for number in range(len(rects), 0, -1):
        outline(draw, shifted[number - 1], number)
    for number in range(len(rects), 0, -1):
        x, y = tag_place(rects[number - 1], number, picture.width)
        tag(draw, x + PAD, y + PAD, number)
        x += tag_width(number) + 2
        for text in (notes or {}).get(number, []):
            x += note(draw, x + PAD, y + PAD, text) + 2
    return marked


def zone_notes(zones, focus):
    """{zone number: ["Tab 2", "then quits"]}: where the keys visit it, and
    that it closes the launcher once its start succeeded."""
    notes = {}
    for number, zone in enumerate(zones, start=1):
        found = ["Tab %d" % (focus.index(number - 1) + 1)] if number - 1 in focus else []
        notes[number] = found + (["then quits"] if zone.then == "quit" else [])
    return notes


def overlap(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


def rect_text(rect):
    return "rect [%d, %d, %d, %d]" % rect


def zone_entry(zone, number, rects, title, focus):
    action = zone.action
    target = {"open": zone.document, "install": zone.program, "web": zone.url, "explore": zone.folder,
              "page": zone.page}.get(action)
    does = action + (" " + target if target else "")
    notes = ["arguments %s" % zone.arguments] if zone.arguments else []
    notes += ["as administrator"] if zone.elevate else []
    if zone.show_first:
        notes.append("shows %s first" % zone.show_first)
    if zone.question:
        notes.append('asks "%s"' % one_line(zone.question_title or title))
    if notes:
        does += " (%s)" % ", ".join(notes)
    if zone.then == "quit":
        does += ", then quits"
    tab = "   Tab %d" % (focus.index(number - 1) + 1) if number - 1 in focus else ""
    lines = ["%s   %s%s" % (zone.name, rect_text(zone.rect), tab), "tip: " + one_line(zone.tooltip), does]
    lines += ["%s: %s" % (key, tests.text) for key, tests in (("when", zone.when), ("unless", zone.unless))
              if tests is not None]
    over = [n for n in range(1, len(rects) + 1) if n != number and overlap(rects[n - 1], zone.rect)]
    if over:
        lines.append("overlaps %s: the lower number takes the click there" % ", ".join(map(str, over)))
    return lines


def control_entry(control):
    kind = control.kind
    lines = ["%s %s   %s" % (kind, control.name, rect_text(control.rect))]
    if kind == "picture":
        lines.append("file " + os.path.basename(control.file))
    elif kind == "label":
        lines.append('"%s"' % one_line(control.text))
        if control.url:
            lines.append("link " + control.url + ("   tip: " + one_line(control.tooltip)
                                                     if control.tooltip else ""))
    return lines


def layout(entries: list[list]) -> tuple[list, int]:
    """[(number or None, text or a list of pictures)] of wrapped legend lines,
    and their height. An entry's pictures come after its text, in a row."""
    lines: list[tuple[int | None, Any]] = []
    for number, entry in enumerate(entries, start=1):
        first = True
        for text in entry:
            pieces: list = [text] if isinstance(text, list) else wrap(text, SANS, LEGEND_WIDTH - 30)
            for piece in pieces:
                lines.append((number if first else None, piece))
                first = False
        lines.append((None, ""))
    return lines, sum(line_height(piece) for _, piece in lines)


def line_height(piece):
    return max(image.height for image in piece) + 4 if isinstance(piece, list) else LINE


def draw_legend(canvas, draw, x, y, lines):
    for number, piece in lines:
        if number is not None:
            tag(draw, x, y, number)
        if isinstance(piece, list):
            left = x + 30
            for image in piece:
                canvas.paste(image, (left, y))
                draw.rectangle((left - 1, y - 1, left + image.width, y + image.height), outline=GREY)
                left += image.width + 8
        else:
            draw.text((x + 30, y), piece, font=BOLD if number is not None else SANS, fill=INK)
        y += line_height(piece)


def lit_parts(menu, zone):
    """The zone's rectangle cut from the hover and the pressed picture the
    brand has (and the off picture, for a zone that may be absent), made
    smaller where it is larger than PART; [] without any."""
    rect = zone.rect
    parts, keys = [], [key for key in ("hover", "pressed") if getattr(menu, key)]
    keys += ["off"] if menu.off and (zone.when is not None or zone.unless is not None) else []
    for key in keys:
        left, top, width, height = rect
        with Image.open(getattr(menu, key)) as picture:
            part = picture.convert("RGB").crop((left, top, left + width, top + height))
        part.thumbnail(PART)
        parts.append(part)
    return [", ".join(keys) + ":", parts] if parts else []


def about_mock(window):
    """The About window at 1x, drawn back to front: a sketch for placement."""
    mock = Image.new("RGB", window.size, rgb(window.background))
    draw = ImageDraw.Draw(mock)
    for control in reversed(window.controls):
        left, top, width, height = control.rect
        box = (left, top, left + width - 1, top + height - 1)
        if control.kind == "oval":
            draw.ellipse(box, fill=rgb(control.colour))
        elif control.kind == "picture":
            draw.rectangle(box, fill=rgb(control.background))
            with Image.open(control.file) as picture:
                # Natural size, cut at the rect; the background shows where it is smaller.
                shown = picture.convert("RGB")
                mock.paste(shown.crop((0, 0, min(width, shown.width), min(height, shown.height))), (left, top))
        else:
            label = Image.new("RGBA", (width, height), (0, 0, 0, 0))
            pen = ImageDraw.Draw(label)
            if control.background is not None:
                pen.rectangle((0, 0, width, height), fill=rgb(control.background))
            font = font_of(control.bold)
            ink = rgb(control.colour)
            for row, text in enumerate(wrap(control.text, font, width)):
                y = row * LABEL_LINE
                pen.text((0, y), text, font=font, fill=ink)
                if control.underline:
                    pen.line((0, y + 12, font.getlength(text), y + 12), fill=ink)
            mock.paste(label, (left, top), label)
    return mark(mock, [c.rect for c in window.controls])


def render(path, view):
    menu = view.menu
    with Image.open(menu.picture) as picture:
        shown = picture.convert("RGB")
    title = view.identity.title
    rows = []
    # The menu, then each page with its own zones, numbered from 1 on each.
    for number, page in enumerate([menu, *view.pages]):
        mine = [z for z in view.zones if z.on_page == number]
        rects = [z.rect for z in mine]
        focus = page.focus
        zones = [zone_entry(z, n, rects, title, focus) + lit_parts(page, z) for n, z in enumerate(mine, start=1)]
        if number:
            with Image.open(page.picture) as picture:
                shown = picture.convert("RGB")
        first = "; opens first when %s" % page.when.text if number and page.when is not None else ""
        first += "; opens first unless %s" % page.unless.text if number and page.unless is not None else ""
        keys = "; Tab visits %s" % ", ".join(str(i + 1) for i in focus) if focus else ""
        heading = "Page %s" % page.name if number else "Menu"
        rows.append(("%s (%s): %d zones, 1 = front-most%s%s" % (heading, os.path.basename(page.picture), len(rects),
                                                                keys, first),
                     mark(shown, rects, zone_notes(mine, focus)), layout(zones)))
    window = view.about
    if window:
        controls = window.controls
        rows.append(('About window "%s": %d controls, 1 = front-most' % (window.title, len(controls)),
                     about_mock(window), layout([control_entry(c) for c in controls])))

    left_width = max(image.width for _, image, _ in rows)
    width = MARGIN + left_width + GAP + LEGEND_WIDTH + MARGIN
    height = MARGIN + 30 + sum(24 + max(image.height, legend[1]) + GAP for _, image, legend in rows) + MARGIN
    canvas = Image.new("RGB", (width, height), PAPER)
    draw = ImageDraw.Draw(canvas)
    sizes = "menu %d x %d" % menu.size + (", About %d x %d" % window.size if window else "")
    draw.text((MARGIN, MARGIN), '%s (%s): "%s", %s' % (os.path.basename(path), view.identity.language, title,
                                                        sizes), font=TITLE, fill=INK)
    y = MARGIN + 30
    for heading, image, (lines, legend_height) in rows:
        draw.text((MARGIN, y), heading, font=BOLD, fill=GREY)
        y += 24
        canvas.paste(image, (MARGIN - PAD, y - PAD))
        draw_legend(canvas, draw, MARGIN + left_width + GAP, y, lines)
        y += max(image.height, legend_height) + GAP
    return canvas


def save(canvas, out, what="preview", info=None):
    # Written whole under another name first: a failed run leaves no picture.
    partial = "%s.tmp.%d" % (out, os.getpid())
    try:
        canvas.save(partial, "PNG", optimize=False, pnginfo=info)
        os.replace(partial, out)
    finally:
        if os.path.exists(partial):
            os.remove(partial)
    print("%s in %s" % (what, out))


def sheets(views, out, tag, tool):
    """[(path, tag, view)]: OUT.png for the brand's own language and
    OUT-TAG.png for each other one, or OUT.png alone for the language `tag`.
    None, when the brand has no such language (said on stderr)."""
    if tag is not None:
        chosen = [view for view in views if view.tag.lower() == tag.lower()]
        if not chosen:
            print("%s: the brand has no language %s; it has %s" % (tool, tag, ", ".join(v.tag for v in views)),
                  file=sys.stderr)
            return None
        return [(out, chosen[0].tag, chosen[0])]
    base, extension = os.path.splitext(out)
    return [(out if index == 0 else "%s-%s%s" % (base, view.tag, extension), view.tag, view)
            for index, view in enumerate(views)]


def main(argv):
    if len(argv) not in (2, 3):
        print(__doc__.strip(), file=sys.stderr)
        return 2
    source, out = argv[:2]
    try:
        loaded = load(source)
    except BrandError as error:
        print(error, file=sys.stderr)
        return 1
    chosen = sheets(loaded.views(), out, argv[2] if len(argv) == 3 else None, "preview")
    if chosen is None:
        return 1
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    for path, _, view in chosen:
        save(render(source, view), path)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

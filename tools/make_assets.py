#!/usr/bin/python3
"""Draws Startboard's artwork and writes it in the exact layouts the resource
script and the launcher expect.

Usage: /usr/bin/python3 tools/make_assets.py assets

Writes menu.bmp, product-logo.bmp, maker-logo.jpg, hand.cur and
startboard.ico into the given folder, and docs/menu.png beside it (the
picture shown in the README). The same input gives the same bytes on every
run: all texture comes from a fixed-key PRNG and no file carries a date.

For screens at 120 dpi and up the launcher draws itself larger, so the
pictures also come at twice the size: menu-2x.jpg, product-logo-2x.jpg and
maker-logo-2x.jpg, drawn afresh at 2x rather than enlarged, and hand.cur
carries 48x48 and 64x64 hands after its 32x32 one. Every drawing function
takes its coordinates in 1x pixels and a scale k (1 or 2); the click zones
at 2x are the 1x zones doubled.
"""

import io
import math
import random
import struct
import sys
import tomllib
from pathlib import Path

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont, features

FONT_DIR = Path("/usr/share/fonts/truetype/dejavu")

# The window's size and click zones are the default brand's.
with (Path(__file__).resolve().parent.parent / "assets" / "brand.toml").open("rb") as brand_file:
    BRAND = tomllib.load(brand_file)
MENU_W, MENU_H = BRAND["menu"]["size"]
MENU_COLOURS = 241
PIXELS_PER_METRE = 2834  # 72 dots per inch
# The 2x pictures are JPEG: an 8-bit BMP of the menu at 2x would be 1.6 MB.
# At 85 the menu stays near 300 KB with captions and edges clean (4:4:4);
# 90 costs a quarter more for no difference a user would see.
QUALITY_2X = 85

# The menu's click zones in client pixels, inclusive, by the painted item
# each lies over: the items must lie inside them, since the hand cursor
# appears exactly over them.
ZONE_NAMES = {"manual": "Label2", "logo": "Label4", "reader": "Label5", "install": "Label7", "quit": "Label6"}
ZONES = {item: next((left, top, left + width - 1, top + height - 1)
                    for zone in BRAND["zone"] if zone["name"] == name
                    for left, top, width, height in [zone["rect"]])
         for item, name in ZONE_NAMES.items()}
ZONE_MARGIN = 5  # plain background kept inside each zone's edge
BACKGROUND_CEILING = 95  # brightest luma the background may reach

# The hand cursor, hotspot at the fingertip. X black, o white, . transparent.
HAND_HOTSPOT = (12, 8)
HAND = [
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "",
    "...........XXX",
    "..........XoooX",
    "..........XoooX",
    "..........XoooX",
    "..........XoooX",
    "..........XoooXXXXX",
    "..........XoooXoooXXXXX",
    "..........XoooXoooXoooXXXX",
    "..........XoooXoooXoooXooX",
    "......XXX.XoooXoooXoooXooX",
    ".....XoooXXoooXoooXoooXoooX",
    ".....XooooXoooooooooooooooX",
    "......XoooXoooooooooooooooX",
    "......XooooooooooooooooooooX",
    ".......XoooooooooooooooooooX",
    "........XooooooooooooooooooX",
    "........XoooooooooooooooooX",
    ".........XooooooooooooooooX",
    ".........XoooooooooooooooX",
    "..........XooooooooooooooX",
    "..........XXXXXXXXXXXXXXXX",
    "",
    "",
    "",
]
HAND_SIZES = (32, 48, 64)  # for 100%, 150% and 200%; HAND_HOTSPOT scales with the size

# The larger hands are drawn from shapes traced over HAND, in its 32x32 grid
# (pixel edges), so their outlines come out smooth rather than blocky.
HAND_FINGERS = [((10, 8, 15, 22), 2.5), ((14, 13, 19, 22), 2.0), ((18, 14, 23, 22), 2.0),
                ((22, 15, 26.5, 22), 1.8)]  # box, corner radius
HAND_THUMB = ((7.5, 19.4), (10.5, 24.5), 2.6)  # a round-ended stroke: ends, radius
HAND_PALM = [(11, 18.5), (27, 18.5), (28, 21), (28, 23.5), (27, 26), (26, 29), (10, 29), (9, 26),
             (8, 23.5), (10, 21)]
# Black lines between the fingers, down to the knuckles: column, top, bottom.
HAND_CREASES = [(14, 13, 19), (18, 14, 19), (22, 15, 19), (10, 17, 21)]


# ---------------------------------------------------------------- helpers


def font(name, size):
    return ImageFont.truetype(str(FONT_DIR / name), size)


def clamp8(v):
    return 0 if v < 0 else 255 if v > 255 else int(v + 0.5)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def ramp(stops, t):
    """Colour at t along a list of (position, rgb) stops."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, (t - p0) / (p1 - p0) if p1 > p0 else 0.0)
    return stops[-1][1]


def normalize(v):
    n = math.sqrt(sum(c * c for c in v))
    return tuple(c / n for c in v)


LIGHT = normalize((-0.45, -0.65, 0.62))
HALF = normalize((LIGHT[0], LIGHT[1], LIGHT[2] + 1.0))


def shade(n, base, highlight_power=30, highlight_gain=0.9):
    """Lit colour of a surface with normal n, lit from the upper left."""
    d = max(0.0, n[0] * LIGHT[0] + n[1] * LIGHT[1] + n[2] * LIGHT[2]) / LIGHT[2]
    s = max(0.0, n[0] * HALF[0] + n[1] * HALF[1] + n[2] * HALF[2]) ** highlight_power
    k = 0.35 + 0.65 * d
    return tuple(base[i] * k + 255 * s * highlight_gain for i in range(3))


def shrink(img, factor):
    w, h = img.size
    return img.resize((w // factor, h // factor), Image.Resampling.LANCZOS)


def scaled(rect, k):
    """An inclusive 1x pixel rectangle at scale k: each pixel becomes k by k."""
    x0, y0, x1, y1 = rect
    return x0 * k, y0 * k, (x1 + 1) * k - 1, (y1 + 1) * k - 1


def rank(mask, kind, radius):
    """mask through a square Min- or MaxFilter reaching radius pixels.

    Only the shape's neighbourhood is filtered: the rest of a mostly empty
    canvas stays zero either way, and filtering all of a 2x canvas is slow."""
    box = mask.getbbox()
    out = Image.new("L", mask.size, 0)
    if box is None:
        return out
    w, h = mask.size
    crop = (max(0, box[0] - radius), max(0, box[1] - radius),
            min(w, box[2] + radius), min(h, box[3] + radius))
    out.paste(mask.crop(crop).filter(kind(2 * radius + 1)), crop[:2])
    return out


def bevel(mask, depth, face, edge_gain=2.2, highlight_power=24, highlight_gain=0.8):
    """Shades a shape given by an L mask as a raised, bevelled plate.

    face(x, y) gives the unlit colour of each pixel; edge_gain sets how
    steeply the bevel slopes, independent of its depth. Returns an RGBA image
    whose alpha is the mask.
    """
    w, h = mask.size
    height = mask.filter(ImageFilter.GaussianBlur(depth))
    gain = edge_gain * depth * 0.5 / 255.0
    hp = height.tobytes()
    mp = mask.tobytes()
    out = bytearray(w * h * 4)
    x0, y0, x1, y1 = mask.getbbox() or (0, 0, 0, 0)
    for y in range(y0, y1):
        row = y * w
        for x in range(x0, x1):
            a = mp[row + x]
            if not a:
                continue
            xl = hp[row + x - 1] if x > 0 else 0
            xr = hp[row + x + 1] if x < w - 1 else 0
            yu = hp[row - w + x] if y > 0 else 0
            yd = hp[row + w + x] if y < h - 1 else 0
            gx = (xr - xl) * gain
            gy = (yd - yu) * gain
            n = normalize((-gx, -gy, 1.0))
            c = shade(n, face(x, y), highlight_power, highlight_gain)
            o = (row + x) * 4
            out[o] = clamp8(c[0])
            out[o + 1] = clamp8(c[1])
            out[o + 2] = clamp8(c[2])
            out[o + 3] = a
    return Image.frombytes("RGBA", (w, h), bytes(out))


def coloured(mask, rgb, alpha=1.0):
    """A flat-colour RGBA layer shaped by an L mask."""
    layer = Image.new("RGBA", mask.size, tuple(clamp8(v) for v in rgb) + (0,))
    layer.putalpha(mask.point(lambda v: int(v * alpha + 0.5)))
    return layer


def text_mask(size, xy, text, fnt, anchor="la"):
    m = Image.new("L", size, 0)
    ImageDraw.Draw(m).text(xy, text, fill=255, font=fnt, anchor=anchor)
    return m


# ---------------------------------------------------------------- background


def background(k=1):
    """Deep indigo night with a glow behind the logo, light streaks, a faint
    perspective floor and fine grain. Kept dark (luma under BACKGROUND_CEILING)
    everywhere so the buttons are the only bright things on the menu."""
    w, h = MENU_W * k, MENU_H * k
    rng = random.Random(1998)  # a fixed key, so the streaks and stars never move
    top, mid, bottom = (10, 12, 44), (20, 16, 64), (5, 6, 26)
    glow_centre, glow_radius = (366 * k, 262 * k), 420.0 * k
    px = bytearray(w * h * 3)
    for y in range(h):
        t = y / (h - 1)
        base = mix(top, mid, t / 0.45) if t < 0.45 else mix(mid, bottom, (t - 0.45) / 0.55)
        for x in range(w):
            dx = (x - glow_centre[0]) / glow_radius
            dy = (y - glow_centre[1]) / (glow_radius * 0.6)
            g = max(0.0, 1.0 - math.sqrt(dx * dx + dy * dy)) ** 2
            o = (y * w + x) * 3
            px[o] = clamp8(base[0] + 34 * g)
            px[o + 1] = clamp8(base[1] + 22 * g)
            px[o + 2] = clamp8(base[2] + 70 * g)
    img = Image.frombytes("RGB", (w, h), bytes(px))

    # Light streaks sweeping down from the upper left.
    ss = 2
    u = ss * k  # canvas pixels per 1x pixel
    streaks = Image.new("L", (w * ss, h * ss), 0)
    d = ImageDraw.Draw(streaks)
    for i in range(9):
        x0 = rng.uniform(-300, 700) * u
        slope = rng.uniform(0.30, 0.42)
        width = rng.choice((1, 1, 2, 3, 5)) * u
        level = rng.randint(120, 255)
        d.line([(x0, 0), (x0 + h * ss / slope, h * ss)], fill=level, width=width)
    streaks = shrink(streaks.filter(ImageFilter.GaussianBlur(1.5 * u)), ss)
    img = Image.composite(Image.new("RGB", (w, h), (70, 90, 190)), img,
                          streaks.point(lambda v: v * 38 // 100))

    # A perspective floor fading into the dark below the logo.
    vanish = (w / 2 * ss, 330 * u)
    floor = Image.new("L", (w * ss, h * ss), 0)
    d = ImageDraw.Draw(floor)
    for i in range(-14, 15):
        d.line([vanish, (w / 2 * ss + i * 95 * u, h * 1.6 * ss)], fill=255, width=u)
    for i in range(1, 12):
        y = vanish[1] + (h * ss - vanish[1]) * (i / 11.0) ** 2.1
        d.line([(0, y), (w * ss, y)], fill=255, width=u)
    fade = Image.linear_gradient("L").resize((w * ss, h * ss))
    fade = fade.point(lambda v: 0 if v < 158 else min(255, (v - 158) * 4))
    floor = ImageChops.multiply(floor, fade)
    floor = shrink(floor.filter(ImageFilter.GaussianBlur(0.6 * u)), ss)
    img = Image.composite(Image.new("RGB", (w, h), (60, 80, 170)), img,
                          floor.point(lambda v: v * 50 // 100))

    # Scattered faint stars in the upper sky, each a 1x pixel wide.
    stars = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(stars)
    for _ in range(140):
        x, y = rng.randrange(MENU_W), rng.randrange(int(MENU_H * 0.62))
        d.rectangle(scaled((x, y, x, y), k), fill=rng.randint(60, 150))
    stars = stars.filter(ImageFilter.GaussianBlur(0.5 * k)).point(lambda v: min(255, v * 3))
    img = Image.composite(Image.new("RGB", (w, h), (150, 160, 220)), img,
                          stars.point(lambda v: v * 38 // 100))

    # Fine grain, the same on every run. At 2x it is the 1x grain enlarged
    # smoothly: the same texture, and soft enough to keep the JPEG small.
    noise_key = 7451
    grain_rng = random.Random(noise_key)
    grain = bytes(grain_rng.randrange(0, 256) for _ in range(MENU_W * MENU_H))
    grain_img = Image.frombytes("L", (MENU_W, MENU_H), grain).filter(ImageFilter.GaussianBlur(0.4))
    if k > 1:
        grain_img = grain_img.resize((w, h), Image.Resampling.BICUBIC)
    gp = grain_img.tobytes()
    rgb = bytearray(img.tobytes())
    for i in range(w * h):
        n = (gp[i] - 128) * 0.07
        o = i * 3
        rgb[o] = clamp8(rgb[o] + n)
        rgb[o + 1] = clamp8(rgb[o + 1] + n)
        rgb[o + 2] = clamp8(rgb[o + 2] + n * 1.4)
    return Image.frombytes("RGB", (w, h), bytes(rgb))


# ---------------------------------------------------------------- menu items

SS = 3  # supersampling for shapes; captions are drawn at final size for hinting

GLASS = {
    "manual": (40, 110, 235),
    "reader": (205, 28, 40),
    "quit": (120, 60, 200),
}
CHROME = [(0.0, (255, 255, 255)), (0.44, (150, 165, 215)), (0.47, (40, 36, 84)),
          (0.64, (100, 96, 160)), (1.0, (225, 222, 250))]
GOLD = [(0.0, (255, 250, 205)), (0.4, (245, 190, 60)), (0.55, (160, 90, 10)),
        (0.7, (225, 150, 30)), (1.0, (255, 225, 130))]


def sphere(radius, glass):
    """A glass dome in a chrome bezel, rendered at SS times radius.

    Returns an RGBA image 2 * radius * SS square."""
    r = radius * SS
    size = 2 * r
    ring = 0.13  # bezel width as a share of the radius
    out = bytearray(size * size * 4)
    for y in range(size):
        fy = (y + 0.5 - r) / r
        for x in range(size):
            fx = (x + 0.5 - r) / r
            d2 = fx * fx + fy * fy
            if d2 >= 1.0:
                continue
            d = math.sqrt(d2)
            if d > 1.0 - ring:
                # Rounded bezel: the normal swings from inward to outward.
                t = (d - (1.0 - ring)) / ring
                a = (t - 0.5) * math.pi * 0.9
                nx, ny = fx / d * math.sin(a), fy / d * math.sin(a)
                n = (nx, ny, math.cos(a))
                env = ramp(CHROME, 0.5 - 0.5 * (ny * 1.6 - fy * 0.3) + 0.04)
                c = shade(n, env, 40, 0.7)
            else:
                # The dome: a shallow sphere cap with light pooling at the bottom.
                q = d / (1.0 - ring)
                nz = math.sqrt(max(0.0, 1.0 - (q * 0.75) ** 2))
                n = (fx / (1.0 - ring) * 0.75, fy / (1.0 - ring) * 0.75, nz)
                base = mix(tuple(v * 0.45 for v in glass), glass, max(0.0, fy) * 0.9 + 0.25)
                c = shade(n, base, 45, 0.6)
                c = mix(c, mix(glass, (255, 255, 255), 0.35), max(0.0, fy - 0.35) ** 2 * 1.4)
            o = (y * size + x) * 4
            edge = min(1.0, (1.0 - d) * r)  # smooth the rim over one pixel
            out[o:o + 4] = bytes((clamp8(c[0]), clamp8(c[1]), clamp8(c[2]), clamp8(255 * edge)))
    return Image.frombytes("RGBA", (size, size), bytes(out))


def gloss(size, box, strength, blur):
    """A soft white highlight filling box, fading downwards."""
    m = Image.new("L", size, 0)
    ImageDraw.Draw(m).ellipse(box, fill=255)
    grad = Image.linear_gradient("L").transpose(Image.Transpose.FLIP_TOP_BOTTOM)
    grad = grad.resize((box[2] - box[0], box[3] - box[1]))
    full = Image.new("L", size, 0)
    full.paste(grad.point(lambda v: int(v * strength)), (box[0], box[1]))
    m = ImageChops.multiply(m, full).filter(ImageFilter.GaussianBlur(blur))
    return coloured(m, (255, 255, 255))


def draw_icon(kind, size, c, s):
    """White pictogram for a button as an L mask, with dark detail strokes
    returned as a second mask."""
    m = Image.new("L", size, 0)
    detail = Image.new("L", size, 0)
    d = ImageDraw.Draw(m)
    dd = ImageDraw.Draw(detail)
    cx, cy = c
    if kind == "manual":
        h = s * 0.66
        for side in (-1, 1):
            page = [(cx, cy - h * 0.40), (cx + side * s * 0.5, cy - h * 0.52),
                    (cx + side * s * 0.5, cy + h * 0.40), (cx, cy + h * 0.52)]
            d.polygon(page, fill=255)
            # Text lines follow the page's slant away from the spine.
            for k in range(5):
                y0 = cy - h * 0.22 + k * h * 0.15
                f0, f1 = 0.08, 0.40
                dd.line([(cx + side * s * f0, y0 - h * 0.24 * f0),
                         (cx + side * s * f1, y0 - h * 0.24 * f1)],
                        fill=255, width=max(1, int(s * 0.035)))
        dd.line([(cx, cy - h * 0.40), (cx, cy + h * 0.52)], fill=255, width=max(1, int(s * 0.04)))
    elif kind == "reader":
        w, h = s * 0.62, s * 0.80
        x0, y0 = cx - w / 2, cy - h / 2
        fold = w * 0.32
        d.polygon([(x0, y0), (x0 + w - fold, y0), (x0 + w, y0 + fold), (x0 + w, y0 + h),
                   (x0, y0 + h)], fill=255)
        dd.polygon([(x0 + w - fold, y0), (x0 + w - fold, y0 + fold), (x0 + w, y0 + fold)],
                   fill=140)
        for k in range(6):
            yy = y0 + h * (0.22 + 0.12 * k)
            dd.line([(x0 + w * 0.16, yy), (x0 + w * (0.84 if k != 5 else 0.55), yy)],
                    fill=255, width=max(1, int(s * 0.045)))
    elif kind == "quit":
        rr = s * 0.38
        lw = max(2, int(s * 0.13))
        d.arc([cx - rr, cy - rr, cx + rr, cy + rr], -58, 238, fill=255, width=lw)
        d.line([(cx, cy - rr * 1.25), (cx, cy - rr * 0.05)], fill=255, width=lw)
        for px_, py_ in ((cx, cy - rr * 1.25), (cx, cy - rr * 0.05)):
            d.ellipse([px_ - lw / 2, py_ - lw / 2, px_ + lw / 2, py_ + lw / 2], fill=255)
    return m, detail


def round_button(kind, centre, radius, k=1):
    """A chrome-rimmed glass button with its pictogram, as a full-menu RGBA
    layer at scale k."""
    u = SS * k  # canvas pixels per 1x pixel
    big = (MENU_W * u, MENU_H * u)
    layer = Image.new("RGBA", big, (0, 0, 0, 0))
    cx, cy = centre[0] * u, centre[1] * u
    r = radius * u
    # Soft shadow cast down and right.
    sh = Image.new("L", big, 0)
    ImageDraw.Draw(sh).ellipse([cx - r + 2 * u, cy - r + 4 * u, cx + r + 2 * u,
                                cy + r + 4 * u], fill=200)
    layer = Image.alpha_composite(layer, coloured(sh.filter(ImageFilter.GaussianBlur(3 * u)),
                                                  (0, 0, 8)))
    # A faint halo of the button's colour.
    halo = Image.new("L", big, 0)
    ImageDraw.Draw(halo).ellipse([cx - r - 2 * u, cy - r - 2 * u, cx + r + 2 * u,
                                  cy + r + 2 * u], fill=120)
    layer = Image.alpha_composite(layer, coloured(halo.filter(ImageFilter.GaussianBlur(2 * u)),
                                                  mix(GLASS[kind], (255, 255, 255), 0.3)))
    body = sphere(radius * k, GLASS[kind])
    layer.alpha_composite(body, (cx - r, cy - r))
    # The pictogram, slightly embossed, then glass gloss over it.
    s = r * 1.12
    m, detail = draw_icon(kind, big, (cx, cy + r * 0.04), s)
    shadow = coloured(ImageChops.offset(m, u, 2 * u).filter(ImageFilter.GaussianBlur(u)),
                      (0, 0, 20), 0.7)
    layer = Image.alpha_composite(layer, shadow)
    icon_face = gradient_fill(m, (250, 250, 255), (205, 210, 230))
    layer = Image.alpha_composite(layer, icon_face)
    layer = Image.alpha_composite(layer, coloured(ImageChops.multiply(detail, m),
                                                  tuple(int(v * 0.7) for v in GLASS[kind])))
    inner = int(r * 0.87)
    layer = Image.alpha_composite(layer, gloss(big, (int(cx - inner * 0.72), int(cy - inner * 0.95),
                                                     int(cx + inner * 0.72), int(cy - inner * 0.05)),
                                               0.62, u))
    return shrink(layer, SS)


def gradient_fill(mask, top, bottom):
    """A mask filled with a top-to-bottom gradient, as an RGBA layer."""
    grad = Image.linear_gradient("L").resize(mask.size)
    a = Image.new("RGB", mask.size, tuple(clamp8(v) for v in top))
    b = Image.new("RGB", mask.size, tuple(clamp8(v) for v in bottom))
    rgb = Image.composite(b, a, grad)
    rgb.putalpha(mask)
    return rgb


def caption(layer, centre_x, top, lines, size, k=1):
    """White bold caption lines with a dark shadow, centred on centre_x.
    Drawn at the final size (1x coordinates times k) so the hinting holds."""
    f = font("DejaVuSans-Bold.ttf", size * k)
    step = int(size * 1.2)
    shadow = Image.new("L", layer.size, 0)
    text = Image.new("L", layer.size, 0)
    ds, dt = ImageDraw.Draw(shadow), ImageDraw.Draw(text)
    x = centre_x * k
    for i, line in enumerate(lines):
        y = (top + i * step) * k
        ds.text((x + k, y + 2 * k), line, font=f, fill=255, anchor="mt",
                stroke_width=2 * k, stroke_fill=255)
        dt.text((x, y), line, font=f, fill=255, anchor="mt")
    layer.alpha_composite(coloured(shadow.filter(ImageFilter.GaussianBlur(1.2 * k)), (0, 0, 10),
                                   0.85))
    face = gradient_fill(text, (255, 255, 255), (215, 222, 245))
    layer.alpha_composite(face)


def rounded(mask, radius):
    """Rounds a mask's corners by blurring and re-thresholding it."""
    return mask.filter(ImageFilter.GaussianBlur(radius)).point(
        lambda v: 0 if v < 100 else 255 if v > 155 else (v - 100) * 255 // 55)


def disc(radius):
    """A silver compact disc with a rainbow sheen, rendered at SS."""
    r = radius * SS
    size = 2 * r
    hole, hub = 0.18, 0.36
    out = bytearray(size * size * 4)
    for y in range(size):
        fy = (y + 0.5 - r) / r
        for x in range(size):
            fx = (x + 0.5 - r) / r
            d = math.sqrt(fx * fx + fy * fy)
            if d >= 1.0 or d <= hole:
                continue
            ang = math.atan2(fy, fx)
            if d < hub:
                c = mix((150, 155, 175), (235, 238, 250), 0.5 + 0.5 * math.sin(ang * 2 + 0.6))
            else:
                sheen = 0.5 + 0.5 * math.cos(2 * (ang + 0.8))
                rainbow = (128 + 127 * math.sin(ang * 2 + d * 4),
                           128 + 127 * math.sin(ang * 2 + d * 4 + 2.1),
                           128 + 127 * math.sin(ang * 2 + d * 4 + 4.2))
                c = mix(mix((170, 175, 200), rainbow, 0.35), (255, 255, 255), sheen * 0.55)
                if d > 0.95:
                    c = mix(c, (90, 95, 120), 0.6)
            edge = min(1.0, (1.0 - d) * r, (d - hole) * r)
            o = (y * size + x) * 4
            out[o:o + 4] = bytes((clamp8(c[0]), clamp8(c[1]), clamp8(c[2]), clamp8(255 * edge)))
    return Image.frombytes("RGBA", (size, size), bytes(out))


def triangle_button(top, half_width, height, k=1):
    """The gold downward arrow with "Install Now" and a disc on it, as a
    full-menu RGBA layer at scale k. top is the (x, y) centre of its upper
    edge."""
    u = SS * k  # canvas pixels per 1x pixel
    big = (MENU_W * u, MENU_H * u)
    cx, ty = top[0] * u, top[1] * u
    hw, h = half_width * u, height * u
    outer = Image.new("L", big, 0)
    ImageDraw.Draw(outer).polygon([(cx - hw, ty), (cx + hw, ty), (cx, ty + h)], fill=255)
    outer = rounded(outer, 4 * u)
    inner = rounded(rank(outer, ImageFilter.MinFilter, 5 * u), 2 * u)
    layer = Image.new("RGBA", big, (0, 0, 0, 0))
    sh = ImageChops.offset(outer, 3 * u, 5 * u).filter(ImageFilter.GaussianBlur(3 * u))
    layer = Image.alpha_composite(layer, coloured(sh, (0, 0, 8), 0.8))
    halo = rank(outer, ImageFilter.MaxFilter, u).filter(ImageFilter.GaussianBlur(2 * u))
    layer = Image.alpha_composite(layer, coloured(halo, (255, 200, 90), 0.45))

    def chrome_face(x, y):
        return ramp(CHROME, (y - ty) / h * 1.1)

    def gold_face(x, y):
        return ramp(GOLD, (y - ty) / h * 0.95 + 0.02)

    layer = Image.alpha_composite(layer, bevel(outer, 2 * u, chrome_face, 2.5, 40, 0.6))
    layer = Image.alpha_composite(layer, bevel(inner, 4 * u, gold_face, 2.0, 30, 0.7))
    layer = Image.alpha_composite(layer, gloss(big, (int(cx - hw * 0.8), int(ty + 4 * u),
                                                     int(cx + hw * 0.8), int(ty + h * 0.32)),
                                               0.5, u))
    # The caption engraved into the gold: light edge below, dark letters.
    f = font("DejaVuSans-Bold.ttf", 27 * u)
    cap_y = ty + int(h * 0.13)
    letters = text_mask(big, (cx, cap_y), "Install Now", f, "mt")
    lip = ImageChops.offset(letters, u, u)
    layer = Image.alpha_composite(layer, coloured(lip, (255, 245, 200), 0.8))
    layer = Image.alpha_composite(layer, coloured(letters, (40, 20, 70)))
    cd = disc(int(h * 0.17 / SS))
    layer.alpha_composite(cd, (cx - cd.width // 2, ty + int(h * 0.50) - cd.height // 2))
    return shrink(layer, SS)


# ---------------------------------------------------------------- logo

TAGLINE = "FOR WINDOWS 95 & WINDOWS NT"


def logo(size, box, k=1):
    """The "Norvane 98" logo as an RGBA image of size, fitted inside box
    (both in 1x pixels), drawn at scale k: chrome lettering, a gold "98", an
    orbit swoosh and a tagline."""
    ss = SS * k  # canvas pixels per 1x pixel
    big = (size[0] * ss, size[1] * ss)
    bx0, by0, bx1, by1 = (v * ss for v in box)
    bw, bh = bx1 - bx0, by1 - by0
    word_font = font("DejaVuSerif-BoldItalic.ttf", 10 * ss)
    num_font = font("DejaVuSans-BoldOblique.ttf", 10 * ss)

    # Size the word and number together so the pair fills the box's width.
    def widths(px):
        wf = word_font.font_variant(size=px)
        nf = num_font.font_variant(size=int(px * 1.12))
        return wf, nf, wf.getlength("Norvane"), nf.getlength("98")

    gap = 0.10
    px = 10 * ss
    while True:
        wf, nf, ww, nw = widths(px + ss)
        if ww + nw + gap * (px + ss) > bw * 0.96 or (px + ss) > bh * 0.74:
            break
        px += ss
    wf, nf, ww, nw = widths(px)
    total = ww + nw + gap * px
    x0 = bx0 + (bw - total) / 2
    base = by0 + bh * 0.66  # text baseline

    def set_type(left):
        return (text_mask(big, (left, base), "Norvane", wf, "ls"),
                text_mask(big, (left + ww + gap * px, base), "98", nf, "ls"))

    # Centre on the ink rather than the advance widths: the italic leans right.
    word, num = set_type(x0)
    x0 += (bx0 + bx1) / 2 - (word.getbbox()[0] + num.getbbox()[2]) / 2
    word, num = set_type(x0)
    wbox, nbox = word.getbbox(), num.getbbox()
    letters = ImageChops.lighter(word, num)

    # The orbit: a thin gold ring tilted around the lettering, hidden where it
    # passes behind the letters' upper half.
    orbit = Image.new("L", big, 0)
    od = ImageDraw.Draw(orbit)
    ox0, oy0 = bx0 + bw * 0.02, wbox[1] + (wbox[3] - wbox[1]) * 0.30
    ox1, oy1 = bx1 - bw * 0.02, wbox[3] + (by1 - wbox[3]) * 0.20
    od.ellipse([ox0, oy0, ox1, oy1], outline=255, width=int(3 * ss))
    # Fade the ring towards the left so it reads as a sweep.
    taper = Image.linear_gradient("L").rotate(90, expand=True).resize(big)
    taper = taper.point(lambda v: min(255, 60 + v * 2))
    orbit = ImageChops.multiply(orbit, taper.transpose(Image.Transpose.FLIP_LEFT_RIGHT))
    behind = Image.new("L", big, 0)
    ImageDraw.Draw(behind).rectangle([0, 0, big[0], (oy0 + oy1) / 2], fill=255)
    orbit_back = ImageChops.multiply(orbit, behind)
    orbit_front = ImageChops.subtract(orbit, orbit_back)

    tag_font = font("DejaVuSans-Bold.ttf", max(10 * ss, int(px * 0.15)))
    tag_y = min(by1 - ss, oy1 + (by1 - oy1) * 0.55)
    tag = Image.new("L", big, 0)
    # Letter-spaced capitals, centred under the word.
    bare = sum(tag_font.getlength(ch) for ch in TAGLINE)
    spacing = min(tag_font.size * 0.28, (bw * 0.94 - bare) / (len(TAGLINE) - 1))
    tw = bare + spacing * (len(TAGLINE) - 1)
    tx = bx0 + (bw - tw) / 2
    td = ImageDraw.Draw(tag)
    for ch in TAGLINE:
        td.text((tx, tag_y), ch, font=tag_font, fill=255, anchor="ls")
        tx += tag_font.getlength(ch) + spacing

    layer = Image.new("RGBA", big, (0, 0, 0, 0))
    solid = ImageChops.lighter(letters, orbit)
    halo = rank(solid, ImageFilter.MaxFilter, ss).filter(ImageFilter.GaussianBlur(7 * ss))
    layer = Image.alpha_composite(layer, coloured(halo, (110, 120, 255), 0.75))
    shadow = ImageChops.offset(solid, 3 * ss, 4 * ss).filter(ImageFilter.GaussianBlur(2 * ss))
    layer = Image.alpha_composite(layer, coloured(shadow, (0, 0, 0), 0.85))

    def gold_face(x, y):
        return ramp(GOLD, (y - oy0) / (oy1 - oy0))

    def gold_num(x, y):
        return ramp(GOLD, (y - nbox[1]) / (nbox[3] - nbox[1]))

    def chrome_face(x, y):
        return ramp(CHROME, (y - wbox[1]) / (wbox[3] - wbox[1]))

    layer = Image.alpha_composite(layer, bevel(orbit_back, 1.5 * ss, gold_face, 2.0, 30, 0.6))
    # A dark keyline round the letters keeps them crisp on the glow.
    keyline = rank(letters, ImageFilter.MaxFilter, ss)
    layer = Image.alpha_composite(layer, coloured(keyline, (10, 8, 40)))
    layer = Image.alpha_composite(layer, bevel(word, 3 * ss, chrome_face, 3.0, 30, 0.8))
    layer = Image.alpha_composite(layer, bevel(num, 3 * ss, gold_num, 3.0, 30, 0.8))
    layer = Image.alpha_composite(layer, bevel(orbit_front, 1.5 * ss, gold_face, 2.0, 30, 0.6))
    tag_shadow = ImageChops.offset(tag, ss, ss).filter(ImageFilter.GaussianBlur(ss))
    layer = Image.alpha_composite(layer, coloured(tag_shadow, (0, 0, 0), 0.9))
    layer = Image.alpha_composite(layer, coloured(tag, (215, 220, 250)))
    return shrink(layer, SS)


# ---------------------------------------------------------------- menu


def keep_in(zone, k, exclude=()):
    """Mask of where a zone's item may paint at scale k: the zone less its
    margin, and less any rectangles (grown by the margin) that belong to
    other zones. Zones are in 1x pixels."""
    m = Image.new("L", (MENU_W * k, MENU_H * k), 0)
    d = ImageDraw.Draw(m)
    margin = ZONE_MARGIN * k
    x0, y0, x1, y1 = scaled(zone, k)
    d.rectangle([x0 + margin, y0 + margin, x1 - margin, y1 - margin], fill=255)
    for ex in exclude:
        ex = scaled(ex, k)
        d.rectangle([ex[0] - margin, ex[1] - margin, ex[2] + margin, ex[3] + margin], fill=0)
    return m


def place(canvas, layer, name, k, exclude=()):
    """Composites an item's layer, refusing art that strays from its zone."""
    allowed = keep_in(ZONES[name], k, exclude)
    alpha = layer.getchannel("A")
    outside = ImageChops.multiply(alpha, ImageChops.invert(allowed))
    if outside.getextrema()[1] > 12:
        where = outside.point(lambda v: 255 if v > 12 else 0).getbbox()
        raise SystemExit(f"{name}: artwork strays outside its zone at {where} (scale {k})")
    layer.putalpha(ImageChops.multiply(alpha, allowed))
    canvas.alpha_composite(layer)


def menu_art(k=1):
    """The menu picture at scale k: the same design at 1x and 2x, each item
    inside its click zone scaled by k."""
    sky = background(k)
    if sky.convert("L").getextrema()[1] > BACKGROUND_CEILING:
        raise SystemExit("background: too bright to tell from the buttons")
    canvas = sky.convert("RGBA")
    z = ZONES
    for name, centre, radius in (("manual", (363, 60), 46), ("reader", (78, 410), 46),
                                 ("quit", (640, 410), 46)):
        place(canvas, round_button(name, centre, radius, k), name, k)
    for name, cx, top, lines, size in (("manual", 363, 114, ["User Manual"], 19),
                                       ("reader", 78, 464, ["Install", "Acrobat", "Reader"], 17),
                                       ("quit", 640, 464, ["Quit"], 19)):
        layer = Image.new("RGBA", canvas.size, (0, 0, 0, 0))
        caption(layer, cx, top, lines, size, k)
        place(canvas, layer, name, k)
    place(canvas, triangle_button((353, 364), 150, 164, k), "install", k)
    # The logo keeps clear of the strip it shares with the Quit zone.
    overlap = (z["quit"][0], z["quit"][1], z["logo"][2], z["logo"][3])
    place(canvas, logo((MENU_W, MENU_H), (74, 188, 659, 330), k), "logo", k, [overlap])
    return canvas.convert("RGB")


# ---------------------------------------------------------------- file layouts


def bmp8(img, colours, ppm=PIXELS_PER_METRE):
    """An uncompressed, bottom-up 8-bit BMP with exactly `colours` palette
    entries and two zero bytes after the pixels."""
    p = img.quantize(colours, method=Image.Quantize.LIBIMAGEQUANT, dither=Image.Dither.NONE)
    assert max(p.tobytes()) < colours
    pal = p.getpalette()[:3 * colours]
    pal += [0] * (3 * colours - len(pal))
    w, h = p.size
    stride = (w + 3) & ~3
    raw = p.tobytes()
    pad = bytes(stride - w)
    pixels = b"".join(raw[y * w:(y + 1) * w] + pad for y in range(h - 1, -1, -1))
    offset = 14 + 40 + 4 * colours
    size = offset + len(pixels) + 2
    out = bytearray(struct.pack("<2sIHHI", b"BM", size, 0, 0, offset))
    out += struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(pixels), ppm, ppm, colours, colours)
    for i in range(colours):
        out += bytes((pal[3 * i + 2], pal[3 * i + 1], pal[3 * i], 0))
    out += pixels + b"\0\0"
    assert len(out) == size
    return bytes(out), p


def mask_rows(bits, w, h):
    """Packs rows of 0/1 into bottom-up 1-bpp rows padded to 4 bytes."""
    stride = ((w + 31) // 32) * 4
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if bits[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def nibble_rows(indices, w, h):
    """Packs rows of 4-bit palette indices bottom-up, padded to 4 bytes."""
    stride = ((w * 4 + 31) // 32) * 4
    out = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            row[x // 2] |= indices[y][x] << (4 if x % 2 == 0 else 0)
        out += row
    return bytes(out)


def dib_header(w, h, bpp, image_bytes):
    return struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, bpp, 0, image_bytes, 0, 0, 0, 0)


def hand_rows(n):
    """The hand at n by n pixels as rows of X (black), o (white) and .
    (transparent). 32x32 is the hand-set HAND; larger sizes are drawn from
    the traced shapes with an outline n // 32 pixels thick."""
    if n == 32:
        return [r.ljust(32, ".") for r in HAND]
    s = n / 32
    ss = 8
    big = Image.new("L", (n * ss, n * ss), 0)
    d = ImageDraw.Draw(big)
    # Finger edges snap to whole pixels, so at 1.5x the fingers come out
    # equally wide and the creases fall on their edges.
    for box, radius in HAND_FINGERS:
        x0, y0, x1, y1 = (round(v * s) * ss for v in box)
        d.rounded_rectangle([x0, y0, x1 - 1, y1 - 1], radius * s * ss, fill=255)
    f = s * ss
    (ax, ay), (bx, by), radius = HAND_THUMB
    d.line([(ax * f, ay * f), (bx * f, by * f)], fill=255, width=int(2 * radius * f))
    for cx, cy in ((ax, ay), (bx, by)):
        d.ellipse([(cx - radius) * f, (cy - radius) * f, (cx + radius) * f, (cy + radius) * f],
                  fill=255)
    d.polygon([(x * f, y * f) for x, y in HAND_PALM], fill=255)
    opaque = big.resize((n, n), Image.Resampling.BOX).point(lambda v: 255 if v >= 128 else 0)
    # Peel the outline off the shape, a pixel at a time, keeping only pixels
    # whose four neighbours are in it (offset wraps, but the hand is clear of
    # the edges).
    t = n // 32
    fill = opaque
    for _ in range(t):
        peeled = fill
        for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
            peeled = ImageChops.darker(peeled, ImageChops.offset(fill, dx, dy))
        fill = peeled
    d = ImageDraw.Draw(fill)
    for x, y0, y1 in HAND_CREASES:
        left = round(x * s)
        d.rectangle([left, round(y0 * s), left + t - 1, round(y1 * s) - 1], fill=0)
    return ["".join("o" if fill.getpixel((x, y)) else "X" if opaque.getpixel((x, y)) else "."
                    for x in range(n)) for y in range(n)]


def cursor_file():
    """hand.cur: the hand at each of HAND_SIZES, monochrome, hotspot at the
    fingertip. The 32x32 image comes first, as it always has, for loaders
    that read only the first."""
    images = []
    for n in HAND_SIZES:
        rows = hand_rows(n)
        assert len(rows) == n and all(len(r) == n for r in rows)
        hotspot = (HAND_HOTSPOT[0] * n // 32, HAND_HOTSPOT[1] * n // 32)
        check_outline(rows, hotspot)
        xor = mask_rows([[1 if c == "o" else 0 for c in r] for r in rows], n, n)
        and_ = mask_rows([[1 if c == "." else 0 for c in r] for r in rows], n, n)
        image = dib_header(n, n, 1, len(xor) + len(and_))
        image += bytes((0, 0, 0, 0, 255, 255, 255, 0)) + xor + and_
        images.append((n, hotspot, image))
    out = struct.pack("<HHH", 0, 2, len(images))
    offset = 6 + 16 * len(images)
    for n, (hx, hy), image in images:
        out += struct.pack("<BBBBHHII", n, n, 2, 0, hx, hy, len(image), offset)
        offset += len(image)
    return out + b"".join(image for _, _, image in images)


def check_outline(rows, hotspot):
    """The hand's white fill must be closed in by black on every side."""
    for y, r in enumerate(rows):
        for x, c in enumerate(r):
            if c != "o":
                continue
            for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)):
                if rows[y + dy][x + dx] == ".":
                    raise SystemExit(f"hand cursor {len(rows)}: fill leaks at ({x}, {y})")
    tip = min(y for y, r in enumerate(rows) if r.strip("."))
    if tip != hotspot[1] or rows[tip][hotspot[0]] == ".":
        raise SystemExit(f"hand cursor {len(rows)}: fingertip is not at the hotspot")


def icon_art(size):
    """The application icon: a chrome-rimmed indigo disc bearing an "N"
    ringed by a gold orbit, drawn large and reduced to size. The small size
    uses a sans face, whose strokes survive the reduction."""
    k = 16
    big = size * k
    r = big // 2 - k // 4
    layer = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    body = sphere(r // SS, (60, 50, 200))
    layer.alpha_composite(body, ((big - body.width) // 2, (big - body.height) // 2))
    face = "DejaVuSerif-Bold.ttf" if size >= 32 else "DejaVuSans-Bold.ttf"
    f = font(face, int(big * (0.66 if size >= 32 else 0.74)))
    n = text_mask((big, big), (big / 2, big * 0.50), "N", f, "mm")
    orbit = Image.new("L", (big, big), 0)
    ImageDraw.Draw(orbit).arc([big * 0.05, big * 0.52, big * 0.95, big * 0.84], 0, 360,
                              fill=255, width=int(big * (0.07 if size >= 32 else 0.09)))
    # The orbit passes behind the letter above its centre line.
    front = Image.new("L", (big, big), 0)
    ImageDraw.Draw(front).rectangle([0, big * 0.68, big, big], fill=255)
    back = ImageChops.subtract(orbit, front)
    layer = Image.alpha_composite(layer, coloured(back, (250, 190, 50)))
    keyline = n.filter(ImageFilter.MaxFilter(2 * (big // 32) + 1))
    layer = Image.alpha_composite(layer, coloured(keyline, (15, 10, 50)))
    layer = Image.alpha_composite(layer, gradient_fill(n, (255, 255, 255), (205, 215, 250)))
    layer = Image.alpha_composite(layer, coloured(ImageChops.multiply(orbit, front), (250, 190, 50)))
    return layer.resize((size, size), Image.Resampling.LANCZOS)


def icon_image(size):
    """One 4-bpp icon image: header, 16-colour palette, XOR bits, AND mask.
    Index 0 is black so transparent pixels leave the screen untouched."""
    art = icon_art(size)
    alpha = art.getchannel("A")
    opaque = [[alpha.getpixel((x, y)) >= 128 for x in range(size)] for y in range(size)]
    flat = Image.new("RGB", art.size, (70, 60, 210))
    flat.paste(art.convert("RGB"), mask=alpha.point(lambda v: 255 if v >= 128 else 0))
    p = flat.quantize(15, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = (p.getpalette()[:45] + [0] * 45)[:45]
    palette = [(0, 0, 0)] + [tuple(pal[3 * i:3 * i + 3]) for i in range(15)]
    idx = [[p.getpixel((x, y)) + 1 if opaque[y][x] else 0 for x in range(size)]
           for y in range(size)]
    xor = nibble_rows(idx, size, size)
    and_ = mask_rows([[0 if o else 1 for o in row] for row in opaque], size, size)
    out = dib_header(size, size, 4, len(xor) + len(and_))
    out += b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return out + xor + and_


def icon_file():
    """startboard.ico: 16x16 and 32x32, 16 colours each."""
    images = [(s, icon_image(s)) for s in (16, 32)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in images:
        out += struct.pack("<BBBBHHII", s, s, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


# ---------------------------------------------------------------- maker logo

MAKER_SIZE = (180, 93)
INK = (22, 38, 96)


def quill(size, box, ss):
    """A stylised quill feather inside box (1x pixels), as an RGBA layer of
    ss canvas pixels per 1x pixel."""
    x0, y0, x1, y1 = (v * ss for v in box)
    layer = Image.new("RGBA", size, (0, 0, 0, 0))

    def shaft(t):  # a gentle curve from the nib (t=0) up to the tip (t=1)
        bx = x0 + (x1 - x0) * (0.08 + 0.86 * t) + (x1 - x0) * 0.10 * math.sin(math.pi * t)
        by = y1 - (y1 - y0) * t
        return bx, by

    left, right = [], []
    for i in range(41):
        t = 0.22 + 0.78 * i / 40
        u = (t - 0.22) / 0.78
        wdt = (x1 - x0) * 0.30 * math.sin(math.pi * u) ** 0.7 * (1.0 - 0.25 * u)
        px_, py_ = shaft(t)
        ax, ay = shaft(t - 0.005)
        qx, qy = shaft(t + 0.005)
        nx, ny = normalize((-(qy - ay), qx - ax, 0))[:2]
        left.append((px_ + nx * wdt * 1.15, py_ + ny * wdt * 1.15))
        right.append((px_ - nx * wdt * 0.8, py_ - ny * wdt * 0.8))
    vane = Image.new("L", size, 0)
    d = ImageDraw.Draw(vane)
    d.polygon(left + right[::-1], fill=255)
    # Notches cut into the vane's edges make it read as a feather.
    for t, side in ((0.45, 1), (0.68, 1), (0.58, -1), (0.82, -1)):
        px_, py_ = shaft(t)
        qx, qy = shaft(t + 0.16)
        ex = px_ + (qx - px_) * 0.2 + side * (x1 - x0) * 0.45
        d.polygon([(px_, py_), (ex, py_ - (y1 - y0) * 0.03), (ex, py_ + (y1 - y0) * 0.06)], fill=0)
    grad = Image.linear_gradient("L").resize(size)
    face = Image.composite(Image.new("RGB", size, INK), Image.new("RGB", size, (40, 120, 170)), grad)
    layer.paste(face, mask=vane)
    # The shaft, in white over the vane, and the gold nib below it.
    d2 = ImageDraw.Draw(layer)
    pts = [shaft(0.18 + 0.80 * i / 30) for i in range(31)]
    d2.line(pts, fill=(255, 255, 255, 255), width=int(1.4 * ss))
    nib_top = shaft(0.2)
    nb = shaft(0.0)
    d2.polygon([(nib_top[0] - 2.5 * ss, nib_top[1]), (nib_top[0] + 2.5 * ss, nib_top[1]), nb],
               fill=(200, 140, 30, 255))
    return layer


def maker_logo(k=1):
    ss = 4 * k  # canvas pixels per 1x pixel
    size = (MAKER_SIZE[0] * ss, MAKER_SIZE[1] * ss)
    img = Image.new("RGBA", size, (255, 255, 255, 255))
    img.alpha_composite(quill(size, (4, 10, 46, 82), ss))
    text_x, right = 50 * ss, (MAKER_SIZE[0] - 5) * ss
    name_font = font("DejaVuSerif-Bold.ttf", 10 * ss)
    while name_font.getlength("Quillmere") < right - text_x - ss:
        name_font = name_font.font_variant(size=name_font.size + 1)
    name_font = name_font.font_variant(size=name_font.size - 1)
    sub_font = font("DejaVuSans-Bold.ttf", 9 * ss)
    d = ImageDraw.Draw(img)
    d.text((text_x, 46 * ss), "Quillmere", font=name_font, fill=INK, anchor="ls")
    name_w = name_font.getlength("Quillmere")
    # "SOFTWARE" letter-spaced to the width of the name, under a gold rule.
    d.rectangle([text_x, 52 * ss, text_x + name_w, 53.5 * ss], fill=(205, 150, 40))
    word = "SOFTWARE"
    letters_w = sum(sub_font.getlength(ch) for ch in word)
    gap = (name_w - letters_w) / (len(word) - 1)
    x = text_x
    for ch in word:
        d.text((x, 66 * ss), ch, font=sub_font, fill=(40, 110, 160), anchor="ls")
        x += sub_font.getlength(ch) + gap
    return img.convert("RGB").resize((MAKER_SIZE[0] * k, MAKER_SIZE[1] * k),
                                     Image.Resampling.LANCZOS)


def fade_edges(layer, clear, ramp_width):
    """Fades a layer out towards its edges, leaving a clear frame so the
    picture meets the window's black exactly."""
    w, h = layer.size
    m = Image.new("L", layer.size, 0)
    d = ImageDraw.Draw(m)
    for i in range(ramp_width):
        d.rectangle([clear + i, clear + i, w - 1 - clear - i, h - 1 - clear - i],
                    fill=255 * (i + 1) // ramp_width)
    layer.putalpha(ImageChops.multiply(layer.getchannel("A"), m))
    return layer


def jpeg(img, quality, optimize=False):
    """Baseline JFIF, full-resolution colour (4:4:4), 96 dpi, as the OLE
    picture loader reads it. Optimised Huffman tables are still baseline."""
    buf = io.BytesIO()
    img.save(buf, "JPEG", quality=quality, optimize=optimize, progressive=False, subsampling=0,
             dpi=(96, 96))
    return buf.getvalue()


def jpeg_near(img, lo=5000, hi=7000, target=6200):
    """The JPEG at the best quality that keeps the file near target."""
    for q in range(95, 30, -1):
        data = jpeg(img, q)
        if len(data) <= target:
            break
    if not lo <= len(data) <= hi:
        raise SystemExit(f"maker logo: cannot hit {lo}..{hi} bytes")
    return data


def product_logo(k=1):
    """The logo on the About window's black, its edges faded to black."""
    product = Image.new("RGBA", (300 * k, 129 * k), (0, 0, 0, 255))
    product.alpha_composite(fade_edges(logo((300, 129), (6, 6, 294, 123), k), 3 * k, 10 * k))
    return product.convert("RGB")


# ---------------------------------------------------------------- main


def main(argv):
    if len(argv) != 2:
        raise SystemExit("usage: make_assets.py OUTPUT_FOLDER")
    # Its palettes are far truer than median cut's on these gradients.
    if not features.check("libimagequant"):
        raise SystemExit("needs Pillow with libimagequant (Debian's python3-pil)")
    out = Path(argv[1])
    out.mkdir(parents=True, exist_ok=True)
    menu_bytes, menu_shown = bmp8(menu_art(), MENU_COLOURS)
    (out / "menu.bmp").write_bytes(menu_bytes)
    docs = out.resolve().parent / "docs"
    docs.mkdir(exist_ok=True)
    png = io.BytesIO()
    menu_shown.save(png, "PNG")
    (docs / "menu.png").write_bytes(png.getvalue())

    (out / "product-logo.bmp").write_bytes(bmp8(product_logo(), 256)[0])
    (out / "maker-logo.jpg").write_bytes(jpeg_near(maker_logo()))
    (out / "hand.cur").write_bytes(cursor_file())
    (out / "startboard.ico").write_bytes(icon_file())

    for name, art in (("menu-2x.jpg", menu_art(2)), ("product-logo-2x.jpg", product_logo(2)),
                      ("maker-logo-2x.jpg", maker_logo(2))):
        (out / name).write_bytes(jpeg(art, QUALITY_2X, optimize=True))


if __name__ == "__main__":
    main(sys.argv)

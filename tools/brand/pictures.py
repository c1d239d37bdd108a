"""The brand's pictures, icon and cursor: read within limits and decoded in
full at check time (a truncated or noisy file is refused then, not drawn
broken on a user's screen), and turned at build time into the forms the exe
draws: each picture in no more bytes than the publisher's file where it can
be (PNG and JPEG as given, or re-encoded when that is smaller and loses
nothing; a BMP compressed when that is smaller), a .ico and a .cur."""
import io
import os
import struct
import warnings

from PIL import Image, IcoImagePlugin, UnidentifiedImageError

# The checker sets its own limits (below) before anything is decoded, so
# Pillow's guard against huge pictures would only add a second, rawer message.
Image.MAX_IMAGE_PIXELS = None
warnings.simplefilter("ignore", Image.DecompressionBombWarning)

FORMATS = {".bmp": "BMP", ".jpg": "JPEG", ".jpeg": "JPEG", ".png": "PNG"}
CURSOR_SIZES = (32, 48, 64)  # what each dpi takes, the largest that fits
ICON_SIZES = (16, 32, 48, 256)


class PictureError(Exception):
    """What is wrong with a picture, in a publisher's words."""


def _format(path):
    for extension, name in FORMATS.items():
        if path.lower().endswith(extension):
            return name
    raise PictureError("must be a BMP, JPEG or PNG file")


def read(path, limit):
    """(width, height, has_transparency) of a picture decoded in full; the
    size is checked against `limit` (width, height) before decoding."""
    expected = _format(path)
    try:
        with Image.open(path) as image:
            if image.format != expected:
                raise PictureError("it holds %s data, not %s" % (image.format or "no picture", expected))
            width, height = image.size
            if width > limit[0] or height > limit[1]:
                raise PictureError("is %dx%d; pictures here may be at most %dx%d" % (width, height, *limit))
            image.load()
            return width, height, transparent(image)
    except PictureError:
        raise
    except UnidentifiedImageError:
        raise PictureError("is not a %s picture" % expected) from None
    except (OSError, SyntaxError, ValueError, EOFError, struct.error, MemoryError) as error:
        raise PictureError("is not a whole, readable picture (%s)" % plain(error)) from None


def plain(error):
    text = str(error).strip() or type(error).__name__
    return "cut short" if "truncated" in text.lower() else text


def transparent(image):
    if image.mode in ("RGBA", "LA", "PA") or "transparency" in image.info:
        alpha = image.convert("RGBA").getchannel("A")
        return alpha.getextrema()[0] < 255
    return False


def flat(path, matte):
    """The picture as RGB, transparent parts laid on `matte` (0xRRGGBB)."""
    with Image.open(path) as image:
        image = image.convert("RGBA")
    ground = Image.new("RGBA", image.size, ((matte >> 16) & 255, (matte >> 8) & 255, matte & 255, 255))
    return Image.alpha_composite(ground, image).convert("RGB")


def _png(image):
    stream = io.BytesIO()
    image.save(stream, format="PNG", optimize=True)
    return stream.getvalue()


def _bit_depth(path):
    """A PNG's bits a channel, from its header."""
    with open(path, "rb") as f:
        return f.read(25)[24]


def _rle8_row(row):
    """One row of an 8-bit BMP run-length encoded: runs of three or more
    repeats, literal stretches between them, then end of line."""
    out = bytearray()
    at, end = 0, len(row)
    while at < end:
        run = at
        while run < end and run - at < 255 and row[run] == row[at]:
            run += 1
        if run - at >= 3 or run == end:
            out += bytes((run - at, row[at]))
            at = run
            continue
        stop = at
        # At most 254: Wine's GDI skips a literal of 255 wrongly (it pads
        # the length in a byte, which wraps to 0).
        while stop < end and stop - at < 254 and not (stop + 2 < end and row[stop] == row[stop + 1] == row[stop + 2]):
            stop += 1
        if stop - at < 3:  # a literal needs three pixels; fewer go as runs of one
            out += b"".join(bytes((1, value)) for value in row[at:stop])
        else:
            out += bytes((0, stop - at)) + row[at:stop] + b"\0" * ((stop - at) % 2)
        at = stop
    return out + b"\0\0"


def rle8(image):
    """A palette picture as an RLE8 BMP file, which GDI draws as it draws any
    bitmap, on every Windows."""
    width, height = image.size
    pixels = image.tobytes()
    rows = b"".join(_rle8_row(pixels[y * width:(y + 1) * width]) for y in reversed(range(height)))
    rows = rows[:-2] + b"\0\1"  # the last end of line is the end of the bitmap
    palette = image.getpalette("RGB") or []
    colours = min(len(palette) // 3, image.getextrema()[1] + 1)  # no entry past the last one used
    table = b"".join(bytes((palette[3 * i + 2], palette[3 * i + 1], palette[3 * i], 0)) for i in range(colours))
    offset = 14 + 40 + len(table)
    return (struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset) +
            struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(rows), 2835, 2835, colours, 0) + table + rows)


def _palette(image):
    """The picture with at most 256 colours as a palette picture of the same
    pixels, or None."""
    if image.mode == "P":
        return image
    rgb = image.convert("RGB")
    if rgb.getcolors(256) is None:
        return None
    # Not quantize(palette=...): it matches colours at reduced precision, so
    # close ones (grey levels a step apart) became one.
    indexed = rgb.quantize(256, dither=Image.Dither.NONE)
    return indexed if indexed.convert("RGB").tobytes() == rgb.tobytes() else None


def compact(path, matte=0):
    """The picture as the exe embeds it: (extension, bytes), bytes None for
    the file as given. JPEG as given; PNG as given or re-encoded when that is
    smaller (a transparent one laid on `matte` first: the exe draws no
    transparency); BMP as given or, when smaller and it has at most 256
    colours, run-length encoded (GDI draws it), else as PNG."""
    size = os.path.getsize(path)
    kind = _format(path)
    if kind == "JPEG":
        return ".jpg", None
    with Image.open(path) as image:
        image.load()
        if kind == "PNG" and transparent(image):
            # Laid on a colour, a palette picture with a clear index still fits a palette.
            laid = flat(path, matte)
            return ".png", min((_png(form) for form in (laid, _palette(laid)) if form is not None), key=len)
        if kind == "PNG":
            if _bit_depth(path) > 8:  # Pillow reads 16 bits a channel as 8: keep them
                return ".png", None
            made = _png(image)
            return ".png", made if len(made) < size else None
        if transparent(image):  # a 32-bit BMP with alpha: as given, as it always was
            return ".bmp", None
        indexed = _palette(image)
        made = rle8(indexed) if indexed is not None else None
        if made is not None and len(made) < size:
            return ".bmp", made
        made = _png(image.convert("RGB"))
        return (".png", made) if len(made) < size else (".bmp", None)


def embedded_forms(entry, stem):
    """A picture and its 2x, (file, file_2x or None, matte), as the exe embeds
    them: [(path, bytes or None)] (bytes to write there; None: the given
    file), and [(file, bytes embedded)] of those that come out larger."""
    one, two, matte = entry
    forms, grown = [], []
    for given, suffix in ((one, ""), (two, "-2x")):
        if given is None:
            forms.append((None, None))
            continue
        extension, data = compact(given, matte)
        forms.append((given, None) if data is None else (stem + suffix + extension, data))
        if data is not None and len(data) > os.path.getsize(given):
            grown.append((given, len(data)))
    return forms, grown


# --- Icons and cursors -------------------------------------------------------

def _entries(data, kind):
    """The directory of a .ico (kind 1) or .cur (kind 2): [(size, hotspot)]."""
    if len(data) < 6:
        raise PictureError("is too short to be a .%s file" % ("ico" if kind == 1 else "cur"))
    reserved, found, count = struct.unpack_from("<HHH", data)
    if reserved != 0 or found != kind or count == 0:
        raise PictureError("is not a .%s file" % ("ico" if kind == 1 else "cur"))
    if len(data) < 6 + 16 * count:
        raise PictureError("is cut short: its directory lists %d images" % count)
    entries = []
    for i in range(count):
        width, _, _, _, x, y, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        if offset + size > len(data) or size == 0:
            raise PictureError("is cut short: image %d runs past the end" % (i + 1))
        entries.append((width or 256, (x, y)))
    return entries


def read_icon(path, kind):
    """The sizes of every image of a .ico (kind 1) or .cur (kind 2), each
    decoded in full."""
    with open(path, "rb") as f:
        data = f.read()
    entries = _entries(data, kind)
    # A .cur is a .ico with hotspots: Pillow decodes it as one.
    as_icon = data[:2] + b"\1\0" + data[4:]
    try:
        icon = IcoImagePlugin.IcoFile(io.BytesIO(as_icon))
        for index in range(len(icon.entry)):
            icon.frame(index).load()
    except (OSError, SyntaxError, ValueError, EOFError, struct.error, IndexError, KeyError) as error:
        raise PictureError("holds an image that is not readable (%s)" % plain(error)) from None
    return sorted({size for size, _ in entries})


def _dib(image):
    """A 32-bit icon or cursor image: BGRA rows bottom-up, then the AND mask."""
    width, height = image.size
    pixels = image.convert("RGBA").transpose(Image.Transpose.FLIP_TOP_BOTTOM)
    r, g, b, a = pixels.split()
    xor = Image.merge("RGBA", (b, g, r, a)).tobytes()
    stride = (width + 31) // 32 * 4
    mask = bytearray()
    alpha = a.tobytes()
    for y in range(height):
        row = bytearray(stride)
        for x in range(width):
            if alpha[y * width + x] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def directory(kind, images):
    """A .ico (kind 1) or .cur (kind 2) file of [(size, (x, y) or None, data)]."""
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for size, hotspot, data in images:
        x, y = hotspot if kind == 2 else (1, 32)  # an icon's planes and bits there
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, x, y, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, _, data in images)


def square_png(path, what):
    with Image.open(path) as image:
        if image.width != image.height:
            raise PictureError("is %dx%d; %s must be square" % (image.width, image.height, what))
        return image.convert("RGBA")


def cursor_from_png(path, hotspot):
    image = square_png(path, "a cursor")
    images = []
    for size in CURSOR_SIZES:
        scaled = image.resize((size, size), Image.Resampling.LANCZOS)
        spot = tuple(min(size - 1, v * size // image.width) for v in hotspot)
        images.append((size, spot, _dib(scaled)))
    return directory(2, images)


def icon_from_png(path):
    image = square_png(path, "an icon")
    images = []
    # No size above the picture's own, which would add bytes and no detail.
    for size in [size for size in ICON_SIZES if size <= max(image.width, ICON_SIZES[1])]:
        scaled = image.resize((size, size), Image.Resampling.LANCZOS)
        if size == 256:  # Explorer's large view takes it as PNG, a quarter of the bytes
            stream = io.BytesIO()
            scaled.save(stream, format="PNG", optimize=True)
            images.append((size, None, stream.getvalue()))
        else:
            images.append((size, None, _dib(scaled)))
    return directory(1, images)

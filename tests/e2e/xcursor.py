"""The mouse cursor the X server shows, read with XFixes through ctypes.

Wine gives each process its own cursor handles, so another Windows process
cannot compare or measure the launcher's cursor; the X server's copy of the
image is what the user sees anyway."""
import ctypes
import ctypes.util


class _CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong),
                ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


class CursorShape:
    """Size, hot spot and the set of opaque pixels: enough to tell shapes apart."""

    def __init__(self, width, height, hotspot, opaque):
        self.width, self.height, self.hotspot, self.opaque = width, height, hotspot, frozenset(opaque)

    def __eq__(self, other):
        return (self.width, self.height, self.hotspot, self.opaque) == \
               (other.width, other.height, other.hotspot, other.opaque)

    def __repr__(self):
        return "CursorShape(%dx%d, hotspot %s, %d opaque pixels)" % (
            self.width, self.height, self.hotspot, len(self.opaque))


def current_shape(display_name):
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    xfixes = ctypes.CDLL(ctypes.util.find_library("Xfixes") or "libXfixes.so.3")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(display_name.encode())
    if not display:
        raise OSError("cannot open display %s" % display_name)
    try:
        image = xfixes.XFixesGetCursorImage(display)
        if not image:
            raise OSError("XFixesGetCursorImage failed")
        cursor = image.contents
        opaque = [(i % cursor.width, i // cursor.width) for i in range(cursor.width * cursor.height)
                  if cursor.pixels[i] >> 24 & 0xFF]
        shape = CursorShape(cursor.width, cursor.height, (cursor.xhot, cursor.yhot), opaque)
        x11.XFree(image)
        return shape
    finally:
        x11.XCloseDisplay(display)


def cur_file_shape(path):
    """The shape of the first image in a monochrome or 32-bit .cur file."""
    import struct
    with open(path, "rb") as f:
        data = f.read()
    _, kind, count = struct.unpack_from("<HHH", data, 0)
    if kind != 2 or count < 1:
        raise ValueError("not a cursor file: %s" % path)
    width, height, _, _, xhot, yhot, _, offset = struct.unpack_from("<BBBBHHII", data, 6)
    width, height = width or 256, height or 256
    header_size, _, _, _, bits = struct.unpack_from("<IiiHH", data, offset)
    colours = offset + header_size + (4 << bits if bits <= 8 else 0)
    stride = lambda bpp: ((width * bpp + 31) // 32) * 4  # noqa: E731
    mask = colours + stride(bits) * height
    opaque = []
    for y in range(height):
        row = height - 1 - y  # DIB rows are stored bottom-up
        for x in range(width):
            if bits == 32:
                shown = data[colours + row * stride(32) + 4 * x + 3] != 0
            else:
                and_bit = data[mask + row * stride(1) + x // 8] >> (7 - x % 8) & 1
                xor_bit = data[colours + row * stride(1) + x // 8] >> (7 - x % 8) & 1
                shown = not and_bit or xor_bit
            if shown:
                opaque.append((x, y))
    return CursorShape(width, height, (xhot, yhot), opaque)

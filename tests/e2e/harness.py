"""What a scenario works with: the launcher's windows and boxes as a user
meets them, the programs it started (as the recorder saw them), the pointer
and the pixels on the screen."""
import ctypes
import ctypes.util
import os
import shutil
import signal
import struct
import subprocess
import time

from PIL import Image, ImageGrab

from wine import DriverError, remove_tree, wait_for

REPO = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
APP_TITLE = "Norvane 98 Startboard"
STANDIN_TITLE = "Sample disc"
DISC = "C:\\Norvane 98 CD-ROM\\"  # spaces and a long name: its short form differs
RECORDER = r"C:\e2e\recorder.exe"
SLEEPER = r"C:\e2e\sleeper.exe"
RECORD_LOG = r"C:\e2e\record.log"

SCENARIOS = []


def scenario(*dpis, load=False):
    """Registers a scenario: at 96 dpi, or at each dpi named; `load` ones run
    under busy processes, on their own."""
    def register(function):
        function.dpis, function.load = dpis or (96,), load
        SCENARIOS.append(function)
        return function
    return register


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


def expect_equal(actual, expected, what):
    if actual != expected:
        raise Failure("%s: expected %r, got %r" % (what, expected, actual))


def px(twips, dpi):
    """Twips to pixels, rounded to the nearest (halves up), as Windows programs scale."""
    return (twips * dpi + 720) // 1440


class Window:
    """A window on the screen, as the driver last read it."""

    def __init__(self, test, info):
        self.test, self.info = test, info
        self.hwnd = info["hwnd"]

    def __getattr__(self, name):
        return self.info[name]

    def size(self):
        left, top, right, bottom = self.info["client"]
        return right - left, bottom - top

    def at(self, point):
        return self.info["client"][0] + point[0], self.info["client"][1] + point[1]

    def fresh(self):
        return Window(self.test, self.test.call("info", self.hwnd))

    def move(self, point):
        self.test.xdotool("mousemove", *self.at(point))

    def click(self, point, count=1):
        self.move(point)
        self.test.xdotool("click", "--repeat", count, "--delay", 40, 1)

    def drag(self, start, end):
        self.move(start)
        self.test.xdotool("mousedown", 1)
        self.move(end)
        self.test.xdotool("mouseup", 1)

    def key(self, keys):
        """Types keys (X names: "Escape", "alt+F4") into this window."""
        self.test.call("foreground", self.hwnd)
        self.test.xdotool("key", keys)

    def close(self):
        self.test.call("close", self.hwnd)

    def click_close_box(self):
        x, y = self.test.call("close-box", self.hwnd)["point"]
        self.test.xdotool("mousemove", x, y, "click", 1)

    def gone(self, timeout=5):
        def closed():
            try:
                return not self.test.call("info", self.hwnd)["visible"]
            except DriverError:
                return True
        wait_for(closed, timeout, "%s is still open" % self.info["class"])

    def answering(self):
        self.test.call("ping", self.hwnd, 2000)
        return self

    def shot(self, timeout=3):
        """The client area's pixels, from the X screen, once painting is over
        (two grabs a tenth of a second apart agree)."""
        box = tuple(self.info["client"])
        shot, deadline = self.test.grab().crop(box), time.time() + timeout
        while time.time() < deadline:
            time.sleep(0.1)
            shot, last = self.test.grab().crop(box), shot
            if shot.tobytes() == last.tobytes():
                break
        return shot


class Box(Window):
    def answer(self, button):
        self.test.call("button", self.hwnd, button)
        self.gone()


class Record:
    """One start recorded by the recorder or an installer stand-in."""

    def __init__(self, line):
        self.command_line, self.cwd, self.long_path = (line.split("\t") + ["", ""])[:3]

    def arguments(self):
        """The command line split as CommandLineToArgvW does for these simple cases."""
        args, current, quoted, seen = [], "", False, False
        for char in self.command_line + " ":
            if char == '"':
                quoted, seen = not quoted, True
            elif char == " " and not quoted:
                if current or seen:
                    args.append(current)
                current, seen = "", False
            else:
                current += char
        return args

    def __repr__(self):
        return "Record(%r, cwd=%r)" % (self.command_line, self.cwd)


class Test:
    """One scenario's view of the Wine world."""

    def __init__(self, wine, disc, iso, artifacts):
        self.wine, self.disc, self.iso, self.artifacts = wine, disc, iso, artifacts
        self.dpi = wine.dpi
        self.name = ""
        self.roots = []  # where programs may run from in this scenario
        self.placed = []  # disc copies this scenario made

    def call(self, *fields, timeout=60):
        return self.wine.call(*fields, timeout=timeout)

    def xdotool(self, *arguments):
        """Real input, through the X server, as a mouse and keyboard give it."""
        subprocess.run(["xdotool"] + [str(a) for a in arguments], env=self.wine.env, check=True, timeout=30)

    # --- The disc and what was started from it -----------------------------

    def reset(self, name):
        self.name = name
        log = self.wine.host_path(RECORD_LOG)
        if os.path.exists(log):
            os.remove(log)
        for root in self.placed[1:]:
            remove_tree(self.wine.host_path("\\".join(root.split("\\")[:2])))
        self.roots, self.placed = ["D:\\", "E:\\"], []
        self.place_disc(DISC)
        self.associate()

    def place_disc(self, root):
        """A fresh copy of the disc in a folder below C:\\ (any length, any
        script); returns the folder with its trailing backslash."""
        folder = self.wine.host_path(root)
        if os.path.exists(folder):
            remove_tree(folder)
        shutil.copytree(self.disc, folder)
        self.roots.append(root)
        self.placed.append(root)
        return root

    def associate(self, pdf=True, htm=True, txt=True):
        """Opens each document type with the recorder (True), a given command
        (a string) or nothing (False)."""
        for extension, value in ((".pdf", pdf), (".htm", htm), (".txt", txt)):
            self.call("assoc", extension, '"%s" "%%1"' % RECORDER if value is True else value or "")

    def records(self, count=None, timeout=10):
        """The starts recorded so far; with `count`, once there are that many."""
        log = self.wine.host_path(RECORD_LOG)

        def read():
            if not os.path.exists(log):
                return []
            with open(log, encoding="utf-8") as f:
                return [Record(line.rstrip("\n")) for line in f if line.strip()]
        if count is not None:
            wait_for(lambda: len(read()) >= count, timeout, "fewer than %d starts: %r" % (count, read()))
        return read()

    def programs(self, *paths):
        """The Unix pids of this prefix's programs run from `paths` (files
        or folders): Wine gives each the Windows path as its argv[0]."""
        found = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/environ" % pid, "rb") as f:
                    if ("WINEPREFIX=%s\0" % self.wine.prefix).encode() not in f.read():
                        continue
                with open("/proc/%s/cmdline" % pid, "rb") as f:
                    program = f.read().split(b"\0")[0].decode("utf-8", "replace").lower()
            except OSError:
                continue
            if any(program.startswith(path.lower()) for path in paths):
                found.append(int(pid))
        return found

    def settle(self, timeout=10):
        """Waits until every program the launcher started has ended."""
        paths = [RECORDER] + [root + folder for root in self.roots for folder in ("reader\\", "standalone\\")]
        wait_for(lambda: not self.programs(*paths), timeout, "started programs still run")

    def kill(self, *paths):
        """Ends the programs run from `paths`; says how many there were."""
        pids = self.programs(*paths)
        for pid in pids:
            os.kill(pid, signal.SIGKILL)
        return len(pids)

    def cleanup(self):
        self.kill(*self.roots, RECORDER, SLEEPER)

    # --- Windows --------------------------------------------------------------

    def launcher(self, root=DISC, path=None):
        """Starts Startboard.exe from the disc, in C:\\windows so that a start
        directory of C:\\ can only come from the launcher."""
        self.pid = self.call("start", '"%s"' % (path or root + "Startboard.exe"), "C:\\windows")["pid"]
        return self.main()

    def main(self):
        return Window(self, self.call("window", "StartboardMain", APP_TITLE, 15000))

    def about(self):
        return Window(self, self.call("window", "StartboardAbout", "About...", 5000))

    def box(self, title=APP_TITLE, timeout=15000):
        return Box(self, self.call("box", title, timeout))

    def no_box(self, wait=0.7):
        time.sleep(wait)
        boxes = [w for w in self.call("windows")["windows"] if w["class"] == "#32770"]
        expect_equal(boxes, [], "message boxes")

    def exit_code(self, timeout=10000):
        return self.call("wait-exit", self.pid, timeout)["exit_code"]

    def tooltip(self, text):
        return self.call("tooltip", self.pid, 3000, text)["text"]

    # --- The screen -------------------------------------------------------------

    def grab(self):
        return ImageGrab.grab(xdisplay=self.wine.env["DISPLAY"]).convert("RGB")

    def cursor(self):
        """The pointer's shape as the X server shows it (Wine gives each
        process cursor handles of its own, so the image is what counts)."""
        return x_cursor(self.wine.env["DISPLAY"])

    def pointer_is(self, window, spot, shape, timeout=1.0):
        """Whether the pointer, moved to a client point, takes that shape."""
        window.move(spot)
        deadline = time.time() + timeout
        while self.cursor() != shape:
            if time.time() > deadline:
                return False
            time.sleep(0.05)
        return True

    def save(self, image, name):
        image.save(os.path.join(self.artifacts, "%s-%d.png" % (name, self.dpi)))


def asset(name):
    return os.path.join(REPO, "assets", name)


def art(name, size):
    """The artwork as the launcher should show it at `size`: the picture
    itself, or its 2x form shrunk with the same triangle filter."""
    with Image.open(asset(name)) as picture:
        picture = picture.convert("RGB")
        return picture if picture.size == size else picture.resize(size, Image.Resampling.BILINEAR)


def matching(shot, expected, tolerance=0):
    """The share of pixels equal in both images, each channel within tolerance."""
    if shot.size != expected.size:
        return 0.0
    pairs = zip(shot.getdata(), expected.getdata())
    return sum(all(abs(a - b) <= tolerance for a, b in zip(p, q)) for p, q in pairs) / (shot.width * shot.height)


def cursor_shape(path, size):
    """(size, hot spot, opaque pixels) of the cursor file's image of that size."""
    with open(path, "rb") as f:
        data = f.read()
    for entry in range(struct.unpack_from("<H", data, 4)[0]):
        width, _, _, _, x, y, _, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * entry)
        if (width or 256) == size:
            break
    else:
        raise ValueError("no %dx%d image in %s" % (size, size, path))
    stride = (size + 31) // 32 * 4
    xor, mask = offset + 40 + 8, offset + 40 + 8 + stride * size
    bit = lambda base, col, row: data[base + (size - 1 - row) * stride + col // 8] >> (7 - col % 8) & 1  # noqa: E731
    opaque = {(c, r) for r in range(size) for c in range(size) if not bit(mask, c, r) or bit(xor, c, r)}
    return size, (x, y), frozenset(opaque)


class _XImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("serial", ctypes.c_ulong), ("pixels", ctypes.POINTER(ctypes.c_ulong)),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


def x_cursor(display_name):
    """The X server's current cursor image, as cursor_shape gives a file's."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    xfixes = ctypes.CDLL(ctypes.util.find_library("Xfixes"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XCloseDisplay.argtypes = x11.XFree.argtypes = [ctypes.c_void_p]
    xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_XImage)
    xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(display_name.encode())
    try:
        pointer = xfixes.XFixesGetCursorImage(display)
        image = pointer.contents
        shape = image.width, (image.xhot, image.yhot), frozenset(
            (i % image.width, i // image.width) for i in range(image.width * image.height) if image.pixels[i] >> 24)
        x11.XFree(pointer)
        return shape
    finally:
        x11.XCloseDisplay(display)


def run_all(wine, disc, iso, artifacts, selected):
    test = Test(wine, disc, iso, artifacts)
    passed = failed = 0
    for function in selected:
        started = time.time()
        try:
            test.reset(function.__name__)
            function(test)
        except (Failure, DriverError) as error:
            failed += 1
            print("FAIL %s at %d dpi (%.1fs): %s" % (function.__name__, wine.dpi, time.time() - started, error),
                  flush=True)
        except Exception as error:  # a broken scenario fails alone; the others still run
            failed += 1
            print("FAIL %s at %d dpi (%.1fs): %s: %s" % (function.__name__, wine.dpi, time.time() - started,
                                                          type(error).__name__, error), flush=True)
        else:
            passed += 1
            print("PASS %s at %d dpi (%.1fs)" % (function.__name__, wine.dpi, time.time() - started), flush=True)
        finally:
            try:
                test.cleanup()
            except DriverError as error:
                print("cleanup after %s: %s" % (function.__name__, error))
    return passed, failed

"""What an end-to-end test works with: the launcher's windows and boxes as a user
meets them, the programs it started (as the recorder saw them), the pointer
and the pixels on the screen, and real input through the X server."""
import contextlib
import csv
import os
import re
import signal
import time

from PIL import Image
from Xlib.display import Display

from tools.wine.desktop import RECORD_LOG, RECORDER, Desktop
from tools.wine.wine import remove_tree, wait_for

REPO = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
APP_TITLE = "Norvane 98 Startboard"
STANDIN_TITLE = "Sample disc"
DISC = "C:\\Norvane 98 CD-ROM\\"  # spaces and a long name: its short form differs


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


def expect_equal(actual, expected, what):
    expect(actual == expected, "%s: expected %r, got %r" % (what, expected, actual))


def expect_start(record, arguments, cwd="C:\\"):
    expect_equal((record.arguments(), record.cwd), (arguments, cwd), "program started")


def px(twips, dpi):
    """Twips to pixels, to the nearest (halves up), as the launcher scales."""
    return (twips * dpi + 720) // 1440


class Record:
    """One start recorded by the recorder or an installer stand-in."""

    def __init__(self, line):
        self.command_line, self.cwd, self.long_path = (line.split("\t") + ["", ""])[:3]

    def arguments(self):
        return next(csv.reader([self.command_line], delimiter=" "))

    def __repr__(self):
        return "Record(%r, cwd=%r)" % (self.command_line, self.cwd)


class Test(Desktop):
    """One test's view of the Wine world."""

    def __init__(self, wine, disc, iso):
        super().__init__(wine, disc)
        self.iso = iso

    # --- The disc and what was started from it -----------------------------

    def reset(self):
        log = self.wine.host_path(RECORD_LOG)
        if os.path.exists(log):
            os.remove(log)
        for root in self.placed[1:]:
            remove_tree(self.wine.host_path("\\".join(root.split("\\")[:2])))
        self.roots, self.placed = ["D:\\", "E:\\"], []
        self.place_disc(DISC)
        self.associate()

    def associate(self, pdf=True, htm=True, txt=True):
        """Opens each document type with the recorder (True), a command (a
        string) or nothing (False)."""
        for extension, value in ((".pdf", pdf), (".htm", htm), (".txt", txt)):
            self.open_with(extension, value)

    def records(self, count=0):
        """The starts recorded so far, once there are at least `count`."""
        log = self.wine.host_path(RECORD_LOG)

        def read():
            if not os.path.exists(log):
                return []
            with open(log, encoding="utf-8") as f:
                return [Record(line.rstrip("\n")) for line in f if line.strip()]
        wait_for(lambda: len(read()) >= count, 10, "fewer than %d starts: %r" % (count, read()))
        return read()

    def programs(self, *paths):
        """The Unix pids of this prefix's programs run from `paths` (files or
        folders): Wine makes the Windows path each one's argv[0]."""
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
            found += [int(pid)] if any(program.startswith(path.lower()) for path in paths) else []
        return found

    @contextlib.contextmanager
    def shell_calls(self):
        """Within: the programs started log each call of ShellExecute(Ex)
        that reaches Wine's shell32 (its exec channel, the rest of Wine's
        output off). Yields a function that returns them so far, as (verb,
        file, parameters, directory), None for a null."""
        log = os.path.join(self.wine.root, "exec.log")
        open(log, "wb").close()
        self.wine.trace("trace+exec", log)
        try:
            yield lambda: shell_calls(log)
        finally:
            self.wine.trace(None)

    def settle(self):
        """Waits until every program the launcher started has ended."""
        paths = [RECORDER] + [root + folder for root in self.roots for folder in ("reader\\", "standalone\\")]
        wait_for(lambda: not self.programs(*paths), 10, "started programs still run")

    def kill(self, *paths):
        """Ends the programs run from `paths`."""
        for pid in self.programs(*paths):
            os.kill(pid, signal.SIGKILL)

    # --- Windows and the screen ------------------------------------------------

    def launcher(self, root=DISC, exe="Startboard.exe", title=APP_TITLE, locale=None):
        return super().launcher(root, exe, title, locale)

    def box(self, title=APP_TITLE):
        return super().box(title)

    def no_box(self):
        time.sleep(0.7)
        expect_equal([w for w in self.wine.call("windows")["windows"] if w["class"] == "#32770"], [], "boxes")

    def cursor(self):
        """The pointer's size and hot spot as the X server shows it (Wine
        gives each process cursor handles of its own)."""
        display = Display(self.wine.env["DISPLAY"])
        display.xfixes_query_version()  # XFixes answers only once the version is agreed
        image = display.xfixes_get_cursor_image(display.screen().root)
        display.close()
        return image.width, (image.xhot, image.yhot)

    def pointer_is(self, window, point, shape):
        """Whether the pointer, moved to a client point, takes that shape
        within a second."""
        window.move(point)
        return wait_for(lambda: self.cursor() == shape, 1)

    def save(self, image, name):
        """Keeps a screenshot in build/e2e-artifacts, to look at."""
        os.makedirs(os.path.join(REPO, "build", "e2e-artifacts"), exist_ok=True)
        image.save(os.path.join(REPO, "build", "e2e-artifacts", "%s-%d.png" % (name, self.dpi)))


# shell32's line for each ShellExecute(Ex), its texts as Wine's debugstr_w
# writes them: L"..." with \\, \" and \XXXX escapes, or (null).
SHELL_EXECUTE = re.compile(r':trace:exec:SHELL_execute mask=\S+ hwnd=\S+ verb=(\S+) file=(.*) parm=(.*) dir=(.*) show=')


def wine_text(text):
    if text == "(null)":
        return None
    return re.sub(r'\\([0-9a-f]{4}|.)', lambda m: chr(int(m[1], 16)) if len(m[1]) == 4 else m[1], text[2:-1])


def shell_calls(log):
    """The calls a trace+exec log holds (see Test.shell_calls)."""
    with open(log, encoding="utf-8", errors="replace") as f:
        return [tuple(wine_text(t) for t in found.groups()) for found in map(SHELL_EXECUTE.search, f) if found]


FOCUSED, FOCUSABLE = 0x4, 0x100000  # Active Accessibility's states


def focused_children(read):
    """The children (from 1) whose state a screen reader reads as focused."""
    return [number for number, child in enumerate(read["children"], start=1) if child["state"] & FOCUSED]


def asset(name):
    return os.path.join(REPO, "assets", name)


def art(name, size):
    """The artwork as the launcher should show it at `size`: the picture
    itself, or resized with the same triangle filter."""
    with Image.open(asset(name)) as picture:
        picture = picture.convert("RGB")
        return picture if picture.size == size else picture.resize(size, Image.Resampling.BILINEAR)


def matching(shot, expected, tolerance=0):
    """The share of pixels equal in both images, each channel within tolerance."""
    if shot.size != expected.size:
        return 0.0
    pairs = zip(shot.getdata(), expected.getdata())
    return sum(all(abs(a - b) <= tolerance for a, b in zip(p, q)) for p, q in pairs) / (shot.width * shot.height)


def hand(dpi):
    """Size and hot spot of the hand the launcher shows at a dpi: the 32, 48
    or 64-pixel image, never one stretched, its hot spot at the fingertip."""
    size = 64 if dpi >= 192 else 48 if dpi >= 144 else 32
    return size, (12 * size // 32, 8 * size // 32)


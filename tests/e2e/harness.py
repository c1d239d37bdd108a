"""What an end-to-end test works with: the launcher's windows and boxes as a user
meets them, the programs it started (as the recorder saw them), the pointer
and the pixels on the screen, and real input through the X server."""
import csv
import os
import shutil
import signal
import subprocess
import time

from PIL import Image, ImageGrab
from Xlib.display import Display

from wine import DriverError, remove_tree, wait_for

REPO = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
APP_TITLE = "Norvane 98 Startboard"
STANDIN_TITLE = "Sample disc"
DISC = "C:\\Norvane 98 CD-ROM\\"  # spaces and a long name: its short form differs
RECORDER, RECORD_LOG = r"C:\e2e\recorder.exe", r"C:\e2e\record.log"


def expect(condition, message):
    if not condition:
        raise AssertionError(message)


def expect_equal(actual, expected, what):
    expect(actual == expected, "%s: expected %r, got %r" % (what, expected, actual))


def px(twips, dpi):
    """Twips to pixels, to the nearest (halves up), as the launcher scales."""
    return (twips * dpi + 720) // 1440


class Window:
    """A window on the screen, as the driver last read it."""

    def __init__(self, test, info):
        self.test, self.info, self.hwnd = test, info, info["hwnd"]

    def __getattr__(self, name):
        return self.info[name]

    def size(self):
        left, top, right, bottom = self.info["client"]
        return right - left, bottom - top

    def at(self, point):
        return self.info["client"][0] + point[0], self.info["client"][1] + point[1]

    def fresh(self):
        return Window(self.test, self.test.wine.call("info", self.hwnd))

    def move(self, point):
        self.test.xdotool("mousemove", *self.at(point))

    def click(self, point, count=1):
        self.test.xdotool("mousemove", *self.at(point), "click", "--repeat", count, "--delay", 40, 1)

    def drag(self, start, end):
        self.test.xdotool("mousemove", *self.at(start), "mousedown", 1, "mousemove", *self.at(end), "mouseup", 1)

    def key(self, keys):
        """Types keys (X names: "Escape", "alt+F4"); the window in front takes them."""
        self.test.xdotool("key", keys)

    def close(self):
        """Closes the window in front as its close box does."""
        self.key("alt+F4")


    def gone(self):
        def closed():
            try:
                return not self.fresh().visible
            except DriverError:
                return True
        wait_for(closed, 5, "%s is still open" % self.info["class"])

    def shot(self):
        """The client area's pixels once painting is over: two grabs a
        tenth of a second apart agree."""
        shot = None
        for _ in range(30):
            last, shot = shot, self.test.grab().crop(tuple(self.info["client"]))
            if last is not None and shot.tobytes() == last.tobytes():
                break
            time.sleep(0.1)
        return shot


class Box(Window):
    def answer(self, button):
        """Presses a button from the keyboard, as its underlined letter or Enter do,
        once the box is in front: a box a new program shows may come up behind."""
        wait_for(lambda: self.fresh().foreground, 5)
        self.key({"Yes": "y", "No": "n", "OK": "Return"}[button])
        self.gone()


class Record:
    """One start recorded by the recorder or an installer stand-in."""

    def __init__(self, line):
        self.command_line, self.cwd, self.long_path = (line.split("\t") + ["", ""])[:3]

    def arguments(self):
        return next(csv.reader([self.command_line], delimiter=" "))

    def __repr__(self):
        return "Record(%r, cwd=%r)" % (self.command_line, self.cwd)


class Test:
    """One test's view of the Wine world."""

    def __init__(self, wine, disc, iso):
        self.wine, self.disc, self.iso, self.dpi = wine, disc, iso, wine.dpi
        self.roots, self.placed = [], []  # where programs may run from; disc copies made

    def xdotool(self, *arguments):
        subprocess.run(["xdotool"] + [str(a) for a in arguments], env=self.wine.env, check=True, timeout=30)

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

    def place_disc(self, root):
        """A fresh copy of the disc in a folder below C:\\; returns `root`."""
        remove_tree(self.wine.host_path(root))
        shutil.copytree(self.disc, self.wine.host_path(root))
        self.roots.append(root)
        self.placed.append(root)
        return root

    def associate(self, pdf=True, htm=True, txt=True):
        """Opens each document type with the recorder (True), a command (a
        string) or nothing (False)."""
        for extension, value in ((".pdf", pdf), (".htm", htm), (".txt", txt)):
            self.wine.call("assoc", extension, '"%s" "%%1"' % RECORDER if value is True else value or "")

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

    def settle(self):
        """Waits until every program the launcher started has ended."""
        paths = [RECORDER] + [root + folder for root in self.roots for folder in ("reader\\", "standalone\\")]
        wait_for(lambda: not self.programs(*paths), 10, "started programs still run")

    def kill(self, *paths):
        """Ends the programs run from `paths`."""
        for pid in self.programs(*paths):
            os.kill(pid, signal.SIGKILL)

    # --- Windows and the screen ------------------------------------------------

    def window(self, kind, name, title, timeout=15):
        """The first visible top-level window of a class and title, once there is one."""
        found = []
        wait_for(lambda: found.extend(w for w in self.wine.call("windows")["windows"]
                                      if (w["class"], w["title"]) == (name, title)) or found, timeout,
                 "no window %r titled %r" % (name, title))
        return kind(self, self.wine.call("info", found[0]["hwnd"]))

    def launcher(self, root=DISC, exe="Startboard.exe", title=APP_TITLE, locale=None):
        """Starts the launcher from the disc, in C:\\windows so that a start
        directory of C:\\ can only come from the launcher; with `locale`
        (de_DE.UTF-8) as the user's language."""
        self.wine.speak(locale)
        self.pid = self.wine.call("start", '"%s%s"' % (root, exe), "C:\\windows")["pid"]
        return self.window(Window, "StartboardMain", title)

    def about(self):
        return self.window(Window, "StartboardAbout", "About...", 5)

    def box(self, title=APP_TITLE):
        return self.window(Box, "#32770", title)

    def no_box(self):
        time.sleep(0.7)
        expect_equal([w for w in self.wine.call("windows")["windows"] if w["class"] == "#32770"], [], "boxes")

    def exit_code(self):
        return self.wine.call("wait-exit", self.pid, 10000)["exit_code"]

    def tooltip(self, text):
        """Whether the launcher shows a tip with this text within 3 seconds."""
        return wait_for(lambda: {"class": "tooltips_class32", "title": text, "pid": self.pid} in [
            {k: w[k] for k in ("class", "title", "pid")} for w in self.wine.call("windows")["windows"]], 3)

    def grab(self):
        return ImageGrab.grab(xdisplay=self.wine.env["DISPLAY"]).convert("RGB")

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


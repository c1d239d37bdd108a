"""The launcher's windows and boxes in a Wine world (wine.py) as a user meets
them: found through the driver, used with real input through the X server,
their pixels read from it. Shared by the end-to-end tests and make shots."""
import os
import shutil
import subprocess
import time

from PIL import ImageGrab

from .wine import DriverError, remove_tree, wait_for

RECORDER, RECORD_LOG = r"C:\e2e\recorder.exe", r"C:\e2e\record.log"


class Window:
    """A window on the screen, as the driver last read it."""

    def __init__(self, desktop, info):
        self.desktop, self.info, self.hwnd = desktop, info, info["hwnd"]

    def __getattr__(self, name):
        return self.info[name]

    def size(self):
        left, top, right, bottom = self.info["client"]
        return right - left, bottom - top

    def at(self, point):
        return self.info["client"][0] + point[0], self.info["client"][1] + point[1]

    def fresh(self):
        return Window(self.desktop, self.desktop.wine.call("info", self.hwnd))

    def move(self, point):
        self.desktop.xdotool("mousemove", *self.at(point))

    def click(self, point, count=1):
        self.desktop.xdotool("mousemove", *self.at(point), "click", "--repeat", count, "--delay", 40, 1)

    def drag(self, start, end):
        self.desktop.xdotool("mousemove", *self.at(start), "mousedown", 1, "mousemove", *self.at(end), "mouseup", 1)

    def key(self, keys):
        """Types keys (X names: "Escape", "alt+F4"); the window in front takes them."""
        self.desktop.xdotool("key", keys)

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

    def shot(self, area="client"):
        """The client area's pixels (area="rect": the whole window's) once
        painting is over."""
        return self.desktop.still(tuple(self.info[area]))


class Box(Window):
    def answer(self, button):
        """Presses a button from the keyboard, as its underlined letter or Enter do,
        once the box is in front: a box a new program shows may come up behind."""
        wait_for(lambda: self.fresh().foreground, 5)
        self.key({"Yes": "y", "No": "n", "OK": "Return"}[button])
        self.gone()


class Desktop:
    """The Wine world's screen, with copies of a laid-out disc below C:\\ to
    start the launcher from."""

    def __init__(self, wine, disc):
        self.wine, self.disc, self.dpi = wine, disc, wine.dpi
        self.roots, self.placed = [], []  # where programs may run from; disc copies made
        self.pid = None  # the launcher's, once started

    def xdotool(self, *arguments):
        subprocess.run(["xdotool"] + [str(a) for a in arguments], env=self.wine.env, check=True, timeout=30)

    def place_disc(self, root):
        """A fresh copy of the disc in a folder below C:\\; returns `root`."""
        remove_tree(self.wine.host_path(root))
        shutil.copytree(self.disc, self.wine.host_path(root))
        self.roots.append(root)
        self.placed.append(root)
        return root

    def open_with(self, extension, value):
        """Opens documents of a type (".pdf") with the recorder (True), a
        command (a string) or nothing (False)."""
        self.wine.call("assoc", extension, '"%s" "%%1"' % RECORDER if value is True else value or "")

    def window(self, kind, name, title, timeout=15):
        """The first visible top-level window of a class and title, once there is one."""
        found = []
        wait_for(lambda: found.extend(w for w in self.wine.call("windows")["windows"]
                                      if (w["class"], w["title"]) == (name, title)) or found, timeout,
                 "no window %r titled %r" % (name, title))
        return kind(self, self.wine.call("info", found[0]["hwnd"]))

    def launcher(self, root, exe, title, locale=None):
        """Starts the launcher from the disc, in C:\\windows so that a start
        directory of C:\\ can only come from the launcher; with `locale`
        (de_DE.UTF-8) as the user's language."""
        self.wine.speak(locale)
        self.pid = self.wine.call("start", '"%s%s"' % (root, exe), "C:\\windows")["pid"]
        return self.window(Window, "StartboardMain", title)

    def about(self, title="About...", timeout=5):
        return self.window(Window, "StartboardAbout", title, timeout)

    def box(self, title):
        return self.window(Box, "#32770", title)

    def tooltip(self, text, timeout=3):
        """The launcher's tip with this text once it shows (within `timeout`
        seconds), else None."""
        found = []
        wait_for(lambda: found.extend(w for w in self.wine.call("windows")["windows"] if (
            w["class"], w["title"], w["pid"]) == ("tooltips_class32", text, self.pid)) or found, timeout)
        return Window(self, self.wine.call("info", found[0]["hwnd"])) if found else None

    def tips_shown(self):
        """The texts of the launcher's tips on screen now."""
        return [w["title"] for w in self.wine.call("windows")["windows"]
                if (w["class"], w["pid"]) == ("tooltips_class32", self.pid)]

    def exit_code(self):
        return self.wine.call("wait-exit", self.pid, 10000)["exit_code"]

    def grab(self):
        return ImageGrab.grab(xdisplay=self.wine.env["DISPLAY"]).convert("RGB")

    def still(self, box):
        """The screen's pixels in box (left, top, right, bottom) once
        painting is over: two grabs a tenth of a second apart agree."""
        shot = None
        for _ in range(30):
            last, shot = shot, self.grab().crop(box)
            if last is not None and shot.tobytes() == last.tobytes():
                break
            time.sleep(0.1)
        return shot


def start_world(wine, tools):
    """Starts a Wine world with the driver and the recorder from `tools`
    (their build folder)."""
    wine.start([os.path.join(tools, name + ".exe") for name in ("e2e_driver", "recorder")])

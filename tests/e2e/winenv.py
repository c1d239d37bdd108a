"""A private Wine world for the end-to-end tests: an Xvfb display, a fresh
prefix with a persistent wineserver, and a virtual desktop in which the
e2e_driver runs scripts of steps."""
import json
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time

DESKTOP = "startboard-e2e,1024x768"
# --windows choices: the name winecfg takes on a 64-bit prefix (which knows
# XP only as XP x64, 5.2: "winxp" itself is refused) and the version the
# system then reports.
WINDOWS = {
    "winxp": ("winxp64", (5, 2)),
    "win7": ("win7", (6, 1)),
    "win10": ("win10", (10, 0)),
}
WINE_ENV = {
    "WINEDEBUG": "-all",
    "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d",
}


def free_display():
    for number in range(91, 200):
        if not os.path.exists("/tmp/.X11-unix/X%d" % number) and not os.path.exists("/tmp/.X%d-lock" % number):
            return number
    raise RuntimeError("no free X display between :91 and :199")


def read_lines_until(stream, is_last, timeout):
    """Decoded lines from a pipe until one satisfies is_last, the pipe
    closes or the time runs out."""
    deadline = time.time() + timeout
    lines, pending = [], b""
    while time.time() < deadline:
        ready, _, _ = select.select([stream], [], [], max(0.0, deadline - time.time()))
        if not ready:
            break
        chunk = os.read(stream.fileno(), 65536)
        if not chunk:
            break
        pending += chunk
        while b"\n" in pending:
            line, pending = pending.split(b"\n", 1)
            lines.append(line.decode("utf-8", "replace").rstrip("\r"))
            if is_last(lines[-1]):
                return lines
    return lines


class StepResults:
    """The JSON lines a driver script printed, one per step."""

    def __init__(self, lines, note):
        self.steps = []
        for line in lines:
            try:
                self.steps.append(json.loads(line))
            except ValueError:
                pass  # Wine's own messages on stdout
        self.note = note

    @property
    def ok(self):
        return bool(self.steps) and self.steps[-1] == {"step": "end", "ok": True}

    def all(self, name):
        return [step for step in self.steps if step["step"] == name]

    def first_failure(self):
        return next((step for step in self.steps if not step.get("ok", True)), None)

    def __str__(self):
        return "\n".join(json.dumps(step) for step in self.steps) or "(no output) " + self.note


class WineWorld:
    def __init__(self, keep=False, windows="win10"):
        self.windows = windows
        self.root = tempfile.mkdtemp(prefix="startboard-e2e-")
        self.prefix = os.path.join(self.root, "prefix")
        self.keep = keep
        self.xvfb = None
        self.keeper = None
        self.lingering = []
        self.env = dict(os.environ, WINEPREFIX=self.prefix, **WINE_ENV)
        self.scripts = 0

    @property
    def cd_folder(self):
        """What drive D:, a CD-ROM drive, shows."""
        return os.path.join(self.root, "cd")

    @property
    def drive_c(self):
        return os.path.join(self.prefix, "drive_c")

    def start(self):
        display = free_display()
        self.xvfb = subprocess.Popen(["Xvfb", ":%d" % display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                     stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.env["DISPLAY"] = ":%d" % display
        deadline = time.time() + 10
        while not os.path.exists("/tmp/.X11-unix/X%d" % display):
            if time.time() > deadline or self.xvfb.poll() is not None:
                raise RuntimeError("Xvfb did not start on :%d" % display)
            time.sleep(0.1)
        self._wine(["wineboot", "-i"], timeout=180)
        self._wine(["wine", "winecfg", "/v", WINDOWS[self.windows][0]], timeout=60)
        # D: is a CD-ROM drive. Wine reads drive types when its services
        # start, so the services must restart after the change.
        os.makedirs(self.cd_folder)
        self.map_drive("D", self.cd_folder)
        self._wine(["wine", "reg", "add", "HKLM\\Software\\Wine\\Drives", "/v", "d:", "/d", "cdrom", "/f"],
                   timeout=60)
        self._wine(["wineserver", "-w"], timeout=60)

    def check_version(self):
        """The version the prefix reports (RtlGetVersion, and GetVersionEx
        for a program without a compatibility manifest), as text; raises when
        it is not the one asked for."""
        version = self.run_script([["version"]]).all("version")
        if not version or (version[0]["major"], version[0]["minor"]) != WINDOWS[self.windows][1]:
            raise RuntimeError("the prefix is not %s: %s" % (self.windows, version))
        found = version[0]
        number = "%d.%d.%d" % (found["major"], found["minor"], found["build"])
        return " ".join(filter(None, [number, found["service_pack"], "(GetVersionEx: %s)" % found["get_version_ex"]]))

    def hold_desktop(self, driver_win):
        """Creating the virtual desktop takes Wine over ten seconds, joining
        a live one well under one: an idle driver keeps it (and the
        wineserver) alive until close(). Its first output line shows that the
        desktop is up; a second explorer started before that would race it."""
        script = os.path.join(self.drive_c, "e2e", "hold.txt")
        with open(script, "w", encoding="utf-8") as f:
            f.write("windows\t0\nsleep\t86400000\n")
        self.keeper = subprocess.Popen(["wine", "explorer", "/desktop=" + DESKTOP, driver_win,
                                        self.windows_path(script)],
                                       env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        if not read_lines_until(self.keeper.stdout, lambda line: True, 120):
            raise RuntimeError("the desktop keeper did not start")

    def _wine(self, command, timeout):
        subprocess.run(command, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=timeout, check=True)

    def windows_path(self, unix_path):
        """The path as programs in the prefix see it."""
        unix_path = os.path.abspath(unix_path)
        if unix_path.startswith(self.drive_c + os.sep):
            return "C:\\" + os.path.relpath(unix_path, self.drive_c).replace("/", "\\")
        return "Z:" + unix_path.replace("/", "\\")

    def map_drive(self, letter, unix_path):
        link = os.path.join(self.prefix, "dosdevices", letter.lower() + ":")
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(unix_path, link)

    def run_script(self, steps, env=None, timeout=120):
        """Runs driver steps (lists of strings) in the virtual desktop and
        returns once the driver has printed its last line: the wine command
        itself lingers for another dozen seconds, and is reaped in close()."""
        self.scripts += 1
        script = os.path.join(self.drive_c, "e2e", "script%03d.txt" % self.scripts)
        with open(script, "w", encoding="utf-8", newline="\r\n") as f:
            for step in steps:
                f.write("\t".join(step) + "\n")
        command = ["wine", "explorer", "/desktop=" + DESKTOP, "C:\\e2e\\e2e_driver.exe", self.windows_path(script)]
        for attempt in (1, 2):
            errors = script[:-4] + ".err%d" % attempt
            with open(errors, "wb") as stderr:
                process = subprocess.Popen(command, env=dict(self.env, **(env or {})), stdout=subprocess.PIPE,
                                           stderr=stderr)
            self.lingering.append(process)
            started = time.time()
            lines = read_lines_until(process.stdout, lambda line: line.startswith('{"step":"end"'), timeout)
            process.stdout.close()
            # Now and then wine ends at once without running the driver; then
            # nothing of the script has run and it can run again.
            if lines or time.time() - started > 5:
                break
            with open(errors, encoding="utf-8", errors="replace") as f:
                print("wine ended without running the driver (exit %s): %s" % (process.poll(), f.read()[-500:]),
                      flush=True)
        return StepResults(lines, "" if lines else "no output within %ds" % timeout)

    def close(self):
        if os.path.isdir(self.prefix):
            # Ends this prefix's server and with it every process in the prefix.
            subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
            subprocess.run(["wineserver", "-w"], env=self.env, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
        for process in self.lingering + [self.keeper]:
            if process is None:
                continue
            try:
                process.wait(timeout=20)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        if self.xvfb is not None:
            self.xvfb.send_signal(signal.SIGTERM)
            self.xvfb.wait(timeout=10)
        if not self.keep:
            remove_tree(self.root)


def remove_tree(folder):
    """Removes a folder, read-only parts (an extracted CD) included."""
    if not os.path.exists(folder):
        return
    for parent, _, _ in os.walk(folder):
        os.chmod(parent, 0o755)
    shutil.rmtree(folder, ignore_errors=True)

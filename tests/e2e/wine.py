"""A private Wine world for the end-to-end tests: an Xvfb screen, a fresh
prefix at a given dpi and Windows version, and one e2e_driver inside a
virtual desktop that takes commands and answers each with a JSON line."""
import json
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time

SCREEN = (1024, 768)  # at 96 dpi; a screen at another dpi is as large in inches
ENV = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d"}
# winecfg's names on a 64-bit prefix (it knows XP only as XP x64).
VERSIONS = {"winxp": "winxp64", "win7": "win7", "win10": "win10"}


class DriverError(Exception):
    pass


class Wine:
    def __init__(self, dpi=96, windows="win10"):
        self.dpi, self.windows = dpi, windows
        self.screen = (SCREEN[0] * dpi // 96, SCREEN[1] * dpi // 96)
        self.root = tempfile.mkdtemp(prefix="startboard-e2e-")
        self.prefix = os.path.join(self.root, "prefix")
        self.drive_c = os.path.join(self.prefix, "drive_c")
        self.cd = os.path.join(self.root, "cd")  # what drive D:, a CD-ROM drive, shows
        self.env = dict(os.environ, WINEPREFIX=self.prefix, **ENV)
        self.xvfb = self.driver = None
        self.pending = b""

    def start(self, programs):
        """Starts the screen, makes the prefix, copies `programs` (host
        paths) to C:\\e2e and starts the driver there."""
        # Xvfb picks a free display itself: two suites choosing at once
        # could otherwise share one, and each other's input.
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "%dx%dx24" % self.screen,
                                      "-nolisten", "tcp"], pass_fds=[write], stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as announced:
            display = announced.readline().strip()
        if not display:
            raise DriverError("Xvfb did not start")
        self.env["DISPLAY"] = ":" + display
        self.wine("wineboot", "-i")
        self.wine("wine", "winecfg", "/v", VERSIONS[self.windows])
        if self.dpi != 96:
            self.wine("wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
                      "/d", str(self.dpi), "/f")
        # D: is a CD-ROM drive; the 64-bit registry view is the one Wine reads.
        os.makedirs(self.cd)
        self.map_drive("d", self.cd)
        self.wine("wine", "reg", "add", r"HKLM\Software\Wine\Drives", "/v", "d:", "/d", "cdrom", "/f", "/reg:64")
        self.wine("wineserver", "-w")
        tools = os.path.join(self.drive_c, "e2e")
        os.makedirs(tools, exist_ok=True)
        for program in programs:
            shutil.copy(program, tools)
        self.driver = subprocess.Popen(["wine", "explorer", "/desktop=e2e,%dx%d" % self.screen, r"C:\e2e\e2e_driver.exe"],
                                       env=self.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                       stderr=subprocess.DEVNULL)
        self._answer(120)  # the desktop takes a while to come up the first time

    def version(self):
        """The Windows version the prefix reports, from its registry."""
        with open(os.path.join(self.prefix, "system.reg"), encoding="utf-8", errors="replace") as f:
            text = f.read()
        key = text.split("[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion]", 1)[-1]
        found = dict(re.findall(r'"(CurrentVersion|CurrentBuild|CSDVersion)"="([^"]*)"', key.split("\n[", 1)[0]))
        return " ".join(found.get(k, "") for k in ("CurrentVersion", "CurrentBuild", "CSDVersion")).strip()

    def wine(self, *command):
        subprocess.run(command, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=180, check=True)

    def map_drive(self, letter, host_path):
        link = os.path.join(self.prefix, "dosdevices", letter + ":")
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(host_path, link)

    def call(self, *fields, timeout=60):
        """Runs one driver command; returns its answer, raising DriverError
        when it could not do what it was asked."""
        line = "\t".join(str(field) for field in fields) + "\n"
        self.driver.stdin.write(line.encode("utf-8"))
        self.driver.stdin.flush()
        answer = self._answer(timeout)
        if not answer["ok"]:
            raise DriverError("%s: %s" % (" ".join(str(f) for f in fields), answer.get("error")))
        return answer

    def _answer(self, timeout):
        deadline = time.time() + timeout
        while True:
            while b"\n" in self.pending:
                line, self.pending = self.pending.split(b"\n", 1)
                if line.startswith(b"{"):  # Wine may write lines of its own
                    return json.loads(line)
            ready, _, _ = select.select([self.driver.stdout], [], [], max(0, deadline - time.time()))
            if not ready:
                raise DriverError("no answer within %ds" % timeout)
            chunk = os.read(self.driver.stdout.fileno(), 65536)
            if not chunk:
                raise DriverError("the driver ended")
            self.pending += chunk

    def windows_path(self, host_path):
        """A host path below drive C: as programs in the prefix see it."""
        return "C:\\" + os.path.relpath(host_path, self.drive_c).replace("/", "\\")

    def host_path(self, windows_path):
        assert windows_path[:3].upper() == "C:\\", windows_path
        return os.path.join(self.drive_c, *windows_path[3:].split("\\"))

    def close(self):
        if self.driver is not None:
            self.driver.stdin.close()
        if os.path.isdir(self.prefix):  # ends the prefix's server, and every process in it
            subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL, timeout=60)
            subprocess.run(["wineserver", "-w"], env=self.env, stderr=subprocess.DEVNULL, timeout=60)
        if self.driver is not None:
            try:
                self.driver.wait(timeout=20)
            except subprocess.TimeoutExpired:
                self.driver.kill()
        if self.xvfb is not None:
            self.xvfb.send_signal(signal.SIGTERM)
            self.xvfb.wait(timeout=10)
        remove_tree(self.root)


def wait_for(condition, timeout, failure):
    deadline = time.time() + timeout
    while not condition():
        if time.time() > deadline:
            raise DriverError(failure)
        time.sleep(0.05)


def remove_tree(folder):
    """Removes a folder, read-only parts (an extracted CD) included."""
    for parent, _, _ in os.walk(folder):
        os.chmod(parent, 0o755)
    shutil.rmtree(folder, ignore_errors=True)

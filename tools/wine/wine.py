"""A private Wine world for the end-to-end tests and make shots: an Xvfb
screen, a fresh prefix at a dpi and Windows version, and the e2e_driver in a
virtual desktop, on a pipe."""
import json
import os
import select
import shutil
import subprocess
import tempfile
import time

TOP = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SESSION = os.path.join(TOP, "tools", "wine_session.sh")
# Which Wine loader runs the exe here: the session script decides, once.
WINE = subprocess.run(["bash", "-c", 'source "$0" && echo "$STARTBOARD_WINE"', SESSION], check=True,
                      capture_output=True, text=True).stdout.strip()

# winecfg's names on a 64-bit prefix (it knows XP only as XP x64).
VERSIONS = {"winxp": "winxp64", "win7": "win7", "win10": "win10"}


class DriverError(Exception):
    pass


class Wine:
    def __init__(self, dpi=96, windows="win10"):
        self.dpi, self.windows = dpi, windows
        self.screen = "%dx%d" % (1024 * dpi // 96, 768 * dpi // 96)  # as large in inches at any dpi
        self.root = tempfile.mkdtemp(prefix="startboard-e2e-")
        self.prefix = os.path.join(self.root, "prefix")
        self.cd = os.path.join(self.root, "cd")  # what drive D:, a CD-ROM drive, shows
        self.env = dict({k: v for k, v in os.environ.items() if k != "LC_ALL"}, WINEPREFIX=self.prefix, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d",
                        STARTBOARD_RECORD_LOG=r"C:\e2e\record.log")  # the recorder's, for all it starts
        if WINE.endswith("64"):  # the 64-bit loader must start Wine's own processes too
            self.env["WINELOADER"] = WINE
        self.xvfb = self.driver = self.debug_log = None
        self.pending = b""

    def start(self, programs):
        """Starts the screen and the prefix, copies `programs` to C:\\e2e and
        starts the driver there."""
        # Xvfb picks a free display itself: two suites choosing at once could
        # otherwise share one, and each other's input.
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", self.screen + "x24",
                                      "-nolisten", "tcp"], pass_fds=[write], stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as announced:
            self.env["DISPLAY"] = ":" + announced.readline().strip()
        self.run("bash", "-c", 'source "$0" && prepare_prefix', SESSION)  # with Wine's own fonts
        self.run(WINE, "winecfg", "/v", VERSIONS[self.windows])
        self.run(WINE, "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d",
                 str(self.dpi), "/f")
        # The 64-bit registry view is the one Wine reads its drives from.
        self.run(WINE, "reg", "add", r"HKLM\Software\Wine\Drives", "/v", "d:", "/d", "cdrom", "/f", "/reg:64")
        os.makedirs(self.cd)
        self.map_drive("d", self.cd)
        self.run("wineserver", "-w")  # the registry is on disk once the server has gone
        with open(os.path.join(self.prefix, "system.reg"), encoding="utf-8") as f:
            if '"d:"="cdrom"' not in f.read().split("[Software\\\\Wine\\\\Drives]")[-1].split("\n[")[0]:
                raise DriverError("D: is no CD-ROM drive")
        os.makedirs(self.host_path("C:\\e2e"))
        for program in programs:
            shutil.copy(program, self.host_path("C:\\e2e"))
        self.start_driver()

    def start_driver(self):
        self.driver = subprocess.Popen([WINE, "explorer", "/desktop=e2e," + self.screen, r"C:\e2e\e2e_driver.exe"],
                                       env=self.env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                       stderr=self.debug_log)
        self.pending = b""
        self.answer(120)  # the desktop takes a while to come up

    def speak(self, locale):
        """Programs the driver starts from now on get the user's language of
        `locale` (de_DE.UTF-8; None: Wine's default). Wine 8 takes it from a
        program's Unix locale variables, LC_ALL first (even where the system
        lacks that locale), which a program inherits from the one that
        started it, not from its Windows environment: so the driver restarts
        with it."""
        if self.env.get("LC_ALL") != locale:
            self.restart_driver(LC_ALL=locale)

    def trace(self, channels, log=None):
        """Programs the driver starts from now on write Wine's debug
        `channels` ("trace+exec"; None: nothing) to the host file `log`.
        WINEDEBUG, as the language, comes from the Unix environment."""
        if self.debug_log is not None:
            self.debug_log.close()  # the driver and its programs hold their own copies
        self.debug_log = open(log, "ab") if channels else None
        self.restart_driver(WINEDEBUG="-all" + ("," + channels if channels else ""))

    def restart_driver(self, **variables):
        """Ends the driver and starts it again with the Unix `variables` (None:
        unset)."""
        self.driver.stdin.close()
        try:
            self.driver.wait(10)
        except subprocess.TimeoutExpired:
            self.driver.kill()
            self.driver.wait()
        for name, value in variables.items():
            if value:
                self.env[name] = value
            else:
                self.env.pop(name, None)
        self.start_driver()

    def run(self, *command):
        done = subprocess.run(command, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=180,
                              text=True)
        if done.returncode != 0:
            raise DriverError("%s: %s" % (" ".join(command[:2]), done.stderr.strip().splitlines()[-1:]))

    def map_drive(self, letter, host_path):
        link = os.path.join(self.prefix, "dosdevices", letter + ":")
        if os.path.lexists(link):
            os.remove(link)
        os.symlink(host_path, link)

    def call(self, *fields):
        """Runs one driver command and returns its answer; raises DriverError
        when it could not do what it was asked."""
        self.driver.stdin.write(("\t".join(str(field) for field in fields) + "\n").encode("utf-8"))
        self.driver.stdin.flush()
        answer = self.answer(60)
        if not answer["ok"]:
            raise DriverError("%s: %s" % (" ".join(str(f) for f in fields), answer.get("error")))
        return answer

    def answer(self, timeout):
        deadline = time.time() + timeout
        while b"\n" not in self.pending or not self.pending.startswith(b"{"):
            if b"\n" in self.pending:  # a line of Wine's own
                self.pending = self.pending.split(b"\n", 1)[1]
                continue
            if not select.select([self.driver.stdout], [], [], max(0, deadline - time.time()))[0]:
                raise DriverError("no answer within %ds" % timeout)
            chunk = os.read(self.driver.stdout.fileno(), 65536)
            if not chunk:
                raise DriverError("the driver ended")
            self.pending += chunk
        line, self.pending = self.pending.split(b"\n", 1)
        return json.loads(line)

    def host_path(self, windows_path):
        """The host path of a path below C:\\."""
        return os.path.join(self.prefix, "drive_c", *windows_path[3:].split("\\"))

    def close(self):
        if self.driver is not None:
            self.driver.stdin.close()
        if self.debug_log is not None:
            self.debug_log.close()
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL, timeout=60)
        subprocess.run(["wineserver", "-w"], env=self.env, stderr=subprocess.DEVNULL, timeout=60)
        for process in (self.driver, self.xvfb):
            if process is not None:
                process.kill()
                process.wait()
        remove_tree(self.root)


def wait_for(condition, timeout, failure=None):
    """Polls `condition` until it holds: then True. After `timeout` seconds
    raises DriverError(failure), or without one returns False."""
    deadline = time.time() + timeout
    while not condition():
        if time.time() > deadline:
            if failure:
                raise DriverError(failure)
            return False
        time.sleep(0.05)
    return True


def remove_tree(folder):
    """Removes a folder, read-only parts (an extracted CD) included."""
    for parent, _, _ in os.walk(folder):
        os.chmod(parent, 0o755)
    shutil.rmtree(folder, ignore_errors=True)

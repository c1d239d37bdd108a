"""Scenario registry, the per-run context and the checks scenarios use."""
import os
import shutil
import subprocess
import sys
import time

REPO = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(REPO, "tools", "sample_disc"))
import make_disc  # noqa: E402
import xcursor  # noqa: E402
from winenv import remove_tree  # noqa: E402

SCENARIOS = []


def scenario(function):
    """Registers a scenario: a function taking the Context."""
    SCENARIOS.append(function)
    return function


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


def expect_equal(actual, expected, what):
    if actual != expected:
        raise Failure("%s: expected %r, got %r" % (what, expected, actual))


class Record:
    """One start recorded by the recorder or an installer stand-in."""

    def __init__(self, line):
        fields = line.split("\t")
        self.command_line, self.cwd, self.long_path = (fields + ["", "", ""])[:3]

    def arguments(self):
        """The command line split the way CommandLineToArgvW does for these simple cases."""
        args, current, quoted, seen = [], "", False, False
        for char in self.command_line:
            if char == '"':
                quoted, seen = not quoted, True
            elif char == " " and not quoted:
                if current or seen:
                    args.append(current)
                current, seen = "", False
            else:
                current += char
        if current or seen:
            args.append(current)
        return args

    def __repr__(self):
        return "Record(%r, cwd=%r, long=%r)" % (self.command_line, self.cwd, self.long_path)


class Context:
    DISC_NAME = "Norvane 98 CD-ROM"  # spaces and a long name: the short form differs
    DRIVE = "E"  # the same disc as a drive root, like a real CD

    def __init__(self, world, build_dir, artifacts):
        self.world = world
        self.build_dir = build_dir
        self.artifacts = artifacts
        self.tools = os.path.join(world.drive_c, "e2e")
        self.disc = os.path.join(world.drive_c, self.DISC_NAME)
        self.disc_win = "C:\\" + self.DISC_NAME
        self.log = os.path.join(self.tools, "record.log")
        self.log_win = "C:\\e2e\\record.log"
        self.recorder_win = "C:\\e2e\\recorder.exe"
        self.sleeper_win = "C:\\e2e\\sleeper.exe"
        self.calls_log = os.path.join(self.tools, "calls.log")
        self.name = ""
        self.extra_folders = []  # made by place_disc, removed at the next reset
        self.extra_roots = []  # where else programs may run from in this scenario

    def prepare(self):
        """Copies the test programs into the prefix and maps the disc drive."""
        os.makedirs(self.tools, exist_ok=True)
        for program in ("recorder.exe", "sleeper.exe", "e2e_driver.exe"):
            shutil.copyfile(os.path.join(self.build_dir, "tests", "e2e", program),
                            os.path.join(self.tools, program))
        os.makedirs(self.disc, exist_ok=True)
        self.world.map_drive(self.DRIVE, self.disc)
        self.world.hold_desktop("C:\\e2e\\e2e_driver.exe")

    def reset(self, name):
        """A fresh disc and an empty record log for the next scenario."""
        self.name = name
        for log in (self.log, self.calls_log):
            if os.path.exists(log):
                os.remove(log)
        for folder in self.extra_folders:
            remove_tree(folder)
        self.extra_folders, self.extra_roots = [], []
        self._make_disc(self.disc)

    def _make_disc(self, folder):
        if os.path.exists(folder):
            shutil.rmtree(folder)
        make_disc.make_disc(folder, self.build_dir)
        shutil.copyfile(os.path.join(self.build_dir, "tests", "e2e", "command_runner.exe"),
                        os.path.join(folder, "command_runner.exe"))

    def place_disc(self, folder_win):
        """Lays out another copy of the disc in a folder below C:\\ (any
        length, any script) and returns its root, ending in a backslash. The
        copy goes at the next reset."""
        self._make_disc(self.host_path(folder_win))
        self.extra_folders.append(self.host_path("\\".join(folder_win.split("\\")[:2])))  # its top folder
        self.extra_roots.append(folder_win + "\\")
        return folder_win + "\\"

    def host_path(self, path_win):
        """The Linux path of a path below C:\\."""
        parts = path_win.split("\\")
        expect(parts[0] == "C:" and len(parts) > 1, "not below C:\\: %r" % path_win)
        return os.path.join(self.world.drive_c, *parts[1:])

    @property
    def roots(self):
        """Every disc root programs may run from."""
        return [self.disc_win + "\\", self.DRIVE + ":\\", "D:\\"] + self.extra_roots

    def disc_path(self, relative, root=None):
        return (root or self.disc_win + "\\") + relative

    def remove_from_disc(self, relative):
        os.remove(os.path.join(self.disc, *relative.split("\\")))

    def associations(self, pdf=True, htm=True, txt=True):
        """Driver steps that associate each document type with the recorder
        (True), a given open command (a string) or nothing (False)."""
        recorder = '"%s" "%%1"' % self.recorder_win
        steps = []
        for extension, value in ((".pdf", pdf), (".htm", htm), (".txt", txt)):
            steps.append(["assoc", extension, recorder if value is True else (value or "")])
        return steps

    def start_runner(self, *arguments, root=None):
        """Starts the command runner from the disc, in C:\\windows so that a
        start directory of C:\\ can only come from the launcher's code."""
        runner = (root or self.disc_win + "\\") + "command_runner.exe"
        return [["start", " ".join(['"%s"' % runner] + list(arguments)), "C:\\windows"]]

    def start_launcher(self, root=None):
        """Starts Startboard.exe from the disc, in C:\\windows (see start_runner)."""
        return [["start", '"%sStartboard.exe"' % (root or self.disc_win + "\\"), "C:\\windows"]]

    def capture(self, name):
        """A step saving the chosen window's pixels as artifacts/NAME.bmp."""
        return ["capture", self.world.windows_path(os.path.join(self.artifacts, name + ".bmp"))]

    def screenshot(self, name):
        """The capture NAME, converted to PNG with ImageMagick, as a PIL image."""
        import images
        bmp = os.path.join(self.artifacts, name + ".bmp")
        png = os.path.join(self.artifacts, name + ".png")
        subprocess.run(["convert", bmp, png], check=True, timeout=60)
        os.remove(bmp)
        return images.load_rgb(png)

    def cursor(self):
        return xcursor.current_shape(self.world.env["DISPLAY"])

    def asset(self, name):
        return os.path.join(REPO, "assets", name)

    def run(self, steps, timeout=120, last=True):
        """Runs the steps; every one must succeed. Unless `last` is False,
        then waits for what they started to end and ends whatever they left
        running."""
        if last:
            # Every program a command started must have finished (a stand-in
            # installer still showing its box means the scenario left it open).
            roots = self.roots
            started = [self.recorder_win] + [root + folder for root in roots for folder in ("reader\\", "standalone\\")]
            # What is on the screen then shows in the log when a step failed.
            steps = steps + [["settle", "10000"] + started, ["finally"], ["on-screen", "0"],
                             ["sweep", *roots, self.recorder_win, self.sleeper_win]]
        env = {"STARTBOARD_RECORD_LOG": self.log_win, "STARTBOARD_CALL_LOG": self.world.windows_path(self.calls_log)}
        results = self.world.run_script(steps, env=env, timeout=timeout)
        with open(os.path.join(self.artifacts, self.name + ".log"), "a", encoding="utf-8") as f:
            f.write(str(results) + "\n")
        failed = results.first_failure()
        expect(failed is None and results.steps,
               "step failed: %s\n%s\nstarts recorded: %r" % (failed, results, self.records()))
        return results

    def calls(self):
        """The shell calls command_runner made, each as a list of fields."""
        if not os.path.exists(self.calls_log):
            return []
        with open(self.calls_log, encoding="utf-8") as f:
            return [line.rstrip("\n").split("\t") for line in f if line.strip()]

    def await_records(self, count):
        """A step waiting until `count` programs have recorded their start,
        so the next click does not arrive while the launcher is still inside
        the shell call (it would be dropped, by design)."""
        return ["wait-lines", self.log_win, str(count), "10000"]

    def records(self):
        if not os.path.exists(self.log):
            return []
        with open(self.log, encoding="utf-8") as f:
            return [Record(line.rstrip("\n")) for line in f if line.strip()]


def step_of(results, name, index=0):
    """The index-th result of a step, failing the scenario when that step failed."""
    found = results.all(name)
    expect(len(found) > index, "no result for step %r (#%d):\n%s" % (name, index, results))
    step = found[index]
    expect(step["ok"], "step %r failed: %s\n%s" % (name, step.get("error"), results))
    return step


def button_texts(box):
    return [button["text"].replace("&", "") for button in box["buttons"]]


def run_all(context, selected):
    passed = failed = 0
    for function in selected:
        name = function.__name__
        started = time.time()
        try:
            context.reset(name)
            function(context)
        except Failure as error:
            failed += 1
            print("FAIL %s (%.1fs): %s" % (name, time.time() - started, error), flush=True)
        except Exception as error:  # a broken scenario fails alone, the others still run
            failed += 1
            print("FAIL %s (%.1fs): %s: %s" % (name, time.time() - started, type(error).__name__, error), flush=True)
        else:
            passed += 1
            print("PASS %s (%.1fs)" % (name, time.time() - started), flush=True)
    return passed, failed

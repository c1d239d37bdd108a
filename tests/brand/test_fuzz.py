#!/usr/bin/python3
"""Brand files changed at random, one to three edits each, from the default
brand and the test brand: each is either refused with only FILE:LINE lines
that name a line of the file, leaving nothing generated, or accepted with
tables that compile and carry its texts exactly.

A fuzzer of our own rather than a property-testing library: its edits know
TOML's shape (keys, values, quotes, headers), a failure is one edit away from
a good file so it needs no shrinking, and STARTBOARD_FUZZ_RUN (which stream
of edits) and STARTBOARD_FUZZ_CASES replay or widen a run. A failing case is written to
build/fuzz-failure.toml."""

import contextlib
import io
import os
import random
import re
import shutil
import subprocess
import tempfile
import unittest
from pathlib import Path

from sample import ABOUT, LANGUAGES, MAIN, PAGES, PRINTER, brand_folder
from tools.brand import load
from tools.brand.cli import main

ROOT = Path(__file__).resolve().parents[2]
# Which stream of random edits: the same number gives the same files.
RUN = int(os.environ.get("STARTBOARD_FUZZ_RUN", "20261207"))
CASES = int(os.environ.get("STARTBOARD_FUZZ_CASES", "300"))
COMPILED = 8  # accepted cases compiled and run: each costs about a second

PIECES = ['"', "'", '"""', "\\", "\\n", "\\u0000", "\\uFFFF", "??!", "\n", "\r", "\t", "=", "[", "]", "{", "}",
          ",", ".", "#", "..", "/", ":", "*", "\u00e9", "\U0001F4BF", "\u2028", "\u00a0", "\ufeff", "@VERSION@",
          "0", "-1", "4001", "99999", "true", "1979-05-27", "x" * 300, "CON", "https://", "mailto:", "&", "<"]
VALUES = ['""', '"x"', "0", "-5", "4001", "true", "[]", "[1, 2]", "[0, 0, 1, 1]", "{}", "1979-05-27",
          '"#FFFFFF"', '"#12"', '"menu.bmp"', '"app.ico"', '"hand.cur"', '"logo.jpg"', '"missing.png"',
          '"https://example.com/"', '"https://"', '"mailto:x"', '"aux/a.exe"', "'a\\b.pdf'", '"a\\\\b.pdf"',
          '"open"', '"install"', '"about"', '"quit"', '"web"', '"label"', '"oval"', '"picture"', '"%s"' % ("y" * 5000)]


def mutate(text, rng):
    """The text with one to three random edits, and how many messages they
    may bring: one each, or any number where a header given twice splits a
    table in two (None)."""
    lines = text.split("\n")
    edits = rng.choice((1, 1, 2, 3))
    split = False
    for _ in range(edits):
        index = rng.randrange(len(lines))
        line = lines[index]
        edit = rng.randrange(6)
        if edit == 0:  # a value replaced
            if "=" in line:
                lines[index] = line.split("=", 1)[0] + "= " + rng.choice(VALUES)
        elif edit == 1:  # something typed into a line
            at = rng.randint(0, len(line))
            lines[index] = line[:at] + rng.choice(PIECES) + line[at:]
        elif edit == 2:  # a line removed
            del lines[index]
        elif edit == 3:  # a line given twice, elsewhere
            lines.insert(rng.randrange(len(lines) + 1), line)
            split = split or line.lstrip().startswith("[")
        elif edit == 4:  # a key renamed
            lines[index] = re.sub(r"^(\s*)([a-z_]+)", lambda m: m.group(1) + rng.choice(
                ["name", "title", "url", "file", "rect", "kind", "action", "outline", "x", m.group(2) + "s"]), line)
        else:  # a character removed
            if line:
                at = rng.randrange(len(line))
                lines[index] = line[:at] + line[at + 1:]
    return "\n".join(lines), None if split else edits


class Fuzz(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, self.folder)
        brand_folder(self.folder)
        shutil.copytree(ROOT / "assets", self.folder / "default")
        self.default = (ROOT / "assets" / "brand.toml").read_text(encoding="utf-8")

    def refused_cleanly(self, text, path, out, edits):
        """Generates into `out` (holding a good brand's outputs): a refusal
        must leave only FILE:LINE lines, at most one per edit, and nothing
        generated."""
        stderr = io.StringIO()
        with contextlib.redirect_stderr(stderr):
            code = main(["generate", str(path), str(out)])
        lines = stderr.getvalue().splitlines()
        count = len(text.split("\n"))
        pattern = re.compile(r"^%s:(\d+): \S" % re.escape(str(path)))
        for line in lines:
            if code == 0 and line.startswith("%s: languages: " % path):
                continue  # what each language translates: about the whole file
            match = pattern.match(line)
            self.assertTrue(match and 1 <= int(match.group(1)) <= count, line)
            self.assertNotRegex(line, r"Traceback|Error\b|\(at line|unpack|datetime")
        if code:
            self.assertEqual(sorted(os.listdir(out / "brand")), [], "left behind after a refusal")
            errors = [line for line in lines if ": warning: " not in line]
            if edits is not None:
                self.assertLessEqual(len(errors), edits, "more messages than mistakes:\n" + "\n".join(errors))
        return code == 0

    def compiled_texts(self, out):
        source = self.folder / "print.cpp"
        source.write_text(PRINTER.replace("kAboutControls[2].outline.has_value() ? 1 : 0", "0"))
        exe = self.folder / "print"
        build = subprocess.run(["g++", "-std=c++20", "-Wall", "-Wextra", "-Wpedantic", "-Werror",
                                "-I", str(ROOT / "src"), "-I", str(out), str(source), "-o", str(exe)],
                               capture_output=True, text=True)
        self.assertEqual(build.returncode, 0, build.stderr)
        return subprocess.run([str(exe)], capture_output=True, check=True).stdout.decode("utf-8").split("\0")[:-1]

    def test_random_edits(self):
        rng = random.Random(RUN)
        out = self.folder / "out"
        good = (out / "brand")
        accepted = compiled = 0
        for case in range(CASES):
            base = self.default if case % 2 else MAIN + PAGES + ABOUT + LANGUAGES
            path = self.folder / ("default/brand.toml" if case % 2 else "brand.toml")
            text, edits = mutate(base, rng)
            path.write_bytes(text.encode("utf-8", "surrogatepass"))
            shutil.rmtree(out, ignore_errors=True)
            good.mkdir(parents=True)
            try:
                ok = self.refused_cleanly(text, path, out, edits)
                if ok:
                    accepted += 1
                    loaded = load(str(path))
                    menu = [z for z in loaded.zones if not z.on_page]
                    zone = menu[1] if len(menu) > 1 else None
                    if compiled < COMPILED and zone and zone.question and len(menu) == len(
                            re.findall(r"^\[\[zone\]\]\s*(?:#|$)", text, re.M)):
                        compiled += 1
                        title = zone.question_title or loaded.identity.title
                        texts = [loaded.identity.title, zone.tooltip, zone.question, title]
                        self.assertEqual(self.compiled_texts(out), [t.replace("\n", "\r\n") for t in texts])
            except BaseException:
                (ROOT / "build").mkdir(exist_ok=True)
                (ROOT / "build" / "fuzz-failure.toml").write_text(text, encoding="utf-8", errors="surrogatepass")
                print("fuzz case %d of run %d failed; written to build/fuzz-failure.toml" % (case, RUN))
                raise
        self.assertGreater(accepted, CASES // 20, "too few accepted cases to test the generator")
        self.assertGreater(compiled, 0)


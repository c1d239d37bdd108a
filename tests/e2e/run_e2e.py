#!/usr/bin/python3
"""End-to-end tests: the launcher on its disc, under Wine, used as a person uses it.

DISC_DIR is a laid-out disc (make disc), ISO its image (make cd), TOOLS_DIR holds
e2e_driver.exe and recorder.exe. Each dpi gets a Wine prefix of its own; --load adds
the scenarios run under two busy processes. Prints "e2e: N passed, N failed" last.
"""
import argparse
import os
import subprocess
import sys

import pefile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from wine import VERSIONS, DriverError, Wine  # noqa: E402

parser = argparse.ArgumentParser(description=__doc__)
parser.add_argument("disc")
parser.add_argument("iso")
parser.add_argument("tools")
parser.add_argument("--dpi", type=int, action="append", help="only at this dpi (repeatable)")
parser.add_argument("--windows", choices=sorted(VERSIONS), default="win10")
parser.add_argument("--only", action="append", help="only this scenario (repeatable)")
parser.add_argument("--load", action="store_true")
parser.add_argument("--brand", choices=("default", "second"), default="default",
                    help="the brand the disc was built from: its scenarios run")
options = parser.parse_args()
module = "scenarios" if options.brand == "default" else "second"
__import__(module)  # registers its scenarios
exe = os.path.join(os.path.abspath(options.disc), sys.modules[module].EXE)
bits = {0x14C: "32-bit", 0x8664: "64-bit"}[pefile.PE(exe, fast_load=True).FILE_HEADER.Machine]
print("exe: %s (%s), Windows version %s" % (exe, bits, options.windows), flush=True)
chosen = [s for s in harness.SCENARIOS if s.__module__ == module and (options.load or not s.load) and
          s.__name__ in (options.only or [s.__name__])]
passed = failed = 0
for dpi in sorted({d for s in chosen for d in s.dpis} & set(options.dpi or [96, 120, 144, 192])):
    wine = Wine(dpi, options.windows)
    try:
        wine.start([os.path.join(options.tools, name + ".exe") for name in ("e2e_driver", "recorder")])
        for load in (False, True):
            busy = [subprocess.Popen(["/usr/bin/python3", "-c", "while True: pass"]) for _ in range(2 * load)]
            try:
                group = [s for s in chosen if dpi in s.dpis and s.load == load]
                p, f = harness.run_all(wine, os.path.dirname(exe), os.path.abspath(options.iso), group)
                passed, failed = passed + p, failed + f
            finally:
                for process in busy:
                    process.kill()
    except (OSError, DriverError, subprocess.SubprocessError) as error:
        print("FAIL setting up Wine at %d dpi: %s" % (dpi, error), flush=True)
        failed += 1
    finally:
        wine.close()
print("e2e: %d passed, %d failed" % (passed, failed))
sys.exit(1 if failed else 0)

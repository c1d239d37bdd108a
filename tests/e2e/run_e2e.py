#!/usr/bin/python3
"""End-to-end tests: the launcher on a disc, under Wine, used as a person
uses it.

Usage: run_e2e.py DISC_DIR ISO TOOLS_DIR [--dpi N]... [--windows winxp|win7|win10]
                  [--only NAME]... [--load] [--artifacts DIR]

DISC_DIR is a laid-out disc (make disc), ISO its image (make cd), TOOLS_DIR
the folder of the test programs (recorder, sleeper, e2e_driver). Each dpi
gets a Wine prefix of its own; --load adds the scenarios that run under two
busy processes. Prints a line per scenario and "e2e: N passed, N failed".
"""
import argparse
import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import scenarios  # noqa: E402  (registers the scenarios)
from wine import VERSIONS, DriverError, Wine  # noqa: E402


def describe(exe):
    with open(exe, "rb") as f:
        data = f.read(4096)
    machine = int.from_bytes(data[int.from_bytes(data[60:64], "little") + 4:][:2], "little")
    return "%s (%s)" % (exe, {0x14C: "32-bit, i386", 0x8664: "64-bit, x86-64"}.get(machine, hex(machine)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("disc")
    parser.add_argument("iso")
    parser.add_argument("tools")
    parser.add_argument("--dpi", type=int, action="append", help="run at this dpi (repeatable; default all)")
    parser.add_argument("--windows", choices=sorted(VERSIONS), default="win10")
    parser.add_argument("--only", action="append", help="run only this scenario (repeatable)")
    parser.add_argument("--load", action="store_true", help="also the scenarios under load")
    parser.add_argument("--artifacts", default=os.path.join(harness.REPO, "build", "e2e-artifacts"))
    options = parser.parse_args()
    os.makedirs(options.artifacts, exist_ok=True)
    disc, iso = os.path.abspath(options.disc), os.path.abspath(options.iso)
    print("exe: %s" % describe(os.path.join(disc, "Startboard.exe")), flush=True)
    programs = [os.path.join(options.tools, name + ".exe") for name in ("e2e_driver", "recorder", "sleeper")]
    chosen = [s for s in harness.SCENARIOS if (not options.only or s.__name__ in options.only)
              and (options.load or not s.load)]
    dpis = sorted({d for s in chosen for d in s.dpis} & set(options.dpi or [96, 120, 144, 192]))
    started = time.time()
    passed = failed = 0
    for dpi in dpis:
        wine = Wine(dpi, options.windows)
        wine.env["STARTBOARD_RECORD_LOG"] = harness.RECORD_LOG  # for every program the driver starts
        try:
            wine.start(programs)
            print("wine ready at %d dpi, windows %s (%s)" % (dpi, options.windows, wine.version()), flush=True)
            at_dpi = [s for s in chosen if dpi in s.dpis]
            for load in (False, True):
                group = [s for s in at_dpi if s.load == load]
                helpers = scenarios.busy() if load and group else []
                try:
                    p, f = harness.run_all(wine, disc, iso, options.artifacts, group)
                finally:
                    for helper in helpers:
                        helper.kill()
                        helper.wait()
                passed, failed = passed + p, failed + f
        except (OSError, DriverError, ValueError) as error:
            print("FAIL setting up Wine at %d dpi: %s" % (dpi, error), flush=True)
            failed += 1
        finally:
            wine.close()
    print("time: %.0fs" % (time.time() - started))
    print("e2e: %d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

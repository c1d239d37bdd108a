#!/usr/bin/python3
"""End-to-end tests: the launcher's commands and windows under Wine, driven
as a user would drive them.

Usage: run_e2e.py BUILD_DIR [--windows winxp|win7|win10] [--only NAME]
                  [--artifacts DIR] [--keep]

BUILD_DIR is the win64 build folder (Startboard.exe, tests/e2e/*.exe and
tools/sample_disc/standin_setup.exe); the disc image scenario also needs
BUILD_DIR/../cd-wine (make disc). Every run has its own prefix, set to the
given Windows version (default win10). Prints the version the prefix
reports, one line per scenario and finally "e2e: N passed, N failed"; exits
1 on any failure.
"""
import argparse
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
import scenarios_commands  # noqa: E402,F401  (registers scenarios)
import scenarios_disc  # noqa: E402,F401
import scenarios_window  # noqa: E402,F401
import scenarios_paths  # noqa: E402,F401
import scenarios_faults  # noqa: E402,F401
from winenv import WINDOWS, WineWorld  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build_dir")
    parser.add_argument("--windows", choices=sorted(WINDOWS), default="win10",
                        help="the Windows version the prefix reports (default win10)")
    parser.add_argument("--only", action="append", help="run only this scenario (repeatable)")
    parser.add_argument("--artifacts", help="folder for logs and screenshots (default BUILD_DIR/../e2e-artifacts,"
                                            " with -VERSION for a version other than win10)")
    parser.add_argument("--keep", action="store_true", help="keep the Wine prefix to look at afterwards")
    options = parser.parse_args()

    build_dir = os.path.abspath(options.build_dir)
    default = "e2e-artifacts" + ("" if options.windows == "win10" else "-" + options.windows)
    artifacts = os.path.abspath(options.artifacts or os.path.join(build_dir, "..", default))
    os.makedirs(artifacts, exist_ok=True)
    for old in os.listdir(artifacts):
        if old.endswith(".log"):
            os.remove(os.path.join(artifacts, old))

    selected = [s for s in harness.SCENARIOS if not options.only or s.__name__ in options.only]
    unknown = set(options.only or []) - {s.__name__ for s in harness.SCENARIOS}
    if unknown:
        print("unknown scenario: %s" % ", ".join(sorted(unknown)), file=sys.stderr)
        return 2

    started = time.time()
    world = WineWorld(keep=options.keep, windows=options.windows)
    passed = failed = 0
    try:
        world.start()
        context = harness.Context(world, build_dir, artifacts)
        context.prepare()
        print("wine ready (%.1fs), windows %s: %s" % (time.time() - started, options.windows, world.check_version()),
              flush=True)
        passed, failed = harness.run_all(context, selected)
    except (OSError, RuntimeError, subprocess.SubprocessError) as error:
        print("FAIL setting up Wine: %s" % error)
        failed += 1
    finally:
        world.close()
        if options.keep:
            print("prefix kept in %s" % world.root)
    print("time: %.1fs" % (time.time() - started))
    print("e2e: %d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())

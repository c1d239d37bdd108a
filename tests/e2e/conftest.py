"""End-to-end tests: the launcher on its disc, under Wine, used as a person uses it.

    pytest tests/e2e/scenarios.py --disc DISC_DIR --iso ISO --tools TOOLS_DIR [--load]
        [--dpi 96 ...] [--windows win7] [-k NAME]

DISC_DIR is a laid-out disc (make disc) of the brand the test file is written
for (scenarios.py: the default brand; second.py: the second brand), ISO its
image (make cd), TOOLS_DIR holds e2e_driver.exe and recorder.exe. Each dpi
gets a Wine prefix of its own, made once for all of its tests; a test runs at
the dpis its `dpi` mark names (96 when it has none), and those marked `load`
run only with --load, while two busy processes keep the cores loaded."""
import os
import subprocess

import pefile
import pytest

from harness import RECORDER, Test
from wine import VERSIONS, Wine

DPIS = (96, 120, 144, 192)


def pytest_addoption(parser):
    group = parser.getgroup("startboard", "the launcher under Wine")
    group.addoption("--disc", help="the laid-out disc (make disc)")
    group.addoption("--iso", help="its image (make cd)")
    group.addoption("--tools", help="the folder of e2e_driver.exe and recorder.exe")
    group.addoption("--dpi", type=int, action="append", choices=DPIS, help="only at this dpi (repeatable)")
    group.addoption("--windows", choices=sorted(VERSIONS), default="win10", help="the Windows version Wine reports")
    group.addoption("--load", action="store_true", help="also the tests marked load")


def pytest_report_header(config):
    disc = config.getoption("disc")
    if not disc or not os.path.isdir(disc):
        return None
    bits = {0x14C: "32-bit", 0x8664: "64-bit"}
    return ["exe: %s (%s), Windows version %s" % (
        path, bits[pefile.PE(path, fast_load=True).FILE_HEADER.Machine], config.getoption("windows"))
        for path in sorted(os.path.join(os.path.abspath(disc), name) for name in os.listdir(disc))
        if path.lower().endswith(".exe")]


def pytest_generate_tests(metafunc):
    if "t" in metafunc.fixturenames:
        mark = metafunc.definition.get_closest_marker("dpi")
        metafunc.parametrize("wine", mark.args if mark else (96,), indirect=True, scope="session",
                             ids=lambda dpi: "%ddpi" % dpi)


@pytest.hookimpl(trylast=True)
def pytest_collection_modifyitems(config, items):
    """Leaves out the dpis not asked for, and the load tests without --load;
    runs the rest by dpi, so that each dpi's prefix is made once."""
    dpis, load = config.getoption("dpi") or DPIS, config.getoption("load")
    chosen, left_out = [], []
    for item in items:
        callspec = getattr(item, "callspec", None)
        wanted = (callspec is None or callspec.params.get("wine") in dpis) and (
            load or item.get_closest_marker("load") is None)
        (chosen if wanted else left_out).append(item)
    if left_out:
        config.hook.pytest_deselected(items=left_out)
    items[:] = sorted(chosen, key=lambda item: item.callspec.params["wine"] if hasattr(item, "callspec") else 0)


@pytest.fixture(scope="session")
def wine(request):
    """The Wine world at one dpi, shared by every test at that dpi."""
    for option in ("disc", "iso", "tools"):
        if not request.config.getoption(option):
            pytest.fail("--%s is needed (see tests/e2e/conftest.py)" % option)
    world = Wine(request.param, request.config.getoption("windows"))
    try:
        world.start([os.path.join(request.config.getoption("tools"), name + ".exe")
                     for name in ("e2e_driver", "recorder")])
        yield world
    finally:
        world.close()


@pytest.fixture
def t(request, wine):
    """One test's view of the Wine world, with a fresh copy of the disc."""
    busy = [subprocess.Popen(["/usr/bin/python3", "-c", "while True: pass"])
            for _ in range(2 if request.node.get_closest_marker("load") else 0)]
    test = Test(wine, os.path.abspath(request.config.getoption("disc")),
                os.path.abspath(request.config.getoption("iso")))
    try:
        test.reset()
        yield test
    finally:
        test.kill(*test.roots, RECORDER)
        for process in busy:
            process.kill()
            process.wait()

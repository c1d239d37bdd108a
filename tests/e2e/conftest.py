"""End-to-end tests: the launcher on its disc, under Wine, used as a person uses it.

    pytest tests/e2e/scenarios.py --disc DISC --iso ISO --tools TOOLS [--load] [--dpi 96] [--windows win7]

DISC is a laid-out disc (make disc) of the brand the test file is for (second.py: the second
brand), ISO its image (make cd), TOOLS the folder of e2e_driver.exe, recorder.exe and
accessible_probe.exe. Each dpi has a Wine prefix of its own for all its tests; a test runs at the
dpis its `dpi` mark names (96 without one), and one marked `load` only with --load, while two busy
processes load the cores."""
import os
import subprocess

import pytest

from harness import RECORDER, Test
from tools.wine.desktop import start_world
from tools.wine.wine import VERSIONS, Wine

DPIS = (96, 120, 144, 192)


def pytest_addoption(parser):
    group = parser.getgroup("startboard", "the launcher under Wine")
    group.addoption("--disc", help="the laid-out disc (make disc)")
    group.addoption("--iso", help="its image (make cd)")
    group.addoption("--tools", help="the folder of e2e_driver.exe, recorder.exe and accessible_probe.exe")
    group.addoption("--dpi", type=int, action="append", choices=DPIS, help="only at this dpi (repeatable)")
    group.addoption("--windows", choices=sorted(VERSIONS), default="win10", help="the Windows version Wine reports")
    group.addoption("--load", action="store_true", help="also the tests marked load")


def pytest_generate_tests(metafunc):
    if "t" in metafunc.fixturenames:
        mark = metafunc.definition.get_closest_marker("dpi")
        metafunc.parametrize("wine", mark.args if mark else (96,), indirect=True, scope="session",
                             ids=lambda dpi: "%ddpi" % dpi)


def dpi_of(item):
    return item.callspec.params["wine"] if hasattr(item, "callspec") else None


@pytest.hookimpl(trylast=True)
def pytest_collection_modifyitems(config, items):
    """Leaves out the dpis not asked for, and the load tests without --load;
    runs the rest by dpi, so that each dpi's prefix is made once."""
    dpis, load = tuple(config.getoption("dpi") or DPIS), config.getoption("load")
    chosen = [item for item in items if dpi_of(item) in dpis + (None,) and (load or not item.get_closest_marker("load"))]
    config.hook.pytest_deselected(items=[item for item in items if item not in chosen])
    items[:] = sorted(chosen, key=lambda item: dpi_of(item) or 0)


@pytest.fixture(scope="session")
def wine(request):
    """The Wine world at one dpi, shared by every test at that dpi."""
    if not all(request.config.getoption(option) for option in ("disc", "iso", "tools")):
        pytest.fail("--disc, --iso and --tools are needed (see tests/e2e/conftest.py)")
    world = Wine(request.param, request.config.getoption("windows"))
    try:
        start_world(world, request.config.getoption("tools"))
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

"""make edit as a publisher meets it, in Debian's chromium: a zone dragged,
one resized and nudged, a German tooltip, a mistake shown beside its zone
and fixed, the save that keeps the comments and builds, a file changed on
disk; a page added, opened from the menu, renamed, moved and removed. Then
the server's door, request by request."""
import collections
import contextlib
import http.client
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import tomllib
from pathlib import Path

import pytest
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import Select, WebDriverWait

from tools.designer import checker_bridge, document, server

ROOT = Path(__file__).resolve().parents[2]
PAGE = """
[[page]]  # opens first on arm64
name = "more"
picture = "menu.bmp"
when = { architecture = ["arm64"] }

[[page.zone]]
name = "Back"
rect = [8, 8, 120, 40]
tooltip = "Back"
action = "back"
"""
SHOT = ROOT / "build" / "designer.png"
CHROMIUM = ("--headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking "
            "--disable-component-update --disable-sync --window-size=1400,800").split()


@pytest.fixture(scope="module")
def brand(tmp_path_factory):
    top = tmp_path_factory.mktemp("designer")
    shutil.copytree(ROOT / "assets", top / "brand é")
    path = top / "brand é" / "brand.toml"
    lit = path.read_text().replace('cursor = "hand.cur"\n', 'cursor = "hand.cur"\nhover = "menu-lit.bmp"\n')
    path.write_text(lit + PAGE)
    shutil.copy(top / "brand é" / "menu.bmp", top / "brand é" / "menu-lit.bmp")
    (top / "secret.txt").write_text("not the brand's")
    (top / "brand é" / "link-out").symlink_to(top / "secret.txt")
    (top / "brand é" / "folder-out").symlink_to(top)
    (top / "brand é" / "escape.png").symlink_to(top / "escaped.png")
    return path


@pytest.fixture(scope="module")
def address(brand):
    server = subprocess.Popen(["make", "-s", "edit", "BRAND=%s" % brand], cwd=ROOT, stdout=subprocess.PIPE, text=True,
                              env=dict(os.environ, DISPLAY=""), start_new_session=True)
    found = re.search(r"http://127\.0\.0\.1:(\d+)/([\w-]+)/", server.stdout.readline())
    yield found.group(0)
    os.killpg(server.pid, signal.SIGINT)  # Ctrl+C
    try:
        assert "The designer stopped." in server.communicate(timeout=10)[0]
    finally:  # never a server left behind
        with contextlib.suppress(ProcessLookupError):
            os.killpg(server.pid, signal.SIGKILL)


@pytest.fixture(scope="module")
def page(address):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    with tempfile.TemporaryDirectory(prefix="chromium-") as profile:
        for argument in CHROMIUM + ["--user-data-dir=" + profile]:
            options.add_argument(argument)
        driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
        driver.get(address)
        yield driver
        driver.quit()


def find(page, css, text=""):
    """The first element matching `css` whose text holds `text`, once there."""
    return WebDriverWait(page, 10).until(lambda d: next(
        (e for e in d.find_elements(By.CSS_SELECTOR, css) if text in e.text), None))


def choose(page, name):
    find(page, "#items li", name + " (").click()


def typed(page, key, text, n=0):
    field = find(page, ".field[data-key=%s]" % key).find_elements(By.CSS_SELECTOR, "input, textarea")[n]
    field.send_keys(Keys.CONTROL, "a")
    field.send_keys(text)
    return checked(page)


def checked(page):
    """The status once the check of the latest change is in."""
    return WebDriverWait(page, 10).until(lambda d: d.find_element(By.ID, "status").text != "checking…" and
                                         d.find_element(By.ID, "status").text)


def click(page, css, text=""):
    find(page, css, text).click()
    return checked(page)


def saved(page, brand):
    page.find_element(By.ID, "save").click()
    find(page, "#status", "saved brand.toml")
    text = brand.read_text()
    assert not [m for m in checker_bridge.check_text(str(brand), text) if m[2]]  # the build's checker takes it
    return text


def changes(before, after):
    """(lines added, lines removed), blank ones aside, wherever they stand."""
    lines = [collections.Counter(line for line in text.splitlines() if line.strip()) for text in (before, after)]
    return lines[1] - lines[0], lines[0] - lines[1]


def test_a_publisher_places_translates_fixes_and_saves(page, brand):
    before = brand.read_text()
    ActionChains(page).click_and_hold(find(page, ".item", "Label6")).move_by_offset(-20, -10).release().perform()
    assert find(page, "#readout").text == "540, 328, 162, 203"
    choose(page, "Label2")
    assert "menu-lit.bmp" in find(page, ".item.sel").value_of_css_property("background-image")  # its hover part
    ActionChains(page).click_and_hold(find(page, ".item.sel .h-se")).move_by_offset(11, 7).release().perform()
    ActionChains(page).key_down(Keys.SHIFT).send_keys(Keys.ARROW_RIGHT).key_up(Keys.SHIFT).send_keys(
        Keys.ARROW_LEFT).perform()
    assert find(page, "#readout").text == "243, 3, 270, 160"

    page.find_element(By.ID, "newlang").send_keys("de", Keys.ENTER)
    choose(page, "Label7")
    assert typed(page, "tooltip", "Über das Paket / installieren") == "checked: the build takes it"
    find(page, "#pages button", "About window").click()
    choose(page, "Label8")
    assert find(page, ".field[data-key=text] textarea").get_attribute("placeholder") == "Free e-mail technical support"
    find(page, "#langs button", "en").click()
    find(page, "#pages button", "Page more").click()
    assert typed(page, "when", '{ architecture = ["arm64", "x64" }').startswith("not TOML")
    assert not page.find_element(By.ID, "save").is_enabled()
    assert typed(page, "when", '{ architecture = ["arm64", "x64"] }') == "checked: the build takes it"
    ActionChains(page).click_and_hold(find(page, ".item", "Back")).move_by_offset(20, 10).release().perform()
    assert find(page, "#readout").text == "28, 18, 120, 40" and find(page, "#stage").size["width"] == 725  # the menu's
    find(page, "#pages button", "Menu").click()

    choose(page, "Label5")
    assert "mistake" in typed(page, "rect", "900", 2)
    assert "runs 179 px past the right edge" in find(page, '.item[data-i="2"] .msg').text
    assert not page.find_element(By.ID, "save").is_enabled()
    SHOT.parent.mkdir(exist_ok=True)
    page.save_screenshot(str(SHOT))
    assert typed(page, "rect", "149", 2) == "checked: the build takes it"
    assert not page.find_elements(By.CSS_SELECTOR, ".item .msg")
    page.find_element(By.ID, "save").click()
    find(page, "#status", "saved brand.toml")

    assert changes(before, brand.read_text()) == (collections.Counter([
        "rect = [540, 328, 162, 203]", "rect = [243, 3, 270, 160]", "[language.de.zone.Label7]",
        'tooltip = "Über das Paket / installieren"', "rect = [28, 18, 120, 40]",
        'when = { architecture = ["arm64", "x64"] }']), collections.Counter([
            "rect = [560, 338, 162, 203]", "rect = [234, 3, 259, 153]", "rect = [8, 8, 120, 40]",
            'when = { architecture = ["arm64"] }']))
    with tempfile.TemporaryDirectory() as out:
        built = subprocess.run([sys.executable, "-m", "tools.brand", "generate", str(brand), out], cwd=ROOT,
                               capture_output=True, text=True)
        assert built.returncode == 0, built.stderr
        assert "ber das Paket / installieren" in (Path(out) / "brand" / "Data.h").read_text()

    brand.write_text(brand.read_text() + "# changed in an editor\n")
    find(page, "#banner", "changed on disk")
    assert typed(page, "rect", "150", 2) and not page.find_element(By.ID, "save").is_enabled()
    page.find_element(By.ID, "reload").click()
    WebDriverWait(page, 10).until(lambda d: not d.find_element(By.ID, "banner").is_displayed())
    assert brand.read_text().endswith("# changed in an editor\n")


def test_a_publisher_adds_opens_renames_moves_and_removes_a_page(page, brand):
    before = brand.read_text()
    find(page, "#pages button", "Menu").click()
    page.find_element(By.ID, "addpage").click()
    name = find(page, "#pagename")
    name.send_keys(Keys.CONTROL, "a")
    name.send_keys("More")
    page.find_element(By.ID, "pageadd").click()
    assert find(page, "#pageproblem").text == "More is taken."  # the checker matches names whatever their case
    name.send_keys(Keys.CONTROL, "a")
    name.send_keys("extras")
    Select(page.find_element(By.ID, "pagepicture")).select_by_visible_text("menu-lit.bmp")
    name.send_keys(Keys.ENTER)
    assert checked(page).startswith("2 mistakes")
    assert [li.text.split(": ", 1)[1] for li in page.find_elements(By.CSS_SELECTOR, "#others li.err")] == [
        "the page extras needs at least one [[page.zone]]", 'page extras is never shown: give a zone action = '
        '"page", page = "extras", or give the page a when to open first']
    assert "menu-lit.bmp" in find(page, "#stage img").get_attribute("src")
    click(page, "#add")
    assert find(page, ".item.sel .name").text == "Zone1"
    find(page, "#pages button", "Menu").click()
    click(page, "#add")
    Select(find(page, ".field[data-key=action] select")).select_by_value("page")
    assert typed(page, "page", "extras") == "checked: the build takes it"
    first = saved(page, brand)
    assert changes(before, first) == (collections.Counter([
        "[[page]]", 'name = "extras"', 'picture = "menu-lit.bmp"', "[[page.zone]]", 'name = "Zone1"',
        "[[zone]]", 'name = "Zone6"', 'rect = [8, 8, 120, 40]', 'rect = [8, 8, 120, 40]', 'tooltip = "New zone"',
        'tooltip = "New zone"', 'action = "back"', 'action = "page"', 'page = "extras"']), collections.Counter())

    find(page, "#pages button", "Page extras").click()
    assert typed(page, "name", "tools") == "checked: the build takes it"  # the zone opening it follows
    assert click(page, "#pageup") == "checked: the build takes it"
    tabs = [button.text for button in page.find_elements(By.CSS_SELECTOR, "#pages button")]
    assert tabs == ["Menu", "Page tools", "Page more", "About window"]
    assert not page.find_element(By.ID, "pageup").is_enabled()
    second = saved(page, brand)
    assert changes(first, second) == (collections.Counter(['name = "tools"', 'page = "tools"']),
                                      collections.Counter(['name = "extras"', 'page = "extras"']))
    assert [p["name"] for p in tomllib.loads(second)["page"]] == ["tools", "more"]
    assert '[[page]]  # opens first on arm64\nname = "more"' in second and "# changed in an editor" in second

    for answer, tabs_left in (("askno", tabs), ("askyes", ["Menu", "Page more", "About window"])):
        page.find_element(By.ID, "delpage").click()
        assert "Page tools is opened by Zone6 (menu)." in find(page, "#asktext").text
        page.find_element(By.ID, answer).click()
        assert [button.text for button in page.find_elements(By.CSS_SELECTOR, "#pages button")] == tabs_left
    assert checked(page).startswith("1 mistake") and not page.find_element(By.ID, "save").is_enabled()
    line = second.splitlines().index('page = "tools"') + 1  # the zone left opening it, shown selected
    assert find(page, ".field[data-key=page] .msg").text.startswith(
        'brand.toml:%d: zone Zone6: no page is named "tools"' % line)
    assert find(page, ".item.sel .msg").text == find(page, ".field[data-key=page] .msg").text
    assert typed(page, "page", "more") == "checked: the build takes it"
    third = saved(page, brand)
    assert changes(second, third) == (collections.Counter(['page = "more"']), collections.Counter([
        "[[page]]", 'name = "tools"', 'picture = "menu-lit.bmp"', "[[page.zone]]", 'name = "Zone1"',
        'rect = [8, 8, 120, 40]', 'tooltip = "New zone"', 'action = "back"', 'page = "tools"']))


def ask(address, method, path, body=None, headers=None):
    port, token = re.search(r":(\d+)/([\w-]+)/", address).groups()
    connection = http.client.HTTPConnection("127.0.0.1", int(port), timeout=10)
    connection.request(method, path.replace("TOKEN", token), body, dict({"Host": "127.0.0.1:" + port}, **headers or {}))
    response = connection.getresponse()
    return response.status, response.read()


@pytest.mark.parametrize("method, path, body, headers, status", [
    ("GET", "/TOKEN/file/menu.bmp", None, None, 200),
    ("GET", "/file/menu.bmp", None, None, 403),
    ("GET", "/TOKEN0/file/menu.bmp", None, None, 403),
    ("GET", "/TOKEN/file/menu.bmp", None, {"Host": "evil.example"}, 421),
    ("GET", "/TOKEN/file/../secret.txt", None, None, 404),
    ("GET", "/TOKEN/file/%2e%2e/secret.txt", None, None, 404),
    ("GET", "/TOKEN/file/..%5Csecret.txt", None, None, 404),
    ("GET", "/TOKEN/file/%2Fetc%2Fpasswd", None, None, 404),
    ("GET", "/TOKEN/file/link-out", None, None, 404),
    ("GET", "/TOKEN/file/folder-out/secret.txt", None, None, 404),
    ("POST", "/TOKEN/api/picture?name=..%2Fout.png", b"x", None, 403),
    ("POST", "/TOKEN/api/picture?name=brand.toml", b"x", None, 403),
    ("POST", "/TOKEN/api/picture?name=menu.bmp", b"x", None, 409),
    ("POST", "/TOKEN/api/picture?name=escape.png", b"x", None, 409),
    ("POST", "/TOKEN/api/picture?name=new.png", b"x", None, 200),
    ("POST", "/TOKEN/file/brand.toml", b"x", None, 403),
    ("PUT", "/TOKEN/brand.toml", b"x", None, 501),
    ("POST", "/TOKEN/api/check", b"{}", {"Origin": "http://evil.example"}, 403),
])
def test_the_door(address, brand, method, path, body, headers, status):
    before = sorted(os.listdir(brand.parent))
    assert ask(address, method, path, body, headers)[0] == status
    added = sorted(set(os.listdir(brand.parent)) - set(before))
    assert added == (["new.png"] if status == 200 and method == "POST" else [])


def test_a_save_the_build_refuses_or_of_a_stale_file_writes_nothing(address, brand):
    state = json.loads(ask(address, "GET", "/TOKEN/api/state")[1])
    before = brand.read_bytes()
    data = state["data"]
    data["zone"][0]["rect"][0] = 4000
    for base, status in ((state["base"], 400), ("stale", 409)):
        answer = ask(address, "POST", "/TOKEN/api/save", json.dumps({"base": base, "data": data}).encode())
        assert answer[0] == status
    assert brand.read_bytes() == before
    assert not [name for name in os.listdir(brand.parent) if name.startswith(".")]
    port = int(re.search(r":(\d+)/", address).group(1))
    with pytest.raises(ConnectionRefusedError):  # loopback's own address only
        http.client.HTTPConnection("127.0.0.2", port, timeout=5).connect()


@pytest.mark.parametrize("mark, end", [("", "\n"), ("\ufeff", "\r\n")])
def test_zones_moved_added_and_removed_change_only_their_own_lines(mark, end):
    text = mark + (ROOT / "assets" / "brand.toml").read_text().replace("\n", end)
    data = tomllib.loads(text.lstrip(mark))
    for elements in (data["zone"], data["about"]["control"]):
        elements[:] = [dict(element, **{"@": place}) for place, element in enumerate(elements)]
    data["zone"].insert(0, data["zone"].pop(4))
    del data["about"]["control"][3]
    data["zone"].append({"name": "Help", "rect": [0, 0, 9, 9], "tooltip": "Help", "action": "quit"})
    out = document.edited(text, data)
    assert out.startswith(mark + "# The Norvane") and out.count(end) == out.count("\n")
    gone = ["[[about.control]]", 'kind = "label"', 'name = "Label7"', "rect = [10, 387, 147, 17]",
            'text = "help@nv98.example.com"', 'background = "#000000"', 'colour = "#C0FFFF"', "underline = true",
            'url = "mailto:help@nv98.example.com"', 'tooltip = "Send email to Norvane 98 Technical Support"']
    added = ["[[zone]]", 'name = "Help"', "rect = [0, 0, 9, 9]", 'tooltip = "Help"', 'action = "quit"']
    assert changes(text, out) == (collections.Counter(added), collections.Counter(gone))


@pytest.mark.parametrize("mark, end", [("", "\n"), ("\ufeff", "\r\n")])
def test_pages_moved_given_zones_added_and_removed_keep_their_comments(mark, end):
    menu = (ROOT / "assets" / "brand.toml").read_text()
    text = mark + (menu + PAGE + '\n[[page]]  # no zones yet\nname = "two"\npicture = "menu.bmp"\n').replace("\n", end)
    data = tomllib.loads(text.lstrip(mark))
    for elements in (data["zone"], data["about"]["control"], data["page"]):
        elements[:] = [dict(element, **{"@": place}) for place, element in enumerate(elements)]
    data["page"].reverse()
    back = {"name": "Back2", "rect": [0, 0, 9, 9], "tooltip": "Back", "action": "back"}
    data["page"][0]["zone"] = [back]
    new = {"name": "three", "picture": "menu.bmp", "zone": [dict(back, name="Back3")]}
    written = ('\n[[page]]\nname = "three"\npicture = "menu.bmp"\n\n[[page.zone]]\nname = "Back3"\n'
               'rect = [0, 0, 9, 9]\ntooltip = "Back"\naction = "back"\n\n')
    out = document.edited(text, dict(data, page=data["page"] + [new])).replace(end, "\n")
    assert out.endswith(PAGE.replace("\n[[page]]", "[[page]]") + written)
    assert '[[page]]  # no zones yet\nname = "two"\npicture = "menu.bmp"\n\n[[page.zone]]\nname = "Back2"' in out
    del data["page"]
    assert document.edited(text, data) == mark + (menu + "\n").replace("\n", end)  # the blank line before them stays
    alone = mark + menu.replace("\n", end)  # a brand without pages given one
    assert document.edited(alone, dict(data, page=[new])).replace(end, "\n") == mark + menu + written


def test_a_file_that_is_not_utf8_shows_its_line_and_is_never_saved(tmp_path):
    path = tmp_path / "brand.toml"
    path.write_bytes(b'[identity]\ntitle = "Caf\xe9"\n')
    designer = server.Designer(str(path))
    state = designer.state()
    assert (state["data"], state["messages"][0]["line"]) == (None, 2) and "UTF-8" in state["messages"][0]["text"]
    assert designer.edit({"base": state["base"], "data": {}}, True)[0] == 400
    assert path.read_bytes() == b'[identity]\ntitle = "Caf\xe9"\n'

"""make shots as a publisher runs it, on the default brand given a page, a
zone opening it and one absent on this machine (each with a condition): a
line for every state at both dpis, each on the sheet under its label, the
page's after the menu's under the page's name, no two alike, the menu and
the page at rest with nothing over them. A page no zone opens fails the
command at once, naming it."""
import io
import itertools
import json
import os
import subprocess

from PIL import Image, ImageOps

from harness import REPO, art, asset, expect, expect_equal, matching

ZONES = ["Label7", "Label6", "Label5", "Label4", "Label2", "Extras"]  # front to back, as the brand lists them
STATES = (["at rest (absent here: Arm)"] + ["%s: tip" % zone for zone in ZONES] + [
    "Label7: the question", "Label5: the question", "Label2: no program opens .pdf",
    "Label2: manual/manual.pdf missing", "About window, link Label7: no web browser", "About window",
    "About window: Tab", "page extras: at rest", "page extras: Back: tip"])
PAGE = """
[[zone]]
name = "Extras"
rect = [8, 8, 120, 40]
tooltip = "Extras"
action = "page"
page = "extras"
unless = { architecture = ["arm64"] }  # there: its tip shows

[[zone]]
name = "Arm"
rect = [8, 60, 120, 40]
tooltip = "Only on arm64"
action = "quit"
when = { architecture = ["arm64"] }

[[page]]
name = "extras"
picture = "extras.png"

[[page.zone]]
name = "Back"
rect = [300, 200, 120, 60]
tooltip = "Back to the menu"
action = "back"
"""
FOLDER = os.path.join(REPO, "build", "shots paged brand")


def written(path, raw):
    """Only what changed is written: the build then has nothing to redo."""
    if os.path.exists(path):
        with open(path, "rb") as f:
            if f.read() == raw:
                return
    with open(path, "wb") as f:
        f.write(raw)


def paged_brand(name, page):
    """The default brand with `page` after it, as `name` in a folder of the
    build, beside its pictures and the page's: the menu's, inverted."""
    os.makedirs(FOLDER, exist_ok=True)
    for picture in os.listdir(os.path.join(REPO, "assets")):
        with open(asset(picture), "rb") as f:
            written(os.path.join(FOLDER, name if picture == "brand.toml" else picture),
                    f.read() + page.encode() if picture == "brand.toml" else f.read())
    with Image.open(asset("menu.bmp")) as menu, io.BytesIO() as png:
        ImageOps.invert(menu.convert("RGB")).save(png, "PNG")
        written(os.path.join(FOLDER, "extras.png"), png.getvalue())
    return os.path.join(FOLDER, name)


def shots(command, *arguments):
    """The exit code, the errors and the states the progress lines name."""
    done = subprocess.run(command + [str(a) for a in arguments], capture_output=True, text=True, timeout=600,
                          cwd=REPO)
    return done.returncode, done.stderr.strip(), [line.split(": ", 1)[1] for line in done.stdout.splitlines()
                                                   if " dpi, en: " in line]


def test_make_shots_shows_every_state_of_the_menu_and_its_page_at_both_dpis(tmp_path):
    """Built in a build folder of its own, as second_disc.sh builds the second
    brand (make shots would rebuild build/cd64, which other suites run), then
    shot as make shots shoots it."""
    brand = paged_brand("brand.toml", PAGE)
    preset = subprocess.run(["bash", "-c", "source tools/wine_session.sh && echo $wine_preset"], cwd=REPO,
                            capture_output=True, text=True, check=True).stdout.strip()
    build, disc = os.path.join(REPO, "build", "shots-paged-" + preset), FOLDER + " cd"
    for step in (["cmake", "--preset", preset, "-B", build, "-DSTARTBOARD_BRAND=" + brand],
                 ["cmake", "--build", build, "--target", "Startboard", "standin_setup"],
                 ["cmake", "--build", "--preset", preset, "--target", "e2e_driver", "recorder", "wine_probe"],
                 [os.path.join("tools", "sample_disc", "make_disc.sh"), disc, build, brand]):
        made = subprocess.run(step, cwd=REPO, capture_output=True, text=True)
        expect_equal(made.returncode, 0, "%s (%s)" % (" ".join(step), made.stdout + made.stderr))
    out = tmp_path / "shots.png"
    code, errors, said = shots(["/usr/bin/python3", "-m", "tools.shots.shots"], brand, disc,
                               os.path.join(REPO, "build", preset, "tools", "wine"), out)
    expect_equal(code, 0, "exit code (%s)" % errors)
    expect_equal(sorted(said), sorted("%d dpi, en: %s" % (dpi, s) for dpi in (96, 144) for s in STATES),
                 "the progress lines")
    with Image.open(out) as sheet:
        sheet.load()
        tiles = json.loads(sheet.text["tiles"])
        expect_equal([(t["dpi"], t["label"]) for t in tiles], [(dpi, s) for dpi in (96, 144) for s in STATES],
                     "the sheet's tiles")
        shots_of = {(t["dpi"], t["label"]): sheet.crop((t["box"][0], t["box"][1], t["box"][0] + t["box"][2],
                                                       t["box"][1] + t["box"][3])) for t in tiles}
    for a, b in itertools.combinations(shots_of, 2):
        expect(shots_of[a].tobytes() != shots_of[b].tobytes(), "%s and %s look the same" % (a, b))
    # The picture alone (above 100 % its 2x, resized: decoders differ by a few levels).
    for dpi, state, picture, tolerance in ((96, STATES[0], "menu.bmp", 0), (144, STATES[0], "menu-2x.jpg", 6),
                                           (96, "page extras: at rest", os.path.join(FOLDER, "extras.png"), 0)):
        rest = shots_of[(dpi, state)]
        share = matching(rest, art(picture, rest.size), tolerance)
        expect(share > 0.999, "%s at %d dpi: the picture matches %.2f%%" % (state, dpi, 100 * share))


def test_make_shots_fails_at_once_naming_a_page_no_zone_opens(tmp_path):
    """The page opens first on arm64 alone, and no zone opens it: nothing is
    built, no sheet written."""
    page = PAGE.replace('action = "page"\npage = "extras"', 'action = "quit"').replace(
        'picture = "extras.png"', 'picture = "extras.png"\nwhen = { architecture = ["arm64"] }')
    out = tmp_path / "shots.png"
    code, errors, said = shots([os.path.join("tools", "shots", "shots.sh")], paged_brand("unreached.toml", page), out)
    expect_equal((code, errors, said), (1, "shots: FAILED: page extras: no zone opens it from the menu", []),
                 "make shots")
    expect(not out.exists(), "a sheet was written")

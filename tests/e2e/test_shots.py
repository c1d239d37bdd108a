"""make shots for the default brand, as a publisher runs it: a line for every
state at both dpis, each on the sheet under its label, no two alike, and the
window at rest with nothing over it."""
import itertools
import json
import os
import subprocess

from PIL import Image

from harness import REPO, art, expect, expect_equal, matching

ZONES = ["Label7", "Label6", "Label5", "Label4", "Label2"]  # front to back, as the brand lists them
STATES = (["at rest"] + ["%s: tip" % zone for zone in ZONES] + ["Label7: the question", "Label5: the question",
          "Label2: no program opens .pdf", "Label2: manual/manual.pdf missing",
          "About window, link Label7: no web browser", "About window", "About window: Tab"])


def test_make_shots_shows_every_state_of_the_default_brand_at_both_dpis(tmp_path):
    out = tmp_path / "shots.png"
    done = subprocess.run([os.path.join(REPO, "tools", "shots", "shots.sh"),
                           os.path.join(REPO, "assets", "brand.toml"), str(out)],
                          capture_output=True, text=True, timeout=600)
    expect_equal(done.returncode, 0, "exit code (%s)" % done.stderr.strip())
    said = [line.split(": ", 1)[1] for line in done.stdout.splitlines() if " dpi, en: " in line]
    expected = ["%d dpi, en: %s" % (dpi, state) for dpi in (96, 144) for state in STATES]
    expect_equal(sorted(said), sorted(expected), "the progress lines")
    with Image.open(out) as sheet:
        sheet.load()
        tiles = json.loads(sheet.text["tiles"])
        expect_equal([(t["dpi"], t["label"]) for t in tiles], [(dpi, s) for dpi in (96, 144) for s in STATES],
                     "the sheet's tiles")
        shots = {(t["dpi"], t["label"]): sheet.crop((t["box"][0], t["box"][1], t["box"][0] + t["box"][2],
                                                     t["box"][1] + t["box"][3])) for t in tiles}
    for a, b in itertools.combinations(shots, 2):
        expect(shots[a].tobytes() != shots[b].tobytes(), "%s and %s look the same" % (a, b))
    # At rest: the menu picture alone (above 100 % its 2x, resized: decoders differ by a few levels).
    for dpi, picture, tolerance in ((96, "menu.bmp", 0), (144, "menu-2x.jpg", 6)):
        rest = shots[(dpi, "at rest")]
        share = matching(rest, art(picture, rest.size), tolerance)
        expect(share > 0.999, "at rest at %d dpi, the menu picture matches %.2f%%" % (dpi, 100 * share))

"""The sample disc as laid out by tools/sample_disc: every file in place and
well-formed (checked without Wine); and the disc's image, extracted and run
from a CD drive under Wine."""
import filecmp
import html.parser
import os
import re
import subprocess

from harness import REPO, Context, expect, expect_equal, scenario, step_of
from scenarios_commands import EXIT_WAIT
from scenarios_window import MAIN, MANUAL, QUIT, click
from winenv import remove_tree


def pdf_problems(data):
    """Structural faults of a classic (non-incremental) PDF: every xref
    entry must point at its "N 0 obj", startxref at the xref table, and each
    stream's /Length must match its bytes."""
    problems = []
    start = re.search(rb"startxref\s+(\d+)\s+%%EOF\s*$", data)
    if not data.startswith(b"%PDF-1.") or not start:
        return ["no PDF header or trailer"]
    xref = int(start.group(1))
    table = re.match(rb"xref\s+0 (\d+)\s+", data[xref:])
    if not table:
        return ["startxref does not point at the xref table"]
    entries = data[xref + table.end():].split(b"\n")[: int(table.group(1))]
    for number, entry in enumerate(entries):
        if len(entry) != 19 or not re.match(rb"\d{10} \d{5} [nf] $", entry):
            problems.append("xref entry %d is malformed: %r" % (number, entry))
        elif entry.endswith(b"n ") and not data[int(entry[:10]):].startswith(b"%d 0 obj" % number):
            problems.append("xref entry %d points elsewhere" % number)
    for match in re.finditer(rb"/Length (\d+) >>\nstream\n", data):
        end = match.end() + int(match.group(1))
        if data[end:end + 9] != b"endstream":
            problems.append("stream /Length %s is wrong" % match.group(1).decode())
    return problems


class _Page(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.open_tags, self.title = [], ""

    def handle_starttag(self, tag, attrs):
        if tag not in ("meta", "br"):
            self.open_tags.append(tag)

    def handle_endtag(self, tag):
        expect(self.open_tags and self.open_tags.pop() == tag, "unbalanced </%s>" % tag)

    def handle_data(self, data):
        if self.open_tags[-1:] == ["title"]:
            self.title += data


@scenario
def sample_disc_is_complete_and_well_formed(ctx: Context):
    def read(relative):
        with open(os.path.join(ctx.disc, *relative.split("\\")), "rb") as f:
            return f.read()

    manual = read("manual\\manual.pdf")
    expect_equal(pdf_problems(manual), [], "PDF problems")
    expect(b"(Norvane 98 User Manual) Tj" in manual, "the manual's title is not drawn")

    disclaimer = read("disclaim.txt")
    expect(disclaimer.count(b"\r\n") > 5, "disclaimer is too short")
    expect_equal(disclaimer.replace(b"\r\n", b"").count(b"\n"), 0, "bare line feeds in the disclaimer")
    expect(b"Quillmere Software, Inc." in disclaimer, "disclaimer names no maker")

    page = _Page()
    page.feed(read("temphtm.htm").decode("utf-8"))
    expect_equal(page.open_tags, [], "unclosed HTML elements")
    expect(page.title, "the probe page has no title")

    standin = os.path.join(ctx.build_dir, "tools", "sample_disc", "standin_setup.exe")
    for setup in ("reader\\setup.exe", "standalone\\setup.exe"):
        expect(filecmp.cmp(os.path.join(ctx.disc, *setup.split("\\")), standin, shallow=False),
               setup + " is not the stand-in")
    expect(read("Startboard.exe").startswith(b"MZ"), "Startboard.exe is no executable")


# --- The disc image, under Wine -----------------------------------------------

def run_tool(*command):
    done = subprocess.run(command, cwd=REPO, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=300)
    expect(done.returncode == 0, "%s failed:\n%s" % (" ".join(command), done.stdout))


@scenario
def disc_image_runs_from_read_only_cd_drive(ctx: Context):
    # The image of the 64-bit twin of the disc, extracted read-only (as on a
    # CD) to what drive D:, a CD-ROM drive, shows.
    disc = os.path.normpath(os.path.join(ctx.build_dir, "..", "cd-wine"))
    exe = os.path.join(disc, "Startboard.exe")
    expect(os.path.isfile(exe), "%s: no disc laid out (make disc)" % disc)
    expect(filecmp.cmp(exe, os.path.join(ctx.build_dir, "Startboard.exe"), shallow=False),
           "%s is older than the build (make disc)" % disc)
    iso = os.path.join(ctx.world.root, "wine.iso")
    run_tool("tools/cd/make_iso.sh", disc, iso)
    remove_tree(ctx.world.cd_folder)
    run_tool("tests/cd/test_iso.sh", "--extract-to", ctx.world.cd_folder, iso, disc)
    for parent, folders, files in os.walk(ctx.world.cd_folder):
        for name in [""] + folders + files:
            expect(os.stat(os.path.join(parent, name)).st_mode & 0o222 == 0, "writable on the CD: %s" % name)

    results = ctx.run(ctx.associations() + [["drive-type", "D:\\"]] + ctx.start_launcher(root="D:\\") + [
        MAIN, click(MANUAL.point), ctx.await_records(1), click(QUIT.point), ["wait-exit", EXIT_WAIT]])
    expect_equal(step_of(results, "drive-type")["type"], 5, "drive type of D: (5: CD-ROM)")
    expect_equal(step_of(results, "wait-exit")["exit_code"], 0, "exit code after Quit")
    expect_equal([(r.arguments(), r.cwd) for r in ctx.records()],
                 [([ctx.recorder_win, "D:\\manual\\manual.pdf"], "C:\\")], "programs started")

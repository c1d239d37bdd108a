"""The sample disc as laid out by tools/sample_disc: every file in place and
well-formed (checked without Wine)."""
import filecmp
import html.parser
import os
import re

from harness import Context, expect, expect_equal, scenario


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

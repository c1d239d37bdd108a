#!/usr/bin/python3
"""Checks that a brand file with a mistake stops the build with one line that
names the mistake's line and what is allowed, and that a good one loads."""

import io
import shutil
import struct
import tempfile
import unittest
from pathlib import Path

from PIL import Image

from sample import ABOUT, LANGUAGES, MAIN, PAGES, ROOT, brand_folder, brand_tool, png
from tools.brand import BrandError, load
from tools.brand.keys import markdown

GARBAGE = b"this is not a picture at all"
TRUNCATED_ICON = (ROOT / "assets" / "startboard.ico").read_bytes()[:60]


def picture_bytes(kind, size=(40, 30), mode="RGB", cut=0, **options):
    stream = io.BytesIO()
    Image.new(mode, size, (200, 40, 40, 0) if mode == "RGBA" else (200, 40, 40)).save(stream, kind, **options)
    data = stream.getvalue()
    return data[:len(data) - cut] if cut else data


NOISY_ICON = bytearray((ROOT / "assets" / "startboard.ico").read_bytes())
FIRST_IMAGE = struct.unpack_from("<I", NOISY_ICON, 18)[0]
NOISY_ICON[FIRST_IMAGE:FIRST_IMAGE + 40] = bytes(range(200, 240))  # its header is noise; the directory is whole

# (what, text replaced, its replacement, text on the line reported or None for
# the replacement's first line, fragment of the message[, extra files])
ROWS = [
    # The file as TOML
    ("syntax", 'label = "Test Disc"', 'label = "Test Disc', None, "closing quote is missing on this line"),
    ("unclosed header", "[[zone]]  # web", "[[zone  # web", None, "closed by the same brackets it opens with"),
    ("unterminated multi-line text", 'in here either."""', 'in here either.', 'question = """Install it?',
     "closing quotes are missing"),
    ("backslash escape in a path", 'document = "docs/manual.pdf"', 'document = "docs\\guide.pdf"', None,
     "write a Windows path in single quotes ('docs\\guide.pdf') or with /"),
    ("escape that makes a control character", 'document = "docs/manual.pdf"', 'document = "docs\\readme.pdf"',
     None, "holds a control character (U+000D): in double quotes a backslash starts an escape"),
    ("key given twice", 'version = "1.2"', 'version = "1.2"\nversion = "1.3"', 'version = "1.3"',
     "'version' is given twice, first at line 6; give each key once"),
    ("not UTF-8", 'company = "Example Co"', 'company = "Example \udce9Co"', None, "(0xE9) is not UTF-8"),
    ("nested too deeply", 'size = [40, 30]', "size = " + "[" * 2000 + "]" * 2000, None, "nested too deeply"),
    ("line numbers past a raw U+2028", "break one way", 'break one\u2028way\u0085at\u2029a time.\ntitel = "x"\n#',
     "titel", "key 'titel' outside any table"),
    ("dotted key", 'size = [40, 30]', 'size = [40, 30]\nextra.width = 1', "extra.width", "menu has no key 'extra'"),
    ("file name with a line break", 'picture = "menu.bmp"', 'picture = "menu\\nold.bmp"', None,
     "menu.picture must be a file name beside the brand file, not \"menu\\u000Aold.bmp\""),
    ("inline table", 'size = [40, 30]\ncursor = "hand.cur"', 'size = [40, 30]\ncursor = "hand.cur"\nx = {a = 1}',
     "x = {a = 1}", "menu has no key 'x'"),
    ("implicit [about] from its controls", '[about]\ntitle = "About"\nsize = [100, 80]\nbackground = "#000000"\n',
     "", "[[about.control]]  # logo", "[about] needs title, size, background"),
    # Keys and tables
    ("top-level key", "break one way at a time.", 'break one way at a time.\ntitel = "x"', "titel",
     "key 'titel' outside any table; a brand has [identity],"),
    ("unknown table", "[disc]", "[discs]\nx = 1\n\n[disc]", None,
     "unknown table [discs] (did you mean 'disc'?); a brand has [identity], [menu], [disc], [[zone]], [[page]], [about]"),
    ("unknown key", 'version = "1.2"', 'version = "1.2"\ncopyrigth = "1998"', "copyrigth",
     "identity has no key 'copyrigth' (did you mean 'copyright'?); it takes title,"),
    ("key of another action", 'url = "https://example.com/"', 'url = "https://example.com/"\nprogram = "a.exe"',
     'program = "a.exe"', "zone 4 (web): program is for install only"),
    ("missing key", 'company = "Example Co"\n', "", "[identity]", "[identity] needs company"),
    ("a header lost above its keys", "[identity]\n", "", 'title = "Test Launcher"',
     "keys 'title', 'product', 'company', 'version', 'icon' stand outside any table; they are keys of [identity]"),
    ("missing zone key", 'tooltip = "Website"\n', "", "# web", "zone 4 needs tooltip"),
    # Values
    ("string for a rect", "rect = [20, 15, 20, 15]", 'rect = "20, 15, 20, 15"', None,
     "zone 4 (web).rect must be [left, top, width, height] in whole pixels"),
    ("number for a string", 'title = "About"', "title = 5", None, "[about].title must be a non-empty text"),
    ("a date for an action", 'action = "web"', "action = 1979-05-27", None,
     "zone 4: action must be one of open, install, web, about, quit, explore, page, back, not a date or time"),
    ("zone partly outside", "rect = [20, 15, 20, 15]", "rect = [21, 15, 22, 15]", None,
     "zone 4 runs 3 px past the right edge of the 40x30 menu picture (rect [21, 15, 22, 15])"),
    ("control entirely outside", "rect = [60, 40, 90, 90]", "rect = [100, 40, 90, 90]", None,
     "about control 3 lies wholly outside the 100x80 About window"),
    ("a window too small for its controls", "size = [100, 80]", "size = [10, 8]", None,
     "[about].size is 10x8, and 2 controls lie wholly outside it (about control 2, about control 3)"),
    ("unknown action; the zone keeps its name for the keys and languages",
     ('tooltip = "Website"\naction = "web"', "size = [40, 30]", "[language.fr.zone.manual]"),
     ('name = "web"\ntooltip = "Website"\naction = "website"',
      'size = [40, 30]\nkeyboard = true\nfocus_order = ["web"]',
      '[language.fr.zone.web]\ntooltip = "Site"\n[language.fr.zone.manual]'), 'action = "website"',
     'zone web: action must be one of open, install, web, about, quit, explore, page, back, not "website" '
     '(did you mean \'web\'?)'),
    ("misspelt key, not missing too", 'tooltip = "Website"', 'tooltp = "Website"', None,
     "zone 4 (web) has no key 'tooltp' (did you mean 'tooltip'?); it takes name, rect, tooltip, action, url, then"),
    ("a header lost above its keys, under another table", "[disc]\n", "", 'probe_page = "probe.htm"',
     "they are keys of [disc]: is its header missing above them?"),
    ("unknown message", 'label = "Test Disc"', 'label = "Test Disc"\n\n[messages]\nfile_not_fund = "Gone"',
     "file_not_fund", "messages has no key 'file_not_fund' (did you mean 'file_not_found'?)"),
    ("line break in a one-line text", 'company = "Example Co"', 'company = "Example\\nCo"', None,
     "identity.company holds the character U+000A; it takes one line, no control characters"),
    ("NUL in a text", 'tooltip = "Website"', 'tooltip = "Web\\u0000site"', None, "holds the character U+0000"),
    ("noncharacter", 'product = "Test Launcher"', 'product = "Test\\uFFFFLauncher"', None,
     "holds the character U+FFFF"),
    ("a text too long", 'company = "Example Co"', 'company = "%s"' % ("x" * 40000), None,
     "identity.company has 40000 characters; at most 256 fit"),
    ("other scripts' digits", 'version = "1.2"', 'version = "\u0661.\u0662"', None,
     'a version "MAJOR[.MINOR[.PATCH[.BUILD]]]" of numbers 0 to 65535'),
    ("exe name with a space", 'version = "1.2"', 'version = "1.2"\nexe = "Test Setup.exe"', "exe =",
     "a file name ending .exe, of A-Z a-z 0-9 _ . - (no spaces"),
    ("label too long", 'label = "Test Disc"', 'label = "%s"' % ("L" * 33), None, "at most 32 characters"),
    ("label ending in a space", 'label = "Test Disc"', 'label = "Test Disc "', None, "autorun.inf drops them"),
    ("label outside the first plane", 'label = "Test Disc"', 'label = "Disc \U0001F4BF"', None,
     "none outside Unicode's first plane"),
    ("question title with an empty question",
     'question = """Install it?\n\n[[zone]] is not a header in here either."""',
     'question_title = "Sure?"\nquestion = ""', 'question = ""',
     "zone setup (install).question must be a non-empty text"),
    ("a wrong question a language translates",
     ('question = """Install it?\n\n[[zone]] is not a header in here either."""', '[language.fr.zone.manual]'),
     ('question = 5', '[language.fr.zone.setup]\nquestion = "Installer ?"\n[language.fr.zone.manual]'),
     "question = 5", "zone setup (install).question must be a non-empty text"),
    ("key given twice in a zone, after a text of many lines", 'program = "setup/setup.exe"',
     'program = "setup/setup.exe"\nquestion = """Only\nthis"""', 'question = """Only',
     "'question' is given twice, first at line %d" % (MAIN.split("\n").index('question = """Install it?') + 1)),
    ("probe page not among the disc files", 'probe_page = "probe.htm"', 'probe_page = "web/probe.htm"\nfiles = "disc"',
     None, "disc.probe_page: web\\probe.htm is not in the disc files folder (disc): the launcher opens this small "
     "HTML page to learn which program is the web browser", {"disc/Web/other.htm": b"x"}),
    # URLs and disc paths
    ("ftp url", 'url = "https://example.com/"', 'url = "ftp://example.com/"', None,
     "must be a URL starting http://, https:// or mailto:"),
    ("url without a host", 'url = "https://example.com/"', 'url = "https://"', None, "with a host"),
    ("no-break space in a url", 'url = "https://example.com/"', 'url = "https://example.com/a\u00a0b"', None,
     "no spaces or quotes"),
    ("drive path", 'document = "docs/manual.pdf"', r"document = 'C:\manual.pdf'", None,
     "a path relative to the launcher's folder, not absolute"),
    ("path leaving the disc", 'program = "setup/setup.exe"', 'program = "setup/../../setup.exe"', None,
     "a path that stays on the disc (no ..)"),
    ("forbidden character", 'document = "docs/manual.pdf"', 'document = "docs/a?b.pdf"', None,
     "a path without ? (Windows forbids them)"),
    ("device name", 'program = "setup/setup.exe"', 'program = "aux/setup.exe"', None,
     "'aux' is a device name on Windows"),
    ("name longer than a disc holds", 'program = "setup/setup.exe"', 'program = "%s.exe"' % ("s" * 70), None,
     "a disc's names hold 64"),
    # Pictures, icon and cursor
    ("about without a window", ABOUT + LANGUAGES.split("[language.de.identity]")[0], "", 'action = "about"', 'an "about" zone needs an [about] window'),
    ("window never shown", 'action = "about"', 'action = "quit"', "[about]", "the [about] window is never shown"),
    ("missing picture", 'picture = "menu.bmp"', 'picture = "gone.bmp"', None,
     "menu.picture: no file gone.bmp beside the brand"),
    ("unreadable picture", 'picture = "menu.bmp"', 'picture = "junk.bmp"', None,
     "menu.picture: junk.bmp is not a BMP picture", {"junk.bmp": GARBAGE}),
    ("truncated JPEG", 'picture_2x = "menu-2x.jpg"', 'picture_2x = "cut.jpg"', None,
     "cut.jpg is not a whole, readable picture (cut short)", {"cut.jpg": picture_bytes("JPEG", (80, 60), cut=200)}),
    ("truncated BMP", 'picture = "menu.bmp"', 'picture = "cut.bmp"', None,
     "cut.bmp is not a whole, readable picture", {"cut.bmp": picture_bytes("BMP", cut=100)}),
    ("a header claiming a huge picture", 'picture = "menu.bmp"', 'picture = "huge.png"', None,
     "huge.png is 40000x40000; pictures here may be at most 4000x4000", {"huge.png": png(40000, 40000, 8, b"\0")}),
    ("transparent menu picture", 'picture = "menu.bmp"', 'picture = "clear.png"', None,
     "clear.png has transparent pixels", {"clear.png": picture_bytes("PNG", mode="RGBA")}),
    ("picture not the menu's size", "size = [40, 30]", "size = [40, 32]", 'picture = "menu.bmp"',
     "menu.picture is 40x30 but menu.size says 40x32"),
    ("2x not twice", 'file_2x = "logo-2x.jpg"', 'file_2x = "menu-2x.jpg"', None,
     "file_2x is 80x60; it must be exactly twice about control 1 file, 60x40"),
    ("icon garbage", 'icon = "app.ico"', 'icon = "junk.ico"', None, "junk.ico is not a .ico file",
     {"junk.ico": GARBAGE}),
    ("icon cut short", 'icon = "app.ico"', 'icon = "short.ico"', None, "runs past the end",
     {"short.ico": TRUNCATED_ICON}),
    ("icon of noise", 'icon = "app.ico"', 'icon = "noise.ico"', None, "holds an image that is not readable",
     {"noise.ico": bytes(NOISY_ICON)}),
    ("icon too short for a directory", 'icon = "app.ico"', 'icon = "tiny.ico"', None, "is too short to be a .ico",
     {"tiny.ico": b"\0\0"}),
    ("non-square PNG icon", 'icon = "app.ico"', 'icon = "wide.png"', None, "an icon must be square",
     {"wide.png": picture_bytes("PNG", (32, 16))}),
    ("PNG cursor without a hotspot", 'cursor = "hand.cur"', 'cursor = "hand.png"', None,
     "a PNG cursor needs cursor_hotspot", {"hand.png": picture_bytes("PNG", (48, 48), mode="RGBA")}),
    ("hotspot outside the cursor", 'cursor = "hand.cur"', 'cursor = "hand.png"\ncursor_hotspot = [48, 0]',
     "cursor_hotspot", "menu.cursor_hotspot [48, 0] lies outside the 48x48 cursor",
     {"hand.png": picture_bytes("PNG", (48, 48), mode="RGBA")}),
    ("cursor that is a folder", 'cursor = "hand.cur"', 'cursor = "cursors"\ncursor_hotspot = [1, 1]', None,
     "menu.cursor: cursors is a folder; name a file in it", {"cursors/hand.cur": b""}),
    ("a picture's name the build cannot track", 'picture = "menu.bmp"', 'picture = "a;b.bmp"', None,
     "menu.picture: the build cannot track changes to a;b.bmp: its dependency files cannot hold ; in a name; "
     "rename the file a;b.bmp", {"a;b.bmp": picture_bytes("BMP")}),
    ("hotspot with a .cur", 'cursor = "hand.cur"', 'cursor = "hand.cur"\ncursor_hotspot = [1, 1]',
     "cursor_hotspot", "menu.cursor_hotspot goes with a PNG cursor"),
    # The menu lit and pressed, the keyboard, then
    ("hover not the menu's size, beside a right 2x", "size = [40, 30]",
     'size = [40, 30]\nhover = "logo.jpg"\nhover_2x = "menu-2x.jpg"', 'hover =',
     "menu.hover is 30x20; it must be the menu's size, 40x30"),
    ("pressed 2x not twice", "size = [40, 30]", 'size = [40, 30]\npressed = "menu.bmp"\npressed_2x = "logo-2x.jpg"',
     "pressed_2x", "menu.pressed_2x is 60x40; it must be exactly twice menu.pressed, 80x60"),
    ("hover 2x alone", "size = [40, 30]", 'size = [40, 30]\nhover_2x = "menu-2x.jpg"', "hover_2x",
     "menu.hover_2x needs menu.hover"),
    ("focus order without the keyboard", "size = [40, 30]", 'size = [40, 30]\nfocus_order = ["manual"]',
     "focus_order", "menu.focus_order goes with keyboard = true"),
    ("focus order naming no zone", "size = [40, 30]", 'size = [40, 30]\nkeyboard = true\nfocus_order = ["Zone9"]',
     "focus_order", 'no zone is named "Zone9" (did you mean \'Zone4\'?); the zones are manual, setup, Zone3, Zone4'),
    ("focus order naming a zone twice", "size = [40, 30]",
     'size = [40, 30]\nkeyboard = true\nfocus_order = ["setup", "Setup"]', "focus_order", 'names zone "Setup" twice'),
    ("focus order of numbers", "size = [40, 30]", 'size = [40, 30]\nkeyboard = true\nfocus_order = [1, 2]',
     "focus_order", "menu.focus_order must be a list of zone names"),
    ("then on an about zone", 'action = "about"', 'action = "about"\nthen = "quit"', 'then =',
     "then is for open and install and web only"),
    ("then other than quit", 'url = "https://example.com/"', 'url = "https://example.com/"\nthen = "close"', 'then =',
     'zone 4 (web).then must be "quit", not "close"'),
    # Languages
    ("a translated label without its own rect (found by the fuzzer)", "rect = [10, 50, 60, 12]\n", "",
     "[[about.control]]  # mail", "about control 2 needs rect"),
    ("unknown language tag", "[language.fr.zone.manual]", "[language.fr-XX.zone.manual]", None,
     "[language.fr-XX]: \"fr-XX\" is not a language tag Windows knows (did you mean 'fr'?)"),
    ("tag with an underscore", "[language.fr.zone.manual]", "[language.pt_BR.zone.manual]", None,
     "(did you mean 'pt-BR'?)"),
    ("right-to-left language", "[language.fr.zone.manual]", "[language.he.zone.manual]", None,
     "is written right to left, which the launcher does not lay out"),
    ("right-to-left own language", 'version = "1.2"', 'version = "1.2"\nlanguage = "ar"', "language =",
     "identity.language: \"ar\" is written right to left"),
    ("the brand's own language again", "[language.fr.zone.manual]", "[language.EN.zone.manual]", None,
     "[language.EN] is the brand's own language (identity.language, en by default)"),
    ("one language twice", "[language.fr.zone.manual]", "[language.DE.zone.manual]", None,
     "[language.DE] is given twice: [language.de] at line"),
    ("unknown zone", "[language.de.zone.manual]", "[language.de.zone.manuel]", None,
     "language de zone: the brand has none named \"manuel\" (did you mean 'manual'?); it has manual, setup,"),
    ("zone by position", "[language.de.zone.manual]", "[[language.de.zone]]", None,
     "language de zone must be tables named after the brand's"),
    ("unknown control", "[language.de.about.control.Label2]", "[language.de.about.control.Mail]", None,
     "language de about control: the brand has none named \"Mail\""),
    ("unknown table of a language", "[language.de.menu]", "[language.de.menus]", None,
     "language de has no table 'menus' (did you mean 'menu'?)"),
    ("unknown key of a language", 'file_not_found = "Datei nicht gefunden"', 'file_not_fund = "Datei"', None,
     "language de messages has no key 'file_not_fund' (did you mean 'file_not_found'?)"),
    ("a key every language shares", 'tooltip = "Das Handbuch lesen"', "rect = [0, 0, 5, 5]", None,
     "language de zone manual: rect is the same in every language; a language gives tooltip, no_program"),
    ("a key of another action", 'tooltip = "Das Handbuch lesen"', 'question = "Lesen?"', None,
     "language de zone manual: question is for install only"),
    ("a text the brand lacks", 'tooltip = "Lire le manuel"', 'tooltip = "Lire"\n[language.fr.zone.setup]\n'
     'question_title = "Installer"', "question_title",
     "language fr zone setup: the brand has no question_title of its own"),
    ("a language's text of the wrong kind", 'title = "Test-Starter"', "title = 5", None,
     "language de identity.title must be a non-empty text"),
    ("a language's picture of another size", 'picture = "menu-de.bmp"', 'picture = "logo.jpg"', None,
     "language de menu.picture is 30x20; the brand's picture is 40x30"),
    ("a language's 2x alone", 'picture = "menu-de.bmp"', 'picture_2x = "menu-2x.jpg"  # alone', None,
     "language de menu gives picture_2x but not picture"),
    ("a language's missing picture", 'picture = "menu-de.bmp"', 'picture = "gone.bmp"', None,
     "language de menu.picture: no file gone.bmp beside the brand file"),
    ("a language's unknown page", "[language.de.page.tools]", "[language.de.page.tool]", None,
     "language de page: the brand has none named \"tool\" (did you mean 'tools'?)"),
    # Pages and conditions
    ("unknown hive", 'when = { file = "tools/ready.txt" }', "when = { registry = 'HKCR\\Example' }", None,
     'page 1.when.registry: "HKCR" is no hive the launcher reads; it reads HKLM (HKEY_LOCAL_MACHINE) and HKCU'),
    ("malformed key", 'when = { file = "tools/ready.txt" }', "when = { registry = 'HKCU\\Example\\' }", None,
     "with no empty names (no \\\\ and no \\ at the end)"),
    ("key as a double-quoted escape", 'when = { file = "tools/ready.txt" }', 'when = { registry = "HKCU\\tExample" }',
     None, "holds the character U+0009; in double quotes a backslash starts an escape"),
    ("unknown architecture", 'unless = { architecture = "x86" }', 'unless = { architecture = ["x64", "amd64"] }',
     None, "unless.architecture: \"amd64\" is no architecture the launcher knows (did you mean 'arm64'?)"),
    ("unknown test", 'unless = { architecture = "x86" }', 'unless = { arch = "x86" }', None,
     "unless has no test 'arch' (did you mean 'architecture'?); it takes windows, architecture, file, registry"),
    ("value without a key", 'unless = { architecture = "x86" }', 'unless = { value = "Path" }', None,
     "unless.value goes with registry, and there is none"),
    ("view of another width", 'when = { file = "tools/ready.txt" }',
     "when = { registry = 'HKLM\\SOFTWARE\\A', view = 48 }", None, "when.view must be 32 or 64, not 48"),
    ("windows by name", 'when = { file = "tools/ready.txt" }', 'when = { windows = "Windows 10" }', None,
     'a Windows version "MAJOR.MINOR[.BUILD]": "6.1" is Windows 7'),
    ("condition not a table", 'unless = { architecture = "x86" }', 'unless = "x86"', None,
     "unless must be a table of tests"),
    ("page no page is named", 'url = "https://example.com/"', 'url = "https://example.com/"\n[[zone]]\n'
     'rect = [0, 0, 5, 5]\ntooltip = "T"\naction = "page"\npage = "tool"', 'page = "tool"',
     'zone Zone5: no page is named "tool" (did you mean \'tools\'?); the pages are menu, tools'),
    ("page opening itself", 'action = "back"', 'action = "page"\npage = "Tools"', 'page = "Tools"',
     "zone Zone7 opens the page it is on"),
    ("page never shown", 'when = { file = "tools/ready.txt" }\n', "", "[[page]]  # tools",
     'page tools is never shown: give a zone action = "page", page = "tools", or give the page a when'),
    ("page's picture of another size", 'picture = "page.bmp"', 'picture = "logo.jpg"', None,
     "page tools: picture is 30x20; a page is the menu's size, 40x30"),
    ("page's hover picture of another size", 'off = "page-off.bmp"', 'off = "page-off.bmp"\nhover = "logo.jpg"',
     "hover =", "page tools.hover is 30x20; it must be the menu's size, 40x30"),
    ("page without zones", "[[page.zone]]  # extras", "[[page.zon]]  # extras", None,
     "page 1 has no key 'zon'"),
    ("elevate on an open zone", 'document = "docs/manual.pdf"', 'document = "docs/manual.pdf"\nelevate = false',
     "elevate = false", "zone manual (open): elevate is for install only"),
    ("explore without a folder", 'folder = "extras"\n', "", "# extras", "page tools zone extras needs folder"),
]


class BrandTest(unittest.TestCase):
    def setUp(self):
        self.folder = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, self.folder)
        self.path = brand_folder(self.folder)

    def write(self, old="", new="", files=None):
        """The test brand with `old` replaced by `new` (or each of a tuple by its own)."""
        text = MAIN + PAGES + ABOUT + LANGUAGES
        for before, after in zip(*((old, new) if isinstance(old, tuple) else ((old,), (new,)))):
            if before:
                self.assertEqual(text.count(before), 1, before)
            text = text.replace(before, after)
        self.path.write_bytes(text.encode("utf-8", "surrogateescape"))  # \udcXX: a raw byte
        for name, data in (files or {}).items():
            (self.folder / name).parent.mkdir(parents=True, exist_ok=True)
            (self.folder / name).write_bytes(data)
        return text

    def test_good_brands_load(self):
        self.write()
        # The oval runs past the window's edge: allowed for About controls.
        self.assertEqual(load(str(self.path)).about.controls[2].rect, (60, 40, 90, 90))
        loaded = load(str(ROOT / "assets" / "brand.toml"))
        self.assertTrue(loaded.zones and loaded.about.controls)
        self.assertEqual(loaded.menu.focus, ())  # mouse only
        self.write("size = [40, 30]", 'size = [40, 30]\nhover = "menu.bmp"\nhover_2x = "menu-2x.jpg"\n'
                   'pressed = "menu.bmp"\nkeyboard = true\nfocus_order = ["Zone4", "Manual"]')
        self.assertEqual(load(str(self.path)).menu.focus, (3, 0))
        # What Windows editors write and publishers type: a byte-order mark,
        # CRLF lines, a path starting ./ and a Windows path in single quotes.
        text = self.write('program = "setup/setup.exe"', "program = './setup\\setup.exe'")
        self.path.write_bytes(b"\xef\xbb\xbf" + text.replace("\n", "\r\n").encode("utf-8"))
        self.assertEqual(load(str(self.path)).zones[1].program, "setup\\setup.exe")

    def test_languages_say_what_they_translate_and_what_will_not_fit(self):
        self.write('text = "Schreiben Sie uns"', 'text = "Schreiben Sie uns bitte eine lange Nachricht"')
        loaded = load(str(self.path))
        self.assertEqual([tag for tag, _ in loaded.languages], ["en", "de", "fr"])
        # Title and description, 10 zone texts (a default no_program and arguments among them), the
        # About title, the label's text and tip, and 14 messages; after the warning that no zone quits.
        self.assertEqual(loaded.warnings[1:], [
            "%s:100: warning: language de about control Label2: the text needs 5 lines and the label "
            "(rect [10, 50, 60, 12]) holds 1; its end will be cut off" % self.path,
            "%s: languages: en (the brand's own), de 4 of 29 texts, fr 1 of 29 texts" % self.path])
        # What the brand's own text needs is what fits, even past its rectangle.
        self.write('text = "Mail us"', 'text = "Mail us, we will answer"')
        self.assertEqual(len(load(str(self.path)).warnings), 2)

    def test_each_mistake_is_one_line_at_its_place(self):
        for what, old, new, at, fragment, *files in ROWS:
            with self.subTest(what):
                text = self.write(old, new, files[0] if files else None)
                marker = at or (new[0] if isinstance(new, tuple) else new).splitlines()[0]
                lines = [n for n, line in enumerate(text.split("\n"), 1) if marker in line]
                self.assertEqual(len(lines), 1, "marker %r" % marker)
                with self.assertRaises(BrandError) as caught:
                    load(str(self.path))
                message = str(caught.exception)
                self.assertEqual(len(message.splitlines()), 1, message)
                self.assertTrue(message.startswith("%s:%d: " % (self.path, lines[0])), message)
                self.assertIn(fragment, message)

    def test_readmes_minimal_brand_loads_from_pngs_alone(self):
        readme = (ROOT / "README.md").read_text(encoding="utf-8")
        self.path.write_text(readme.split("A minimal brand", 1)[1].split("```toml\n", 1)[1].split("```", 1)[0])
        Image.new("RGB", (480, 320), (20, 40, 60)).save(self.folder / "menu.png")
        Image.new("RGBA", (64, 64), (20, 40, 60, 255)).save(self.folder / "atlas.png")
        (self.folder / "disc").mkdir()
        loaded = load(str(self.path))
        self.assertEqual([z.action for z in loaded.zones], ["open", "install", "web"])
        self.assertEqual(len(loaded.warnings), 1)  # no quit zone
        self.assertTrue(loaded.menu.cursor.endswith("hand.cur"))
        self.assertEqual((loaded.disc.probe_page, loaded.disc.own_probe_page), ("probe.htm", False))
        # And with its example of languages.
        with open(self.path, "a", encoding="utf-8") as f:
            f.write(readme.split("### Languages", 1)[1].split("```toml\n", 1)[1].split("```", 1)[0])
        Image.new("RGB", (480, 320), (60, 40, 20)).save(self.folder / "menu-de.png")
        Image.new("RGB", (960, 640), (60, 40, 20)).save(self.folder / "menu-de-2x.png")
        loaded = load(str(self.path))
        self.assertEqual([tag for tag, _ in loaded.languages], ["en", "de", "fr"])
        self.assertIn("de 5 of 20 texts, fr 1 of 20 texts", loaded.warnings[-1])
        # And with its example of pages.
        with open(self.path, "a", encoding="utf-8") as f:
            f.write(readme.split("### Several products", 1)[1].split("```toml\n", 1)[1].split("```", 1)[0])
        for name in ("atlas-page.png", "atlas-off.png"):
            Image.new("RGB", (480, 320), (60, 40, 20)).save(self.folder / name)
        loaded = load(str(self.path))
        self.assertEqual([p.name for p in loaded.pages], ["atlas"])
        self.assertEqual([z.on_page for z in loaded.zones], [0, 0, 0, 0, 1, 1, 1, 1])

    def test_readme_key_table_is_the_checkers(self):
        readme = (ROOT / "README.md").read_text(encoding="utf-8")
        shown = readme.split("<!-- keys -->\n", 1)[1].split("<!-- /keys -->", 1)[0]
        self.assertEqual(shown, markdown(), "run python3 -m tools.brand keys and paste its table")

    def test_generate_leaves_nothing_behind_a_mistake(self):
        self.write()
        out, depfile = self.folder / "out", self.folder / "brand.d"
        good = brand_tool("generate", self.path, out, depfile)
        self.assertEqual(good.returncode, 0, good.stderr)
        self.assertIn("logo-2x.jpg", depfile.read_text())  # a changed picture rebuilds

        text = self.write('size = [40, 30]', 'size = [40, 32]')
        bad = brand_tool("generate", self.path, out, depfile)
        self.assertEqual(bad.returncode, 1)
        line = text.splitlines().index('picture = "menu.bmp"') + 1
        self.assertEqual(bad.stderr, "%s:%d: menu.picture is 40x30 but menu.size says 40x32\n" % (self.path, line))
        for name in ("Data.h", "Data.rc", "Startboard.manifest"):
            self.assertFalse((out / "brand" / name).exists(), name)
        self.assertFalse(depfile.exists())

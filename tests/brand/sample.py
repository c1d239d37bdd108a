"""The test brand the brand suites share, in a folder with its pictures,
and what they run: the brand tool as the build runs it, and a C++ program
that prints texts from the generated tables."""
import shutil
import struct
import subprocess
import sys
import zlib
from pathlib import Path

from PIL import Image

ROOT = Path(__file__).resolve().parents[2]

# A small brand with every kind of zone and control. The array headers carry
# comments so a row can name the header a missing key is reported at.
MAIN = '''# A brand the tests break one way at a time.
[identity]
title = "Test Launcher"
product = "Test Launcher"
company = "Example Co"
version = "1.2"
icon = "app.ico"

[menu]
picture = "menu.bmp"
picture_2x = "menu-2x.jpg"
size = [40, 30]
cursor = "hand.cur"

[disc]
probe_page = "probe.htm"
label = "Test Disc"

[[zone]]  # manual
name = "manual"
rect = [0, 0, 20, 15]
tooltip = "Read the manual"
action = "open"
document = "docs/manual.pdf"

[[zone]]  # setup
name = "setup"
rect = [20, 0, 20, 15]
tooltip = "Install"
action = "install"
question = """Install it?

[[zone]] is not a header in here either."""
program = "setup/setup.exe"

[[zone]]  # about
rect = [0, 15, 20, 15]
tooltip = "About"
action = "about"

[[zone]]  # web
rect = [20, 15, 20, 15]
tooltip = "Website"
action = "web"
url = "https://example.com/"
'''
# A page that opens first where a file is on the disc, with an install zone
# asking for rights and one only on 64-bit Windows.
PAGES = '''
[[page]]  # tools
name = "tools"
picture = "page.bmp"
off = "page-off.bmp"
when = { file = "tools/ready.txt" }

[[page.zone]]  # extras
name = "extras"
rect = [0, 0, 20, 15]
tooltip = "Extras"
action = "explore"
folder = "extras"
unless = { architecture = "x86" }

[[page.zone]]  # tool
rect = [20, 0, 20, 15]
tooltip = "Tool"
action = "install"
program = "tools/setup.exe"
arguments = "/quiet"
elevate = true

[[page.zone]]  # back
rect = [0, 15, 20, 15]
tooltip = "Back"
action = "back"
'''
ABOUT = '''
[about]
title = "About"
size = [100, 80]
background = "#000000"

[[about.control]]  # logo
kind = "picture"
rect = [0, 0, 30, 20]
file = "logo.jpg"
file_2x = "logo-2x.jpg"
background = "#FFFFFF"

[[about.control]]  # mail
kind = "label"
rect = [10, 50, 60, 12]
text = "Mail us"
colour = "#FFFFFF"
url = "mailto:help@example.com"
tooltip = "Send mail"

[[about.control]]  # oval
kind = "oval"
rect = [60, 40, 90, 90]
colour = "#FFFFFF"
'''
# Two languages beside the brand's own English; zones and controls by name.
LANGUAGES = '''
[language.de.about.control.Label2]
text = "Schreiben Sie uns"

[language.de.identity]
title = "Test-Starter"

[language.de.menu]
picture = "menu-de.bmp"

[language.de.zone.manual]
tooltip = "Das Handbuch lesen"

[language.de.messages]
file_not_found = "Datei nicht gefunden"

[language.fr.zone.manual]
tooltip = "Lire le manuel"

[language.de.page.tools]
off = "menu-de.bmp"
'''
PRINTER = r'''#include <cstdio>
#include "brand/Data.h"
using namespace startboard::brand;
static void Put(std::string_view text) { std::fwrite(text.data(), 1, text.size(), stdout); std::fputc(0, stdout); }
int main() {
  Put(kTitle);
  Put(kZones[1].tooltip);
  Put(kZones[1].click.question);
  Put(kZones[1].click.questionTitle);
  return kAboutControls[2].outline.has_value() ? 1 : 0;
}
'''


def brand_folder(folder):
    """The test brand's pictures, icon and cursor in `folder`; the brand file's path there."""
    for name, size in (("menu.bmp", (40, 30)), ("menu-de.bmp", (40, 30)), ("page.bmp", (40, 30)),
                       ("page-off.bmp", (40, 30)), ("menu-2x.jpg", (80, 60)), ("logo.jpg", (30, 20)),
                       ("logo-2x.jpg", (60, 40))):
        Image.new("RGB", size, (200, 40, 40)).save(folder / name)
    shutil.copy(ROOT / "assets" / "startboard.ico", folder / "app.ico")
    shutil.copy(ROOT / "assets" / "hand.cur", folder / "hand.cur")
    return folder / "brand.toml"


def png(width, height, depth, rows):
    """An RGB PNG whose header says width x height, `depth` bits a channel;
    `rows` its filtered rows, a stub or none."""
    chunks = [(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, 2, 0, 0, 0)), (b"IDAT", zlib.compress(rows)),
              (b"IEND", b"")]
    return b"\x89PNG\r\n\x1a\n" + b"".join(struct.pack(">I", len(data)) + kind + data +
                                          struct.pack(">I", zlib.crc32(kind + data)) for kind, data in chunks)


def brand_tool(*arguments):
    """python3 -m tools.brand ARGUMENTS, from the repository's root, as the build runs it."""
    return subprocess.run([sys.executable, "-m", "tools.brand", *map(str, arguments)], cwd=ROOT,
                          capture_output=True, text=True)

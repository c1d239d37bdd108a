"""The launcher as a user meets it under Wine: its windows, pictures,
pointer and tips, every click and its effect, at 96 dpi and above."""
import os
import re
import subprocess
import time
from pathlib import Path

import pefile
import pytest
from PIL import Image, ImageChops

from harness import (APP_TITLE, DISC, FOCUSABLE, RECORDER, STANDIN_TITLE, art, asset, expect, expect_equal,
                     expect_start, focused_children, hand, matching, px)
from tools.wine.wine import remove_tree, wait_for

READER = ("Install Adobe Acrobat Reader?", "You need the Adobe Acrobat Reader software to view the online User "
          "Manual from this CD-ROM.\r\n\r\nDo you wish to continue?")
PRODUCT = ("Install Norvane 98?", "This installation of Norvane 98 runs as a standalone product.  After you "
           "evaluate and purchase it, you will be able to unlock all of its features, and even network it "
           "across the LAN.\r\n\r\nDid you read, understand and ACCEPT the Disclaimer?")
NO_READER = "You need to install the Adobe Acrobat Reader 3.0 to view the User Manual."
NO_BROWSER = "Can't launch your web browser. Please install a web browser."
STANDINS = {"reader": "Adobe Acrobat Reader 3.01 setup would run here.",
            "standalone": "Norvane 98 setup would run here."}

# What the user sees, in twips (left, top, width, height), 15 to a pixel at 96 dpi.
ZONES = {  # the menu's click zones and their tips
    "manual": ((3510, 45, 3885, 2295), "View the User Manual"),
    "about": ((930, 2640, 9150, 2580), "Find out about Norvane 98"),
    "reader": ((60, 5280, 2235, 2835), "Install Adobe Acrobat Reader 3.01"),
    "product": ((2745, 5295, 5115, 2820), "About/Install the standalone package"),
    "quit": ((8400, 5070, 2430, 3045), "Quit the Startboard"),
}
QUIT_OVER_LOGO, NO_ZONE = (9000, 5145), [(150, 150), (10500, 1500), (2550, 6750)]
LINKS = [  # the About window's links: a point on the text, the right edge, the tip, the URL
    ((5280, 5460), 6585, "Visit the Quillmere Software Website", "http://www.quillmere.example.com"),
    ((900, 5175), 2175, "Visit the Norvane 98 Website", "http://nv98.example.net"),
    ((900, 5925), 2355, "Send email to Norvane 98 Technical Support", "mailto:help@nv98.example.com"),
]
WHITE, BLACK, CYAN, BLUE = 0xFFFFFF, 0x000000, 0xC0FFFF, 0x0000FF
LABELS = [  # twips, text, background, text colour, bold, underlined
    ((150, 2880, 2685, 510), "Pay-per-Incident Technical Support: (900) 555-0147", BLACK, WHITE, 0, 0),
    ((150, 3510, 2805, 510), "Toll-Free Sales and Registration Info: (800) 555-0163", BLACK, WHITE, 0, 0),
    ((150, 4815, 1830, 255), "Visit us on the web", BLACK, WHITE, 0, 0),
    ((150, 5055, 2025, 255), "http://nv98.example.net", BLACK, CYAN, 0, 1),
    ((3990, 5355, 2595, 225), "\u00a9 1998 Quillmere Software", WHITE, BLUE, 1, 1),
    ((150, 5565, 2325, 255), "Free e-mail technical support", BLACK, WHITE, 0, 0),
    ((4215, 5625, 2880, 255), "1200 Larkspur Avenue, Suite 300", WHITE, BLACK, 0, 0),
    ((150, 5805, 2205, 255), "help@nv98.example.com", BLACK, CYAN, 0, 1),
    ((4245, 5850, 2880, 255), "Fairhaven, OR 97099", WHITE, BLACK, 0, 0),
]
ROLE_CLIENT, ROLE_LINK = 0x0A, 0x1E  # Active Accessibility's roles
WS_POPUP, WS_CAPTION, WS_SYSMENU, WS_FRAMES = 0x80000000, 0x00C00000, 0x00080000, 0x00070000
WS_EX_DLGMODALFRAME, WS_EX_TOPMOST, WS_EX_APPWINDOW = 0x1, 0x8, 0x40000


def box_of(twips, dpi):
    """A rectangle in twips in pixels (left, top, right, bottom), each edge rounded on its own."""
    left, top, width, height = twips
    return px(left, dpi), px(top, dpi), px(left + width, dpi), px(top + height, dpi)


def point(twips, dpi):
    return px(twips[0], dpi), px(twips[1], dpi)


def centre(name, dpi):
    left, top, right, bottom = box_of(ZONES[name][0], dpi)
    return (left + right) // 2, (top + bottom) // 2


def expect_placed(window, twips, dpi, what):
    """The client area is `twips` in size at the dpi, and the window is centred in the work area."""
    expect_equal(window.size(), box_of(twips, dpi)[2:], what + " client size")
    (left, top, right, bottom), work = window.rect, window.work
    expect_equal((left, top), ((work[0] + work[2] - right + left) // 2, (work[1] + work[3] - bottom + top) // 2),
                 what + " position (centred in the work area)")


def expect_disclaimer(record, root):
    """The text viewer got the short (8.3) path of the disc's disclaimer."""
    viewer, path = (record.arguments() + ["", ""])[:2]
    expect(viewer == RECORDER and all(re.match(r"^[^ .]{1,8}(\.[^ .]{1,3})?$", part) for part in path.split("\\")[1:]),
           "the disclaimer is not opened by its short path: %r" % record)
    expect_equal(record.long_path.lower(), (root + "disclaim.txt").lower(), "file the short path names")


def expect_box(t, title, text, owner, buttons=("OK",)):
    """The box the user sees: its text, buttons, owner, and no icon."""
    box = t.box(title)
    expect_equal((box.text, [b.replace("&", "") for b in box.buttons], box.icon, box.owner),
                 (text, list(buttons), False, owner.hwnd), "box titled %r" % title)
    return box


def expect_installer(t, root, folder):
    box = t.box(STANDIN_TITLE)
    expect_equal(box.text, STANDINS[folder], "installer started")
    box.answer("OK")
    expect_start(t.records()[-1], [root + folder + "\\setup.exe"])


# --- The menu window ------------------------------------------------------------

@pytest.mark.dpi(120, 144, 192)  # at 96 dpi the publish suite sees it after make run
def test_menu_window_is_the_picture_centred_and_alt_f4_closes_it(t):
    main = t.launcher()
    expect_placed(main, (0, 0, 10875, 8160), t.dpi, "menu window")
    expect_equal((main.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_FRAMES), main.rect, main.owner),
                 (WS_POPUP | WS_SYSMENU, main.client, 0), "a borderless window of its own")
    expect_equal((main.exstyle & (WS_EX_APPWINDOW | WS_EX_TOPMOST), main.foreground), (WS_EX_APPWINDOW, True),
                 "a task-bar button, in front")
    shot = main.shot()
    t.save(shot, "menu")
    share = matching(shot, art("menu-2x.jpg", shot.size), 6)  # resized: decoders differ by a few levels
    expect(share > 0.99, "the menu picture matches %.2f%%" % (100 * share))
    main.key("alt+F4")
    expect_equal(t.exit_code(), 0, "exit code after Alt+F4")


@pytest.mark.dpi(96, 120, 144, 192)
def test_pointer_and_tips_show_where_a_click_counts(t):
    main = t.launcher()
    main.move((-40, -40))
    time.sleep(0.3)
    arrow = t.cursor()
    for name, (twips, tip) in ZONES.items():
        expect(t.pointer_is(main, centre(name, t.dpi), hand(t.dpi)), "no hand over %s" % name)
        expect(t.tooltip(tip), "no tip %r over %s" % (tip, name))
    left, top, right, bottom = box_of(ZONES["manual"][0], t.dpi)
    middle = ((left + right) // 2, (top + bottom) // 2)
    for spot, shape in (((left, middle[1]), hand(t.dpi)), ((left - 1, middle[1]), arrow),
                        ((right - 1, middle[1]), hand(t.dpi)), ((right, middle[1]), arrow),
                        ((middle[0], bottom - 1), hand(t.dpi)), ((middle[0], bottom), arrow)):
        expect(t.pointer_is(main, spot, shape), "at the manual zone's edge %s the pointer is not %s" % (spot, shape))
    for spot in NO_ZONE:
        expect(t.pointer_is(main, point(spot, t.dpi), arrow), "no arrow at %s" % (spot,))
        main.click(point(spot, t.dpi))  # does nothing
    main.drag(centre("manual", t.dpi), centre("about", t.dpi))  # pressed in one, released in another
    time.sleep(0.7)
    shown = {w["class"] for w in t.wine.call("windows")["windows"] if w["pid"] == t.pid}
    expect_equal((shown - {"tooltips_class32"}, t.records()), ({"StartboardMain"}, []), "windows and programs")
    main.click(point(QUIT_OVER_LOGO, t.dpi))  # in both the logo's zone and Quit's, in front
    expect_equal(t.exit_code(), 0, "exit code after Quit")


def test_menu_takes_no_keys_lights_nothing_and_stays(t):
    main = t.launcher()
    main.move((-40, -40))
    time.sleep(0.3)
    plain = main.shot()
    for keys in ("Tab", "Right", "Down", "shift+Tab", "Left", "Return", "space", "Escape"):
        main.key(keys)
    time.sleep(0.5)
    expect(main.shot().tobytes() == plain.tobytes(), "the menu's pixels changed after Tab, arrows, Enter, Escape")
    t.no_box()
    expect_equal((main.fresh().visible, main.fresh().foreground, t.records()), (True, True, []),
                 "the menu stays in front and runs nothing")
    main.key("alt+F4")
    expect_equal(t.exit_code(), 0, "exit code after Alt+F4")


def test_a_click_opens_once_even_doubled_or_says_why_not(t):
    main = t.launcher()
    main.click(centre("manual", 96))
    expect_start(t.records(1)[0], [RECORDER, DISC + "manual\\manual.pdf"])
    t.settle()
    main.click(centre("manual", 96), count=2)  # a double click is one click, on a link too
    main.click(centre("about", 96))
    t.about().click(point(LINKS[2][0], 96), count=2)
    t.records(3)
    t.no_box()
    expect_equal(len(t.records()), 3, "programs started by a click and two double clicks")
    t.about().close()
    t.associate(pdf=False)
    main.click(centre("manual", 96))
    expect_box(t, APP_TITLE, NO_READER, main).answer("OK")
    os.remove(os.path.join(t.wine.host_path(DISC), "manual", "manual.pdf"))
    t.associate()
    main.click(centre("manual", 96))  # at once, on the same spot
    box = expect_box(t, APP_TITLE, "File not found", main)
    expect(not main.fresh().enabled, "the menu takes clicks under the box")
    main.click(centre("reader", 96))
    expect_equal([w["title"] for w in t.wine.call("windows")["windows"] if w["class"] == "#32770"], [APP_TITLE],
                 "boxes after a click on the menu under a box")
    box.answer("OK")
    expect(main.fresh().enabled, "the menu stays disabled after the box")
    # The About window's links say so in boxes over it, and it stays open.
    t.associate(htm=False)
    main.click(centre("about", 96))
    about = t.about()
    about.click(point(LINKS[0][0], 96))
    box = expect_box(t, APP_TITLE, NO_BROWSER, about)
    expect(not about.fresh().enabled, "the About window takes clicks under the box")
    box.answer("OK")
    t.associate(htm='"C:\\e2e\\no-such-program.exe" "%1"')
    about.click(point(LINKS[1][0], 96))
    expect_box(t, APP_TITLE, "Web page couldn't be opened", about).answer("OK")
    about = about.fresh()
    expect(about.visible and about.enabled and len(t.records()) == 3, "About closed, or a program started")


def test_reader_zone_asks_and_only_yes_installs(t):
    main = t.launcher()
    for dismiss in ("No", "Escape", "close"):  # every way but Yes means No
        main.click(centre("reader", 96))
        box = expect_box(t, *READER, main, ("Yes", "No"))
        if dismiss == "No":  # the zone's tip, due when the click came, stays away
            time.sleep(1)
            expect_equal(t.tips_shown(), [], "tips with the question up")
        box.answer(dismiss) if dismiss == "No" else box.key(dismiss) if dismiss == "Escape" else box.close()
        box.gone()
        t.no_box()
    expect_equal(t.records(), [], "programs started before Yes")
    main.click(centre("reader", 96))
    t.box(READER[0]).answer("Yes")
    expect_installer(t, DISC, "reader")


def test_product_zone_shows_the_disclaimer_then_asks(t):
    main = t.launcher()
    main.click(centre("product", 96))
    box = expect_box(t, *PRODUCT, main, ("Yes", "No"))
    expect_disclaimer(t.records(1)[0], DISC)  # opened before the question
    box.answer("No")
    t.no_box()
    os.remove(os.path.join(t.wine.host_path(DISC), "disclaim.txt"))
    t.settle()
    main.click(centre("product", 96))
    expect_box(t, *PRODUCT, main, ("Yes", "No")).answer("Yes")  # still asked without one
    expect_installer(t, DISC, "standalone")
    expect_equal(len(t.records()), 2, "programs started")


# --- The About window -----------------------------------------------------------

def expect_label(t, shot, label):
    """The label's text as shown, against the same text drawn by Windows with
    the label's font (MS Sans Serif 8.25 points), colours and box; and the
    text whole within that box."""
    twips, text, paper, ink, bold, underline = label
    left, top, right, bottom = box_of(twips, t.dpi)
    answer = t.wine.call("ink", "MS Sans Serif", -((825 * t.dpi + 3600) // 7200), 700 if bold else 400, underline,
                         right - left, bottom - top, ink, paper, text)
    # Whole in Wine's own face: a wider stand-in font cuts or wraps labels.
    expect(answer["face"] == "MS Sans Serif" and answer["needed"][0] <= right - left and
           answer["needed"][1] <= bottom - top, "%r needs %s px in %s, its label is %dx%d" % (
               text, answer["needed"], answer["face"], right - left, bottom - top))
    drawn = Image.frombytes("RGB", (right - left, bottom - top), bytes.fromhex(answer["pixels"]))
    right = min(right, shot.width)  # two labels run past the window's edge

    def inked(image):  # where a pixel is nearer the ink than the paper
        def distance(pixel, colour):
            return sum((a - (colour >> shift & 0xFF)) ** 2 for a, shift in zip(pixel, (16, 8, 0)))
        return [distance(pixel, ink) < distance(pixel, paper) for pixel in image.getdata()]
    shown, expected = inked(shot.crop((left, top, right, bottom))), inked(drawn.crop((0, 0, right - left, bottom - top)))
    wrong = sum(a != b for a, b in zip(shown, expected))
    expect(sum(expected) > 20 and wrong <= sum(expected) // 20, "%r drawn otherwise: %d of %d ink pixels differ" % (
        text, wrong, sum(expected)))


@pytest.mark.dpi(96, 120, 144, 192)
def test_about_window_shows_the_logos_texts_and_oval(t):
    main = t.launcher()
    main.click(centre("about", t.dpi))
    about = t.about()
    expect_equal((about.owner, about.title, main.fresh().enabled), (main.hwnd, "About...", False),
                 "About window owned by the disabled menu")
    expect_equal((about.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_FRAMES), about.exstyle & WS_EX_DLGMODALFRAME),
                 (WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME), "a fixed dialog frame with a close box")
    expect_placed(about, (0, 0, 6855, 6225), t.dpi, "About window")
    shot = about.shot()
    t.save(shot, "about")
    for name, box, one in (("product-logo", (1005, 240, 4590, 1950), ".bmp"),
                           ("maker-logo", (3960, 3645, 2760, 1380), ".jpg")):
        left, top, right, bottom = box_of(box, t.dpi)
        with Image.open(asset(name + one)) as natural:  # drawn at its natural size, cut by its box
            size = px(natural.width * 15, t.dpi), px(natural.height * 15, t.dpi)
        expected = art(name + one if t.dpi == 96 else name + "-2x.jpg", size).crop(
            (0, 0, min(size[0], right - left), min(size[1], bottom - top)))
        share = matching(shot.crop((left, top, left + expected.width, top + expected.height)), expected,
                         0 if t.dpi == 96 and one == ".bmp" else 12)
        expect(share > 0.97, "%s matches %.1f%%" % (name, 100 * share))
    for spot, colour in (((4500, 6000), (255, 255, 255)), ((450, 2400), (0, 0, 0)), ((6700, 3000), (255, 255, 255))):
        expect_equal(shot.getpixel(point(spot, t.dpi)), colour, "colour at %s (oval, background)" % (spot,))
    for label in LABELS:
        expect_label(t, shot, label)
    about.close()
    about.gone()
    expect(main.fresh().enabled, "the menu stays disabled after the About window")
    main.click(centre("about", t.dpi))  # it opens again
    t.about().close()


def open_about(t, main):
    """Clicks the product's logo: the About window, the pointer off it."""
    main.click(centre("about", t.dpi))
    about = t.about()
    about.move((-40, -40))
    time.sleep(0.3)
    return about


@pytest.mark.dpi(96, 120, 144, 192)
def test_about_links_show_a_hand_and_tip_and_open_the_browser(t):
    main = t.launcher()
    about = open_about(t, main)
    arrow = t.cursor()
    for count, (spot, right, tip, url) in enumerate(LINKS, start=1):
        x, y = point(spot, t.dpi)
        for edge, shape in ((px(right, t.dpi) - 1, hand(t.dpi)), (px(right, t.dpi), arrow)):
            expect(t.pointer_is(about, (edge, y), shape), "at (%d, %d), the edge of the link to %s, no %s" % (
                edge, y, url, shape))
        expect(t.pointer_is(about, (x, y), hand(t.dpi)), "no hand over %s" % url)
        expect(t.tooltip(tip), "no tip %r over %s" % (tip, url))
        about.click((x, y))
        expect_equal(t.records(count)[-1].command_line, '"%s" %s' % (RECORDER, url), "browser started")
        t.settle()
    for spot in ((1200, 5685), (5250, 4350)):  # plain text, the maker's logo
        expect(t.pointer_is(about, point(spot, t.dpi), arrow), "a hand at %s, where there is no link" % (spot,))


@pytest.mark.dpi(96, 144)
def test_about_window_answers_tab_enter_escape_and_a_screen_reader(t):
    main = t.launcher()
    about = open_about(t, main)
    time.sleep(1)  # the zone's tip, due when the click came, stays away
    expect_equal(t.tips_shown(), [], "tips with the About window up")
    plain = about.shot()
    # Reading order: the product's site, the maker's, the support address.
    links = [(LABELS[3], LINKS[1]), (LABELS[4], LINKS[0]), (LABELS[7], LINKS[2])]
    read = t.wine.call("acc", about.hwnd)
    expect_equal((read["role"], read["children"], read["focus"]),
                 (ROLE_CLIENT, [{"name": label[1], "role": ROLE_LINK, "state": FOCUSABLE} for label, _ in links], 0),
                 "the links as a screen reader reads them")
    for keys, focus in (("Tab", 1), ("shift+Tab", 3), ("Tab", 1), ("Tab", 2)):
        about.key(keys)
        shot = about.shot()
        left, top, right, bottom = box_of(links[focus - 1][0][0], t.dpi)
        changed = ImageChops.difference(plain, shot).getbbox()
        expect(changed is not None and left <= changed[0] and top <= changed[1] and changed[2] <= right
               and changed[3] <= bottom, "after %s only the frame round link %d changed: %s, not in %s" % (
                   keys, focus, changed, (left, top, right, bottom)))
        read = t.wine.call("acc", about.hwnd)
        expect_equal((read["focus"], focused_children(read)), (focus, [focus]), "the focused link after %s" % keys)
    about.key("Return")
    expect_equal(t.records(1)[-1].command_line, '"%s" %s' % (RECORDER, links[1][1][3]), "Enter opens the focused link")
    t.settle()
    wait_for(lambda: about.fresh().foreground, 5, "the About window is not in front after the browser")
    about.key("Escape")
    about.gone()
    expect(main.fresh().enabled, "the menu stays disabled after Escape")
    about = open_about(t, main)
    expect(about.shot().tobytes() == plain.tobytes(), "opened again, the About window shows a focus frame")
    # The close box, in the caption's right end, above the client area.
    left, top, right, _ = about.rect
    frame = about.client[0] - left
    caption = about.client[1] - top - frame
    t.xdotool("mousemove", right - frame - caption // 2, top + frame + caption // 2, "click", 1)
    about.gone()
    expect(main.fresh().enabled, "the menu stays disabled after the close box")


# --- Folders nobody planned for, and the disc itself ----------------------------

def click_through(t, root):
    """Every zone and link from a disc at `root`, answering Yes, then Quit."""
    main = t.launcher(root)
    main.click(centre("manual", 96))
    expect_start(t.records(1)[0], [RECORDER, root + "manual\\manual.pdf"])
    main.click(centre("reader", 96))
    t.box(READER[0]).answer("Yes")
    expect_installer(t, root, "reader")
    main.click(centre("product", 96))
    box = t.box(PRODUCT[0])
    expect_disclaimer(t.records(3)[2], root)  # read before answering: its viewer may start slowly
    box.answer("Yes")
    expect_installer(t, root, "standalone")
    main.click(centre("about", 96))
    about = t.about()
    for count, (spot, _, _, url) in enumerate(LINKS, start=5):
        about.click(point(spot, 96))
        expect_equal(t.records(count)[-1].command_line, '"%s" %s' % (RECORDER, url), "browser started")
        t.settle()
    about.close()
    about.gone()
    main.click(centre("quit", 96))
    expect_equal(t.exit_code(), 0, "exit code after Quit")


def test_from_greek_and_cjk_folders_and_a_drive_root_every_command_works_and_writes_nothing(t):
    t.wine.map_drive("e", t.wine.host_path(DISC))
    for root in (t.place_disc("C:\\\u0394\u03af\u03c3\u03ba\u03bf\u03c2 Norvane\\"),
                 t.place_disc("C:\\\u5149\u76d8 Norvane\\"), "E:\\"):
        folder = Path(t.wine.host_path(root if root.startswith("C:") else DISC))
        before = sorted((path, path.stat().st_size, path.stat().st_mtime_ns) for path in folder.rglob("*"))
        click_through(t, root)
        os.remove(t.wine.host_path(r"C:\e2e\record.log"))
        expect_equal(sorted((path, path.stat().st_size, path.stat().st_mtime_ns) for path in folder.rglob("*")),
                     before, "the files on the disc")


def test_the_image_runs_from_a_read_only_cd_drive(t):
    remove_tree(t.wine.cd)
    subprocess.run(["xorriso", "-osirrox", "on", "-indev", t.iso, "-extract", "/", t.wine.cd], check=True,
                   capture_output=True)
    subprocess.run(["chmod", "-R", "a-w", t.wine.cd], check=True)
    main = t.launcher("D:\\")
    main.click(centre("manual", 96))
    expect_start(t.records(1)[0], [RECORDER, "D:\\manual\\manual.pdf"])
    main.click(centre("quit", 96))
    expect_equal(t.exit_code(), 0, "exit code after Quit")


@pytest.mark.dpi(144)
def test_without_2x_pictures_it_enlarges_the_96_dpi_ones(t):
    # The product's own bytes, with its 2x pictures' resource names changed,
    # as a build from a picture set without them would be.
    exe = pefile.PE(os.path.join(t.disc, "Startboard.exe"))
    for entry in next(kind for kind in exe.DIRECTORY_ENTRY_RESOURCE.entries if kind.id == 10).directory.entries:
        entry.struct.Name += 100 if entry.id > 300 else 0
    exe.write(os.path.join(t.wine.host_path(DISC), "Startboard.exe"))
    main = t.launcher()
    expect_placed(main, (0, 0, 10875, 8160), t.dpi, "menu window")
    share = matching(main.shot(), art("menu.bmp", main.size()), 2)
    expect(share > 0.99, "the enlarged 96-dpi picture matches %.2f%%" % (100 * share))


@pytest.mark.load
def test_a_click_at_once_is_never_lost(t):
    """Every click lands the moment its window is found, with no move over
    the target before: right after the launcher starts, on the same spot
    again the moment its box is answered, after another program's box
    closes, and right after the About window opens (102 times: a click lost
    once in 100 shows)."""
    for round_ in range(34):
        starts = 5 * round_  # the manual, the reader's installer and three links a round
        main = t.launcher()
        main.click(centre("manual", 96))
        t.records(starts + 1)
        main.click(centre("reader", 96))
        t.box(READER[0]).answer("No")
        main.click(centre("reader", 96))  # within the double-click time of the last press
        t.box(READER[0]).answer("Yes")
        t.box(STANDIN_TITLE).answer("OK")
        for count, link in enumerate(LINKS, start=starts + 3):
            main.click(centre("about", 96))
            about = t.about()
            about.click(point(link[0], 96))
            t.records(count)
            about.close()
            about.gone()
        main.click(centre("quit", 96))
        expect_equal(t.exit_code(), 0, "exit code after Quit")

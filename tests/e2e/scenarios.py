"""The launcher as a user meets it under Wine: its windows, pictures,
pointer and tips, every click and its effect, at 96 dpi and above."""
import hashlib
import os
import re
import subprocess
import time

from PIL import Image

from harness import (APP_TITLE, DISC, RECORDER, SLEEPER, STANDIN_TITLE, art, asset, cursor_shape, expect,
                     expect_equal, matching, px, scenario)
from wine import remove_tree

READER_TITLE = "Install Adobe Acrobat Reader?"
READER_PROMPT = ("You need the Adobe Acrobat Reader software to view the online User Manual from this "
                 "CD-ROM.\r\n\r\nDo you wish to continue?")
PRODUCT_TITLE = "Install Norvane 98?"
PRODUCT_PROMPT = ("This installation of Norvane 98 runs as a standalone product.  After you evaluate and "
                  "purchase it, you will be able to unlock all of its features, and even network it across "
                  "the LAN.\r\n\r\nDid you read, understand and ACCEPT the Disclaimer?")
NO_READER = "You need to install the Adobe Acrobat Reader 3.0 to view the User Manual."
NO_BROWSER = "Can't launch your web browser. Please install a web browser."
PAGE_FAILED = "Web page couldn't be opened"
READER_STANDIN = "Adobe Acrobat Reader 3.01 setup would run here."
PRODUCT_STANDIN = "Norvane 98 setup would run here."
MISSING = '"C:\\e2e\\no-such-program.exe" "%1"'

# What the user sees, in twips (left, top, width, height).
ZONES = {  # the menu's click zones and their tips
    "manual": ((3510, 45, 3885, 2295), "View the User Manual"),
    "about": ((930, 2640, 9150, 2580), "Find out about Norvane 98"),
    "reader": ((60, 5280, 2235, 2835), "Install Adobe Acrobat Reader 3.01"),
    "product": ((2745, 5295, 5115, 2820), "About/Install the standalone package"),
    "quit": ((8400, 5070, 2430, 3045), "Quit the Startboard"),
}
QUIT_OVER_LOGO = (9000, 5145)  # in the strip both zones cover
NO_ZONE = [(150, 150), (10500, 1500), (2550, 6750)]
LINKS = [  # the About window's links: a point on the text, the right edge, the tip and the URL
    ((5280, 5460), 6585, "Visit the Quillmere Software Website", "http://www.quillmere.example.com"),
    ((900, 5175), 2175, "Visit the Norvane 98 Website", "http://nv98.example.net"),
    ((900, 5925), 2355, "Send email to Norvane 98 Technical Support", "mailto:help@nv98.example.com"),
]
PLAIN_TEXT, LOGO = (1200, 5685), (5250, 4350)
WHITE, BLACK, CYAN, BLUE = (255, 255, 255), (0, 0, 0), (192, 255, 255), (0, 0, 255)
LABELS = [  # twips, text, background, text colour, bold, underlined
    ((150, 2880, 2685, 510), "Pay-per-Incident Technical Support: (900) 555-0147", BLACK, WHITE, False, False),
    ((150, 3510, 2805, 510), "Toll-Free Sales and Registration Info: (800) 555-0163", BLACK, WHITE, False, False),
    ((150, 4815, 1830, 255), "Visit us on the web", BLACK, WHITE, False, False),
    ((150, 5055, 2025, 255), "http://nv98.example.net", BLACK, CYAN, False, True),
    ((3990, 5355, 2595, 225), "\u00a9 1998 Quillmere Software", WHITE, BLUE, True, True),
    ((150, 5565, 2325, 255), "Free e-mail technical support", BLACK, WHITE, False, False),
    ((4215, 5625, 2880, 255), "1200 Larkspur Avenue, Suite 300", WHITE, BLACK, False, False),
    ((150, 5805, 2205, 255), "help@nv98.example.com", BLACK, CYAN, False, True),
    ((4245, 5850, 2880, 255), "Fairhaven, OR 97099", WHITE, BLACK, False, False),
]
WS_POPUP, WS_CAPTION, WS_SYSMENU, WS_THICKFRAME = 0x80000000, 0x00C00000, 0x00080000, 0x00040000
WS_MINMAX, WS_EX_DLGMODALFRAME, WS_EX_TOPMOST, WS_EX_APPWINDOW = 0x00030000, 0x1, 0x8, 0x40000


def point(twips, dpi):
    return px(twips[0], dpi), px(twips[1], dpi)


def box_of(twips, dpi):
    """A rectangle in twips as pixels (left, top, right, bottom), each edge rounded on its own."""
    left, top, width, height = twips
    return px(left, dpi), px(top, dpi), px(left + width, dpi), px(top + height, dpi)


def centre(name, dpi):
    left, top, right, bottom = box_of(ZONES[name][0], dpi)
    return (left + right) // 2, (top + bottom) // 2


def expect_placed(window, size, what):
    """The client area has `size` and the window is centred in the work area."""
    expect_equal(window.size(), size, what + " client size")
    left, top, right, bottom = window.rect
    work = window.work
    expect_equal((left, top), (work[0] + (work[2] - work[0] - (right - left)) // 2,
                               work[1] + (work[3] - work[1] - (bottom - top)) // 2), what + " position (centred)")


def expect_start(record, arguments, cwd="C:\\"):
    expect_equal((record.arguments(), record.cwd), (arguments, cwd), "program started")


def expect_disclaimer(record, root):
    """The text viewer got the short (8.3) path of the disc's disclaimer."""
    viewer, path = (record.arguments() + ["", ""])[:2]
    expect_equal(viewer, RECORDER, "text viewer")
    expect(all(re.match(r"^[^ .]{1,8}(\.[^ .]{1,3})?$", part) for part in path.split("\\")[1:]),
           "disclaimer not passed by its short path: %r" % path)
    expect_equal(record.long_path.lower(), (root + "disclaim.txt").lower(), "file the short path names")


def expect_ask(t, title, prompt, owner):
    box = t.box(title)
    expect_equal((box.text, [b.replace("&", "") for b in box.buttons], box.icon, box.owner),
                 (prompt, ["Yes", "No"], False, owner.hwnd), "question box")
    return box


def expect_tell(t, text, owner):
    box = t.box()
    expect_equal((box.text, box.buttons, box.icon, box.owner), (text, ["OK"], False, owner.hwnd), "message box")
    return box


# --- The menu window ------------------------------------------------------------

@scenario(96, 120, 144, 192)
def menu_window_is_the_picture_centred_and_alt_f4_closes_it(t):
    main = t.launcher()
    size = box_of((0, 0, 10875, 8160), t.dpi)[2:]
    expect_placed(main, size, "menu window")
    expect_equal((main.style & (WS_POPUP | WS_SYSMENU | WS_CAPTION | WS_THICKFRAME | WS_MINMAX), main.rect),
                 (WS_POPUP | WS_SYSMENU, main.client), "borderless window")
    expect_equal((main.exstyle & (WS_EX_APPWINDOW | WS_EX_TOPMOST), main.owner, main.foreground),
                 (WS_EX_APPWINDOW, 0, True), "a task-bar button, in front")
    shot = main.shot()
    t.save(shot, "menu")
    # At 96 dpi the picture itself; above, the 2x picture shrunk (a JPEG:
    # decoders differ by a few levels).
    expected = art("menu.bmp", size) if t.dpi == 96 else art("menu-2x.jpg", size)
    share = matching(shot, expected, 0 if t.dpi == 96 else 6)
    expect(share > (0.999 if t.dpi == 96 else 0.99), "the menu picture matches %.2f%%" % (100 * share))
    main.key("alt+F4")
    expect_equal(t.exit_code(), 0, "exit code after Alt+F4")


@scenario(96, 120, 144, 192)
def pointer_is_a_hand_with_a_tip_over_each_zone(t):
    main = t.launcher()
    main.move((-40, -40))
    time.sleep(0.2)
    arrow, hand = t.cursor(), cursor_shape(asset("hand.cur"), 32 if t.dpi < 144 else 48 if t.dpi < 192 else 64)
    expect(arrow != hand, "the desktop's pointer already is the hand")

    for name, (twips, tip) in ZONES.items():
        expect(t.pointer_is(main, centre(name, t.dpi), hand), "no hand over %s" % name)
        expect_equal(t.tooltip(tip), tip, "tip over %s" % name)
    left, top, right, bottom = box_of(ZONES["manual"][0], t.dpi)
    middle = ((left + right) // 2, (top + bottom) // 2)
    for inside, outside in (((left, middle[1]), (left - 1, middle[1])), ((right - 1, middle[1]), (right, middle[1])),
                            ((middle[0], bottom - 1), (middle[0], bottom))):
        expect(t.pointer_is(main, inside, hand), "no hand at %s, inside the manual zone" % (inside,))
        expect(t.pointer_is(main, outside, arrow), "no arrow at %s, outside the manual zone" % (outside,))
    for spot in NO_ZONE:
        expect(t.pointer_is(main, point(spot, t.dpi), arrow), "no arrow at %s" % (spot,))


@scenario()
def a_double_click_on_a_zone_or_link_runs_it_once(t):
    main = t.launcher()
    main.click(centre("manual", 96))
    expect_start(t.records(1)[0], [RECORDER, DISC + "manual\\manual.pdf"])
    t.settle()
    main.click(centre("manual", 96), count=2)
    t.records(2)
    main.click(centre("about", 96))
    about = t.about()
    about.click(point(LINKS[2][0], 96), count=2)
    t.records(3)
    t.no_box()
    expect_equal(len(t.records()), 3, "programs started by a click and two double clicks")


@scenario()
def manual_zone_explains_a_missing_manual_or_reader(t):
    t.associate(pdf=False)
    main = t.launcher()
    main.click(centre("manual", 96))
    box = expect_tell(t, NO_READER, main)
    box.answer("OK")
    os.remove(os.path.join(t.wine.host_path(DISC), "manual", "manual.pdf"))
    t.associate()
    time.sleep(0.6)  # not a double click
    main.click(centre("manual", 96))
    box = expect_tell(t, "File not found", main)
    expect(not main.fresh().enabled, "the menu takes clicks under the box")
    main.click(centre("reader", 96))  # the menu is disabled: nothing happens
    expect_equal([w["title"] for w in t.call("windows")["windows"] if w["class"] == "#32770"], [APP_TITLE],
                 "boxes after clicking the menu under a box")
    box.answer("OK")
    expect(main.fresh().enabled, "the menu stays disabled after the box")
    expect_equal(t.records(), [], "programs started")


@scenario()
def reader_zone_asks_and_only_yes_installs(t):
    main = t.launcher()
    for dismiss in ("No", "escape", "close box"):  # every way but Yes means No
        time.sleep(0.6)
        main.click(centre("reader", 96))
        box = expect_ask(t, READER_TITLE, READER_PROMPT, main)
        if dismiss == "No":
            box.answer("No")
        elif dismiss == "escape":
            box.key("Escape")
        else:
            box.click_close_box()
        box.gone()
        t.no_box()
    expect_equal(t.records(), [], "programs started before Yes")
    main.click(centre("reader", 96))
    expect_ask(t, READER_TITLE, READER_PROMPT, main).answer("Yes")
    expect_equal(t.box(STANDIN_TITLE).text, READER_STANDIN, "installer started")
    expect_start(t.records(1)[0], [DISC + "reader\\setup.exe"])


@scenario()
def product_zone_shows_the_disclaimer_then_asks(t):
    main = t.launcher()
    main.click(centre("product", 96))
    box = expect_ask(t, PRODUCT_TITLE, PRODUCT_PROMPT, main)
    expect_disclaimer(t.records(1)[0], DISC)  # opened before the question
    box.answer("No")
    t.no_box()
    os.remove(os.path.join(t.wine.host_path(DISC), "disclaim.txt"))
    t.settle()
    main.click(centre("product", 96))
    expect_ask(t, PRODUCT_TITLE, PRODUCT_PROMPT, main).answer("Yes")  # still asked without one
    expect_equal(t.box(STANDIN_TITLE).text, PRODUCT_STANDIN, "installer started")
    records = t.records(2)
    expect_equal(len(records), 2, "programs started: %r" % records)
    expect_start(records[1], [DISC + "standalone\\setup.exe"])


@scenario(96, 144)
def clicks_outside_or_dragged_off_a_zone_do_nothing_and_the_overlap_quits(t):
    main = t.launcher()
    for spot in NO_ZONE:
        main.click(point(spot, t.dpi))
    main.drag(centre("manual", t.dpi), centre("about", t.dpi))  # pressed in one, released in another
    time.sleep(0.7)
    shown = {w["class"] for w in t.call("windows")["windows"] if w["pid"] == t.pid}
    expect_equal(shown - {"tooltips_class32"}, {"StartboardMain"}, "windows after the clicks")
    expect_equal(t.records(), [], "programs started")
    main.click(point(QUIT_OVER_LOGO, t.dpi))
    expect_equal(t.exit_code(), 0, "exit code after Quit")


# --- The About window -----------------------------------------------------------

def ink(t, image, label, width):
    """The label's text on the screen and as Windows draws it with its font:
    (shown, expected) masks of rows, '#' for ink."""
    twips, text, paper, colour, bold, underline = label
    left, top, right, bottom = box_of(twips, t.dpi)
    height = (825 * t.dpi + 3600) // 7200  # 8.25 points, rounded as MulDiv does
    drawn = t.call("ink", "MS Sans Serif", -height, 700 if bold else 400, int(underline), right - left,
                   bottom - top, "0x%02x%02x%02x" % colour, "0x%02x%02x%02x" % paper, text)["rows"]
    right = min(right, width)  # two labels run past the window's edge
    drawn = [row[:right - left] for row in drawn]

    def is_ink(pixel):
        return sum((a - b) ** 2 for a, b in zip(pixel, colour)) < sum((a - b) ** 2 for a, b in zip(pixel, paper))
    shown = ["".join("#" if is_ink(image.getpixel((x, y))) else "." for x in range(left, right))
             for y in range(top, bottom)]
    return shown, drawn


@scenario(96, 120, 144, 192)
def about_window_shows_the_logos_texts_and_oval(t):
    main = t.launcher()
    main.click(centre("about", t.dpi))
    about = t.about()
    expect_equal((about.owner, about.title, main.fresh().enabled), (main.hwnd, "About...", False),
                 "About window owned by the disabled menu")
    expect_equal((about.style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINMAX),
                  about.exstyle & WS_EX_DLGMODALFRAME), (WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME),
                 "a fixed dialog frame with a close box")
    size = box_of((0, 0, 6855, 6225), t.dpi)[2:]
    expect_placed(about, size, "About window")
    shot = about.shot()
    t.save(shot, "about")
    for art_name, box_twips, jpeg in (("product-logo", (1005, 240, 4590, 1950), False),
                                      ("maker-logo", (3960, 3645, 2760, 1380), True)):
        left, top, right, bottom = box_of(box_twips, t.dpi)
        with Image.open(asset(art_name + (".jpg" if jpeg else ".bmp"))) as natural:
            width, height = px(natural.width * 15, t.dpi), px(natural.height * 15, t.dpi)
        expected = art(art_name + (".jpg" if jpeg else ".bmp") if t.dpi == 96 else art_name + "-2x.jpg",
                       (width, height)).crop((0, 0, min(width, right - left), min(height, bottom - top)))
        logo = shot.crop((left, top, left + expected.width, top + expected.height))
        share = matching(logo, expected, 12 if jpeg or t.dpi != 96 else 0)
        expect(share > 0.97, "%s matches %.1f%%" % (art_name, 100 * share))
    for spot, colour in (((4500, 6000), WHITE), ((450, 2400), BLACK), ((6700, 3000), WHITE)):
        expect_equal(shot.getpixel(point(spot, t.dpi)), colour, "colour at %s (oval, background)" % (spot,))
    for label in LABELS:
        shown, drawn = ink(t, shot, label, size[0])
        wrong = sum(a != b for row, other in zip(shown, drawn) for a, b in zip(row, other))
        inked = sum(row.count("#") for row in drawn)
        expect(inked > 20 and wrong <= inked // 20, "label %r drawn differently (%d of %d ink pixels):\n%s\n%s" % (
            label[1], wrong, inked, "\n".join(shown), "\n".join(drawn)))
    about.click_close_box()
    about.gone()
    expect(main.fresh().enabled, "the menu stays disabled after the About window")
    time.sleep(0.6)
    main.click(centre("about", t.dpi))  # it opens again
    t.about().close()


@scenario(96, 120, 144, 192)
def about_links_show_a_hand_and_tip_and_open_the_browser(t):
    main = t.launcher()
    main.click(centre("about", t.dpi))
    about = t.about()
    about.move((-40, -40))
    time.sleep(0.2)
    arrow = t.cursor()
    hand = cursor_shape(asset("hand.cur"), 32 if t.dpi < 144 else 48 if t.dpi < 192 else 64)
    for count, (spot, right, tip, url) in enumerate(LINKS, start=1):
        x, y = point(spot, t.dpi)
        for edge, shape, what in ((px(right, t.dpi) - 1, hand, "hand"), (px(right, t.dpi), arrow, "arrow")):
            expect(t.pointer_is(about, (edge, y), shape), "no %s at %s, by the link to %s" % (what, (edge, y), url))
        expect(t.pointer_is(about, (x, y), hand), "no hand over %s" % url)
        expect_equal(t.tooltip(tip), tip, "tip of %s" % url)
        about.click((x, y))
        expect_equal(t.records(count)[-1].command_line, '"%s" %s' % (RECORDER, url), "browser started")
        t.settle()
    for spot in (PLAIN_TEXT, LOGO):
        expect(t.pointer_is(about, point(spot, t.dpi), arrow), "a hand at %s, where there is no link" % (spot,))
    about.close()
    about.gone()


@scenario()
def about_link_failures_are_told_over_the_about_window(t):
    t.associate(htm=False)
    main = t.launcher()
    main.click(centre("about", 96))
    about = t.about()
    about.click(point(LINKS[0][0], 96))
    box = expect_tell(t, NO_BROWSER, about)
    expect(not about.fresh().enabled, "the About window takes clicks under the box")
    box.answer("OK")
    t.associate(htm=MISSING)
    time.sleep(0.6)
    about.click(point(LINKS[1][0], 96))
    expect_tell(t, PAGE_FAILED, about).answer("OK")
    expect(about.fresh().visible and about.fresh().enabled, "the About window is not open and enabled")
    expect_equal(t.records(), [], "programs started")


# --- Folders nobody planned for, and the disc itself ----------------------------

def tree_state(folder):
    """Every entry below a folder: mode, size, times and each file's SHA-256."""
    state = {}
    for parent, folders, files in os.walk(folder):
        for path in [parent] + [os.path.join(parent, name) for name in folders + files]:
            info = os.lstat(path)
            digest = None
            if os.path.isfile(path):
                with open(path, "rb") as f:
                    digest = hashlib.sha256(f.read()).hexdigest()
            state[os.path.relpath(path, folder)] = (info.st_mode, info.st_size, info.st_mtime_ns, digest)
    return state


def click_through(t, root, then_quit=True):
    """Every zone and link, answering Yes, from a disc at `root`."""
    main = t.launcher(root)
    main.click(centre("manual", 96))
    t.records(1)
    for zone, title in (("reader", READER_TITLE), ("product", PRODUCT_TITLE)):
        main.click(centre(zone, 96))
        t.box(title).answer("Yes")
        t.box(STANDIN_TITLE).answer("OK")
        main = main.fresh()
    main.click(centre("about", 96))
    about = t.about()
    for count, link in enumerate(LINKS, start=5):
        about.click(point(link[0], 96))
        t.records(count)
        t.settle()
    about.close()
    about.gone()
    if then_quit:
        main.click(centre("quit", 96))
        expect_equal(t.exit_code(), 0, "exit code after Quit")
    manual, reader, disclaimer, product = t.records()[:4]
    expect_start(manual, [RECORDER, root + "manual\\manual.pdf"])
    expect_disclaimer(disclaimer, root)
    expect_start(reader, [root + "reader\\setup.exe"])
    expect_start(product, [root + "standalone\\setup.exe"])
    expect_equal([r.command_line for r in t.records()[4:]], ['"%s" %s' % (RECORDER, link[3]) for link in LINKS],
                 "browser starts")


@scenario()
def from_a_greek_folder_every_command_works_and_nothing_is_written(t):
    root = t.place_disc("C:\\\u0394\u03af\u03c3\u03ba\u03bf\u03c2 Norvane\\")
    before = tree_state(t.wine.host_path(root))
    click_through(t, root)
    after = tree_state(t.wine.host_path(root))
    expect_equal({path: after.get(path) for path in set(before) | set(after) if after.get(path) != before.get(path)},
                 {}, "disc entries changed or added")


@scenario()
def from_a_cjk_folder_and_a_drive_root_every_command_works(t):
    t.wine.map_drive("e", t.wine.host_path(DISC))
    for root in ("C:\\\u5149\u76d8 Norvane\\", "E:\\"):
        if root.startswith("C:"):
            t.place_disc(root)
        click_through(t, root)
        os.remove(t.wine.host_path(r"C:\e2e\record.log"))


@scenario()
def from_the_deepest_folder_it_starts_in_it_says_what_fails(t):
    # Startboard.exe's path has 259 characters. Wine's shell gives up on the
    # manual (262) and on the probe page; a failed installer start is silent.
    root = "C:\\Norvane 98 deep"
    for index, size in enumerate((75, 75, 73)):
        root += "\\" + ("Deep folder %d " % index).ljust(size, "x")
    root += "\\"
    expect_equal(len(root + "Startboard.exe"), 259, "path length")
    t.place_disc(root)
    main = t.launcher(root)
    main.click(centre("manual", 96))
    expect_tell(t, "File not found", main).answer("OK")
    for zone, title in (("reader", READER_TITLE), ("product", PRODUCT_TITLE)):
        main.click(centre(zone, 96))
        t.box(title).answer("Yes")
        t.no_box()
    main.click(centre("about", 96))
    about = t.about()
    about.click(point(LINKS[0][0], 96))
    expect_tell(t, NO_BROWSER, about).answer("OK")
    records = t.records()
    expect_equal(len(records), 1, "programs started: %r" % records)
    expect_disclaimer(records[0], root)


@scenario()
def the_image_runs_from_a_read_only_cd_drive(t):
    remove_tree(t.wine.cd)
    done = subprocess.run(["xorriso", "-osirrox", "on", "-indev", t.iso, "-extract", "/", t.wine.cd],
                          capture_output=True, text=True)
    expect(done.returncode == 0, "cannot extract %s: %s" % (t.iso, done.stderr[-300:]))
    subprocess.run(["chmod", "-R", "a-w", t.wine.cd], check=True)
    expect_equal(t.call("drive-type", "D:\\")["type"], 5, "drive type of D: (5: CD-ROM)")
    main = t.launcher("D:\\")
    main.click(centre("manual", 96))
    expect_start(t.records(1)[0], [RECORDER, "D:\\manual\\manual.pdf"])
    main.click(centre("quit", 96))
    expect_equal(t.exit_code(), 0, "exit code after Quit")


# --- Faults in the middle of a command ----------------------------------------

@scenario()
def programs_that_hang_or_stay_open_do_not_block_the_menu(t):
    t.associate(pdf='"%s" "%%1"' % SLEEPER)
    main = t.launcher()
    main.click(centre("manual", 96))
    t.records(1)
    main.answering().click(centre("reader", 96))
    t.box(READER_TITLE).answer("Yes")
    standin = t.box(STANDIN_TITLE)  # stays open over the menu
    main.answering().click(centre("product", 96))
    t.box(PRODUCT_TITLE).answer("No")
    main.answering().click(centre("manual", 96))
    t.records(4)
    main.answering().click(centre("quit", 96))
    expect_equal(t.exit_code(), 0, "exit code after Quit")
    expect_equal(t.kill(SLEEPER), 2, "hung viewers running on")
    standin.answer("OK")


# --- Pictures without their 2x forms -------------------------------------------

@scenario(144)
def without_2x_pictures_it_enlarges_the_96_dpi_ones(t):
    # The product's own bytes, with its 2x pictures' resource names changed,
    # as a build from a picture set without them would be.
    import pefile
    exe = pefile.PE(os.path.join(t.disc, "Startboard.exe"))
    for kind in exe.DIRECTORY_ENTRY_RESOURCE.entries:
        for entry in kind.directory.entries if kind.id == 10 else []:
            if 300 < (entry.id or 0) < 400:
                entry.struct.Name += 100
    path = os.path.join(t.wine.host_path(DISC), "Startboard.exe")
    exe.write(path)
    main = t.launcher()
    size = box_of((0, 0, 10875, 8160), t.dpi)[2:]
    expect_placed(main, size, "menu window")
    share = matching(main.shot(), art("menu.bmp", size), 2)
    expect(share > 0.99, "the enlarged 96-dpi picture matches %.2f%%" % (100 * share))
    main.click(centre("about", t.dpi))
    about = t.about()
    logo = about.shot().crop(box_of((1005, 240, 4500, 1935), t.dpi))
    share = matching(logo, art("product-logo.bmp", logo.size), 2)
    expect(share > 0.99, "the enlarged product logo matches %.2f%%" % (100 * share))


# --- Quick clicks under load ----------------------------------------------------

QUICK_ROUNDS = 20


@scenario(load=True)
def a_click_at_once_is_never_lost(t):
    """Two busy processes keep both cores loaded; every click lands the
    moment its window is found, with no move over the target before: right
    after the launcher starts, on the same spot again the moment its box is
    answered, after another program's box closes, and right after the About
    window opens."""
    count = 0
    for _ in range(QUICK_ROUNDS):
        main = t.launcher()
        main.click(centre("manual", 96))
        count += 1
        t.records(count)
        main.click(centre("reader", 96))
        t.box(READER_TITLE).answer("No")
        main.click(centre("reader", 96))  # within the double-click time of the last press
        t.box(READER_TITLE).answer("Yes")
        count += 1
        t.box(STANDIN_TITLE).answer("OK")
        for link in LINKS:
            main.click(centre("about", 96))
            about = t.about()
            about.click(point(link[0], 96))
            count += 1
            t.records(count)
            about.close()
            about.gone()
        main.click(centre("quit", 96))
        expect_equal(t.exit_code(), 0, "exit code after Quit")
    expect_equal(len(t.records()), count, "programs started")


def busy():
    """Two processes that keep both cores busy until they are ended."""
    return [subprocess.Popen(["/usr/bin/python3", "-c", "while True: pass"]) for _ in range(2)]


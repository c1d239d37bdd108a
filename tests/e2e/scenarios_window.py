"""The launcher as a user meets it: its windows, pictures, cursor, tooltips,
clicks and keys, under Wine's virtual desktop (1024x768)."""
import collections

import images
from xcursor import cur_file_shape
from harness import Context, button_texts, expect, expect_equal, scenario, step_of
from scenarios_commands import (APP_TITLE, BOX_WAIT, EXIT_WAIT, NO_BROWSER, PRODUCT_STANDIN, PRODUCT_TITLE,
                                QUIET, READER_PROMPT, READER_TITLE, expect_disclaimer_opened)

SCREEN = (1024, 768)
WS_POPUP, WS_VISIBLE, WS_CAPTION, WS_SYSMENU = 0x80000000, 0x10000000, 0x00C00000, 0x00080000
WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX = 0x00040000, 0x00020000, 0x00010000
WS_EX_DLGMODALFRAME, WS_EX_TOPMOST, WS_EX_APPWINDOW = 0x1, 0x8, 0x40000

Spot = collections.namedtuple("Spot", "point tooltip")

MAIN = ["window", "StartboardMain", APP_TITLE, "15000"]
MAIN_SIZE = (725, 544)
MANUAL = Spot((363, 80), "View the User Manual")
ABOUT = Spot((367, 262), "Find out about Norvane 98")
READER = Spot((78, 446), "Install Adobe Acrobat Reader 3.01")
PRODUCT = Spot((353, 447), "About/Install the standalone package")
QUIT = Spot((641, 440), "Quit the Startboard")
QUIT_OVER_ABOUT = (600, 343)  # inside both the Quit and the About zone
NO_ZONE = [(10, 10), (700, 100), (170, 450)]

ABOUT_WINDOW = ["window", "StartboardAbout", "About...", "5000"]
ABOUT_SIZE = (457, 415)
MAKER_LINK = Spot((352, 364), "Visit the Quillmere Software Website")
PRODUCT_LINK = Spot((60, 345), "Visit the Norvane 98 Website")
MAIL_LINK = Spot((60, 395), "Send email to Norvane 98 Technical Support")
LINK_URLS = ["http://www.quillmere.example.com", "http://nv98.example.net", "mailto:help@nv98.example.com"]
PLAIN_LABEL, PICTURE = (80, 379), (350, 290)
PRODUCT_LOGO_AT, MAKER_LOGO_AT = (67, 16), (264, 243)


def click(spot):
    return ["click", str(spot[0]), str(spot[1])]


def move(point):
    return ["move", str(point[0]), str(point[1])]


def hover_click(spot):
    """Points at a label until its tooltip shows, then clicks it, as a user
    does. (Under load, a click on a link moments after the About window
    opened is sometimes lost.)"""
    return [move(spot.point), ["tooltip", "3000", spot.tooltip], click(spot.point)]


def launcher_steps(ctx, **associations):
    return ctx.associations(**associations) + ctx.start_launcher() + [MAIN]


def quit_steps():
    """Closes the main window with Alt+F4 and waits for the launcher to end."""
    return [MAIN, ["key", "alt+f4"], ["wait-exit", EXIT_WAIT]]


def expect_centred(window, size):
    left, top, right, bottom = window["rect"]
    expect_equal((left, top), ((SCREEN[0] - (right - left)) // 2, (SCREEN[1] - (bottom - top)) // 2),
                 "%s top left corner (centred)" % window["class"])
    client = window["client"]
    expect_equal((client[2] - client[0], client[3] - client[1]), size, "%s client size" % window["class"])


def expect_style(window, present, absent, what):
    expect_equal(window["style"] & present, present, what + " styles present")
    expect_equal(window["style"] & absent, 0, what + " styles absent")


# --- The main window --------------------------------------------------------

@scenario
def main_window_frame_picture_and_alt_f4(ctx: Context):
    results = ctx.run(launcher_steps(ctx) + [["dump"], ctx.capture("main_window")] + quit_steps())
    main = step_of(results, "dump")
    expect_style(main, WS_POPUP | WS_VISIBLE | WS_SYSMENU,
                 WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX, "main window")
    expect_equal(main["exstyle"] & (WS_EX_APPWINDOW | WS_EX_TOPMOST), WS_EX_APPWINDOW, "main window extended styles")
    expect_equal(main["rect"], main["client"], "main window frame (borderless)")
    expect_centred(main, MAIN_SIZE)
    expect(main["foreground"], "the main window is not in the foreground")
    expect_equal(main["owner"], 0, "main window owner")
    shot = ctx.screenshot("main_window")
    match = images.matching_fraction(shot, (0, 0), images.load_rgb(ctx.asset("menu.bmp")))
    expect(match > 0.999, "the menu picture matches %.1f%% of the window" % (100 * match))
    expect_equal(step_of(results, "wait-exit")["exit_code"], 0, "exit code after Alt+F4")


@scenario
def main_window_cursor_and_tooltips(ctx: Context):
    ctx.run(launcher_steps(ctx) + [move((-40, -40)), ["sleep", "200"]], last=False)
    arrow = ctx.cursor()  # the desktop's arrow, outside the launcher
    hand = cur_file_shape(ctx.asset("hand.cur"))
    expect(arrow != hand, "the desktop cursor already is the hand")
    for spot in (MANUAL, ABOUT, READER, PRODUCT, QUIT):
        results = ctx.run([MAIN, move(spot.point), ["tooltip", "3000", spot.tooltip]], last=False)
        expect(step_of(results, "tooltip")["text"] == spot.tooltip, "tooltip at %s" % (spot.point,))
        expect_equal(ctx.cursor(), hand, "cursor over %r" % spot.tooltip)
    for point in NO_ZONE:
        ctx.run([MAIN, move(point), ["sleep", "200"]], last=False)
        expect_equal(ctx.cursor(), arrow, "cursor at %s, outside every zone" % (point,))
    ctx.run([MAIN, ["key", "alt+f4"], ["wait-gone", EXIT_WAIT]])


@scenario
def main_manual_zone_double_click_opens_manual_once(ctx: Context):
    ctx.run(launcher_steps(ctx) + [["dblclick", str(MANUAL.point[0]), str(MANUAL.point[1])],
                                   ["settle", "10000", ctx.recorder_win], ["windows", QUIET]] + quit_steps())
    records = ctx.records()
    expect_equal([r.arguments() for r in records], [[ctx.recorder_win, ctx.disc_path("manual\\manual.pdf")]],
                 "programs started by a double click")
    expect_equal(records[0].cwd, "C:\\", "working directory of the PDF viewer")


@scenario
def main_reader_question_disables_main_window(ctx: Context):
    results = ctx.run(launcher_steps(ctx) + [
        ["dump"], click(READER.point), ["msgbox", READER_TITLE, BOX_WAIT],
        MAIN, ["dump"], click(MANUAL.point), ["windows", QUIET],
        ["msgbox", READER_TITLE, "100"], ["button", "No"], ["wait-gone", "3000"],
        MAIN, ["dump"], ["windows", QUIET]] + quit_steps())
    main_before, main_asking, main_after = (step_of(results, "dump", i) for i in range(3))
    box = step_of(results, "msgbox")
    expect_equal((box["text"], button_texts(box)), (READER_PROMPT, ["Yes", "No"]), "reader question")
    expect_equal(box["owner"], main_before["hwnd"], "owner of the question box")
    expect(not main_asking["enabled"], "the main window stays enabled under the question")
    titles = [w["title"] for w in step_of(results, "windows")["windows"] if w["class"] == "#32770"]
    expect_equal(titles, [READER_TITLE], "boxes after clicking the disabled main window")
    expect(main_after["enabled"], "the main window stays disabled after the answer")
    expect_equal(ctx.records(), [], "programs started")


@scenario
def main_product_zone_runs_setup_after_yes(ctx: Context):
    results = ctx.run(launcher_steps(ctx) + [
        # The disclaimer's viewer records its start before the installer does.
        click(PRODUCT.point), ["msgbox", PRODUCT_TITLE, BOX_WAIT], ["settle", "10000", ctx.recorder_win],
        ["button", "Yes"], ["msgbox", "Sample disc", BOX_WAIT], ["button", "OK"], ["wait-gone", "3000"]] + quit_steps())
    expect_equal(step_of(results, "msgbox", 1)["text"], PRODUCT_STANDIN, "installer started")
    records = ctx.records()
    expect_equal(len(records), 2, "programs started")
    expect_disclaimer_opened(ctx, records[0])
    expect_equal((records[1].arguments(), records[1].cwd),
                 ([ctx.disc_path("standalone\\setup.exe")], "C:\\"), "installer start")


@scenario
def main_quit_zone_wins_over_about_zone(ctx: Context):
    results = ctx.run(launcher_steps(ctx) + [click(QUIT_OVER_ABOUT), ["wait-exit", EXIT_WAIT]])
    expect_equal(step_of(results, "wait-exit")["exit_code"], 0, "exit code after Quit")


@scenario
def main_clicks_outside_zones_do_nothing(ctx: Context):
    steps = launcher_steps(ctx) + [click(point) for point in NO_ZONE]
    # Pressed in one zone and released in another: neither runs.
    steps += [["drag", str(MANUAL.point[0]), str(MANUAL.point[1]), str(ABOUT.point[0]), str(ABOUT.point[1])],
              ["windows", QUIET]]
    results = ctx.run(steps + quit_steps())
    shown = {w["class"] for w in step_of(results, "windows")["windows"]}
    expect_equal(shown - {"tooltips_class32"}, {"StartboardMain"}, "windows after the clicks")
    expect_equal(ctx.records(), [], "programs started")


@scenario
def main_missing_manual_box_is_owned_by_main_window(ctx: Context):
    ctx.remove_from_disc("manual\\manual.pdf")
    results = ctx.run(launcher_steps(ctx) + [
        ["dump"], click(MANUAL.point), ["msgbox", APP_TITLE, BOX_WAIT], ["button", "OK"], ["wait-gone", "3000"],
        MAIN, ["dump"]] + quit_steps())
    box = step_of(results, "msgbox")
    expect_equal((box["text"], button_texts(box)), ("File not found", ["OK"]), "box")
    expect_equal(box["owner"], step_of(results, "dump")["hwnd"], "owner of the box")
    expect(step_of(results, "dump", 1)["enabled"], "the main window stays disabled")


# --- The About window ---------------------------------------------------------

@scenario
def about_window_frame_artwork_and_reopening(ctx: Context):
    results = ctx.run(launcher_steps(ctx) + [
        ["dump"], click(ABOUT.point), ABOUT_WINDOW, ["dump"], ctx.capture("about_window"),
        MAIN, ["dump"], ABOUT_WINDOW, ["close"], ["wait-gone", "3000"], MAIN, ["dump"],
        # A second click on the same spot within the double-click time would
        # be a double click, which runs nothing.
        ["sleep", "600"], click(ABOUT.point), ABOUT_WINDOW, ["close"], ["wait-gone", "3000"]] + quit_steps())
    main, about, main_under_about, main_after = (step_of(results, "dump", i) for i in range(4))
    expect_equal(about["owner"], main["hwnd"], "About window owner")
    expect_style(about, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX,
                 "About window")
    expect_equal(about["exstyle"] & WS_EX_DLGMODALFRAME, WS_EX_DLGMODALFRAME, "About window modal frame")
    expect_centred(about, ABOUT_SIZE)
    expect(not main_under_about["enabled"], "the main window stays enabled under the About window")
    expect(main_after["enabled"], "the main window stays disabled after closing About")

    shot = ctx.screenshot("about_window")
    client = (about["client"][0] - about["rect"][0], about["client"][1] - about["rect"][1])

    def at(point):
        return (client[0] + point[0], client[1] + point[1])

    logo = images.matching_fraction(shot, at(PRODUCT_LOGO_AT), images.load_rgb(ctx.asset("product-logo.bmp")))
    expect(logo > 0.999, "product logo matches %.1f%%" % (100 * logo))
    # The JPEG is decoded by Windows' picture loader: allow rounding.
    maker = images.matching_fraction(shot, at(MAKER_LOGO_AT),
                                     images.load_rgb(ctx.asset("maker-logo.jpg")).crop((0, 0, 180, 92)), 12)
    expect(maker > 0.95, "maker logo matches %.1f%%" % (100 * maker))
    icon, where = images.find_icon(shot, images.icon_image(ctx.asset("startboard.ico"), 16), (0, 0, 40, client[1]))
    expect(icon > 0.9, "the caption shows no application icon (best match %.0f%%)" % (100 * icon))
    expect_equal(shot.getpixel(at((230, 400))), (255, 255, 255), "inside the white oval")
    expect_equal(shot.getpixel(at((30, 160))), (0, 0, 0), "black background")
    expect("#C0FFFF" in images.colours_in(shot, at_box(at, (10, 337, 145, 354))), "light cyan link text")
    copyright_colours = images.colours_in(shot, at_box(at, (266, 357, 439, 372)))
    expect({"#0000FF", "#FFFFFF"} <= copyright_colours, "blue on white copyright link")


def at_box(at, box):
    return at(box[:2]) + at(box[2:])


@scenario
def about_links_cursor_tooltips_and_urls(ctx: Context):
    ctx.run(launcher_steps(ctx) + [click(ABOUT.point), ABOUT_WINDOW, move((-40, -40)), ["sleep", "200"]], last=False)
    arrow, hand = ctx.cursor(), cur_file_shape(ctx.asset("hand.cur"))
    for spot in (MAKER_LINK, PRODUCT_LINK, MAIL_LINK):
        results = ctx.run([ABOUT_WINDOW, move(spot.point), ["tooltip", "3000", spot.tooltip]], last=False)
        expect(step_of(results, "tooltip")["text"] == spot.tooltip, "tooltip at %s" % (spot.point,))
        expect_equal(ctx.cursor(), hand, "cursor over %r" % spot.tooltip)
        ctx.run([ABOUT_WINDOW, click(spot.point), ["settle", "10000", ctx.recorder_win]], last=False)
    for point in (PLAIN_LABEL, PICTURE):
        ctx.run([ABOUT_WINDOW, move(point), ["sleep", "200"]], last=False)
        expect_equal(ctx.cursor(), arrow, "cursor at %s (no link)" % (point,))
    ctx.run([ABOUT_WINDOW, ["close"], ["wait-gone", "3000"], MAIN, ["key", "alt+f4"], ["wait-gone", EXIT_WAIT]])
    expect_equal([r.command_line for r in ctx.records()], ['"%s" %s' % (ctx.recorder_win, url) for url in LINK_URLS],
                 "browser command lines")


@scenario
def about_link_without_browser_box_is_owned_by_about(ctx: Context):
    results = ctx.run(launcher_steps(ctx, htm=False) + [
        click(ABOUT.point), ABOUT_WINDOW, ["dump"]] + hover_click(MAKER_LINK) + [["msgbox", APP_TITLE, BOX_WAIT],
        ABOUT_WINDOW, ["dump"], ["msgbox", APP_TITLE, "100"], ["button", "OK"], ["wait-gone", "3000"],
        ABOUT_WINDOW, ["dump"], ["close"], ["wait-gone", "3000"]] + quit_steps())
    about, about_under_box, about_after = (step_of(results, "dump", i) for i in range(3))
    box = step_of(results, "msgbox")
    expect_equal((box["text"], button_texts(box)), (NO_BROWSER, ["OK"]), "box")
    expect_equal(box["owner"], about["hwnd"], "owner of the box")
    expect(not about_under_box["enabled"], "the About window stays enabled under the box")
    expect(about_after["enabled"], "the About window stays disabled after the box")

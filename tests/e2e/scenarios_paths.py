"""Disc folders nobody planned for: spaces, scripts outside the ANSI code
page, a drive root, and folders near and past MAX_PATH. Every command must
hand the shell the absolute path of its file, as seen by the recorder, the
installer stand-ins and command_runner's call log; where Wine itself cannot
go on, the user sees the matching message box, never a wrong file or a hang."""
import hashlib
import os
import stat

from harness import Context, expect, expect_equal, scenario, step_of
from scenarios_commands import (APP_TITLE, BOX_WAIT, EXIT_WAIT, NO_BROWSER, PRODUCT_TITLE, QUIET, READER_TITLE,
                                SITE_URL, expect_disclaimer_opened)
from scenarios_window import (ABOUT, ABOUT_WINDOW, LINK_URLS, MAIL_LINK, MAIN, MAKER_LINK, MANUAL, PRODUCT,
                              PRODUCT_LINK, QUIT, READER, click, hover_click)

GREEK = "C:\\Δίσκος Norvane"
CJK = "C:\\光盘 Norvane"
STANDIN_TITLE = "Sample disc"


def yes_then_standin(ctx, title):
    """Answers the question Yes, once a disclaimer's viewer has recorded its
    start, and closes the installer stand-in's box."""
    return [["msgbox", title, BOX_WAIT], ["settle", "10000", ctx.recorder_win], ["button", "Yes"],
            ["msgbox", STANDIN_TITLE, BOX_WAIT], ["button", "OK"], ["wait-gone", "3000"]]


def expect_opened(ctx, record, document, root):
    expect_equal((record.arguments(), record.cwd), ([ctx.recorder_win, root + document], "C:\\"),
                 "start of the program for " + document)


def expect_setup(record, setup, root):
    expect_equal((record.arguments(), record.cwd), ([root + setup], "C:\\"), "start of " + setup)


def expect_browser(ctx, record, url):
    expect_equal(record.command_line, '"%s" %s' % (ctx.recorder_win, url), "browser command line")


# --- Every command from each kind of folder, through command_runner ----------

def every_command_from(ctx, root):
    """Runs the four commands from `root`, answering Yes, and checks both
    what they asked the shell for and what the shell started."""
    steps = ctx.associations()
    steps += ctx.start_runner("ViewManual", root=root) + [["wait-exit", EXIT_WAIT], ctx.await_records(1)]
    for command, title in (("InstallReader", READER_TITLE), ("InstallProduct", PRODUCT_TITLE)):
        steps += ctx.start_runner(command, root=root) + yes_then_standin(ctx, title) + [["wait-exit", EXIT_WAIT]]
    steps += ctx.start_runner("OpenWebLink", SITE_URL, root=root) + [["wait-exit", EXIT_WAIT], ["windows", QUIET]]
    results = ctx.run(steps)
    boxes = [w for w in step_of(results, "windows")["windows"] if w["class"] == "#32770"]
    expect_equal(boxes, [], "message boxes left")

    calls = ctx.calls()
    expect_equal(len(calls), 7, "shell calls: %r" % calls)
    short_disclaimer = calls[2][-1]
    expect_equal([call[:-1] if call[0] != "ShortPathName" else call[:3] for call in calls], [
        ["Execute", "Open", root + "manual\\manual.pdf", "", "C:\\"],
        ["Execute", "Open", root + "reader\\setup.exe", "", "C:\\"],
        ["ShortPathName", root + "disclaim.txt", "255"],
        ["Execute", "open", short_disclaimer, "", ""],
        ["Execute", "Open", root + "standalone\\setup.exe", "", "C:\\"],
        ["FindExecutable", root + "temphtm.htm", "<null>"],
        ["Execute", "open", ctx.recorder_win, SITE_URL, "<null>"]], "shell calls")
    expect(all(int(call[-1]) > 32 for call in calls if call[0] != "ShortPathName"), "a shell call failed: %r" % calls)
    expect_equal(calls[2][3], str(len(short_disclaimer)), "GetShortPathName's result")

    records = ctx.records()
    expect_equal(len(records), 5, "programs started: %r" % records)
    manual, reader, disclaimer, product, browser = records
    expect_opened(ctx, manual, "manual\\manual.pdf", root)
    expect_setup(reader, "reader\\setup.exe", root)
    expect_disclaimer_opened(ctx, disclaimer, root)
    expect_equal(disclaimer.arguments()[1], short_disclaimer, "disclaimer path")
    expect_setup(product, "standalone\\setup.exe", root)
    expect_browser(ctx, browser, SITE_URL)


def every_command_scenario(label, folder):
    def run(ctx: Context):
        every_command_from(ctx, folder(ctx))
    run.__name__ = "every_command_from_" + label
    return scenario(run)


every_command_scenario("folder_with_spaces", lambda ctx: ctx.disc_win + "\\")
every_command_scenario("greek_folder", lambda ctx: ctx.place_disc(GREEK))
every_command_scenario("cjk_folder", lambda ctx: ctx.place_disc(CJK))
every_command_scenario("drive_root", lambda ctx: Context.DRIVE + ":\\")


# --- The launcher itself ------------------------------------------------------

def tree_state(folder):
    """Every entry below `folder` and the folder itself: type and mode, size,
    modification and change times, and each file's SHA-256."""
    state = {}
    for parent, folders, files in os.walk(folder):
        for path in [parent] + [os.path.join(parent, name) for name in folders + files]:
            info = os.lstat(path)
            digest = None
            if stat.S_ISREG(info.st_mode):
                with open(path, "rb") as f:
                    digest = hashlib.sha256(f.read()).hexdigest()
            state[os.path.relpath(path, folder)] = (info.st_mode, info.st_size, info.st_mtime_ns, info.st_ctime_ns,
                                                    digest)
    return state


@scenario
def launcher_from_greek_folder_every_zone_and_link_writes_nothing(ctx: Context):
    root = ctx.place_disc(GREEK)
    folder = ctx.host_path(GREEK)
    before = tree_state(folder)
    steps = ctx.associations() + ctx.start_launcher(root=root) + [
        MAIN, click(MANUAL.point), ctx.await_records(1),
        click(READER.point), ["msgbox", READER_TITLE, BOX_WAIT], ["button", "No"], ["wait-gone", "3000"],
        MAIN, click(PRODUCT.point), ["msgbox", PRODUCT_TITLE, BOX_WAIT], ctx.await_records(2), ["button", "No"],
        ["wait-gone", "3000"],
        MAIN, click(READER.point)] + yes_then_standin(ctx, READER_TITLE) + [
        MAIN, click(PRODUCT.point)] + yes_then_standin(ctx, PRODUCT_TITLE) + [
        MAIN, click(ABOUT.point), ABOUT_WINDOW]
    for count, link in enumerate((MAKER_LINK, PRODUCT_LINK, MAIL_LINK), start=6):
        steps += hover_click(link) + [ctx.await_records(count)]
    steps += [["close-button"], ["wait-gone", "3000"], MAIN, click(QUIT.point), ["wait-exit", EXIT_WAIT]]
    results = ctx.run(steps)
    expect_equal(step_of(results, "wait-exit")["exit_code"], 0, "exit code after Quit")

    records = ctx.records()
    expect_equal(len(records), 8, "programs started: %r" % records)
    expect_opened(ctx, records[0], "manual\\manual.pdf", root)
    expect_disclaimer_opened(ctx, records[1], root)
    expect_setup(records[2], "reader\\setup.exe", root)
    expect_disclaimer_opened(ctx, records[3], root)
    expect_setup(records[4], "standalone\\setup.exe", root)
    for record, url in zip(records[5:], LINK_URLS):
        expect_browser(ctx, record, url)

    after = tree_state(folder)
    expect_equal(sorted(set(after) - set(before)), [], "new files on the disc")
    expect_equal({path: after[path] for path in before if after.get(path) != before[path]}, {},
                 "disc entries changed (mode, size, mtime, ctime, sha256)")


# --- Near and past MAX_PATH ---------------------------------------------------

def deep_folder(length):
    """A folder below C:\\ whose path has exactly `length` characters, in
    parts of at most 100."""
    path = "C:\\Norvane 98 deep"
    count = -(-(length - len(path)) // 101)
    for index in range(count):
        size = (length - len(path)) // (count - index)
        path += "\\" + ("Deep folder %d " % index).ljust(size - 1, "x")
    expect_equal(len(path), length, "deep folder length")
    return path


@scenario
def launcher_in_deepest_folder_it_starts_from(ctx: Context):
    # The path of Startboard.exe has 259 characters here. Wine's ShellExecute
    # gives up on the manual (262 characters) with code 2 and on both
    # installers (261, 265), FindExecutable on the probe page (256); the
    # disclaimer's short path still opens. A failed installer start shows
    # nothing, by design.
    root = ctx.place_disc(deep_folder(244))
    results = ctx.run(ctx.associations() + ctx.start_launcher(root=root) + [
        MAIN, click(MANUAL.point), ["msgbox", APP_TITLE, BOX_WAIT], ["button", "OK"], ["wait-gone", "3000"],
        MAIN, click(READER.point), ["msgbox", READER_TITLE, BOX_WAIT], ["button", "Yes"], ["windows", QUIET],
        MAIN, click(PRODUCT.point), ["msgbox", PRODUCT_TITLE, BOX_WAIT], ["button", "Yes"], ["windows", QUIET],
        MAIN, click(ABOUT.point), ABOUT_WINDOW] + hover_click(MAKER_LINK) + [["msgbox", APP_TITLE, BOX_WAIT],
        ["button", "OK"], ["wait-gone", "3000"], ABOUT_WINDOW, ["close-button"], ["wait-gone", "3000"],
        MAIN, click(QUIT.point), ["wait-exit", EXIT_WAIT]])
    expect_equal([step_of(results, "msgbox", i)["text"] for i in (0, 3)], ["File not found", NO_BROWSER],
                 "failure boxes")
    for index in (0, 1):
        shown = {w["class"] for w in step_of(results, "windows", index)["windows"]}
        expect_equal(shown - {"tooltips_class32"}, {"StartboardMain"}, "windows after answering Yes")
    records = ctx.records()
    expect_equal(len(records), 1, "programs started: %r" % records)
    expect_disclaimer_opened(ctx, records[0], root)


@scenario
def folder_past_max_path_runs_only_by_short_path(ctx: Context):
    # Opened by its long path (300 characters), the launcher does not start:
    # Wine's shell says so in its own box. By its 8.3 path it starts, and
    # every document opens by short paths; the installers cannot start there
    # (Wine refuses a program whose long path is that long) and say nothing.
    root = ctx.place_disc(deep_folder(300))
    results = ctx.run([["shell-open", root + "Startboard.exe", "3000"], ["msgbox", "Error", BOX_WAIT],
                       ["button", "OK"], ["wait-gone", "3000"], ["windows", QUIET],
                       ["short-path", root + "Startboard.exe"]])
    expect(step_of(results, "shell-open")["pending"], "the shell returned without a box")
    expect_equal(step_of(results, "msgbox")["text"], "Path not found.\r\n", "Wine's box")
    expect_equal(step_of(results, "windows")["windows"], [], "windows after the box")
    exe = step_of(results, "short-path")["path"]
    short_root = exe[:exe.rindex("\\") + 1]
    ctx.extra_roots.append(short_root)

    results = ctx.run(ctx.associations() + [
        ["shell-open", exe, "5000"], MAIN, click(MANUAL.point), ctx.await_records(1),
        click(READER.point), ["msgbox", READER_TITLE, BOX_WAIT], ["button", "Yes"], ["windows", QUIET],
        MAIN, click(PRODUCT.point), ["msgbox", PRODUCT_TITLE, BOX_WAIT], ["button", "Yes"], ["windows", QUIET],
        MAIN, click(ABOUT.point), ABOUT_WINDOW] + hover_click(MAKER_LINK) + [ctx.await_records(3), ["close-button"],
        ["wait-gone", "3000"],
        MAIN, click(QUIT.point), ["wait-exit", EXIT_WAIT]])
    expect_equal(step_of(results, "wait-exit")["exit_code"], 0, "exit code after Quit")
    for index in (0, 1):
        shown = {w["class"] for w in step_of(results, "windows", index)["windows"]}
        expect_equal(shown - {"tooltips_class32"}, {"StartboardMain"}, "windows after answering Yes")
    records = ctx.records()
    expect_equal(len(records), 3, "programs started: %r" % records)
    manual, disclaimer, browser = records
    expect_opened(ctx, manual, "manual\\manual.pdf", short_root)
    expect_equal(manual.long_path, root + "manual\\manual.pdf", "file the manual's short path names")
    expect_disclaimer_opened(ctx, disclaimer, root)
    expect_browser(ctx, browser, LINK_URLS[0])

"""The launcher's commands, run by command_runner.exe with the real Win32
shell services, against a sample disc in the Wine prefix."""
import re

from harness import Context, button_texts, expect, expect_equal, scenario, step_of

APP_TITLE = "Norvane 98 Startboard"
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
SITE_URL = "http://www.quillmere.example.com"
MAIL_URL = "mailto:help@quillmere.example.com"

BOX_WAIT = "15000"  # ms; the first start in a prefix can be slow
EXIT_WAIT = "10000"
QUIET = "700"  # ms to wait before concluding that no further window appears


def expect_box(results, title, text, buttons, index=0):
    """The index-th message box: from the started program, with exactly this
    title, text and buttons, and without an icon."""
    box = step_of(results, "msgbox", index)
    expect_equal(box["title"], title, "box title")
    expect_equal(box["text"], text, "box text")
    expect_equal(button_texts(box), buttons, "box buttons")
    expect(not box["icon"], "the box shows an icon")
    expect(box["started_process"], "the box belongs to another program")
    return box


def expect_exit(results):
    expect_equal(step_of(results, "wait-exit")["exit_code"], 0, "command runner exit code")


def expect_no_boxes(results, index=0):
    """No message box remained after the command ended."""
    boxes = [w for w in step_of(results, "windows", index)["windows"] if w["class"] == "#32770"]
    expect_equal(boxes, [], "message boxes left on screen")


def answer_box(ctx, command, title, answer):
    """Runs a command, waits for its box, presses `answer`, waits for the end."""
    return ctx.run(ctx.associations() + ctx.start_runner(command) + [
        ["msgbox", title, BOX_WAIT], ["button", answer], ["wait-exit", EXIT_WAIT], ["windows", QUIET]])


# --- View the manual ------------------------------------------------------

@scenario
def view_manual_opens_pdf_from_c_root(ctx: Context):
    results = ctx.run(ctx.associations() + ctx.start_runner("ViewManual") +
                      [["wait-exit", EXIT_WAIT], ["windows", QUIET]])
    expect_exit(results)
    expect_no_boxes(results)
    records = ctx.records()
    expect_equal(len(records), 1, "programs started")
    manual = ctx.disc_path("manual\\manual.pdf")
    expect_equal(records[0].arguments(), [ctx.recorder_win, manual], "recorder arguments")
    expect_equal(records[0].cwd, "C:\\", "working directory of the PDF viewer")


@scenario
def view_manual_missing_file(ctx: Context):
    ctx.remove_from_disc("manual\\manual.pdf")
    results = answer_box(ctx, "ViewManual", APP_TITLE, "OK")
    expect_box(results, APP_TITLE, "File not found", ["OK"])
    expect_exit(results)
    expect_no_boxes(results)
    expect_equal(ctx.records(), [], "programs started")


@scenario
def view_manual_without_pdf_viewer(ctx: Context):
    steps = ctx.associations(pdf=False) + ctx.start_runner("ViewManual") + [
        ["msgbox", APP_TITLE, BOX_WAIT], ["button", "OK"], ["wait-exit", EXIT_WAIT]]
    results = ctx.run(steps)
    expect_box(results, APP_TITLE, NO_READER, ["OK"])
    expect_exit(results)
    expect_equal(ctx.records(), [], "programs started")


@scenario
def view_manual_with_missing_reader_program(ctx: Context):
    # The association names a program that is not there: the shell's own
    # failure code reaches the user as its text, and Wine adds no box.
    results = ctx.run(ctx.associations(pdf='"C:\\e2e\\no-such-reader.exe" "%1"') + ctx.start_runner("ViewManual") + [
        ["msgbox", APP_TITLE, BOX_WAIT], ["windows", QUIET], ["button", "OK"], ["wait-exit", EXIT_WAIT]])
    calls = ctx.calls()
    expect_equal([call[:5] for call in calls], [["Execute", "Open", ctx.disc_path("manual\\manual.pdf"), "", "C:\\"]],
                 "shell calls")
    expect_equal(calls[0][5], "2", "ShellExecute's result")
    expect_box(results, APP_TITLE, "File not found", ["OK"])
    shown = [(w["class"], w["title"]) for w in step_of(results, "windows")["windows"]]
    expect_equal(shown, [("#32770", APP_TITLE)], "windows while the box is up")
    expect_exit(results)
    expect_equal(ctx.records(), [], "programs started")


# --- Install the reader -----------------------------------------------------

def reader_question(ctx, *then):
    return ctx.run(ctx.associations() + ctx.start_runner("InstallReader") +
                   [["msgbox", READER_TITLE, BOX_WAIT]] + list(then) +
                   [["wait-exit", EXIT_WAIT], ["windows", QUIET]])


@scenario
def install_reader_no_starts_nothing(ctx: Context):
    results = reader_question(ctx, ["button", "No"])
    expect_box(results, READER_TITLE, READER_PROMPT, ["Yes", "No"])
    expect_exit(results)
    expect_no_boxes(results)
    expect_equal(ctx.records(), [], "programs started")


@scenario
def install_reader_yes_starts_setup_from_c_root(ctx: Context):
    results = reader_question(ctx, ["button", "Yes"], ["msgbox", "Sample disc", BOX_WAIT], ["button", "OK"])
    expect_box(results, READER_TITLE, READER_PROMPT, ["Yes", "No"])
    expect_equal(step_of(results, "msgbox", 1)["text"], READER_STANDIN, "installer started")
    expect_exit(results)
    records = ctx.records()
    expect_equal([r.arguments() for r in records], [[ctx.disc_path("reader\\setup.exe")]], "programs started")
    expect_equal(records[0].cwd, "C:\\", "working directory of the installer")


@scenario
def install_reader_escape_starts_nothing(ctx: Context):
    # Windows keeps a Yes/No box without Cancel open on Escape; Wine closes
    # it and MessageBox returns IDCANCEL, which must count as No.
    results = reader_question(ctx, ["key", "escape"], ["wait-gone", "3000"])
    expect_exit(results)
    expect_equal(ctx.records(), [], "programs started")


@scenario
def install_reader_close_starts_nothing(ctx: Context):
    results = reader_question(ctx, ["close"], ["wait-gone", "3000"])
    expect_exit(results)
    expect_equal(ctx.records(), [], "programs started")


# --- Install the product ----------------------------------------------------

def product_question(ctx, *then):
    """Runs InstallProduct and reads the record log while the question is
    still up, to see that the disclaimer was opened before it."""
    return ctx.run(ctx.associations() + ctx.start_runner("InstallProduct") + [
        ["msgbox", PRODUCT_TITLE, BOX_WAIT], ["settle", "10000", ctx.recorder_win], ["read", ctx.log_win]] +
        list(then) + [["wait-exit", EXIT_WAIT], ["windows", QUIET]])


def expect_disclaimer_opened(ctx, record, root=None):
    """The text viewer got the short (8.3) path of the disc's disclaimer."""
    arguments = record.arguments()
    expect_equal(len(arguments), 2, "text viewer arguments")
    expect_equal(arguments[0], ctx.recorder_win, "text viewer")
    parts = arguments[1].split("\\")
    expect(all(re.match(r"^[^ .]{1,8}(\.[^ .]{1,3})?$", part) for part in parts[1:]),
           "disclaimer not passed as a short (8.3) path: %r" % arguments[1])
    expect_equal(record.long_path.lower(), ctx.disc_path("disclaim.txt", root).lower(), "file the short path names")


@scenario
def install_product_yes_shows_disclaimer_then_starts_setup(ctx: Context):
    results = product_question(ctx, ["button", "Yes"], ["msgbox", "Sample disc", BOX_WAIT], ["button", "OK"])
    expect_box(results, PRODUCT_TITLE, PRODUCT_PROMPT, ["Yes", "No"])
    log_while_asking = step_of(results, "read")["text"]
    expect_equal(log_while_asking.count("\n"), 1, "programs started before the answer")
    expect_equal(step_of(results, "msgbox", 1)["text"], PRODUCT_STANDIN, "installer started")
    expect_exit(results)
    records = ctx.records()
    expect_equal(len(records), 2, "programs started")
    expect_disclaimer_opened(ctx, records[0])
    expect_equal(records[1].arguments(), [ctx.disc_path("standalone\\setup.exe")], "installer command line")
    expect_equal(records[1].cwd, "C:\\", "working directory of the installer")


@scenario
def install_product_no_shows_only_disclaimer(ctx: Context):
    results = product_question(ctx, ["button", "No"])
    expect_exit(results)
    expect_no_boxes(results)
    records = ctx.records()
    expect_equal(len(records), 1, "programs started")
    expect_disclaimer_opened(ctx, records[0])


@scenario
def install_product_without_disclaimer_still_asks(ctx: Context):
    ctx.remove_from_disc("disclaim.txt")
    results = ctx.run(ctx.associations() + ctx.start_runner("InstallProduct") + [
        ["msgbox", PRODUCT_TITLE, BOX_WAIT], ["windows", QUIET], ["button", "No"], ["wait-exit", EXIT_WAIT]])
    expect_box(results, PRODUCT_TITLE, PRODUCT_PROMPT, ["Yes", "No"])
    shown = [(w["class"], w["title"]) for w in step_of(results, "windows")["windows"]]
    expect_equal(shown, [("#32770", PRODUCT_TITLE)], "windows while asking")
    expect_exit(results)
    expect_equal(ctx.records(), [], "programs started")


# --- Web links ----------------------------------------------------------------

def open_link(ctx, url, htm=True, answer=None):
    steps = ctx.associations(htm=htm) + ctx.start_runner("OpenWebLink", url)
    if answer:
        steps += [["msgbox", APP_TITLE, BOX_WAIT], ["button", answer]]
    return ctx.run(steps + [["wait-exit", EXIT_WAIT], ["windows", QUIET]])


@scenario
def web_link_goes_to_the_htm_program(ctx: Context):
    for url in (SITE_URL, MAIL_URL):
        results = open_link(ctx, url)
        expect_exit(results)
        expect_no_boxes(results)
    # The URL arrives as given: not quoted, not changed.
    expect_equal([r.command_line for r in ctx.records()],
                 ['"%s" %s' % (ctx.recorder_win, url) for url in (SITE_URL, MAIL_URL)], "browser command lines")


@scenario
def web_link_without_probe_page(ctx: Context):
    ctx.remove_from_disc("temphtm.htm")
    results = open_link(ctx, SITE_URL, answer="OK")
    expect_box(results, APP_TITLE, NO_BROWSER, ["OK"])
    expect_exit(results)
    expect_equal(ctx.records(), [], "programs started")


@scenario
def web_link_without_htm_association(ctx: Context):
    results = open_link(ctx, SITE_URL, htm=False, answer="OK")
    expect_box(results, APP_TITLE, NO_BROWSER, ["OK"])
    expect_exit(results)


@scenario
def web_link_with_missing_browser_program(ctx: Context):
    # Wine's FindExecutable returns the registered program without checking
    # that it exists, so the failure shows at the start.
    results = open_link(ctx, SITE_URL, htm='"C:\\e2e\\no-such-browser.exe" "%1"', answer="OK")
    expect_box(results, APP_TITLE, PAGE_FAILED, ["OK"])
    expect_exit(results)


@scenario
def web_link_with_browser_that_cannot_run(ctx: Context):
    # An existing file of a type nothing opens: found, but cannot be started.
    with open(ctx.tools + "/browser.dat", "w") as f:
        f.write("not a program")
    results = open_link(ctx, SITE_URL, htm='"C:\\e2e\\browser.dat" "%1"', answer="OK")
    expect_box(results, APP_TITLE, PAGE_FAILED, ["OK"])
    expect_exit(results)
    expect_equal(ctx.records(), [], "programs started")

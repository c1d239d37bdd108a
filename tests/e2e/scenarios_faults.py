"""Faults in the middle of a command, met through the real launcher: started
programs that hang or keep a window open, associations that lead nowhere,
and every message box dismissed with Escape or its close box."""
from harness import Context, expect_equal, scenario, step_of
from scenarios_commands import (APP_TITLE, BOX_WAIT, EXIT_WAIT, NO_BROWSER, NO_READER, PAGE_FAILED, PRODUCT_TITLE,
                                READER_STANDIN, READER_TITLE, expect_disclaimer_opened)
from scenarios_paths import STANDIN_TITLE, expect_setup
from scenarios_window import ABOUT, ABOUT_WINDOW, MAIN, MAKER_LINK, MANUAL, PRODUCT, QUIT, READER, click, hover_click

# The launcher's thread must answer and repaint at once, whatever runs.
RESPONSIVE = [MAIN, ["ping", "2000"], ["repaint", "2000"]]


@scenario
def started_programs_that_hang_or_stay_open_do_not_block(ctx: Context):
    # The PDF viewer hangs (sleeper), the reader installer keeps its box up,
    # the disclaimer's viewer exits at once (recorder).
    sleeper = '"%s" "%%1"' % ctx.sleeper_win
    results = ctx.run(ctx.associations(pdf=sleeper) + ctx.start_launcher() + [
        MAIN, click(MANUAL.point), ctx.await_records(1)] + RESPONSIVE + [
        click(READER.point), ["msgbox", READER_TITLE, BOX_WAIT], ["button", "Yes"],
        ["msgbox", STANDIN_TITLE, BOX_WAIT]] + RESPONSIVE + [
        # Clicks still work while both are running (the stand-in's box sits
        # over the middle of the menu, so these zones lie outside it).
        click(PRODUCT.point), ["msgbox", PRODUCT_TITLE, BOX_WAIT], ctx.await_records(3),
        ["button", "No"], ["wait-gone", "3000"]] + RESPONSIVE + [
        click(MANUAL.point), ctx.await_records(4)] + RESPONSIVE + [
        click(QUIT.point), ["wait-exit", EXIT_WAIT],
        # The launcher has ended; its programs run on.
        ["msgbox", STANDIN_TITLE, "100"], ["button", "OK"], ["wait-gone", "3000"], ["sweep", ctx.sleeper_win]])
    expect_equal(step_of(results, "msgbox", 1)["text"], READER_STANDIN, "installer box")
    expect_equal(step_of(results, "wait-exit")["exit_code"], 0, "exit code after Quit")
    expect_equal(step_of(results, "sweep")["killed"], [ctx.sleeper_win] * 2, "hung viewers left running")
    root = ctx.disc_win + "\\"
    records = ctx.records()
    expect_equal(len(records), 4, "programs started: %r" % records)
    first, reader, disclaimer, second = records
    for record in (first, second):
        expect_equal((record.arguments(), record.cwd), ([ctx.sleeper_win, root + "manual\\manual.pdf"], "C:\\"),
                     "hung viewer start")
    expect_setup(reader, "reader\\setup.exe", root)
    expect_disclaimer_opened(ctx, disclaimer)


def dismiss_every_box(ctx, dismiss):
    """Meets each of the launcher's message boxes once, dismisses it with
    the `dismiss` step, and checks that it counted as No (or OK) and that
    the next click works."""
    missing = '"C:\\e2e\\no-such-program.exe" "%1"'
    box = [["wait-gone", "3000"]]
    results = ctx.run(ctx.associations(pdf=False, htm=False) + ctx.start_launcher() + [
        MAIN, click(READER.point), ["msgbox", READER_TITLE, BOX_WAIT], dismiss] + box + [
        MAIN, click(PRODUCT.point), ["msgbox", PRODUCT_TITLE, BOX_WAIT], dismiss] + box + [
        MAIN, click(MANUAL.point), ["msgbox", APP_TITLE, BOX_WAIT], dismiss] + box + [
        ["assoc", ".pdf", missing],
        MAIN, ["sleep", "600"], click(MANUAL.point), ["msgbox", APP_TITLE, BOX_WAIT], dismiss] + box + [
        MAIN, click(ABOUT.point), ABOUT_WINDOW] + hover_click(MAKER_LINK) + [
        ["msgbox", APP_TITLE, BOX_WAIT], dismiss] + box + [
        ["assoc", ".htm", missing],
        ABOUT_WINDOW, ["sleep", "600"], click(MAKER_LINK.point), ["msgbox", APP_TITLE, BOX_WAIT], dismiss] + box + [
        ABOUT_WINDOW, ["close-button"], ["wait-gone", "3000"]] + RESPONSIVE + [
        click(QUIT.point), ["wait-exit", EXIT_WAIT]])
    texts = [step_of(results, "msgbox", i)["text"] for i in range(2, 6)]
    expect_equal(texts, [NO_READER, "File not found", NO_BROWSER, PAGE_FAILED], "failure boxes")
    expect_equal(step_of(results, "wait-exit")["exit_code"], 0, "exit code after Quit")
    records = ctx.records()
    expect_equal(len(records), 1, "programs started: %r" % records)
    expect_disclaimer_opened(ctx, records[0])


@scenario
def every_box_dismissed_with_escape_counts_as_no(ctx: Context):
    dismiss_every_box(ctx, ["key", "escape"])


@scenario
def every_box_closed_by_its_close_box_counts_as_no(ctx: Context):
    dismiss_every_box(ctx, ["close-button"])

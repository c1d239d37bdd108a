"""Turns the bench driver's key=value figures and the 32-bit exe's PE
layout into a Markdown table of every figure beside its budget.

Usage: report.py --exe EXE --results RESULTS --machine TEXT --brand PATH --out FILE
                 --timed 32-bit|64-bit [--why TEXT]
Exit code 0 when every figure is there (met or not), 2 when a
measurement broke.
"""

import argparse
import statistics
import sys

import pefile

# Resource types whose data counts as embedded pictures.
RT_CURSOR, RT_BITMAP, RT_ICON, RT_RCDATA, RT_GROUP_CURSOR, RT_GROUP_ICON = 1, 2, 3, 10, 12, 14
PICTURE_TYPES = (RT_CURSOR, RT_BITMAP, RT_ICON, RT_RCDATA, RT_GROUP_CURSOR, RT_GROUP_ICON)
RESOURCE_DIRECTORY = pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]

CODE_BUDGET = 64 * 1024
STARTUP_RATIO_BUDGET = 1.10
HIDPI_STARTUP_RATIO_BUDGET = 1.30  # the launcher at 144 dpi against the floor at 144
SPEED_24X = 3_600_000  # bytes a second
IDLE_BUDGET_MS = 20.0
MOUSE_BUDGET_PERCENT = 2.0
PEAK_EXTRA_BUDGET_KIB = 2048.0
HIDPI_PEAK_EXTRA_BUDGET_KIB = 16384.0  # over the floor at 144 dpi
CLICK_BUDGET_US = 1000.0
HOVER_BUDGET_MS = 16.0  # one frame at 60 Hz


class BrokenMeasurement(Exception):
    pass


def read_pe(data):
    """Sections as (name, raw size, virtual size), and the resources as
    {type id: {name or id: bytes}}."""
    try:
        pe = pefile.PE(data=data, fast_load=True)
    except pefile.PEFormatError as error:
        raise BrokenMeasurement(f"not a PE executable: {error}") from None
    pe.parse_data_directories(directories=[RESOURCE_DIRECTORY])
    sections = [(section.Name.rstrip(b"\0").decode("ascii"), section.SizeOfRawData,
                 section.Misc_VirtualSize) for section in pe.sections]

    def data_bytes(entry):
        if hasattr(entry, "data"):
            return entry.data.struct.Size
        return sum(data_bytes(child) for child in entry.directory.entries)

    resources = {}
    if hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries:
            if kind.id is not None:
                resources[kind.id] = {entry.id if entry.id is not None else str(entry.name):
                                      data_bytes(entry) for entry in kind.directory.entries}
    return sections, resources


def read_results(text):
    figures = {}
    for line in text.splitlines():
        key, sep, value = line.partition("=")
        if sep:
            figures[key.strip()] = value.strip()
    if "error" in figures:
        raise BrokenMeasurement(figures["error"])
    if "done" not in figures:
        raise BrokenMeasurement("the driver did not finish")
    return figures


def number(figures, key):
    try:
        return float(figures[key])
    except (KeyError, ValueError):
        raise BrokenMeasurement(f"no figure {key}") from None


def series(figures, key):
    try:
        values = [float(value) for value in figures[key].split(",") if value]
    except (KeyError, ValueError):
        raise BrokenMeasurement(f"no figures {key}") from None
    if not values:
        raise BrokenMeasurement(f"no figures {key}")
    return values


def verdict(value, limit, unit="", digits=0, strict=False):
    """'met', or 'not met' with how far past the limit the value is."""
    within = value < limit if strict else value <= limit
    return "met" if within else f"not met, by {value - limit:,.{digits}f}{unit}"


PICTURE_NAMES = ((RT_BITMAP, "bitmaps"), (RT_RCDATA, "PNG, JPEG or BMP files"), (RT_ICON, "icons"),
                 (RT_GROUP_ICON, "icon group"), (RT_CURSOR, "cursors"),
                 (RT_GROUP_CURSOR, "cursor group"))


def size_rows(exe_bytes, resources):
    """The exe's bytes split into its pictures (how many of each kind, and
    their bytes) and everything else."""
    totals = {kind: sum(resources.get(kind, {}).values()) for kind in PICTURE_TYPES}
    pictures = sum(totals.values())
    parts = ", ".join(f"{len(resources[kind])} {name} {totals[kind]:,}"
                      for kind, name in PICTURE_NAMES if kind in resources)
    rest = exe_bytes - pictures
    return [
        ("Size: whole win32 exe", f"{exe_bytes:,} B", "", ""),
        (f"Size: embedded pictures ({parts})", f"{pictures:,} B", "", ""),
        ("Size: everything else", f"{rest:,} B", f"≤ {CODE_BUDGET:,} B",
         verdict(rest, CODE_BUDGET, " B")),
        # Run from the swap file, Windows reads the whole exe at start (Wine
        # ignores the flag, so the start-up figures below do not show it).
        ("Read from the disc at start (run from swap): at 24x (3.6 MB/s) / 1x (150 KB/s)",
         f"{exe_bytes / SPEED_24X * 1000:.0f} ms / {exe_bytes / 150_000:.1f} s", "", ""),
    ]


def spread(values):
    """Median with the quartiles, as text."""
    middle = f"{statistics.median(values):.1f} ms"
    if len(values) < 2:
        return middle
    low, _, high = statistics.quantiles(values, n=4)
    return f"{middle} (quartiles {low:.1f}–{high:.1f})"


def high_dpi(figures):
    """The higher dpi the launcher also ran at, with its client area there
    as the driver found it ("1088x816")."""
    width, _, height = figures.get("hidpi_client", "").partition("x")
    if not width.isdigit() or not height.isdigit():
        raise BrokenMeasurement("no client area at the higher dpi")
    return f"{number(figures, 'hidpi_dpi'):.0f}", f"{width} x {height}"


def startup_rows(figures, exe_bytes):
    floor = series(figures, "startup_floor_ms")
    launcher = series(figures, "startup_launcher_ms")
    high_floor = series(figures, "startup_floor_hidpi_ms")
    high = series(figures, "startup_launcher_hidpi_ms")
    ratio = statistics.median(launcher) / statistics.median(floor)
    high_ratio = statistics.median(high) / statistics.median(high_floor)
    dpi, client = high_dpi(figures)
    return [
        (f"Start-up to first paint: floor at 96 dpi (median of {len(floor)})", spread(floor), "",
         ""),
        (f"Start-up to first paint: launcher at 96 dpi (median of {len(launcher)})",
         spread(launcher), "", ""),
        ("Start-up: launcher / floor (medians)", f"{ratio:.3f}", f"≤ {STARTUP_RATIO_BUDGET:.2f}",
         verdict(ratio, STARTUP_RATIO_BUDGET, digits=3)),
        # The fastest runs are the least disturbed by other load on the machine.
        ("Start-up: launcher / floor (fastest runs)", f"{min(launcher) / min(floor):.3f}", "", ""),
        (f"Start-up to first paint: floor at {dpi} dpi (client area {client}, uncompressed "
         f"picture, median of {len(high_floor)})", spread(high_floor), "", ""),
        (f"Start-up to first paint: launcher at {dpi} dpi (median of {len(high)})",
         spread(high), "", ""),
        (f"Start-up at {dpi} dpi: launcher / floor (medians)", f"{high_ratio:.3f}",
         f"≤ {HIDPI_STARTUP_RATIO_BUDGET:.2f}", verdict(high_ratio, HIDPI_STARTUP_RATIO_BUDGET, digits=3)),
        (f"Start-up at {dpi} dpi, where the launcher's time goes (medians): " + "; ".join(
            label for label, _ in PARTS), " / ".join(
            f"{statistics.median(series(figures, f'startup_hidpi_part_{key}_ms')):.1f}"
            for _, key in PARTS) + " ms", "", ""),
        # Wine reads the exe from the Linux file cache: what a disc adds
        # comes before the first instruction, as the whole exe is read.
        (f"Cold start from a 24x disc (the exe read, then start-up to first paint): at 96 / {dpi} dpi",
         " / ".join(f"{exe_bytes / SPEED_24X * 1000 + statistics.median(values):.0f}"
                    for values in (launcher, high)) + " ms", "", ""),
    ]


# The launcher's start-up at the higher dpi, part by part, as the driver
# splits it from the launcher's marks.
PARTS = (("process start until the picture's work", "start"),
         ("loading the imaging DLLs (and COM)", "dlls"),
         ("decoding the 2x picture", "decode"),
         ("resizing it", "resize"),
         ("window shown and painted", "paint"))


def hover_rows(figures):
    """The time to light a zone, when the brand has a hover picture."""
    if "hover_lit_ms" not in figures:
        return []
    dpi, _ = high_dpi(figures)
    rows = []
    for at, key in (("96", "hover_lit_ms"), (dpi, "hover_lit_hidpi_ms")):
        values = series(figures, key)
        middle = statistics.median(values)
        rows.append((f"Pointer move into a zone to its part drawn lit at {at} dpi "
                     f"(median of {len(values)}, max {max(values):.1f} ms)", spread(values),
                     f"< {HOVER_BUDGET_MS:g} ms", verdict(middle, HOVER_BUDGET_MS, " ms", 1, strict=True)))
    return rows


def cpu_rows(figures):
    """CPU from the Linux run time of the Unix threads: under Wine,
    GetProcessTimes on another process is not kept up to date."""
    def cpu(name):
        ms = number(figures, f"{name}_linux_cpu_ms")
        return ms, ms / (number(figures, f"{name}_seconds") * 10)

    idle_ms, idle_percent = cpu("idle")
    mouse_ms, mouse_percent = cpu("mouse")
    floor_ms, floor_percent = cpu("floor_mouse")
    seconds = number(figures, "idle_seconds")
    moves = number(figures, "mouse_moves")
    mouse_seconds = number(figures, "mouse_seconds")
    windows = " / ".join(f"{number(figures, f'{name}_cpu_ms'):.0f}"
                         for name in ("idle", "mouse", "floor_mouse"))
    return [
        (f"CPU idle over {seconds:.1f} s", f"{idle_ms:.2f} ms = {idle_percent:.3f} % of a core",
         f"< {IDLE_BUDGET_MS:g} ms", verdict(idle_ms, IDLE_BUDGET_MS, " ms", 2, strict=True)),
        (f"CPU with the mouse moving ({moves:.0f} moves in {mouse_seconds:.1f} s): launcher",
         f"{mouse_ms:.0f} ms = {mouse_percent:.2f} % of a core",
         f"< {MOUSE_BUDGET_PERCENT:g} % of a core",
         verdict(mouse_percent, MOUSE_BUDGET_PERCENT, " percentage points", 2, strict=True)),
        ("CPU with the mouse moving: floor program, same moves",
         f"{floor_ms:.0f} ms = {floor_percent:.2f} % of a core", "", ""),
        # Wine alone costs even the floor more than the budget, so the
        # launcher's own share is what it adds over the floor.
        ("CPU with the mouse moving: the launcher's own share (launcher − floor)",
         f"{mouse_percent - floor_percent:.2f} % of a core",
         f"< {MOUSE_BUDGET_PERCENT:g} % of a core",
         verdict(mouse_percent - floor_percent, MOUSE_BUDGET_PERCENT, " percentage points", 2,
                 strict=True)),
        ("Wake-ups (Linux voluntary switches): idle / mouse / floor mouse",
         " / ".join(f"{number(figures, f'{name}_wakeups'):.0f}"
                    for name in ("idle", "mouse", "floor_mouse")), "", ""),
        ("GetProcessTimes: idle / mouse / floor mouse", f"{windows} ms", "",
         "not live under Wine"),
    ]


def memory_rows(figures):
    floor = statistics.median(series(figures, "peak_floor_kib"))
    launcher = statistics.median(series(figures, "peak_launcher_kib"))
    high_floor = statistics.median(series(figures, "peak_floor_hidpi_kib"))
    high = statistics.median(series(figures, "peak_launcher_hidpi_kib"))
    dpi, client = high_dpi(figures)
    rows = [
        ("Peak working set: floor at 96 dpi (pointer off the window)", f"{floor:,.0f} KiB", "",
         ""),
        ("Peak working set: launcher at 96 dpi", f"{launcher:,.0f} KiB",
         f"≤ floor + {PEAK_EXTRA_BUDGET_KIB:,.0f} KiB",
         verdict(launcher - floor, PEAK_EXTRA_BUDGET_KIB, " KiB")),
        (f"Peak working set: floor at {dpi} dpi (client area {client})", f"{high_floor:,.0f} KiB",
         "", ""),
        (f"Peak working set: launcher at {dpi} dpi", f"{high:,.0f} KiB",
         f"≤ floor at {dpi} dpi + {HIDPI_PEAK_EXTRA_BUDGET_KIB:,.0f} KiB",
         verdict(high - high_floor, HIDPI_PEAK_EXTRA_BUDGET_KIB, " KiB")),
    ]
    about = "about_ws_kib" in figures
    if about:
        working_sets = series(figures, "about_ws_kib")
        growth = working_sets[-1] - working_sets[0]
        rows.append((f"Working set after About 1 → {len(working_sets)}",
                     f"{working_sets[0]:,.0f} → {working_sets[-1]:,.0f} KiB ({growth:+,.0f})",
                     "no growth", verdict(growth, 0, " KiB")))
    else:
        rows.append(("Working set after About cycles", "no About window", "", ""))
    lists = ("modules_floor", "modules_launcher", "modules_launcher_hidpi")
    if not all(figures.get(name) for name in lists):
        raise BrokenMeasurement("no DLL lists")
    floor_modules, *launcher_modules = (set(figures[name].split(",")) for name in lists)
    for at, modules in zip(("96", dpi), launcher_modules):
        rows.append((f"DLLs the launcher loads at {at} dpi beyond the floor's",
                     ", ".join(sorted(modules - floor_modules)) or "none", "", ""))
    if not about:
        return rows
    objects = [number(figures, f"about_{kind}_{when}")
               for kind in ("gdi", "user") for when in ("first", "last")]
    label = f"GDI / USER objects after About 1 → {len(working_sets)}"
    if not any(objects):
        rows.append((label, "0 (Wine's GetGuiResources)",
                     "equal", "cannot be measured under Wine"))
    else:
        gdi_first, gdi_last, user_first, user_last = objects
        rows.append((label,
                     f"GDI {gdi_first:.0f} → {gdi_last:.0f}, USER {user_first:.0f} → {user_last:.0f}",
                     "equal", verdict(max(gdi_last - gdi_first, user_last - user_first), 0,
                                      " objects")))
    return rows


def click_rows(figures):
    micros = series(figures, "click_shell_us")
    middle = statistics.median(micros)
    dropped = number(figures, "click_dropped")
    return [(f"Click to shell call (median of {len(micros)}, max {max(micros):.0f} µs; "
             f"{dropped:.0f} click{'' if dropped == 1 else 's'} dropped while a shell call ran, "
             "and repeated)",
             f"{middle:.0f} µs", f"< {CLICK_BUDGET_US:,.0f} µs",
             verdict(middle, CLICK_BUDGET_US, " µs", strict=True))]


def table(header, rows):
    lines = ["| " + " | ".join(header) + " |", "|" + "---|" * len(header)]
    lines += ["| " + " | ".join(str(cell) for cell in row) + " |" for row in rows]
    return "\n".join(lines)


# What ran under Wine, for the closing note; the 64-bit build only where
# Wine's 32-bit half is missing, and then the table opens by saying so.
TIMED = {
    "32-bit": "Start-up and click ran the 32-bit product's bench build (the same source with "
              "time stamps); CPU, memory and the About cycles ran the 32-bit product exe itself, "
              "under Wine's 32-bit half in a 64-bit prefix.",
    "64-bit": "Start-up, CPU, memory and click ran the 64-bit build of the same source, because "
              "Wine's 32-bit half cannot run here; only the size rows are the 32-bit product.",
}
FALLBACK_LINE = ("The 64-bit build ran, because {why}: these figures are the 64-bit build's, "
                 "not the 32-bit product's (the sizes excepted).")


def render(machine, brand, timed, why, exe_name, exe_bytes, sections, resources, figures):
    rows = (size_rows(exe_bytes, resources) + startup_rows(figures, exe_bytes) + hover_rows(figures) + cpu_rows(figures)
            + memory_rows(figures) + click_rows(figures))
    return "\n".join(([FALLBACK_LINE.format(why=why), ""] if timed == "64-bit" else []) + [
        "# Startboard benchmark",
        "",
        f"Machine: {machine}",
        "",
        f"Brand: {brand}",
        "",
        table(("Figure", "Measured", "Budget", "Met"), rows),
        "",
        f"Sections of {exe_name}:",
        "",
        table(("Section", "Raw bytes", "Virtual bytes"),
              [(name, f"{raw:,}", f"{virtual:,}") for name, raw, virtual in sections]),
        "",
        "Under Wine: GetProcessTimes on another process is not kept up to date (a child "
        "spinning for 3 s kept reading 70 ms), so CPU is the Linux run time of the launcher's "
        "Unix threads (schedstat, ns); Windows context-switch counts are not available, the "
        "Linux voluntary switches stand for wake-ups (each Wine server call counts as one); "
        "GetGuiResources and GetProcessHandleCount return 0. " + TIMED[timed] + " Everything "
        "ran in one virtual desktop large enough for the window at the higher dpi; for each "
        "launch at that dpi the prefix's LogPixels was set just before it (a program started "
        "later in the running prefix reads it) and set back to 96 after, and the driver "
        "checked the launcher's client area at each dpi.",
        "",
    ])


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--exe", required=True)
    parser.add_argument("--results", required=True)
    parser.add_argument("--machine", required=True)
    parser.add_argument("--brand", required=True, help="the brand file, as the table names it")
    parser.add_argument("--out", required=True)
    parser.add_argument("--timed", required=True, choices=sorted(TIMED),
                        help="which build ran under Wine")
    parser.add_argument("--why", default="", help="why the 64-bit build ran")
    args = parser.parse_args(argv)
    try:
        with open(args.exe, "rb") as exe:
            data = exe.read()
        sections, resources = read_pe(data)
        try:
            with open(args.results, encoding="utf-8") as results:
                figures = read_results(results.read())
        except FileNotFoundError:
            raise BrokenMeasurement("the driver wrote no results") from None
        text = render(args.machine, args.brand, args.timed, args.why, args.exe, len(data), sections, resources, figures)
    except BrokenMeasurement as broken:
        print(f"bench: measurement broke: {broken}", file=sys.stderr)
        return 2
    with open(args.out, "w", encoding="utf-8") as out:
        out.write(text)
    print(text)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

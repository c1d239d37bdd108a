"""The whole brand checked, table by table, into the model the generator,
the preview and the disc tools read (model.py). Every mistake is reported
once, at its line; a value refused or a key astray leaves no false
follow-ons in the tables that refer to it."""
import os
import re

from ..cd.disc_names import fold
from . import keys as schema
from . import model, pages
from .art import cursor, icon, lit_pictures, picture_pair
from .findings import BrandError, Findings, LINE_MAX, nearest, named, shown, unprintable
from .languages import languages
from .parse import parse
from .values import Checker

PROBE_PAGE = "probe.htm"  # on the disc, when the brand names none
ZONE_KEYS = {key.name for key in schema.of("zone")}
DEFAULT_NO_PROGRAM = "There is no program on this computer to open this file."
HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_CURSOR = os.path.join(HERE, "..", "..", "assets", "hand.cur")


def load(path: str) -> model.Brand:
    """The checked brand; raises BrandError with every mistake, one line each."""
    path = os.path.relpath(path) if not os.path.isabs(path) else path
    report = Findings(path=path, folder=os.path.dirname(os.path.abspath(path)))
    try:
        with open(path, "rb") as f:
            raw = f.read()
    except OSError as error:
        raise BrandError("%s:1: cannot read the brand file (%s)" % (path, error.strerror)) from None
    # The brand file, and the package that reads it: a change to either remakes the tables.
    report.files.add(os.path.abspath(path))
    report.files.update(os.path.join(HERE, name) for name in os.listdir(HERE) if name.endswith(".py"))
    data = parse(report, raw)
    out = check(report, data) if data is not None else None
    if report.errors or out is None:
        raise BrandError("\n".join(report.errors))
    about = out["about"] and model.build(model.About, dict(
        out["about"], controls=tuple(model.build(model.Control, c) for c in out["about"]["controls"])))
    return model.Brand(
        source=path,
        identity=model.build(model.Identity, dict(out["identity"], own_description=out["own_description"])),
        menu=model.build(model.Menu, dict(out["menu"], focus=tuple(out["menu"]["focus"]))),
        disc=model.build(model.Disc, out["disc"]), zones=tuple(model.build(model.Zone, z) for z in out["zones"]),
        about=about, messages=model.build(model.Messages, out["messages"]),
        pages=tuple(model.build(model.Page, dict(page, focus=tuple(page["focus"]))) for page in out["pages"]),
        languages=[(tag, model.Given(**given) if given else model.Given()) for tag, given in out["languages"]],
        files=sorted(report.files), warnings=report.warnings + report.notes, places=report.places)


def check(report: Findings, data: dict) -> dict:
    """The checked tables, as dicts of the model's fields by table."""
    out = {}
    for name in ("identity", "menu", "disc"):
        out[name] = check_table(report, (name,), data[name], name, None, name, "[%s]" % name) if name in data else None
    # A table missing beside an unknown one is most likely that one misspelt:
    # one message says both.
    missing = ["[%s]" % name for name in ("identity", "menu", "disc") if name not in data and name not in report.lost]
    loose = [key for key in data if key not in schema.TABLES and not isinstance(data[key], dict)]
    home = next((table for table in ("identity", "menu", "disc") if len(loose) > 1 and all(
        any(k.name == key for k in schema.of(table)) for key in loose)), None)
    if home:
        # A header lost above its keys: one mistake.
        report.error((loose[0],), "keys %s stand outside any table; they are keys of [%s]: is its header missing "
                     "above them?" % (", ".join(repr(key) for key in loose), home))
        missing = [name for name in missing if name != "[%s]" % home]
    for key in data:
        if key not in schema.TABLES and not (home and key in loose):
            what = "table [%s]" % key if isinstance(data[key], dict) else "key %r outside any table" % key
            report.error((key,), "unknown %s%s; a brand has %s%s" % (
                what, nearest(key, schema.TABLES), ", ".join(schema.HEADERS[t] for t in schema.TABLES),
                "; it has no %s" % ", ".join(missing) if missing else ""))
            missing = []
            report.unchecked |= {("zone", None), ("control", None)}  # they may be in it
            report.lost.add("about")
    for name in missing:
        report.error((), "the brand needs a %s table" % name)
    identity, menu, disc = out["identity"], out["menu"], out["disc"]
    if identity is not None:
        identity.setdefault("product_version", identity.get("version"))
        out["own_description"] = "description" in identity  # else each language's follows its title
        identity.setdefault("description", identity.get("title"))
        identity.setdefault("exe", "Startboard.exe")
        identity.setdefault("language", "en")
        if "icon" in identity:
            icon(report, ("identity", "icon"), identity["icon"])
        if "assembly_name" not in identity:
            words = [re.sub(r"[^A-Za-z0-9]", "", w) for w in (identity.get("company", "").split()[:1] +
                                                              [identity.get("product", "")])]
            identity["assembly_name"] = ".".join(w for w in words if w) or "Startboard"
    size = frame = None
    if menu is not None:
        cursor(report, ("menu",), menu)
        if "cursor" not in menu:
            menu["cursor"] = os.path.abspath(DEFAULT_CURSOR)
            report.files.add(menu["cursor"])
        size = menu.get("size")
        # Zones lie on the picture: where size disagrees, that is the one mistake.
        frame = picture_pair(report, ("menu",), menu, "picture", "menu.picture", True, size,
                             lambda found, size: "menu.picture is %dx%d but menu.size says %dx%d" % (*found, *size))
        lit_pictures(report, menu, size)
    if disc is not None:
        probe_page(report, disc)
    if disc is not None and "label" in disc:
        volume = re.sub(r"[^A-Z0-9_]", "", disc["label"].upper())[:32] or "STARTBOARD"
        disc.setdefault("volume_id", volume)
    names: dict[str, str] = {}
    out["zones"] = zones(report, data.get("zone"), frame or size, names=names)
    # Every page's zones follow the menu's, each marked with its page.
    placed = [(("zone", index), zone) for index, zone in enumerate(out["zones"])]
    # Pages are measured against the menu's picture, once that is right.
    out["pages"], more = pages.check(report, data.get("page"), out["zones"], menu or {},
                                     size if frame == size else None, names)
    placed += more
    out["about"] = about(report, data.get("about"))
    opens_about = [where for where, z in placed if z and z.get("action") == "about"]
    if "about" not in data and opens_about:
        report.error(opens_about[0] + ("action",), 'an "about" zone needs an [about] window; add one or '
                     "choose another action")
    every = [z for _, z in placed]
    if "about" in data and not opens_about and all(every) and ("zone", None) not in report.unchecked:
        report.error(("about",), 'the [about] window is never shown: give a zone action = "about", '
                     "or remove the window")
    if every and all(every) and not any(z.get("action") == "quit" for z in every):
        report.warn(("zone", 0), "no zone quits: the window has no title bar, so users can close it only with "
                    'Alt+F4; give a zone action = "quit"')
    out["zones"] = [z for z in every if z]
    if menu is not None:
        menu["focus"] = focus_order(report, menu, [z for z in out["zones"] if not z.get("on_page")])
    out["messages"] = {key.name: key.default for key in schema.of("messages")}
    if "messages" in data:
        out["messages"].update(check_table(report, ("messages",), data["messages"], "messages", None, "messages")
                               or {})
    out["languages"] = languages(report, data.get("language"), out) if identity is not None else []
    return out


def check_table(report: Findings, where, table, name, kind, what, owner=None):
    """The table's keys (those of `name` that `kind` takes) checked; unknown
    and missing keys reported (missing ones as `owner`'s). The checked values."""
    checker = Checker(report)
    if not isinstance(table, dict):
        report.error(where, "%s must be a table" % what)
        return None
    entries = {key.name: key for key in schema.of(name) if kind is None or key.taken_by(kind)}
    out = {}
    strays = [key for key in table if key not in entries]
    before = len(report.errors)
    for key, value in table.items():
        if key in entries:
            checked = checker.value(where + (key,), entries[key].kind, value, "%s.%s" % (what, key))
            if checked is not None:
                out[key] = checked
            else:
                report.failed.add(where + (key,))
    lacking = [key.name for key in entries.values() if key.needed_by(kind) and key.name not in table]
    if lacking and "name" in table and name in ("zone", "control"):
        report.unchecked.add((name, None))  # a key renamed to `name` renames it too
    if strays:
        report.astray.add(where)
        # One message for the keys that do not belong, with the keys missing:
        # a key misspelt, or a header lost above keys of another table, is
        # one mistake.
        report.error(where + (strays[0],), stray_keys(report, name, what, strays, entries, lacking))
    elif lacking and len(report.errors) > before:
        # A key renamed to another this table takes: its value is wrong, and that says it.
        report.errors[-1] += "; %s %s missing" % (", ".join(lacking), "is" if len(lacking) == 1 else "are")
    elif lacking:
        report.error(where, "%s needs %s" % (owner or what, ", ".join(lacking)))
    return out


def stray_keys(report: Findings, name, what, strays, entries, lacking):
    """The message for keys a table does not take; notes in report.lost the
    tables whose header seems lost above them."""
    takers = [k for k in schema.of(name) if k.name in strays]
    if len(strays) == 1 and takers:
        message = "%s: %s is for %s only; this one takes %s" % (
            what, strays[0], " and ".join(takers[0].takes), ", ".join(entries))
    elif len(strays) == 1:
        message = "%s has no key %r%s; it takes %s" % (what, strays[0], nearest(strays[0], entries), ", ".join(entries))
    else:
        message = "%s has no keys %s; it takes %s" % (what, ", ".join(repr(k) for k in strays), ", ".join(entries))
    homes = [table for table in ("identity", "menu", "disc", "zone", "about", "control") if table != name and
             len(strays) > 1 and all(any(k.name == key for k in schema.of(table)) for key in strays)]
    if homes:
        report.lost.add(homes[0])
        report.unchecked.add((homes[0], None))
        message += "; they are keys of %s: is its header missing above them?" % schema.HEADERS[homes[0]]
    if name in ("zone", "control", "about"):
        report.unchecked.add(("control" if name == "about" else name, None))  # names may be among them
    if lacking:
        message += "; %s %s missing" % (", ".join(lacking), "is" if len(lacking) == 1 else "are")
    return message


def focus_order(report: Findings, menu, zones_, keyboard=None, place=("menu",), what="menu"):
    """The zones' indices the keyboard visits, in order: focus_order's names
    (each a zone, once), or every zone."""
    keyboard = menu.get("keyboard") if keyboard is None else keyboard
    names = menu.get("focus_order")
    if names is None:
        return list(range(len(zones_))) if keyboard else []
    where = place + ("focus_order",)
    if not keyboard:
        report.error(where, "%s.focus_order goes with keyboard = true; add it or remove focus_order" % what)
    known = {z["name"].lower(): i for i, z in enumerate(zones_)}
    order = []
    for name in names:
        index = known.get(name.lower())
        if index is None and {("zone", name.lower()), ("zone", None)} & report.unchecked:
            continue  # the zone is there; its action is reported
        if index is None:
            report.error(where, "%s.focus_order: no zone is named %s%s; the zones are %s" % (
                what, shown(name), nearest(name, [z["name"] for z in zones_]), ", ".join(z["name"] for z in zones_)))
        elif index in order:
            report.error(where, "%s.focus_order names zone %s twice" % (what, shown(name)))
        else:
            order.append(index)
    return order


def on_disc(folder, path):
    """Whether the disc path (parts joined by \\) is a file in `folder`, found
    as Windows finds it, without regard to case."""
    for part in path.split("\\"):
        try:
            names = {fold(n): n for n in os.listdir(folder)}
        except OSError:
            return False
        folder = os.path.join(folder, names.get(fold(part), part))
    return os.path.isfile(folder)


def probe_page(report: Findings, disc):
    """The page the launcher asks Windows to open to find the web browser:
    one the brand names must be among its disc files; without one, the disc
    gets the build's own (disc.own_probe_page says which)."""
    disc["own_probe_page"] = "probe_page" in disc
    if not report.given(("disc", "probe_page")):
        disc["probe_page"] = PROBE_PAGE
    elif "probe_page" in disc and "files" in disc and not on_disc(disc["files"], disc["probe_page"]):
        report.error(("disc", "probe_page"), "disc.probe_page: %s is not in the disc files folder (%s): the launcher "
                     "opens this small HTML page to learn which program is the web browser; put the page there, "
                     "or remove probe_page and the build writes one" % (
                        named(disc["probe_page"]), named(os.path.basename(disc["files"]))))


def outside(rect, size, what, frame):
    """How a rectangle runs past `size`, in a publisher's words, or None."""
    left, top, width, height = rect
    edges = [("right", left + width - size[0]), ("bottom", top + height - size[1])]
    past = ["%d px past the %s edge" % (over, edge) for edge, over in edges if over > 0]
    if not past:
        return None
    return "%s runs %s of the %dx%d %s (rect %s)" % (what, " and ".join(past), *size, frame, shown(list(rect)))


def called(table, index, kind="zone"):
    """How messages name a zone or About control: by the name the file gives
    it, when that is a name, or by its place."""
    name = table.get("name") if isinstance(table, dict) else None
    if isinstance(name, str) and name.strip() and len(name) <= LINE_MAX and unprintable(name, False) is None:
        return "%s %s" % (kind, name)
    return "%s %d" % (kind, index + 1)


def zones(report: Findings, tables, size, place=(), label="", names=None):
    """One entry per [[zone]] (or a page's [[page.zone]], below `place`): its
    checked table, or None where its action is unknown (so indices stay those
    of the file). `names`: every zone's so far, by name, across pages. The
    names of those it could not check go to report.unchecked: other tables
    may still name them."""
    if not isinstance(tables, list) or not tables:
        report.error(place + ("zone",) if tables is not None else place, "the %s needs at least one [[%s]]" % (
            label.strip() or "brand", "page.zone" if place else "zone"))
        return []
    result: list[dict | None] = []
    names = {} if names is None else names
    for index, table in enumerate(tables):
        where = place + ("zone", index)
        what = label + called(table, index)
        action = table.get("action") if isinstance(table, dict) else None
        if action not in schema.ACTIONS:
            if not isinstance(table, dict):
                report.error(where, "%s must be a table" % what)
            elif action is None:
                report.error(where, "%s needs action" % what)
            else:
                report.error(where + ("action",), "%s: action must be one of %s, not %s%s" % (
                    what, ", ".join(schema.ACTIONS), shown(action), nearest(action, schema.ACTIONS)))
            name = table.get("name", default_name(index, place, names)) if isinstance(table, dict) else None
            if isinstance(name, str):
                report.unchecked.add(("zone", name.lower()))
            result.append(None)
            continue
        taken = isinstance(table.get("name"), str) and table["name"].lower() in names
        if taken:
            what = "%szone %d" % (label, index + 1)
        zone = check_table(report, where, table, "zone", action, "%s (%s)" % (what, action), what)
        zone["where"] = where
        if where + ("name",) in report.failed:
            report.unchecked.add(("zone", None))  # what other tables call it cannot be told
        zone.setdefault("name", default_name(index, place, names))
        if taken:
            report.error(where + ("name",), "%s: name %s is taken by %s" % (
                what, shown(zone["name"]), names[zone["name"].lower()]))
        names.setdefault(zone["name"].lower(), what)
        if "rect" in zone and size:
            past = outside(zone["rect"], size, what, "menu picture")
            if past:
                report.error(where + ("rect",), past)
        if "question_title" in zone and "question" not in table and set(table) <= ZONE_KEYS:
            report.error(where + ("question_title",), "%s has a question_title but no question" % what)
        if action == "open":
            zone.setdefault("no_program", DEFAULT_NO_PROGRAM)
        result.append(zone)
    return result


def default_name(index, place, names):
    """A zone's name when it gives none: by its place in the menu, or after
    every zone so far on a page."""
    return "Zone%d" % (len(names) + 1 if place else index + 1)


def about(report: Findings, table):
    if table is None:
        return None
    where = ("about",)
    if not isinstance(table, dict):
        report.error(where, "[about] must be a table")
        return None
    controls = table.get("control", [])
    own = {k: v for k, v in table.items() if k != "control"}
    # Made by its controls' headers alone, beside a table of another name: that one is its own, misspelt.
    window = check_table(report, where, own, "about", None, "[about]") if own or "about" not in report.lost else {}
    window["controls"] = []
    if not isinstance(controls, list):
        report.error(where + ("control",), "[about] controls must be [[about.control]] tables")
        return window
    size = window.get("size")  # None after its own error: then no control is "outside"
    outside_window: list[tuple[tuple, str, tuple]] = []
    for index, control in enumerate(controls):
        place = ("about", "control", index)
        what = called(control, index, "about control")
        kind = control.get("kind") if isinstance(control, dict) else None
        if kind not in schema.CONTROLS:
            report.error(place + ("kind",), "%s: kind must be one of %s, not %s%s" % (
                what, ", ".join(schema.CONTROLS), shown(kind) if kind is not None else "missing",
                nearest(kind, schema.CONTROLS) if isinstance(kind, str) else ""))
            name = control.get("name") if isinstance(control, dict) else None
            report.unchecked.add(("control", name.lower() if isinstance(name, str) else None))
            continue
        checked = check_table(report, place, control, "control", kind, "%s (%s)" % (what, kind), what)
        checked["where"] = place
        if place + ("name",) in report.failed:
            report.unchecked.add(("control", None))
        checked.setdefault("name", "%s%d" % (kind.capitalize(), index + 1))
        rect = checked.get("rect")
        if rect and size and (rect[0] >= size[0] or rect[1] >= size[1]):
            outside_window.append((place + ("rect",), what, rect))
        if "tooltip" in checked and "url" not in control and ("control", None) not in report.unchecked:
            report.error(place + ("tooltip",), "%s has a tooltip but no url: only links show tips" % what)
        if kind == "picture" and "file" in checked:
            picture_pair(report, place, checked, "file", what + " file", False)
        window["controls"].append(checked)
    if len(outside_window) > 1:
        # Several at once: the window's size is the likelier mistake.
        report.error(where + ("size",), "[about].size is %dx%d, and %d controls lie wholly outside it (%s): "
                     "make the window larger or move them" % (
                         *size, len(outside_window), ", ".join(name for _, name, _ in outside_window)))
    for spot, label, rect in outside_window[:1] if len(outside_window) == 1 else []:
        report.error(spot, "%s lies wholly outside the %dx%d About window: its left or top edge is past the "
                     "window's (rect %s)" % (label, *size, shown(list(rect))))
    return window

"""A brand's [language.TAG] tables: what each gives of its own, checked
against the brand's own texts and pictures."""
from . import keys as schema
from . import labels, pictures
from .art import WINDOW_LIMIT, picture_pair
from .findings import Findings, nearest, shown
from .values import Checker


def own_texts(out):
    """[(part, name or None, key)] of every text of the brand a language may
    give its own of."""
    found = [("identity", None, key.name) for key in schema.translated("identity")
             if key.kind in ("line", "text") and key.name in out["identity"]]
    for zone in out["zones"]:
        found += [("zone", zone["name"], key.name) for key in schema.translated("zone")
                  if key.kind in ("line", "text") and key.name in zone]
    if out["about"]:
        found += [("about", None, "title")] if "title" in out["about"] else []
        for control in out["about"]["controls"]:
            found += [("control", control["name"], key.name) for key in schema.translated("control")
                      if key.kind in ("line", "text") and key.name in control]
    return found + [("messages", None, key.name) for key in schema.of("messages")]


def local_table(report: Findings, where, table, name, kind, what, own):
    """A language's table for one of the brand's: only texts and pictures the
    brand's own table (`own`) has, checked as the brand's are."""
    checker = Checker(report)
    if not isinstance(table, dict):
        report.error(where, "%s must be a table" % what)
        return {}
    allowed = [key for key in schema.translated(name) if key.taken_by(kind)]
    own_where = own.get("where", (name,))
    out = {}
    for key, value in table.items():
        entry = next((k for k in allowed if k.name == key), None)
        known = next((k for k in schema.of(name) if k.name == key), None)
        if entry is None:
            if known and known.translated:
                report.error(where + (key,), "%s: %s is for %s only" % (what, key, " and ".join(known.takes)))
            elif known:
                report.error(where + (key,), "%s: %s is the same in every language; a language gives %s" % (
                    what, key, ", ".join(k.name for k in allowed)))
            else:
                report.error(where + (key,), "%s has no key %r%s; a language gives %s" % (
                    what, key, nearest(key, [k.name for k in allowed]), ", ".join(k.name for k in allowed)))
            continue
        if own.get(key) is None and not (entry.kind == "picture_2x" and own.get(key[:-3]) is not None):
            if entry.needed_by(kind) or own_where + (key,) in report.failed or own_where in report.astray:
                continue  # the brand's own is reported missing or wrong
            report.error(where + (key,), "%s: the brand has no %s of its own; a language gives its own of what the "
                         "brand has" % (what, key))
            continue
        checked = checker.value(where + (key,), entry.kind, value, "%s.%s" % (what, key))
        if checked is not None:
            out[key] = checked
    return out


def local_pictures(report: Findings, where, table, name, what, opaque, own):
    """A language's pictures beside their 2x; a 1x the same size as the brand's."""
    for key in schema.translated(name):
        if key.kind != "picture":
            continue
        two = key.name + "_2x"
        if two in table and key.name not in table:
            report.error(where + (two,), "%s gives %s but not %s: give the picture and its 2x together" % (
                what, two, key.name))
        if key.name not in table:
            continue
        size = None
        if own is not None and key.name in own:
            try:
                size = pictures.read(own[key.name], WINDOW_LIMIT)[:2]
            except pictures.PictureError:
                pass  # reported with the brand's own picture
        picture_pair(report, where, table, key.name, "%s.%s" % (what, key.name), opaque, size,
                     lambda found, size: "%s.%s is %dx%d; the brand's %s is %dx%d" % (
                         what, key.name, *found, key.name, *size))


def by_name(report: Findings, where, tables, owners, what, kind):
    """{owner's index: its table} of a language's zones or controls, which it
    names; an unknown name is reported with the nearest."""
    if not isinstance(tables, dict):
        report.error(where, "%s must be tables named after the brand's: [%s.NAME]" % (what, ".".join(where)))
        return {}
    names = {owner["name"]: index for index, owner in enumerate(owners)}
    found = {}
    for name, table in tables.items():
        if name not in names and {(kind, name.lower()), (kind, None)} & report.unchecked:
            continue  # one whose action or kind is reported
        if name not in names and (kind, name) in report.named:
            # Another language named it first: one message for the name.
            report.errors[report.named[kind, name]] += "; %s names it too (line %d)" % (
                what.rsplit(" ", 1 if kind == "zone" else 2)[0], report.line(where + (name,)))
        elif name not in names:
            report.named[kind, name] = len(report.errors)
            report.error(where + (name,), "%s: the brand has none named %s%s; it has %s" % (
                what, shown(name), nearest(name, names), ", ".join(names) or "none"))
        else:
            found[names[name]] = table
    return found


LANGUAGE_PARTS = ("identity", "menu", "zone", "page", "about", "messages")


def language(report: Findings, tag, body, out):
    """One [language.TAG]: what it gives, checked against the brand's own."""
    where = ("language", tag)
    label = "language %s" % tag
    given: dict[str, dict] = {"identity": {}, "menu": {}, "zones": {}, "about": {}, "controls": {}, "messages": {},
                              "pages": {}}
    if not isinstance(body, dict):
        report.error(where, "[language.%s] must be a table" % tag)
        return given
    for part, table in body.items():
        place = where + (part,)
        if part not in LANGUAGE_PARTS:
            report.error(place, "%s has no table %r%s; it takes %s" % (
                label, part, nearest(part, LANGUAGE_PARTS), ", ".join(LANGUAGE_PARTS)))
        elif part == "zone":
            for index, zone in by_name(report, place, table, out["zones"], label + " zone", "zone").items():
                own = out["zones"][index]
                what = "%s zone %s" % (label, own["name"])
                given["zones"][index] = local_table(report, place + (own["name"],), zone, "zone", own["action"],
                                                    what, own)
        elif part == "page":
            for index, page in by_name(report, place, table, out["pages"], label + " page", "page").items():
                own = out["pages"][index]
                what = "%s page %s" % (label, own["name"])
                given["pages"][index] = local_table(report, place + (own["name"],), page, "page", None, what, own)
                local_pictures(report, place + (own["name"],), given["pages"][index], "page", what, True, own)
        elif part == "about":
            if out["about"] is None:
                report.error(place, "%s: the brand has no [about] window" % label)
                continue
            window = dict(table) if isinstance(table, dict) else table
            controls = window.pop("control", {}) if isinstance(window, dict) else {}
            given["about"] = local_table(report, place, window, "about", None, label + " about", out["about"])
            owners = out["about"]["controls"]
            for index, control in by_name(report, place + ("control",), controls, owners,
                                          label + " about control", "control").items():
                own = owners[index]
                what = "%s about control %s" % (label, own["name"])
                spot = place + ("control", own["name"])
                mine = given["controls"][index] = local_table(report, spot, control, "control", own["kind"], what, own)
                local_pictures(report, spot, mine, "control", what, False, None)
                fit(report, spot + ("text",), own, mine.get("text"), what)
        else:
            own = out["menu"] if part == "menu" else out[part]
            given[part] = local_table(report, place, table, part, None, "%s %s" % (label, part), own or {})
            if part == "menu" and own:
                local_pictures(report, place, given["menu"], "menu", label + " menu", True, own)
    return given


def fit(report: Findings, where, own, text, what):
    """A label's translation that needs more lines than its rectangle holds,
    where the brand's own text fits, is cut at the label's edge: a warning.
    A label whose own rectangle or text is wrong has been reported already."""
    if text is None or "rect" not in own or "text" not in own:
        return
    bold, width = own.get("bold", False), own["rect"][2]
    held = max(labels.lines_held(own["rect"][3]), labels.lines_needed(own["text"], bold, width))
    needed = labels.lines_needed(text, bold, width)
    if needed > held:
        report.warn(where, "%s: the text needs %d lines and the label (rect %s) holds %d; its end will be cut off" % (
            what, needed, shown(list(own["rect"])), held))


def languages(report: Findings, tables, out):
    """[(tag, what it gives)] of the brand's languages, its own first (giving
    nothing: its texts are the brand's)."""
    own = out["identity"].get("language")
    found = [(own, None)] if own else []
    if tables is None or own is None:
        return found
    if not isinstance(tables, dict):
        report.error(("language",), "language must be tables [language.TAG]")
        return found
    texts = own_texts(out)
    seen: dict[str, tuple[str, str]] = {}
    summary = ["%s (the brand's own)" % own]
    for written, body in tables.items():
        tag = Checker(report).kind_language(("language", written), written, "[language.%s]" % written)
        if tag is None:
            continue
        if tag == own:
            report.error(("language", written), "[language.%s] is the brand's own language (identity.language, "
                         "en by default): its texts are those of the brand's own tables" % written)
            continue
        if tag in seen:
            report.error(("language", written), "[language.%s] is given twice: [language.%s] at line %d is %s "
                         "already" % (written, seen[tag][1], report.line(seen[tag]), tag))
            continue
        seen[tag] = ("language", written)
        given = language(report, written, body, out)
        count = sum(1 for part, name, key in texts if key in part_of(given, part, name, out))
        summary.append("%s %d of %d texts" % (tag, count, len(texts)))
        found.append((tag, given))
    report.notes.append("%s: languages: %s" % (report.path, ", ".join(summary)))
    return found


def part_of(given, part, name, out):
    if part == "zone":
        index = next(i for i, z in enumerate(out["zones"]) if z["name"] == name)
        return given["zones"].get(index, {})
    if part == "control":
        index = next(i for i, c in enumerate(out["about"]["controls"]) if c["name"] == name)
        return given["controls"].get(index, {})
    return given[part]

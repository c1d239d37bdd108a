"""A brand's pages beyond its menu: each a picture of the menu's size with
zones of its own, opened by a zone's `action = "page"` and left by `back`
(or Escape), or opened first where its `when` holds. Their tables are
emit.py's."""
import difflib

from . import keys as schema
from .art import lit_pictures, picture_pair
from .findings import Findings, shown

MENU = "menu"  # what `page = "menu"` opens: the menu itself
PAGE_KEYS = {key.name for key in schema.of("page")}


def check(report: Findings, tables, menu_zones, menu, size, names):
    """The [[page]] tables checked, and every page's zones as [(where, zone
    or None)], each marked with its page's number (the menu is 0)."""
    from .check import check_table, focus_order, zones  # the checks a page shares with the menu
    found, placed = [], []
    if tables is not None and not isinstance(tables, list):
        report.error(("page",), "page must be [[page]] tables, one a page")
        tables = []
    seen = {MENU: "the menu"}
    for index, table in enumerate(tables or []):
        where = ("page", index)
        if not isinstance(table, dict):
            report.error(where, "page %d must be a table" % (index + 1))
            continue
        page = check_table(report, where, {k: v for k, v in table.items() if k != "zone"}, "page", None,
                           "page %d" % (index + 1))
        page["where"] = where
        # Even when mistaken, or maybe misspelt: a page that may open first.
        page["conditional"] = "when" in table or "unless" in table or any(
            key != "zone" and key not in PAGE_KEYS for key in table)
        if not isinstance(table.get("name"), str) or where + ("name",) in report.failed:
            report.unchecked.add(("page", None))  # what languages call it cannot be told
        name = page.setdefault("name", "page%d" % (index + 1))
        if name.lower() in seen:
            report.error(where + ("name",), "page %d: name %s is taken by %s" % (
                index + 1, shown(name), seen[name.lower()]))
        seen.setdefault(name.lower(), "page %d" % (index + 1))
        what = "page %s" % name
        picture_pair(report, where, page, "picture", what + " picture", True, size, lambda found, size: (
            "%s: picture is %dx%d; a page is the menu's size, %dx%d" % (what, *found, *size)))
        lit_pictures(report, page, size, where, what)
        mine = zones(report, table.get("zone"), size, where, what + " ", names)
        for number, zone in enumerate(mine):
            if zone:
                zone["on_page"] = index + 1
            placed.append((where + ("zone", number), zone))
        page["focus"] = focus_order(report, page, [z for z in mine if z], menu.get("keyboard"), where, what)
        found.append(page)
    targets(report, [(("zone", n), z) for n, z in enumerate(menu_zones)] + placed, found)
    return found, placed


def targets(report: Findings, placed, found):
    """Each `page` zone's page, by number; every page shown some way; a page
    with no way out warned of."""
    numbers = {MENU: 0, **{page["name"].lower(): n for n, page in enumerate(found, 1)}}
    opened = set()
    for where, zone in placed:
        if not zone:
            continue
        if zone["action"] == "back" and not found:
            report.error(where + ("action",), 'zone %s: "back" goes with pages, and the brand has only its '
                         "menu" % zone["name"])
        if zone["action"] != "page" or "page" not in zone:
            continue
        number = numbers.get(zone["page"].lower())
        if number is None:
            close = difflib.get_close_matches(zone["page"], list(numbers), n=1, cutoff=0.5)
            report.error(where + ("page",), "zone %s: no page is named %s%s; the pages are %s" % (
                zone["name"], shown(zone["page"]), " (did you mean %r?)" % close[0] if close else "",
                ", ".join(numbers)))
        elif number == zone.get("on_page", 0):
            report.error(where + ("page",), "zone %s opens the page it is on" % zone["name"])
        else:
            zone["page_number"] = number
            opened.add(number)
    for number, page in enumerate(found, 1):
        where = ("page", number - 1)
        if number not in opened and not page["conditional"]:
            report.error(where, 'page %s is never shown: give a zone action = "page", page = %s, or give the '
                         "page a when to open first" % (page["name"], shown(page["name"])))
        leaves = [z for _, z in placed if z and z.get("on_page") == number and
                  z["action"] in ("back", "page", "quit")]
        if not leaves:
            report.warn(where, 'page %s has no zone that leaves it (action "back", "page" or "quit")' % page["name"])

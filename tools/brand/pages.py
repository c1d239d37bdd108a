"""A brand's pages beyond its menu: each a picture of the menu's size with
zones of its own, opened by a zone's `action = "page"` and left by `back`
(or Escape), or opened first where its `when` holds; checked, and turned
into the tables the launcher walks."""
import difflib

import conditions
import emit

MENU = "menu"  # what `page = "menu"` opens: the menu itself


def check(brand, tables, menu_zones, menu, size, names, checks):
    """The [[page]] tables checked, and every page's zones as [(where, zone
    or None)], each marked with its page's number (the menu is 0). `checks`
    is the checker (brand.py) whose table, picture and zone checks a page
    shares."""
    found, placed = [], []
    if tables is not None and not isinstance(tables, list):
        brand.error(("page",), "page must be [[page]] tables, one a page")
        tables = []
    seen = {MENU: "the menu"}
    for index, table in enumerate(tables or []):
        where = ("page", index)
        if not isinstance(table, dict):
            brand.error(where, "page %d must be a table" % (index + 1))
            continue
        page = checks.check_table(brand, where, {k: v for k, v in table.items() if k != "zone"}, "page", None,
                                  "page %d" % (index + 1))
        page["conditional"] = "when" in table or "unless" in table  # even when mistaken
        name = page.setdefault("name", "page%d" % (index + 1))
        if name.lower() in seen:
            brand.error(where + ("name",), "page %d: name %s is taken by %s" % (
                index + 1, checks.shown(name), seen[name.lower()]))
        seen.setdefault(name.lower(), "page %d" % (index + 1))
        what = "page %s" % name
        found_size = checks.picture_pair(brand, where, page, "picture", what + " picture", True)
        if found_size and size and found_size != size:
            brand.error(where + ("picture",), "%s: picture is %dx%d; a page is the menu's size, %dx%d" % (
                what, *found_size, *size))
        checks.lit_pictures(brand, page, size, where, what)
        zones = checks.zones(brand, table.get("zone"), size, where, what + " ", names)
        for number, zone in enumerate(zones):
            if zone:
                zone["on_page"] = index + 1
            placed.append((where + ("zone", number), zone))
        page["focus"] = checks.focus_order(brand, page, [z for z in zones if z], menu.get("keyboard"), where,
                                           what)
        found.append(page)
    targets(brand, [(("zone", n), z) for n, z in enumerate(menu_zones)] + placed, found, checks)
    return found, placed


def targets(brand, placed, found, checks):
    """Each `page` zone's page, by number; every page shown some way; a page
    with no way out warned of."""
    numbers = {MENU: 0, **{page["name"].lower(): n for n, page in enumerate(found, 1)}}
    opened = set()
    for where, zone in placed:
        if not zone:
            continue
        if zone["action"] == "back" and not found:
            brand.error(where + ("action",), 'zone %s: "back" goes with pages, and the brand has only its '
                        "menu" % zone["name"])
        if zone["action"] != "page" or "page" not in zone:
            continue
        number = numbers.get(zone["page"].lower())
        if number is None:
            close = difflib.get_close_matches(zone["page"], list(numbers), n=1, cutoff=0.5)
            brand.error(where + ("page",), "zone %s: no page is named %s%s; the pages are %s" % (
                zone["name"], checks.shown(zone["page"]), " (did you mean %r?)" % close[0] if close else "",
                ", ".join(numbers)))
        elif number == zone.get("on_page", 0):
            brand.error(where + ("page",), "zone %s opens the page it is on" % zone["name"])
        else:
            zone["page_number"] = number
            opened.add(number)
    for number, page in enumerate(found, 1):
        where = ("page", number - 1)
        if number not in opened and not page["conditional"]:
            brand.error(where, 'page %s is never shown: give a zone action = "page", page = %s, or give the '
                        "page a when to open first" % (page["name"], checks.shown(page["name"])))
        leaves = [z for _, z in placed if z and z.get("on_page") == number and
                  z["action"] in ("back", "page", "quit")]
        if not leaves:
            brand.warn(where, 'page %s has no zone that leaves it (action "back", "page" or "quit")' % page["name"])


def used(brand):
    """Whether the brand has more than its menu to tell the launcher: pages,
    an off picture, or conditions. Without, its tables stay as they were."""
    return bool(brand["pages"]) or "off" in brand["menu"] or any(
        "when" in z or "unless" in z for z in brand["zones"])


def condition_tables(brand):
    """Every `when` and `unless` (the same in every language), by the name
    the rows use."""
    lines = []
    for number, zone in enumerate(brand["zones"]):
        for key in ("when", "unless"):
            if key in zone:
                lines.append(conditions.rows("k%sZone%d" % (key.capitalize(), number), zone[key]))
    for number, page in enumerate(brand["pages"], 1):
        for key in ("when", "unless"):
            if key in page:
                lines.append(conditions.rows("k%sPage%d" % (key.capitalize(), number), page[key]))
        lines.append("inline constexpr std::array<int, %d> kFocusOrderPage%d{%s};" % (
            len(page["focus"]), number, ", ".join(str(i) for i in page["focus"])))
    return lines


def zone_fields(zone, number):
    """A zone row's conditions (`number`: its place among every page's zones)."""
    return "".join(", .%s = k%sZone%d" % (key, key.capitalize(), number) for key in ("when", "unless")
                   if key in zone)


def action_fields(item):
    """An action row's fields for the keys pages brought."""
    fields = []
    if item.get("arguments"):
        fields.append(", .arguments = %s" % emit.cpp_string(item["arguments"]))
    if item.get("elevate"):
        fields.append(", .elevate = true")
    if "page_number" in item:
        fields.append(", .page = %d" % item["page_number"])
    return "".join(fields)


def page_tables(view, art, zone_row):
    """A language's pages, the menu first: each page's zones, then the list.
    `art(table, key)` is a picture's row or None; `zone_row(zone, number)` a
    zone's row."""
    lines = []
    rows = []
    menu = view["menu"]
    numbered = list(enumerate(view["zones"]))
    for number, page in enumerate([menu] + view["pages"]):
        mine = [(n, z) for n, z in numbered if z.get("on_page", 0) == number]
        if number:
            lines += ["inline constexpr std::array<HotZone, %d> kZonesPage%d{{" % (len(mine), number)]
            lines += ["    %s," % zone_row(zone, n) for n, zone in mine] + ["}};"]
        fields = [".name = %s" % emit.cpp_string(page.get("name", MENU))]
        for key, field in (("picture", "art"), ("hover", "hover"), ("pressed", "pressed"), ("off", "off")):
            row = art(page, key)
            if row:
                fields.append(".%s = %s" % (field, row))
        fields += [".zones = %s" % ("kZonesPage%d" % number if number else "kZones"),
                   ".focusOrder = %s" % ("kFocusOrderPage%d" % number if number else "kFocusOrder")]
        fields += [".%s = k%sPage%d" % (key, key.capitalize(), number) for key in ("when", "unless") if key in page]
        rows.append("    {%s}," % ", ".join(fields))
    return lines + ["inline constexpr std::array<Page, %d> kPages{{" % len(rows)] + rows + ["}};"]

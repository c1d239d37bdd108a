#!/usr/bin/python3
"""A launcher's brand file: read, checked and turned into the program's tables.

    brand.py generate BRAND.toml OUT_DIR [DEPFILE]   writes OUT_DIR/brand/Data.h,
                                                     Data.rc and Startboard.manifest
    brand.py check BRAND.toml                        only checks
    brand.py get BRAND.toml KEY                      prints exe, product, label or volume_id

A mistake stops it with "FILE:LINE: what is wrong and what is allowed", one
line each, and nothing written. Everything is checked here, at build time:
the program reads no configuration when it runs.
"""
import difflib
import os
import re
import struct
import sys
import tempfile
import tomllib
from dataclasses import dataclass, field

from PIL import Image

TWIPS = 15  # to a pixel at 96 dpi
ACTIONS = ("open", "install", "web", "about", "quit")
CONTROLS = ("picture", "label", "oval")
PICTURES = (".bmp", ".jpg", ".jpeg")
URL_SCHEMES = ("http://", "https://", "mailto:")
FORBIDDEN = set('<>:"|?*') | {chr(c) for c in range(32)}
DEFAULT_NO_PROGRAM = "There is no program on this computer to open this file."


class BrandError(Exception):
    pass


# --- The keys a brand may hold --------------------------------------------------
# Each key: (kind, required). Kinds: text (non-empty), str, int, bool, rect
# [left, top, width, height], size [width, height], colour "#RRGGBB", file (beside
# the brand file), disc (a path on the disc), url, version, name (a file name).
SCHEMA = {
    "identity": {"title": ("text", True), "product": ("text", True), "company": ("text", True),
                 "version": ("version", True), "product_version": ("version", False),
                 "copyright": ("text", False), "icon": ("file", True), "exe": ("name", False),
                 "assembly_name": ("str", False)},
    "menu": {"picture": ("file", True), "picture_2x": ("file", False), "size": ("size", True),
             "cursor": ("file", True)},
    "disc": {"probe_page": ("disc", True), "files": ("str", False), "label": ("text", True),
             "volume_id": ("str", False)},
    "zone": {"name": ("text", False), "rect": ("rect", True), "tooltip": ("text", True),
             "action": ("str", True), "document": ("disc", False), "no_program": ("text", False),
             "program": ("disc", False), "show_first": ("disc", False), "question": ("text", False),
             "question_title": ("text", False), "url": ("url", False)},
    "about": {"title": ("text", True), "size": ("size", True), "background": ("colour", True),
              "control": ("controls", True)},
    "control": {"kind": ("str", True), "name": ("text", False), "rect": ("rect", True),
                "file": ("file", False), "file_2x": ("file", False), "background": ("colour", False),
                "text": ("text", False), "colour": ("colour", False), "bold": ("bool", False),
                "underline": ("bool", False), "url": ("url", False), "tooltip": ("text", False)},
}
TOP = ("identity", "menu", "disc", "zone", "about")  # the tables a brand holds
# Keys each action (or control kind) takes beyond the common ones, the required first.
ACTION_KEYS = {"open": (("document",), ("no_program",)),
               "install": (("program",), ("show_first", "question", "question_title")),
               "web": (("url",), ()), "about": ((), ()), "quit": ((), ())}
ZONE_COMMON = ("name", "rect", "tooltip", "action")
CONTROL_KEYS = {"picture": (("file", "background"), ("file_2x",)),
                "label": (("text", "colour"), ("background", "bold", "underline", "url", "tooltip")),
                "oval": (("colour",), ())}
CONTROL_COMMON = ("kind", "name", "rect")


# --- Where each key stands in the file ------------------------------------------

def key_lines(text):
    """{(table, index or None, key): line} for every key, and {(table, index): line}
    for every table header, from a light scan of the TOML text (tomllib keeps no
    positions). Keys above the first header are (None, None, key); an array of
    tables is also (name, None), at its first header. Lines inside multi-line
    strings are skipped."""
    lines, table, counts, quote = {}, (None, None), {}, None
    for number, line in enumerate(text.splitlines(), start=1):
        if quote:
            if line.count(quote) % 2:
                quote = None
            continue
        stripped = line.strip()
        header = re.match(r"^(\[\[?)\s*([A-Za-z0-9_.\-]+)\s*\]\]?", stripped)
        if header:
            name = header.group(2)
            if header.group(1) == "[[":
                counts[name] = counts.get(name, -1) + 1
                # [[about.control]] numbers controls; [[zone]] numbers zones.
                table = (name, counts[name])
                lines.setdefault((name, None), number)
            else:
                table = (name, None)
            lines.setdefault(table, number)
            continue
        assignment = re.match(r"^([A-Za-z0-9_\-]+)\s*=", stripped)
        if assignment:
            lines.setdefault(table + (assignment.group(1),), number)
            rest = stripped[assignment.end():]
            for mark in ('"""', "'''"):
                if rest.count(mark) % 2:
                    quote = mark
    return lines


@dataclass
class Brand:
    path: str
    folder: str
    lines: dict = field(default_factory=dict)
    errors: list = field(default_factory=list)
    files: set = field(default_factory=set)  # every file read, for the build's depfile

    def line(self, table, index=None, key=None):
        for probe in ((table, index, key), (table, index)):
            if probe in self.lines:
                return self.lines[probe]
        return 1

    def error(self, where, message):
        self.errors.append("%s:%d: %s" % (self.path, self.line(*where), message))


def nearest(word, choices):
    close = difflib.get_close_matches(word, choices, n=1, cutoff=0.5)
    return " (did you mean %r?)" % close[0] if close else ""


# --- Checking values ----------------------------------------------------------

def check_value(brand, where, kind, value, what):
    """The value in the form the tables take, or None after an error."""
    def wrong(expected):
        brand.error(where, "%s must be %s, not %r" % (what, expected, value))

    if kind in ("text", "str"):
        if not isinstance(value, str) or (kind == "text" and not value.strip()):
            return wrong("a non-empty string" if kind == "text" else "a string")
        return value.replace("\r\n", "\n").replace("\n", "\r\n")
    if kind == "bool":
        return value if isinstance(value, bool) else wrong("true or false")
    if kind in ("rect", "size"):
        count = 4 if kind == "rect" else 2
        if (not isinstance(value, list) or len(value) != count or
                not all(isinstance(v, int) and not isinstance(v, bool) for v in value)):
            return wrong("[left, top, width, height] in pixels" if kind == "rect" else "[width, height] in pixels")
        if any(v <= 0 for v in value[-2:]) or any(v < 0 for v in value[:-2]) or any(v > 4000 for v in value):
            return wrong("whole pixels from 0 to 4000, with width and height above 0")
        return tuple(value)
    if kind == "colour":
        if not isinstance(value, str) or not re.fullmatch(r"#[0-9A-Fa-f]{6}", value):
            return wrong('a colour "#RRGGBB"')
        return int(value[1:], 16)
    if kind == "version":
        if not isinstance(value, str) or not re.fullmatch(r"\d{1,5}(\.\d{1,5}){0,3}", value) or \
                any(int(part) > 65535 for part in value.split(".")):
            return wrong('a version "MAJOR[.MINOR[.PATCH[.BUILD]]]" of numbers up to 65535')
        return value
    if kind == "url":
        if not isinstance(value, str) or not value.startswith(URL_SCHEMES) or len(value) <= 7 or \
                any(c in value for c in ' "<>') or any(ord(c) < 32 for c in value):
            return wrong("a URL starting http://, https:// or mailto:, without spaces or quotes")
        return value
    if kind == "name":
        if not isinstance(value, str) or not value.lower().endswith(".exe") or len(value) < 5 or \
                any(c in FORBIDDEN or c in "\\/" for c in value):
            return wrong("a file name ending .exe, without a folder or < > : \" | ? *")
        return value
    if kind == "disc":
        if not isinstance(value, str) or not value:
            return wrong("a path on the disc")
        path = value.replace("/", "\\")
        parts = path.split("\\")
        if path.startswith("\\") or re.match(r"^[A-Za-z]:", path):
            return wrong("a path relative to the launcher's folder, not absolute")
        if ".." in parts:
            return wrong("a path that stays on the disc (no ..)")
        if any(c in FORBIDDEN for c in path) or "" in parts or any(p.endswith((" ", ".")) for p in parts):
            return wrong("a path whose names Windows allows (none of < > : \" | ? * or empty)")
        return path
    if kind == "file":
        if not isinstance(value, str) or not value:
            return wrong("a file name beside the brand file")
        full = os.path.join(brand.folder, value)
        if not os.path.isfile(full):
            brand.error(where, "%s: no file %s beside the brand file" % (what, value))
            return None
        brand.files.add(os.path.abspath(full))
        return full
    raise AssertionError(kind)


def check_keys(brand, where, table, allowed, schema, what):
    """The table's values checked against `schema`, limited to `allowed`;
    unknown and missing keys reported."""
    out = {}
    if not isinstance(table, dict):
        brand.error(where, "%s must be a table" % what)
        return None
    for key, value in table.items():
        if key not in allowed:
            brand.error(where[:2] + (key,), "%s has no key %r%s; it takes %s" % (
                what, key, nearest(key, allowed), ", ".join(allowed)))
            continue
        kind, _ = schema[key]
        if kind == "controls":
            continue
        checked = check_value(brand, where[:2] + (key,), kind, value, "%s.%s" % (what, key))
        if checked is not None:
            out[key] = checked
    return out


def missing(brand, where, table, required, what):
    for key in required:
        if key not in table:
            brand.error(where, "%s needs %s" % (what, key))


def inside(rect, size):
    left, top, width, height = rect
    return left + width <= size[0] and top + height <= size[1]


def overlaps(rect, size):
    left, top, _, _ = rect
    return left < size[0] and top < size[1]


# --- Pictures ---------------------------------------------------------------

def picture_size(brand, where, path, what, kinds=PICTURES):
    if not path.lower().endswith(kinds):
        brand.error(where, "%s must be a %s file" % (what, " or ".join(k.lstrip(".").upper() for k in kinds)))
        return None
    try:
        with Image.open(path) as image:
            image.verify()
        with Image.open(path) as image:
            expected = "BMP" if path.lower().endswith(".bmp") else "JPEG"
            if image.format != expected:
                raise OSError("it holds %s, not %s" % (image.format, expected))
            return image.size
    except (OSError, SyntaxError, ValueError) as error:
        brand.error(where, "%s: %s is not a readable picture (%s)" % (what, os.path.basename(path), error))
        return None


def check_2x(brand, where, size_1x, two, what):
    """`size_1x` is the 1x picture's, already read: an unreadable one is reported once."""
    if size_1x is None or two is None:
        return
    size_2x = picture_size(brand, where, two, what + "_2x", (".jpg", ".jpeg"))
    if size_2x and size_2x != (2 * size_1x[0], 2 * size_1x[1]):
        brand.error(where, "%s_2x is %dx%d; it must be exactly twice %s, %dx%d" % (
            what, *size_2x, what, 2 * size_1x[0], 2 * size_1x[1]))


def check_icon(brand, where, path, what, kind):
    """A Windows .ico (kind 1) or .cur (kind 2): its directory must be whole."""
    try:
        with open(path, "rb") as f:
            data = f.read()
        reserved, found, count = struct.unpack_from("<HHH", data)
        if reserved != 0 or found != kind or count == 0:
            raise ValueError("not a .%s file" % ("ico" if kind == 1 else "cur"))
        for i in range(count):
            size, offset = struct.unpack_from("<II", data, 6 + 16 * i + 8)
            if offset + size > len(data):
                raise ValueError("image %d runs past the end" % (i + 1))
    except (OSError, struct.error, ValueError) as error:
        brand.error(where, "%s: %s is not readable (%s)" % (what, os.path.basename(path), error))


# --- The whole file ---------------------------------------------------------

def load(path):
    """The checked brand as a dict of plain values; raises BrandError with every
    mistake, one line each."""
    path = os.path.relpath(path) if not os.path.isabs(path) else path
    brand = Brand(path=path, folder=os.path.dirname(os.path.abspath(path)))
    try:
        with open(path, "rb") as f:
            raw = f.read()
    except OSError as error:
        raise BrandError("%s:1: cannot read the brand file (%s)" % (path, error.strerror)) from None
    brand.files.add(os.path.abspath(path))
    brand.files.add(os.path.abspath(MANIFEST))
    try:
        text = raw.decode("utf-8")
        data = tomllib.loads(text)
    except UnicodeDecodeError:
        raise BrandError("%s:1: the brand file must be UTF-8 text" % path) from None
    except tomllib.TOMLDecodeError as error:
        at = re.search(r"\(at line (\d+), column (\d+)\)", str(error))
        message = re.sub(r"\s*\(at line.*\)", "", str(error))
        raise BrandError("%s:%s: TOML syntax: %s%s" % (
            path, at.group(1) if at else 1, message, " at column " + at.group(2) if at else "")) from None
    brand.lines = key_lines(text)
    out = check(brand, data)
    if brand.errors:
        raise BrandError("\n".join(brand.errors))
    out["files"] = sorted(brand.files)
    return out


def check(brand, data):
    out = {}
    for key in data:
        if key not in TOP:
            where = (key, None) if (key, None) in brand.lines else (None, None, key)
            what = "table [%s]" % key if len(where) == 2 else "key %r outside any table" % key
            brand.error(where, "unknown %s%s; a brand has %s" % (
                what, nearest(key, list(TOP)), ", ".join("[%s]" % t for t in TOP)))
    for key in ("identity", "menu", "disc"):
        table = data.get(key)
        if table is None:
            brand.error((None, None), "the brand needs a [%s] table" % key)
            continue
        schema = SCHEMA[key]
        where = (key, None)
        out[key] = check_keys(brand, where, table, list(schema), schema, key)
        if out[key] is not None:
            missing(brand, where, table, [k for k, (_, req) in schema.items() if req], "[%s]" % key)
    if brand.errors:
        return out
    identity, menu = out["identity"], out["menu"]
    identity.setdefault("product_version", identity["version"])
    identity.setdefault("exe", "Startboard.exe")
    words = [re.sub(r"[^A-Za-z0-9]", "", w) for w in (identity["company"].split()[:1] + [identity["product"]])]
    assembly = identity.setdefault("assembly_name", ".".join(w for w in words if w) or "Startboard")
    if not re.fullmatch(r"[A-Za-z0-9_]+(\.[A-Za-z0-9_]+)*", assembly):
        brand.error(("identity", None, "assembly_name"), "identity.assembly_name must be names of A-Z a-z 0-9 _ "
                    "joined by dots, not %r" % assembly)
    check_icon(brand, ("identity", None, "icon"), identity["icon"], "identity.icon", 1)
    check_icon(brand, ("menu", None, "cursor"), menu["cursor"], "menu.cursor", 2)
    size = picture_size(brand, ("menu", None, "picture"), menu["picture"], "menu.picture")
    if size and size != menu["size"]:
        brand.error(("menu", None, "picture"), "menu.picture is %dx%d but menu.size says %dx%d" % (
            *size, *menu["size"]))
    check_2x(brand, ("menu", None, "picture_2x"), size, menu.get("picture_2x"), "menu.picture")
    disc = out["disc"]
    volume = disc.setdefault("volume_id", re.sub(r"[^A-Z0-9_]", "", disc["label"].upper())[:32] or "STARTBOARD")
    if not re.fullmatch(r"[A-Z0-9_]{1,32}", volume):
        brand.error(("disc", None, "volume_id"), "disc.volume_id must be 1 to 32 of A-Z 0-9 _, not %r" % volume)
    if len(disc["label"]) > 32 or any(c in FORBIDDEN for c in disc["label"]):
        brand.error(("disc", None, "label"), "disc.label must be at most 32 characters, none of < > : \" | ? *")

    out["zones"] = zones(brand, data.get("zone"), menu["size"])
    out["about"] = about(brand, data.get("about"))
    opens_about = any(z["action"] == "about" for z in out["zones"] if z)
    if out["about"] is None and opens_about:
        # Its index among the brand's zones, not among those that passed.
        zone = next(i for i, z in enumerate(data["zone"]) if isinstance(z, dict) and z.get("action") == "about")
        brand.error(("zone", zone, "action"), 'an "about" zone needs an [about] window; add one or '
                    "choose another action")
    if out["about"] is not None and not opens_about and "about" in data:
        brand.error(("about", None), 'the [about] window is never shown: give a zone action = "about", '
                    "or remove the window")
    return out


def item(brand, where, table, what, kind, kinds, common, schema):
    """One [[zone]] or [[about.control]] whose `kind` (its action, or its kind of
    control) is one of `kinds`: its keys checked against those that kind takes.
    The checked table, or None."""
    required, optional = kinds[kind]
    allowed = list(common) + list(required) + list(optional)
    checked = check_keys(brand, where, table, allowed, SCHEMA[schema], "%s (%s)" % (what, kind))
    missing(brand, where, table, [k for k in common if SCHEMA[schema][k][1]] + list(required), what)
    return checked


def zones(brand, tables, size):
    if not isinstance(tables, list) or not tables:
        brand.error((None, None), "the brand needs at least one [[zone]]")
        return []
    result = []
    for index, table in enumerate(tables):
        where = ("zone", index)
        what = "zone %d" % (index + 1)
        if not isinstance(table, dict):
            brand.error(where, "%s must be a table" % what)
            continue
        action = table.get("action")
        if action not in ACTIONS:
            if action is None:
                brand.error(where, "%s needs action" % what)
            else:
                brand.error(where + ("action",), "%s: unknown action %r%s; one of %s" % (
                    what, action, nearest(str(action), ACTIONS), ", ".join(ACTIONS)))
            continue
        zone = item(brand, where, table, what, action, ACTION_KEYS, ZONE_COMMON, "zone")
        if zone is None:
            continue
        zone.setdefault("name", "Zone%d" % (index + 1))
        if "rect" in zone and not inside(zone["rect"], size):
            brand.error(where + ("rect",), "%s lies outside the %dx%d menu picture: %r" % (
                what, *size, list(zone["rect"])))
        if "question_title" in zone and "question" not in zone:
            brand.error(where + ("question_title",), "%s has a question_title but no question" % what)
        if action == "open":
            zone.setdefault("no_program", DEFAULT_NO_PROGRAM)
        result.append(zone)
    return result


def about(brand, table):
    if table is None:
        return None
    where = ("about", None)
    window = check_keys(brand, where, table, list(SCHEMA["about"]), SCHEMA["about"], "[about]")
    if window is None:
        return None
    missing(brand, where, table, [k for k, (_, req) in SCHEMA["about"].items() if req], "[about]")
    controls = table.get("control", [])
    if not isinstance(controls, list):
        brand.error(where, "[about] controls must be [[about.control]] tables")
        return window
    window["controls"] = []
    size = window.get("size")  # None after its own error: then no control is "outside"
    for index, control in enumerate(controls):
        place = ("about.control", index)
        what = "about control %d" % (index + 1)
        kind = control.get("kind") if isinstance(control, dict) else None
        if kind not in CONTROLS:
            brand.error(place + ("kind",), "%s: kind must be one of %s, not %r%s" % (
                what, ", ".join(CONTROLS), kind, nearest(str(kind), CONTROLS)))
            continue
        checked = item(brand, place, control, what, kind, CONTROL_KEYS, CONTROL_COMMON, "control")
        if checked is None:
            continue
        checked.setdefault("name", "%s%d" % (kind.capitalize(), index + 1))
        if "rect" in checked and size and not overlaps(checked["rect"], size):
            brand.error(place + ("rect",), "%s lies outside the %dx%d About window: %r" % (
                what, *size, list(checked["rect"])))
        if "tooltip" in checked and "url" not in control:
            brand.error(place + ("tooltip",), "%s has a tooltip but no url: only links show tips" % what)
        if kind == "picture" and "file" in checked:
            size_1x = picture_size(brand, place + ("file",), checked["file"], what + " file")
            check_2x(brand, place + ("file_2x",), size_1x, checked.get("file_2x"), what + " file")
        window["controls"].append(checked)
    return window


# --- The tables the program walks -------------------------------------------------

def cpp_string(text):
    """A C++ narrow string literal holding `text` as UTF-8; non-ASCII as octal
    escapes, which never run into the next character."""
    out = []
    for byte in text.encode("utf-8"):
        char = chr(byte)
        if char in '"\\':
            out.append("\\" + char)
        elif char == "\r":
            out.append("\\r")
        elif char == "\n":
            out.append("\\n")
        elif 32 <= byte < 127:
            out.append(char)
        else:
            out.append("\\%03o" % byte)
    return '"' + "".join(out) + '"'


def rc_string(text):
    return '"' + text.replace('"', '""') + '"'


def twips(rect):
    return "{%s}" % ", ".join(str(v * TWIPS) for v in rect)


# Resource ids: the icon and cursor; each picture at 201 + n, its 2x at 301 + n
# (the menu's picture is n = 0, the About pictures follow).
ICON_ID, CURSOR_ID, PICTURE_ID, PICTURE_2X_ID = 1, 101, 201, 301


def pictures(brand):
    """(file, file_2x or None) for the menu, then each About picture."""
    found = [(brand["menu"]["picture"], brand["menu"].get("picture_2x"))]
    for control in (brand["about"] or {}).get("controls", []):
        if control["kind"] == "picture":
            found.append((control["file"], control.get("file_2x")))
    return found


def art(index, files):
    one, two = files
    return "{%d, %s, %d}" % (PICTURE_ID + index, "true" if not one.lower().endswith(".bmp") else "false",
                             PICTURE_2X_ID + index if two else 0)


def action(item, identity):
    """An Action: {kind, path, noProgram, url, showFirst, question, questionTitle}."""
    kind = item.get("action", "web" if item.get("url") else "none")
    question = item.get("question", "")
    title = item.get("question_title", identity["title"]) if question else ""
    fields = (item.get("document") or item.get("program") or "", item.get("no_program", ""), item.get("url", ""),
              item.get("show_first", ""), question, title)
    return "{ActionKind::%s, %s}" % (kind.capitalize(), ", ".join(cpp_string(f) for f in fields))


def header(brand):
    identity, zones_, about_ = brand["identity"], brand["zones"], brand["about"]
    arts = pictures(brand)
    lines = [
        "// Generated from %s by tools/brand/brand.py: edit the brand file, not this." % (
            os.path.basename(brand["source"])),
        "#pragma once",
        "",
        '#include "brand/Types.h"',
        "",
        "namespace startboard::brand {",
        "",
        "inline constexpr std::string_view kTitle = %s;" % cpp_string(identity["title"]),
        "inline constexpr std::string_view kProbePage = %s;" % cpp_string(brand["disc"]["probe_page"]),
        "inline constexpr int kIconId = %d;" % ICON_ID,
        "inline constexpr int kCursorId = %d;" % CURSOR_ID,
        "inline constexpr TwipRect kMenuClient{0, 0, %d, %d};" % tuple(v * TWIPS for v in brand["menu"]["size"]),
        "inline constexpr Art kMenuArt%s;" % art(0, arts[0]),
        "",
        "// Front to back: where zones overlap, the front one wins.",
        "inline constexpr std::array<HotZone, %d> kZones{{" % len(zones_),
    ]
    for zone in zones_:
        lines.append("    {%s, %s, %s, %s}," % (cpp_string(zone["name"]), twips(zone["rect"]),
                                                cpp_string(zone["tooltip"]), action(zone, identity)))
    lines.append("}};")
    lines.append("")
    if about_ is None:
        lines += ["inline constexpr std::string_view kAboutTitle = \"\";",
                  "inline constexpr TwipRect kAboutClient{0, 0, 0, 0};",
                  "inline constexpr Rgb kAboutBackground = 0;",
                  "inline constexpr std::array<AboutControl, 0> kAboutControls{};"]
    else:
        lines += ["inline constexpr std::string_view kAboutTitle = %s;" % cpp_string(about_["title"]),
                  "inline constexpr TwipRect kAboutClient{0, 0, %d, %d};" % tuple(v * TWIPS for v in about_["size"]),
                  "inline constexpr Rgb kAboutBackground = 0x%06X;" % about_["background"],
                  "",
                  "// Front to back, as the designer stacked them.",
                  "inline constexpr std::array<AboutControl, %d> kAboutControls{{" % len(about_["controls"])]
        picture = 0
        for control in about_["controls"]:
            kind = control["kind"]
            if kind == "picture":
                picture += 1
                shown = art(picture, arts[picture])
            else:
                shown = "{0, false, 0}"
            background = control.get("background")
            lines.append("    {ControlKind::%s, %s, %s, %s, %s, 0x%06X, {%s, %s}, %s, %s, %s}," % (
                kind.capitalize(), cpp_string(control["name"]), twips(control["rect"]),
                cpp_string(control.get("text", "")),
                "0x%06X" % background if background is not None else "std::nullopt",
                control.get("colour", 0), "true" if control.get("bold") else "false",
                "true" if control.get("underline") else "false", shown,
                cpp_string(control.get("tooltip", "")), action(control, identity)))
        lines.append("}};")
    lines += ["", "}  // namespace startboard::brand", ""]
    return "\n".join(lines)


def version_numbers(version):
    parts = [int(p) for p in version.split(".")] + [0, 0, 0]
    return ", ".join(str(p) for p in parts[:4])


MANIFEST = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "src", "app", "Startboard.manifest")


def manifest(brand):
    identity = brand["identity"]
    with open(MANIFEST, encoding="utf-8") as f:
        text = f.read()
    escaped = identity["product"].replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
    return text.replace("@NAME@", identity["assembly_name"]).replace("@DESCRIPTION@", escaped).replace(
        "@VERSION@", version_numbers(identity["version"]).replace(", ", "."))


def resources(brand, manifest_path):
    identity = brand["identity"]

    def rc_path(path):
        return rc_string(os.path.abspath(path).replace("\\", "/"))

    lines = ["// Generated from %s by tools/brand/brand.py: edit the brand file, not this." % (
        os.path.basename(brand["source"])),
             "%d ICON %s" % (ICON_ID, rc_path(identity["icon"])),
             "%d CURSOR %s" % (CURSOR_ID, rc_path(brand["menu"]["cursor"])),
             "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST %s" % rc_path(manifest_path)]
    for index, (one, two) in enumerate(pictures(brand)):
        kind = "BITMAP" if one.lower().endswith(".bmp") else "RCDATA"
        lines.append("%d %s %s" % (PICTURE_ID + index, kind, rc_path(one)))
        if two:
            lines.append("%d RCDATA %s" % (PICTURE_2X_ID + index, rc_path(two)))
    strings = [("CompanyName", identity["company"]), ("FileVersion", identity["version"]),
               ("InternalName", os.path.splitext(identity["exe"])[0]),
               ("OriginalFilename", identity["exe"]), ("ProductName", identity["product"]),
               ("ProductVersion", identity["product_version"])]
    if "copyright" in identity:
        strings.insert(3, ("LegalCopyright", identity["copyright"]))
    lines += [
        "",
        "VS_VERSION_INFO VERSIONINFO",
        "FILEVERSION %s" % version_numbers(identity["version"]),
        "PRODUCTVERSION %s" % version_numbers(identity["product_version"]),
        "FILEFLAGSMASK VS_FFI_FILEFLAGSMASK", "FILEFLAGS 0", "FILEOS VOS_NT_WINDOWS32", "FILETYPE VFT_APP",
        "FILESUBTYPE VFT2_UNKNOWN", "BEGIN", '  BLOCK "StringFileInfo"', "  BEGIN", '    BLOCK "040904B0"',
        "    BEGIN"]
    lines += ["      VALUE %s, %s" % (rc_string(key), rc_string(value)) for key, value in strings]
    lines += ["    END", "  END", '  BLOCK "VarFileInfo"', "  BEGIN", '    VALUE "Translation", 0x0409, 1200',
              "  END", "END", ""]
    return "\n".join(lines)


def write_all(outputs):
    """Writes every file or none: each goes to a temporary name first."""
    staged = []
    try:
        for path, text in outputs:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            handle, temporary = tempfile.mkstemp(dir=os.path.dirname(path), prefix=".brand-")
            with os.fdopen(handle, "w", encoding="utf-8", newline="\n") as f:
                f.write(text)
            staged.append((temporary, path))
        for temporary, path in staged:
            os.replace(temporary, path)
    finally:
        for temporary, _ in staged:
            if os.path.exists(temporary):
                os.remove(temporary)


def generate(path, out_dir, depfile=None):
    brand = load(path)
    brand["source"] = path
    data_h = os.path.join(out_dir, "brand", "Data.h")
    manifest_path = os.path.join(out_dir, "brand", "Startboard.manifest")
    outputs = [(data_h, header(brand)), (manifest_path, manifest(brand)),
               (os.path.join(out_dir, "brand", "Data.rc"), resources(brand, manifest_path))]
    if depfile:
        outputs.append((depfile, "%s: %s\n" % (data_h.replace(" ", "\\ "),
                                                " ".join(f.replace(" ", "\\ ") for f in brand["files"]))))
    write_all(outputs)


def remove_outputs(out_dir, depfile):
    """A brand with a mistake leaves no tables behind: the build cannot go on
    with the last good brand's."""
    outputs = [os.path.join(out_dir, "brand", name) for name in ("Data.h", "Data.rc", "Startboard.manifest")]
    for path in outputs + [depfile]:
        if path and os.path.exists(path):
            os.remove(path)


def main(argv):
    try:
        if len(argv) in (3, 4) and argv[0] == "generate":
            try:
                generate(argv[1], argv[2], argv[3] if len(argv) == 4 else None)
            except BrandError:
                remove_outputs(argv[2], argv[3] if len(argv) == 4 else None)
                raise
        elif len(argv) == 2 and argv[0] == "check":
            load(argv[1])
        elif len(argv) == 3 and argv[0] == "get" and argv[2] in ("exe", "product", "label", "volume_id"):
            brand = load(argv[1])
            print(brand["identity"].get(argv[2]) or brand["disc"][argv[2]])
        else:
            print(__doc__.strip(), file=sys.stderr)
            return 2
    except BrandError as error:
        print(error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

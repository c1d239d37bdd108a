#!/usr/bin/python3
"""A launcher's brand file: read, checked and turned into the program's tables.

A mistake stops it with "FILE:LINE: what is wrong and what is allowed", one
line each, every mistake of the file in one run, and nothing written.
Everything is checked here, at build time: the program reads no
configuration when it runs.
"""
import argparse
import difflib
import os
import re
import sys
import tempfile
from dataclasses import dataclass, field

try:
    import tomllib

    import emit
    import keys as schema
    import labels
    import pictures
    import tags
    from positions import key_lines, line_of
except ImportError as missing_module:  # a publisher's machine without Pillow
    sys.exit("brand.py: Python lacks %s; install it: apt-get install python3-pil" % missing_module.name)

TWIPS = 15  # to a pixel at 96 dpi
WINDOW_LIMIT = (4000, 4000)  # pixels at 96 dpi
URL_SCHEMES = ("http://", "https://", "mailto:")
FORBIDDEN = set('<>:"|?*')
DEVICES = {"CON", "PRN", "AUX", "NUL"} | {"%s%d" % (d, n) for d in ("COM", "LPT") for n in range(1, 10)}
NAME_MAX = 64  # Joliet's limit for one name on the disc
PATH_MAX = 200  # a disc path, so the whole stays within Windows' 260 from a folder
LINE_MAX = 256  # one-line texts: captions, version block entries
TEXT_MAX = 4096
PROBE_PAGE = "probe.htm"  # on the disc, when the brand names none
LIT = ("hover", "pressed")  # the menu's pictures of a zone under the pointer and held down
DEFAULT_NO_PROGRAM = "There is no program on this computer to open this file."
HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_CURSOR = os.path.join(HERE, "..", "..", "assets", "hand.cur")
MANIFEST = os.path.join(HERE, "..", "..", "src", "app", "Startboard.manifest")


class BrandError(Exception):
    pass


@dataclass
class Brand:
    path: str
    folder: str
    lines: dict = field(default_factory=dict)
    errors: list = field(default_factory=list)
    warnings: list = field(default_factory=list)
    notes: list = field(default_factory=list)  # what the build says of a good brand
    named: dict = field(default_factory=dict)  # (kind, name) a language names that the brand lacks: its message
    lost: set = field(default_factory=set)  # tables whose keys stand under another header
    unchecked: set = field(default_factory=set)  # ("zone" or "control", lowercase name) of unchecked ones
    files: set = field(default_factory=set)  # every file read, for the build's depfile
    failed: set = field(default_factory=set)  # key paths given with a wrong value: reported already

    def line(self, where):
        """The line of a key path, or of the nearest table that holds it."""
        where = tuple(where)
        while where:
            if where in self.lines:
                return self.lines[where]
            where = where[:-1]
        return 1

    def given(self, where):
        """Whether the file gives this key (its value may have been refused)."""
        return tuple(where) in self.lines

    def error(self, where, message):
        self.errors.append("%s:%d: %s" % (self.path, self.line(where), message))

    def warn(self, where, message):
        self.warnings.append("%s:%d: warning: %s" % (self.path, self.line(where), message))


def nearest(word, choices):
    close = difflib.get_close_matches(str(word), list(choices), n=1, cutoff=0.5)
    return " (did you mean %r?)" % close[0] if close else ""


def named(value):
    """A file or folder name in a message, on one line."""
    return "".join(c if c.isprintable() else "\\u%04X" % ord(c) for c in value)


def shown(value):
    """A value as a publisher wrote it, on one line."""
    if isinstance(value, str):
        return '"%s"' % named(value)
    if isinstance(value, bool):
        return "true" if value else "false"
    if isinstance(value, (int, float)):
        return str(value)
    if isinstance(value, list):
        return "a list" if len(repr(value)) > 40 else "[%s]" % ", ".join(shown(v) for v in value)
    if isinstance(value, dict):
        return "a table"
    return "a date or time"


def unprintable(text, lines):
    """The first character a text may not hold, or None. Line breaks only
    where `lines` allows them; never other control characters, nor the
    noncharacters U+FFFE and U+FFFF."""
    for char in text:
        if char == "\n" and lines:
            continue
        if ord(char) < 32 or 127 <= ord(char) < 160 or char in "\ufffe\uffff\u2028\u2029":
            return char
    return None


# What Ninja (1.11) reads as part of a path in a depfile: letters, digits,
# any non-ASCII character, + , / _ : . ~ ( ) { } % = @ [ ] ! -, and space, #
# and $ escaped. Any other character ends the path, escaped or not.
DEPFILE_PLAIN = re.compile(r"[A-Za-z0-9+,/_:.~(){}%=@\[\]!\x80-\U0010ffff -]|[ #$]")
DEPFILE_FINE = "letters, digits, spaces and - _ . , + = @ ( ) [ ] { } ! % ~ # $ are fine"


def untrackable(path):
    """The characters of a path the build's dependency file cannot hold, sorted."""
    return sorted({c for c in path if not DEPFILE_PLAIN.fullmatch(c)})


# --- Checking values ----------------------------------------------------------

class Checker:
    def __init__(self, brand):
        self.brand = brand

    def value(self, where, kind, value, what):
        """The value in the form the tables take, or None after an error."""
        method = getattr(self, "kind_" + kind)
        return method(where, value, what)

    def wrong(self, where, what, value, expected):
        self.brand.error(where, "%s must be %s, not %s" % (what, expected, shown(value)))

    def _text(self, where, value, what, lines):
        if not isinstance(value, str) or not value.strip():
            return self.wrong(where, what, value, "a non-empty text in quotes")
        value = value.replace("\r\n", "\n")
        bad = unprintable(value, lines)
        if bad is not None:
            allowed = "line breaks but no other control characters" if lines else "one line, no control characters"
            return self.brand.error(where, "%s holds the character U+%04X; it takes %s" % (what, ord(bad), allowed))
        limit = TEXT_MAX if lines else LINE_MAX
        if len(value) > limit:
            return self.brand.error(where, "%s has %d characters; at most %d fit" % (what, len(value), limit))
        return value

    def kind_line(self, where, value, what):
        return self._text(where, value, what, False)

    def kind_text(self, where, value, what):
        return self._text(where, value, what, True)

    def kind_name(self, where, value, what):
        return self._text(where, value, what, False)

    def kind_action(self, where, value, what):
        return value

    kind_control = kind_action

    def kind_then(self, where, value, what):
        return value if value == "quit" else self.wrong(where, what, value, '"quit"')

    def kind_names(self, where, value, what):
        if not isinstance(value, list) or not value or not all(isinstance(v, str) for v in value):
            return self.wrong(where, what, value, 'a list of zone names, ["Manual", "Quit"]')
        return value

    def kind_language(self, where, value, what):
        if not isinstance(value, str) or not value:
            return self.wrong(where, what, value, "a language tag such as en, de or pt-BR")
        if tags.right_to_left(value):
            return self.brand.error(where, "%s: %s is written right to left, which the launcher does not lay out; "
                                    "only left-to-right languages are supported" % (what, shown(value)))
        tag = tags.canonical(value)
        if tag is None:
            close = tags.nearest(value)
            return self.brand.error(where, "%s: %s is not a language tag Windows knows%s; write a language, or "
                                    "a language and country: en, de, pt-BR" % (
                                        what, shown(value), " (did you mean %r?)" % close if close else ""))
        return tag

    def kind_bool(self, where, value, what):
        return value if isinstance(value, bool) else self.wrong(where, what, value, "true or false")

    def _numbers(self, where, value, what, names):
        if (not isinstance(value, list) or len(value) != len(names) or
                not all(isinstance(v, int) and not isinstance(v, bool) for v in value)):
            return self.wrong(where, what, value, "[%s] in whole pixels" % ", ".join(names))
        for name, number in zip(names, value):
            low = 1 if name in ("width", "height") else 0
            if not low <= number <= 4000:
                return self.brand.error(where, "%s: %s is %d; it must be %d to 4000 pixels" % (
                    what, name, number, low))
        return tuple(value)

    def kind_rect(self, where, value, what):
        return self._numbers(where, value, what, ("left", "top", "width", "height"))

    def kind_size(self, where, value, what):
        return self._numbers(where, value, what, ("width", "height"))

    def kind_point(self, where, value, what):
        return self._numbers(where, value, what, ("x", "y"))

    def kind_colour(self, where, value, what):
        if not isinstance(value, str) or not re.fullmatch(r"#[0-9A-Fa-f]{6}", value):
            return self.wrong(where, what, value, 'a colour "#RRGGBB"')
        return int(value[1:], 16)

    def kind_version(self, where, value, what):
        if not isinstance(value, str) or not re.fullmatch(r"[0-9]{1,5}(\.[0-9]{1,5}){0,3}", value) or \
                any(int(part) > 65535 for part in value.split(".")):
            return self.wrong(where, what, value, 'a version "MAJOR[.MINOR[.PATCH[.BUILD]]]" of numbers 0 to 65535')
        return value

    def kind_volume(self, where, value, what):
        if not isinstance(value, str) or not re.fullmatch(r"[A-Z0-9_]{1,32}", value):
            return self.wrong(where, what, value, "1 to 32 of A-Z 0-9 _")
        return value

    def kind_assembly(self, where, value, what):
        if not isinstance(value, str) or not re.fullmatch(r"[A-Za-z0-9_]+(\.[A-Za-z0-9_]+)*", value):
            return self.wrong(where, what, value, "names of A-Z a-z 0-9 _ joined by dots")
        return value

    def kind_label(self, where, value, what):
        value = self._text(where, value, what, False)
        if value is None:
            return None
        if len(value) > 32 or any(c in FORBIDDEN or c in "\\/" for c in value):
            return self.wrong(where, what, value, 'at most 32 characters, none of < > : " | ? * \\ /')
        if value != value.strip():
            return self.wrong(where, what, value, "a name without spaces at its start or end (autorun.inf drops "
                              "them)")
        if any(ord(c) > 0xFFFF for c in value):
            return self.wrong(where, what, value, "characters a disc's name can hold (none outside Unicode's "
                              "first plane, such as emoji)")
        return value

    def kind_url(self, where, value, what):
        expected = "a URL starting http://, https:// or mailto:, with a host (or address) and no spaces or quotes"
        if not isinstance(value, str):
            return self.wrong(where, what, value, expected)
        scheme = next((s for s in URL_SCHEMES if value.lower().startswith(s)), None)
        rest = value[len(scheme):] if scheme else ""
        host = rest.split("/")[0].split("?")[0].split("#")[0]
        if scheme == "mailto:":
            ok = re.fullmatch(r"[^@\s]+@[^@\s]+", rest.split("?")[0]) is not None
        else:
            ok = scheme is not None and re.fullmatch(r"[^@\s:]*@?[A-Za-z0-9.\-\[\]:]+", host) is not None and \
                any(c.isalnum() for c in host)
        if not ok or any(c.isspace() or c in '"<>' or not c.isprintable() for c in value):
            return self.wrong(where, what, value, expected)
        return value

    def kind_exe(self, where, value, what):
        if not isinstance(value, str) or not re.fullmatch(r"[A-Za-z0-9_.\-]+\.exe", value, re.IGNORECASE) or \
                len(value) > NAME_MAX or value.split(".")[0].upper() in DEVICES:
            return self.wrong(where, what, value, "a file name ending .exe, of A-Z a-z 0-9 _ . - (no spaces: "
                              "autorun.inf names it), at most %d characters" % NAME_MAX)
        return value

    def kind_disc(self, where, value, what):
        if not isinstance(value, str) or not value:
            return self.wrong(where, what, value, "a path on the disc")
        control = next((c for c in value if ord(c) < 32), None)
        if control is not None:
            return self.brand.error(where, "%s holds a control character (U+%04X): in double quotes a backslash "
                                    "starts an escape; write the path in single quotes ('docs\\readme.pdf') or "
                                    "with / (docs/readme.pdf)" % (what, ord(control)))
        path = value.replace("/", "\\")
        if path.startswith("\\") or re.match(r"^[A-Za-z]:", path):
            return self.wrong(where, what, value, "a path relative to the launcher's folder, not absolute")
        parts = [p for p in path.split("\\") if p != "."]
        if ".." in parts:
            return self.wrong(where, what, value, "a path that stays on the disc (no ..)")
        if "" in parts:
            return self.wrong(where, what, value, "a path without empty names (no // or trailing /)")
        bad = sorted({c for c in path if c in FORBIDDEN})
        if bad:
            return self.wrong(where, what, value, "a path without %s (Windows forbids them)" % " ".join(bad))
        for part in parts:
            if part.endswith((" ", ".")):
                return self.wrong(where, what, value, "a path whose names do not end in a space or a dot")
            if part.split(".")[0].rstrip().upper() in DEVICES:
                return self.brand.error(where, "%s: %r is a device name on Windows (CON, PRN, AUX, NUL, COM1-9, "
                                        "LPT1-9), not a file name" % (what, part))
            if len(part) > NAME_MAX:
                return self.brand.error(where, "%s: %r has %d characters; a disc's names hold %d" % (
                    what, part, len(part), NAME_MAX))
        path = "\\".join(parts)
        if len(path) > PATH_MAX:
            return self.brand.error(where, "%s has %d characters; at most %d" % (what, len(path), PATH_MAX))
        return path

    def _file(self, where, value, what):
        if not isinstance(value, str) or not value or unprintable(value, False) is not None:
            return self.wrong(where, what, value, "a file name beside the brand file")
        full = os.path.join(self.brand.folder, value)
        if os.path.isdir(full):
            return self.brand.error(where, "%s: %s is a folder; name a file in it" % (what, named(value)))
        if not os.path.isfile(full):
            return self.brand.error(where, "%s: no file %s beside the brand file" % (what, named(value)))
        bad = untrackable(value)
        if bad:
            part = next(p for p in reversed(value.split("/")) if untrackable(p))
            return self.brand.error(where, "%s: the build cannot track changes to %s: its dependency files cannot "
                                    "hold %s in a name; rename %s %s (%s)" % (
                                        what, named(value), " ".join(bad),
                                        "the file" if part == os.path.basename(value) else "the folder",
                                        named(part), DEPFILE_FINE))
        self.brand.files.add(os.path.abspath(full))
        return full

    kind_file = kind_picture = kind_picture_2x = kind_icon = kind_cursor = _file

    def kind_folder(self, where, value, what):
        if not isinstance(value, str) or not value or unprintable(value, False) is not None:
            return self.wrong(where, what, value, "a folder beside the brand file")
        full = os.path.join(self.brand.folder, value)
        if not os.path.isdir(full):
            return self.brand.error(where, "%s: no folder %s beside the brand file" % (what, named(value)))
        return full


def check_table(brand, where, table, name, kind, what, owner=None):
    """The table's keys (those of `name` that `kind` takes) checked; unknown
    and missing keys reported (missing ones as `owner`'s). The checked values."""
    checker = Checker(brand)
    if not isinstance(table, dict):
        brand.error(where, "%s must be a table" % what)
        return None
    entries = {key.name: key for key in schema.of(name) if kind is None or key.taken_by(kind)}
    out = {}
    strays = [key for key in table if key not in entries]
    before = len(brand.errors)
    for key, value in table.items():
        if key in entries:
            checked = checker.value(where + (key,), entries[key].kind, value, "%s.%s" % (what, key))
            if checked is not None:
                out[key] = checked
            else:
                brand.failed.add(where + (key,))
    lacking = [key.name for key in entries.values() if key.needed_by(kind) and key.name not in table]
    if strays:
        # One message for the keys that do not belong, with the keys missing:
        # a key misspelt, or a header lost above keys of another table, is
        # one mistake.
        brand.error(where + (strays[0],), stray_keys(brand, name, what, strays, entries, lacking))
    elif lacking and len(brand.errors) > before:
        # A key renamed to another this table takes: its value is wrong, and that says it.
        brand.errors[-1] += "; %s %s missing" % (", ".join(lacking), "is" if len(lacking) == 1 else "are")
    elif lacking:
        brand.error(where, "%s needs %s" % (owner or what, ", ".join(lacking)))
    return out


def stray_keys(brand, name, what, strays, entries, lacking):
    """The message for keys a table does not take; notes in brand.lost the
    tables whose header seems lost above them."""
    takers = [k for k in schema.of(name) if k.name in strays]
    if len(strays) == 1 and takers:
        message = "%s: %s is for %s only; this one takes %s" % (
            what, strays[0], " and ".join(takers[0].takes), ", ".join(entries))
    elif len(strays) == 1:
        message = "%s has no key %r%s; it takes %s" % (what, strays[0], nearest(strays[0], entries), ", ".join(entries))
    else:
        message = "%s has no keys %s; it takes %s" % (what, ", ".join(repr(k) for k in strays), ", ".join(entries))
    homes = [table for table in ("identity", "menu", "disc", "zone", "about", "control")
             if table != name and len(strays) > 1 and all(any(k.name == key for k in schema.of(table)) for key in strays)]
    if homes:
        brand.lost.add(homes[0])
        brand.unchecked.add((homes[0], None))
        message += "; they are keys of %s: is its header missing above them?" % schema.HEADERS[homes[0]]
    if name in ("zone", "control", "about"):
        brand.unchecked.add(("control" if name == "about" else name, None))  # names may be among them
    if lacking:
        message += "; %s %s missing" % (", ".join(lacking), "is" if len(lacking) == 1 else "are")
    return message


# --- Pictures, icon and cursor ------------------------------------------------

def picture(brand, where, path, what, limit=WINDOW_LIMIT):
    """(width, height, transparent) of a picture, or None after an error."""
    try:
        return pictures.read(path, limit)
    except pictures.PictureError as error:
        brand.error(where, "%s: %s %s" % (what, named(os.path.basename(path)), error))
        return None


def picture_pair(brand, where, table, key, what, opaque, expected=None, wrong_size=None):
    """A picture and its 2x: each readable, the 1x of the `expected` size
    (`wrong_size(1x size, expected)` says otherwise), the 2x exactly twice
    it. Of the two, the one that is wrong is blamed: a 2x twice the expected
    size beside a wrong 1x is right. Returns the 1x size, or None."""
    one = picture(brand, where + (key,), table[key], what) if key in table else None
    if one and opaque and one[2]:
        brand.error(where + (key,), "%s: %s has transparent pixels, and nothing lies behind the window: "
                    "flatten it onto a colour" % (what, named(os.path.basename(table[key]))))
    if one and expected and one[:2] != tuple(expected):
        brand.error(where + (key,), wrong_size(one[:2], expected))
    two_key = key + "_2x"
    if two_key in table:
        two = picture(brand, where + (two_key,), table[two_key], what + "_2x",
                      tuple(2 * v for v in WINDOW_LIMIT))
        base = tuple(expected) if expected else one[:2] if one else None
        if base and two and two[:2] != (2 * base[0], 2 * base[1]) and not (one and two[:2] == (2 * one[0], 2 * one[1])):
            brand.error(where + (two_key,), "%s_2x is %dx%d; it must be exactly twice %s, %dx%d" % (
                what, two[0], two[1], what, 2 * base[0], 2 * base[1]))
        if two and opaque and two[2]:
            brand.error(where + (two_key,), "%s_2x has transparent pixels: flatten it onto a colour" % what)
    return one[:2] if one else None


def icon(brand, where, path):
    name = named(os.path.basename(path))
    try:
        if path.lower().endswith(".png"):
            size = pictures.read(path, (1024, 1024))
            if size[0] != size[1]:
                raise pictures.PictureError("is %dx%d; an icon must be square" % size[:2])
            if size[0] < 32:
                brand.warn(where, "identity.icon: %s is %dx%d; Windows shows icons at 32 pixels and more: it will "
                           "look blurred" % (name, *size[:2]))
            return
        if not path.lower().endswith(".ico"):
            raise pictures.PictureError("must be a .ico or a square PNG")
        sizes = pictures.read_icon(path, 1)
    except pictures.PictureError as error:
        return brand.error(where, "identity.icon: %s %s" % (name, error))
    lacking = [s for s in (16, 32) if s not in sizes]
    if lacking:
        brand.warn(where, "identity.icon: %s has no %s image; Windows scales another for it" % (
            name, " or ".join("%dx%d" % (s, s) for s in lacking)))


def cursor(brand, where, menu):
    path = menu.get("cursor")
    hotspot = menu.get("cursor_hotspot")
    if path is None:
        if hotspot is not None and not brand.given(where + ("cursor",)):
            brand.error(where + ("cursor_hotspot",), "menu.cursor_hotspot goes with a PNG cursor, and there is "
                        "no cursor")
        return
    name = named(os.path.basename(path))
    try:
        if path.lower().endswith(".png"):
            size = pictures.read(path, (256, 256))
            if size[0] != size[1]:
                raise pictures.PictureError("is %dx%d; a cursor must be square" % size[:2])
            if hotspot is None:
                return brand.error(where + ("cursor",), "menu.cursor: a PNG cursor needs cursor_hotspot = [x, y], "
                                   "the pointer's tip in its pixels")
            if hotspot[0] >= size[0] or hotspot[1] >= size[1]:
                brand.error(where + ("cursor_hotspot",), "menu.cursor_hotspot %s lies outside the %dx%d cursor" % (
                    shown(list(hotspot)), *size[:2]))
            return
        if not path.lower().endswith(".cur"):
            raise pictures.PictureError("must be a .cur or a square PNG")
        sizes = pictures.read_icon(path, 2)
    except pictures.PictureError as error:
        return brand.error(where + ("cursor",), "menu.cursor: %s %s" % (name, error))
    if hotspot is not None:
        brand.error(where + ("cursor_hotspot",), "menu.cursor_hotspot goes with a PNG cursor; a .cur holds its own")
    if not any(s in sizes for s in pictures.CURSOR_SIZES):
        brand.warn(where + ("cursor",), "menu.cursor: %s has none of the 32, 48 and 64 pixel images Windows "
                   "takes; it will be scaled" % name)


# --- The whole file ---------------------------------------------------------

def parse(brand, raw):
    """The file's TOML, or None after an error (reported at its line)."""
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as error:
        line = raw.count(b"\n", 0, error.start) + 1
        column = error.start - (raw.rfind(b"\n", 0, error.start) + 1) + 1
        brand.errors.append("%s:%d: byte %d of the line (0x%02X) is not UTF-8: save the brand file as UTF-8 text" % (
            brand.path, line, column, raw[error.start]))
        return None
    text = text[1:] if text.startswith("\ufeff") else text  # Windows editors write a BOM
    try:
        data = tomllib.loads(text)
    except tomllib.TOMLDecodeError as error:
        brand.errors.append(syntax_error(brand.path, text, str(error)))
        return None
    except RecursionError:
        depth, line = 0, 1
        for offset, char in enumerate(text):
            depth += char in "[{"
            if depth > 50:
                line = line_of(text, offset)
                break
        brand.errors.append("%s:%d: values nested too deeply; a brand nests lists and tables a few levels at "
                            "most" % (brand.path, line))
        return None
    brand.lines = key_lines(text)
    return data


# tomllib's words, and a publisher's for the same thing.
SYNTAX = [
    (r"Cannot overwrite a value", "%(key)s is given twice%(first)s; give each key once"),
    (r"Cannot declare .* twice", "the table %(key)s is given twice%(first)s; give each table once"),
    (r"Cannot mutate immutable namespace", "%(key)s is already set as a whole above%(first)s; write its keys "
     "in one place"),
    (r"Unescaped|Invalid hex value",
     "a backslash in double quotes starts an escape (\\n, \\t, \\\\, \\u0041); write a Windows path in single "
     "quotes ('docs\\guide.pdf') or with / (docs/guide.pdf)"),
    (r"Illegal character '\\n'", "a text's closing quote is missing on this line"),
    (r"Illegal character", "a character a TOML string may not hold as it stands (a tab or control character); "
     "write it as an escape such as \\t, or remove it"),
    (r"Expected '=' after a key", "a key must be followed by = and a value (key = \"value\"); text in quotes "
     "needs its quotes"),
    (r"Invalid value", "this value is not TOML: texts go in quotes (\"...\"), lists in [ ], true/false and "
     "numbers as they are"),
    (r"Invalid statement", "this line is neither a [table] header nor key = value"),
    (r"Expected newline or end of document", "one key = value a line; anything after the value must be a "
     "comment (# ...)"),
    (r"Expected '\]\]?' at the end of", "a [table] or [[table]] header holds only its name, closed by the same "
     "brackets it opens with: [menu], [[zone]], [[about.control]]"),
    (r"Unclosed array|Unclosed inline table", "a list [ ] or table { } is not closed"),
    (r"Invalid initial character for a key part", "a key starts here with a character keys cannot hold; keys "
     "are letters, digits, _ and -"),
]


def syntax_error(path, text, message):
    at = re.search(r"\(at line (\d+), column (\d+)\)|\(at end of document\)", message)
    raw = re.sub(r"\s*\(at (line \d+, column \d+|end of document)\)", "", message)
    if at and at.group(1):
        line, column = int(at.group(1)), int(at.group(2))
    else:
        line, column = text.count("\n") + 1, None
    if raw.startswith("Unterminated string"):
        # The parser stops at the end; the string started where the quotes open.
        line = unterminated(text) or line
        return "%s:%d: a text's closing quotes are missing (it runs to the end of the file)" % (path, line)
    phrase = next((phrase for pattern, phrase in SYNTAX if re.search(pattern, raw)), None)
    if phrase is None:
        return "%s:%d: TOML syntax: %s%s" % (path, line, raw, " at column %d" % column if column else "")
    if "%(key)s" not in phrase:
        return "%s:%d: %s" % (path, line, phrase)
    line, key, first = key_at(text, line)
    return "%s:%d: %s" % (path, line, phrase % {"key": key, "first": first})


def unterminated(text):
    """The line where a multi-line string opens that is never closed, or None
    (a one-line string's missing quote is reported at its own line)."""
    lines = text.split("\n")
    index = 0
    while index < len(lines):
        match = re.match(r'^\s*[A-Za-z0-9_.\-"\' ]+=\s*("""|\'\'\')(.*)$', lines[index])
        if match and match.group(1) not in match.group(2):
            start, mark = index, match.group(1)
            index += 1
            while index < len(lines) and mark not in lines[index]:
                index += 1
            if index >= len(lines):
                return start + 1
        index += 1
    return None


def statements(text):
    """[(line, key)] of each `key = value` and each header ("[name" or "[[name"),
    skipping the lines inside multi-line texts."""
    found, mark = [], None
    for number, line in enumerate(text.split("\n"), 1):
        if mark is None:
            match = re.match(r"^\s*(\[+)\s*([A-Za-z0-9_.\-]+)|^\s*([A-Za-z0-9_.\-]+)\s*=\s*(.*)$", line)
            if match:
                found.append((number, match.group(1) + match.group(2) if match.group(1) else match.group(3)))
                rest = match.group(4) or ""
                opened = next((m for m in ('"""', "'''") if rest.startswith(m)), None)
                if opened and rest.count(opened) == 1:
                    mark = opened
        elif mark in line:
            mark = None
    return found


def key_at(text, line):
    """The line where the key that stands at `line` (or whose value runs over
    it) starts, the key, and ", first at line N" for its first place in the
    same table."""
    here = [(number, key) for number, key in statements(text) if number <= line]
    if not here:
        return line, "'a key'", ""
    number, key = here[-1]
    first = ""
    for earlier, other in reversed(here[:-1]):
        if other == key:
            first = ", first at line %d" % earlier
            break
        if other.startswith("[[") or (other.startswith("[") and not key.startswith("[")):
            break  # another table's key
    return number, "'%s'" % key.strip("["), first


def load(path):
    """The checked brand as a dict of plain values (warnings under
    "warnings"); raises BrandError with every mistake, one line each."""
    path = os.path.relpath(path) if not os.path.isabs(path) else path
    brand = Brand(path=path, folder=os.path.dirname(os.path.abspath(path)))
    try:
        with open(path, "rb") as f:
            raw = f.read()
    except OSError as error:
        raise BrandError("%s:1: cannot read the brand file (%s)" % (path, error.strerror)) from None
    brand.files.add(os.path.abspath(path))
    brand.files.add(os.path.abspath(MANIFEST))
    # The checker's own modules, every one it loaded: a change to any of them
    # remakes the tables.
    brand.files.update(os.path.abspath(m.__file__) for m in list(sys.modules.values())
                       if os.path.dirname(os.path.abspath(getattr(m, "__file__", None) or "/")) == HERE)
    data = parse(brand, raw)
    out = check(brand, data) if data is not None else None
    if brand.errors:
        raise BrandError("\n".join(brand.errors))
    out["files"] = sorted(brand.files)
    out["warnings"] = brand.warnings + brand.notes
    return out


def check(brand, data):
    out = {}
    for name in ("identity", "menu", "disc"):
        out[name] = check_table(brand, (name,), data[name], name, None, name, "[%s]" % name) if name in data else None
    # A table missing beside an unknown one is most likely that one misspelt:
    # one message says both.
    missing = ["[%s]" % name for name in ("identity", "menu", "disc") if name not in data and name not in brand.lost]
    for key in data:
        if key not in schema.TABLES:
            what = "table [%s]" % key if isinstance(data[key], dict) else "key %r outside any table" % key
            brand.error((key,), "unknown %s%s; a brand has %s%s" % (
                what, nearest(key, schema.TABLES), ", ".join(schema.HEADERS[t] for t in schema.TABLES),
                "; it has no %s" % ", ".join(missing) if missing else ""))
            missing = []
            brand.unchecked |= {("zone", None), ("control", None)}  # they may be in it
            brand.lost.add("about")
    for name in missing:
        brand.error((), "the brand needs a %s table" % name)
    identity, menu, disc = out["identity"], out["menu"], out["disc"]
    if identity is not None:
        identity.setdefault("product_version", identity.get("version"))
        out["own_description"] = "description" in identity  # else each language's follows its title
        identity.setdefault("description", identity.get("title"))
        identity.setdefault("exe", "Startboard.exe")
        identity.setdefault("language", "en")
        if "icon" in identity:
            icon(brand, ("identity", "icon"), identity["icon"])
        if "assembly_name" not in identity:
            words = [re.sub(r"[^A-Za-z0-9]", "", w) for w in (identity.get("company", "").split()[:1] +
                                                              [identity.get("product", "")])]
            identity["assembly_name"] = ".".join(w for w in words if w) or "Startboard"
    size = frame = None
    if menu is not None:
        cursor(brand, ("menu",), menu)
        if "cursor" not in menu:
            menu["cursor"] = os.path.abspath(DEFAULT_CURSOR)
            brand.files.add(menu["cursor"])
        size = menu.get("size")
        # Zones lie on the picture: where size disagrees, that is the one mistake.
        frame = picture_pair(brand, ("menu",), menu, "picture", "menu.picture", True, size,
                     lambda found, size: "menu.picture is %dx%d but menu.size says %dx%d" % (*found, *size))
        lit_pictures(brand, menu, size)
    if disc is not None:
        probe_page(brand, disc)
    if disc is not None and "label" in disc:
        volume = re.sub(r"[^A-Z0-9_]", "", disc["label"].upper())[:32] or "STARTBOARD"
        disc.setdefault("volume_id", volume)
    out["zones"] = zones(brand, data.get("zone"), frame or size)
    out["about"] = about(brand, data.get("about"))
    opens_about = [i for i, z in enumerate(out["zones"]) if z and z.get("action") == "about"]
    if "about" not in data and opens_about:
        brand.error(("zone", opens_about[0], "action"), 'an "about" zone needs an [about] window; add one or '
                    "choose another action")
    if "about" in data and not opens_about and all(out["zones"]):
        brand.error(("about",), 'the [about] window is never shown: give a zone action = "about", '
                    "or remove the window")
    if out["zones"] and all(out["zones"]) and not any(z.get("action") == "quit" for z in out["zones"]):
        brand.warn(("zone", 0), "no zone quits: the window has no title bar, so users can close it only with "
                   'Alt+F4; give a zone action = "quit"')
    out["zones"] = [z for z in out["zones"] if z]
    if menu is not None:
        menu["focus"] = focus_order(brand, menu, out["zones"])
    out["messages"] = {key.name: key.default for key in schema.of("messages")}
    if "messages" in data:
        out["messages"].update(check_table(brand, ("messages",), data["messages"], "messages", None, "messages")
                               or {})
    out["languages"] = languages(brand, data.get("language"), out) if identity is not None else []
    return out

# --- Languages ----------------------------------------------------------------

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


def local_table(brand, where, table, name, kind, what, own):
    """A language's table for one of the brand's: only texts and pictures the
    brand's own table (`own`) has, checked as the brand's are."""
    checker = Checker(brand)
    if not isinstance(table, dict):
        brand.error(where, "%s must be a table" % what)
        return {}
    allowed = [key for key in schema.translated(name) if key.taken_by(kind)]
    own_where = own.get("where", (name,))
    out = {}
    for key, value in table.items():
        entry = next((k for k in allowed if k.name == key), None)
        known = next((k for k in schema.of(name) if k.name == key), None)
        if entry is None:
            if known and known.translated:
                brand.error(where + (key,), "%s: %s is for %s only" % (what, key, " and ".join(known.takes)))
            elif known:
                brand.error(where + (key,), "%s: %s is the same in every language; a language gives %s" % (
                    what, key, ", ".join(k.name for k in allowed)))
            else:
                brand.error(where + (key,), "%s has no key %r%s; a language gives %s" % (
                    what, key, nearest(key, [k.name for k in allowed]), ", ".join(k.name for k in allowed)))
            continue
        if own.get(key) is None and not (entry.kind == "picture_2x" and own.get(key[:-3]) is not None):
            if entry.needed_by(kind) or own_where + (key,) in brand.failed:
                continue  # the brand's own is reported missing or wrong
            brand.error(where + (key,), "%s: the brand has no %s of its own; a language gives its own of what the "
                        "brand has" % (what, key))
            continue
        checked = checker.value(where + (key,), entry.kind, value, "%s.%s" % (what, key))
        if checked is not None:
            out[key] = checked
    return out


def local_pictures(brand, where, table, name, what, opaque, own):
    """A language's pictures beside their 2x; a 1x the same size as the brand's."""
    for key in schema.translated(name):
        if key.kind != "picture":
            continue
        two = key.name + "_2x"
        if two in table and key.name not in table:
            brand.error(where + (two,), "%s gives %s but not %s: give the picture and its 2x together" % (
                what, two, key.name))
        if key.name not in table:
            continue
        size = None
        if own is not None and key.name in own:
            try:
                size = pictures.read(own[key.name], WINDOW_LIMIT)[:2]
            except pictures.PictureError:
                pass  # reported with the brand's own picture
        picture_pair(brand, where, table, key.name, "%s.%s" % (what, key.name), opaque, size,
                     lambda found, size: "%s.%s is %dx%d; the brand's %s is %dx%d" % (
                         what, key.name, *found, key.name, *size))


def by_name(brand, where, tables, owners, what, kind):
    """{owner's index: its table} of a language's zones or controls, which it
    names; an unknown name is reported with the nearest."""
    if not isinstance(tables, dict):
        brand.error(where, "%s must be tables named after the brand's: [%s.NAME]" % (what, ".".join(where)))
        return {}
    names = {owner["name"]: index for index, owner in enumerate(owners)}
    found = {}
    for name, table in tables.items():
        if name not in names and {(kind, name.lower()), (kind, None)} & brand.unchecked:
            continue  # one whose action or kind is reported
        if name not in names and (kind, name) in brand.named:
            # Another language named it first: one message for the name.
            brand.errors[brand.named[kind, name]] += "; %s names it too (line %d)" % (
                what.rsplit(" ", 1 if kind == "zone" else 2)[0], brand.line(where + (name,)))
        elif name not in names:
            brand.named[kind, name] = len(brand.errors)
            brand.error(where + (name,), "%s: the brand has none named %s%s; it has %s" % (
                what, shown(name), nearest(name, names), ", ".join(names) or "none"))
        else:
            found[names[name]] = table
    return found


LANGUAGE_PARTS = ("identity", "menu", "zone", "about", "messages")


def language(brand, tag, body, out):
    """One [language.TAG]: what it gives, checked against the brand's own."""
    where = ("language", tag)
    label = "language %s" % tag
    given = {"identity": {}, "menu": {}, "zones": {}, "about": {}, "controls": {}, "messages": {}}
    if not isinstance(body, dict):
        brand.error(where, "[language.%s] must be a table" % tag)
        return given
    for part, table in body.items():
        place = where + (part,)
        if part not in LANGUAGE_PARTS:
            brand.error(place, "%s has no table %r%s; it takes %s" % (
                label, part, nearest(part, LANGUAGE_PARTS), ", ".join(LANGUAGE_PARTS)))
        elif part == "zone":
            for index, zone in by_name(brand, place, table, out["zones"], label + " zone", "zone").items():
                own = out["zones"][index]
                what = "%s zone %s" % (label, own["name"])
                given["zones"][index] = local_table(brand, place + (own["name"],), zone, "zone", own["action"],
                                                    what, own)
        elif part == "about":
            if out["about"] is None:
                brand.error(place, "%s: the brand has no [about] window" % label)
                continue
            window = dict(table) if isinstance(table, dict) else table
            controls = window.pop("control", {}) if isinstance(window, dict) else {}
            given["about"] = local_table(brand, place, window, "about", None, label + " about", out["about"])
            owners = out["about"]["controls"]
            for index, control in by_name(brand, place + ("control",), controls, owners,
                                          label + " about control", "control").items():
                own = owners[index]
                what = "%s about control %s" % (label, own["name"])
                spot = place + ("control", own["name"])
                mine = given["controls"][index] = local_table(brand, spot, control, "control", own["kind"], what, own)
                local_pictures(brand, spot, mine, "control", what, False, None)
                fit(brand, spot + ("text",), own, mine.get("text"), what)
        else:
            own = out["menu"] if part == "menu" else out[part]
            given[part] = local_table(brand, place, table, part, None, "%s %s" % (label, part), own or {})
            if part == "menu" and own:
                local_pictures(brand, place, given["menu"], "menu", label + " menu", True, own)
    return given


def fit(brand, where, own, text, what):
    """A label's translation that needs more lines than its rectangle holds,
    where the brand's own text fits, is cut at the label's edge: a warning.
    A label whose own rectangle or text is wrong has been reported already."""
    if text is None or "rect" not in own or "text" not in own:
        return
    held = max(labels.lines_held(own), labels.lines_needed(own, own["text"]))
    needed = labels.lines_needed(own, text)
    if needed > held:
        brand.warn(where, "%s: the text needs %d lines and the label (rect %s) holds %d; its end will be cut off" % (
            what, needed, shown(list(own["rect"])), held))


def languages(brand, tables, out):
    """[(tag, what it gives)] of the brand's languages, its own first (giving
    nothing: its texts are the brand's)."""
    own = out["identity"].get("language")
    found = [(own, None)] if own else []
    if tables is None or own is None:
        return found
    if not isinstance(tables, dict):
        brand.error(("language",), "language must be tables [language.TAG]")
        return found
    texts = own_texts(out)
    seen = {}
    summary = ["%s (the brand's own)" % own]
    for written, body in tables.items():
        tag = Checker(brand).kind_language(("language", written), written, "[language.%s]" % written)
        if tag is None:
            continue
        if tag == own:
            brand.error(("language", written), "[language.%s] is the brand's own language (identity.language, "
                        "en by default): its texts are those of the brand's own tables" % written)
            continue
        if tag in seen:
            brand.error(("language", written), "[language.%s] is given twice: [language.%s] at line %d is %s "
                        "already" % (written, seen[tag][1], brand.line(seen[tag]), tag))
            continue
        seen[tag] = ("language", written)
        given = language(brand, written, body, out)
        count = sum(1 for part, name, key in texts if key in part_of(given, part, name, out))
        summary.append("%s %d of %d texts" % (tag, count, len(texts)))
        found.append((tag, given))
    brand.notes.append("%s: languages: %s" % (brand.path, ", ".join(summary)))
    return found


def part_of(given, part, name, out):
    if part == "zone":
        index = next(i for i, z in enumerate(out["zones"]) if z["name"] == name)
        return given["zones"].get(index, {})
    if part == "control":
        index = next(i for i, c in enumerate(out["about"]["controls"]) if c["name"] == name)
        return given["controls"].get(index, {})
    return given[part]


def lit_pictures(brand, menu, size):
    """The menu drawn lit and pressed: each of the menu's size, its 2x twice
    that, and no 2x without its 1x."""
    for key in LIT:
        if key + "_2x" in menu and key not in menu:
            brand.error(("menu", key + "_2x"), "menu.%s_2x needs menu.%s, the same picture at 100 %%" % (key, key))
        picture_pair(brand, ("menu",), menu, key, "menu." + key, True, size,
                     lambda found, size: "menu.%s is %dx%d; it must be the menu's size, %dx%d" % (key, *found, *size))


def focus_order(brand, menu, zones_):
    """The zones' indices the keyboard visits, in order: focus_order's names
    (each a zone, once), or every zone."""
    names = menu.get("focus_order")
    if names is None:
        return list(range(len(zones_))) if menu.get("keyboard") else []
    where = ("menu", "focus_order")
    if not menu.get("keyboard"):
        brand.error(where, "menu.focus_order goes with keyboard = true; add it or remove focus_order")
    known = {z["name"].lower(): i for i, z in enumerate(zones_)}
    order = []
    for name in names:
        index = known.get(name.lower())
        if index is None and {("zone", name.lower()), ("zone", None)} & brand.unchecked:
            continue  # the zone is there; its action is reported
        if index is None:
            brand.error(where, "menu.focus_order: no zone is named %s%s; the zones are %s" % (
                shown(name), nearest(name, [z["name"] for z in zones_]), ", ".join(z["name"] for z in zones_)))
        elif index in order:
            brand.error(where, "menu.focus_order names zone %s twice" % shown(name))
        else:
            order.append(index)
    return order


def fold(name):
    """A name as Windows compares it: each character upcased on its own."""
    return "".join(up if len(up := c.upper()) == 1 else c for c in name)


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


def probe_page(brand, disc):
    """The page the launcher asks Windows to open to find the web browser:
    one the brand names must be among its disc files; without one, the disc
    gets the build's own (disc.own_probe_page says which)."""
    disc["own_probe_page"] = "probe_page" in disc
    if not brand.given(("disc", "probe_page")):
        disc["probe_page"] = PROBE_PAGE
    elif "probe_page" in disc and "files" in disc and not on_disc(disc["files"], disc["probe_page"]):
        brand.error(("disc", "probe_page"), "disc.probe_page: %s is not in the disc files folder (%s): the launcher "
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


def zones(brand, tables, size):
    """One entry per [[zone]]: its checked table, or None where its action is
    unknown (so indices stay those of the file). The names of those it could
    not check go to brand.unchecked: other tables may still name them."""
    if not isinstance(tables, list) or not tables:
        brand.error(("zone",) if tables is not None else (), "the brand needs at least one [[zone]]")
        return []
    result = []
    names = {}
    for index, table in enumerate(tables):
        where = ("zone", index)
        what = called(table, index)
        action = table.get("action") if isinstance(table, dict) else None
        if action not in schema.ACTIONS:
            if not isinstance(table, dict):
                brand.error(where, "%s must be a table" % what)
            elif action is None:
                brand.error(where, "%s needs action" % what)
            else:
                brand.error(where + ("action",), "%s: action must be one of %s, not %s%s" % (
                    what, ", ".join(schema.ACTIONS), shown(action), nearest(action, schema.ACTIONS)))
            name = table.get("name", "Zone%d" % (index + 1)) if isinstance(table, dict) else None
            if isinstance(name, str):
                brand.unchecked.add(("zone", name.lower()))
            result.append(None)
            continue
        taken = isinstance(table.get("name"), str) and table["name"].lower() in names
        if taken:
            what = "zone %d" % (index + 1)
        zone = check_table(brand, where, table, "zone", action, "%s (%s)" % (what, action), what)
        zone["where"] = where
        if where + ("name",) in brand.failed:
            brand.unchecked.add(("zone", None))  # what other tables call it cannot be told
        zone.setdefault("name", "Zone%d" % (index + 1))
        if taken:
            brand.error(where + ("name",), "%s: name %s is taken by zone %d" % (
                what, shown(zone["name"]), names[zone["name"].lower()] + 1))
        names.setdefault(zone["name"].lower(), index)
        if "rect" in zone and size:
            past = outside(zone["rect"], size, what, "menu picture")
            if past:
                brand.error(where + ("rect",), past)
        if "question_title" in zone and "question" not in table:
            brand.error(where + ("question_title",), "%s has a question_title but no question" % what)
        if action == "open":
            zone.setdefault("no_program", DEFAULT_NO_PROGRAM)
        result.append(zone)
    return result


def about(brand, table):
    if table is None:
        return None
    where = ("about",)
    if not isinstance(table, dict):
        brand.error(where, "[about] must be a table")
        return None
    controls = table.get("control", [])
    own = {k: v for k, v in table.items() if k != "control"}
    # Made by its controls' headers alone, beside a table of another name: that one is its own, misspelt.
    window = check_table(brand, where, own, "about", None, "[about]") if own or "about" not in brand.lost else {}
    window["controls"] = []
    if not isinstance(controls, list):
        brand.error(where + ("control",), "[about] controls must be [[about.control]] tables")
        return window
    size = window.get("size")  # None after its own error: then no control is "outside"
    for index, control in enumerate(controls):
        place = ("about", "control", index)
        what = called(control, index, "about control")
        kind = control.get("kind") if isinstance(control, dict) else None
        if kind not in schema.CONTROLS:
            brand.error(place + ("kind",), "%s: kind must be one of %s, not %s%s" % (
                what, ", ".join(schema.CONTROLS), shown(kind) if kind is not None else "missing",
                nearest(kind, schema.CONTROLS) if isinstance(kind, str) else ""))
            name = control.get("name") if isinstance(control, dict) else None
            brand.unchecked.add(("control", name.lower() if isinstance(name, str) else None))
            continue
        checked = check_table(brand, place, control, "control", kind, "%s (%s)" % (what, kind), what)
        checked["where"] = place
        if place + ("name",) in brand.failed:
            brand.unchecked.add(("control", None))
        checked.setdefault("name", "%s%d" % (kind.capitalize(), index + 1))
        rect = checked.get("rect")
        if rect and size and (rect[0] >= size[0] or rect[1] >= size[1]):
            brand.error(place + ("rect",), "%s lies wholly outside the %dx%d About window: its left or top edge "
                        "is past the window's (rect %s)" % (what, *size, shown(list(rect))))
        if "tooltip" in checked and "url" not in control and ("control", None) not in brand.unchecked:
            brand.error(place + ("tooltip",), "%s has a tooltip but no url: only links show tips" % what)
        if kind == "picture" and "file" in checked:
            picture_pair(brand, place, checked, "file", what + " file", False)
        window["controls"].append(checked)
    return window


# --- The tables the program walks -------------------------------------------------

def twips(rect):
    return "{%s}" % ", ".join(str(v * TWIPS) for v in rect)


# Resource ids: the icon and cursor; each picture at 201 + n, its 2x at 301 + n
# (the menu's picture is n = 0, the About pictures follow), or past the
# pictures when a brand's languages bring more than a hundred.
ICON_ID, CURSOR_ID, PICTURE_ID, PICTURE_2X_ID = 1, 101, 201, 301


def picture_ids(arts, index):
    """The resource ids of picture `index` and of its 2x (0: none)."""
    two_base = max(PICTURE_2X_ID, PICTURE_ID + len(arts))
    return PICTURE_ID + index, two_base + index if arts[index][1] else 0



def pictures_of(view):
    """(file, file_2x or None, matte) of a language's menu, then of each of its
    About pictures, then of its menu lit and pressed where the brand has them."""
    menu = view["menu"]
    found = [(menu["picture"], menu.get("picture_2x"), 0)]
    for control in (view["about"] or {}).get("controls", []):
        if control["kind"] == "picture":
            found.append((control["file"], control.get("file_2x"), control.get("background", 0)))
    return found + [(menu[key], menu.get(key + "_2x"), 0) for key in LIT if key in menu]


def lit_art(view, arts, files):
    """A language's lines for the menu lit and pressed (id 0: none)."""
    menu = view["menu"]
    return ["inline constexpr Art kMenu%s%s;" % (key.capitalize(), art(arts, files, (
        menu[key], menu.get(key + "_2x"), 0)) if key in menu else "{}") for key in LIT]


def keyboard(brand):
    """The header's lines for the keyboard: the same in every language."""
    menu = brand["menu"]
    return ["inline constexpr bool kKeyboard = %s;" % ("true" if menu.get("keyboard") else "false"),
            "// The zones the keys visit, in order, by index into kZones.",
            "inline constexpr std::array<int, %d> kFocusOrder{%s};" % (
                len(menu["focus"]), ", ".join(str(i) for i in menu["focus"]))]


def art_files(brand):
    """Every picture the exe embeds, once: the brand's own language's first,
    then those its other languages bring."""
    found = []
    for _, view in brand["views"]:
        found += [entry for entry in pictures_of(view) if entry not in found]
    return found


def with_own(table, given):
    """A table with a language's texts and pictures in place of the brand's:
    a picture it gives comes with its own 2x or none."""
    merged = dict(table, **given)
    for key in given:
        if key + "_2x" in table and key + "_2x" not in given:
            del merged[key + "_2x"]
    return merged


def views(brand):
    """Each language's brand as the user sees it: [(tag, view)]."""
    found = []
    for tag, given in brand["languages"]:
        given = given or {"identity": {}, "menu": {}, "zones": {}, "about": {}, "controls": {}, "messages": {}}
        about_ = brand["about"] and dict(with_own(brand["about"], given["about"]), controls=[
            with_own(control, given["controls"].get(index, {}))
            for index, control in enumerate(brand["about"]["controls"])])
        identity = dict(brand["identity"], language=tag, **given["identity"])
        if not brand["own_description"] and "description" not in given["identity"]:
            identity["description"] = identity["title"]
        found.append((tag, {
            "identity": identity, "menu": with_own(brand["menu"], given["menu"]),
            "zones": [dict(zone, **given["zones"].get(index, {})) for index, zone in enumerate(brand["zones"])],
            "about": about_, "messages": dict(brand["messages"], **given["messages"])}))
    return found


def embedded(brand, out_dir):
    """[(1x path, 2x path or None)] as the exe embeds them (see
    pictures.compact). Returns the pictures and the (path, bytes) pairs of
    the ones made anew."""
    result, made = [], []
    for index, entry in enumerate(art_files(brand)):
        forms, grown = pictures.embedded_forms(entry, os.path.join(out_dir, "brand", "picture%d" % index))
        brand["warnings"] += grown
        result.append(tuple(path for path, _ in forms))
        made += [form for form in forms if form[1] is not None]
    return result, made


def art(arts, files, entry):
    index = files.index(entry)
    one, two = picture_ids(arts, index)
    encoded = not arts[index][0].lower().endswith(".bmp")
    return "{.id = %d, .encoded = %s, .id2x = %d}" % (one, "true" if encoded else "false", two)


def action(item, identity):
    kind = item.get("action", "web" if item.get("url") else "none")
    question = item.get("question", "")
    fields = [("path", item.get("document") or item.get("program")), ("noProgram", item.get("no_program")),
              ("url", item.get("url")), ("showFirst", item.get("show_first")), ("question", question or None),
              ("questionTitle", item.get("question_title", identity["title"]) if question else None)]
    return "{.kind = ActionKind::%s%s%s}" % (kind.capitalize(), "".join(
        ", .%s = %s" % (name, emit.cpp_string(value)) for name, value in fields if value),
        ", .thenQuit = true" if item.get("then") == "quit" else "")


def language_tables(view, arts, files):
    """The tables of one language: its texts and the pictures it shows."""
    identity, zones_, about_ = view["identity"], view["zones"], view["about"]
    cpp = emit.cpp_string
    pictures_ = iter(pictures_of(view))
    lines = ["inline constexpr std::string_view kTitle = %s;" % cpp(identity["title"]),
             "inline constexpr Art kMenuArt%s;" % art(arts, files, next(pictures_)),
             *lit_art(view, arts, files),
             "",
             "// Front to back: where zones overlap, the front one wins.",
             "inline constexpr std::array<HotZone, %d> kZones{{" % len(zones_)]
    for zone in zones_:
        lines.append("    {.name = %s, .twips = %s, .tooltip = %s, .click = %s}," % (
            cpp(zone["name"]), twips(zone["rect"]), cpp(zone["tooltip"]), action(zone, identity)))
    lines += ["}};", ""]
    if about_ is None:
        lines += ["inline constexpr std::string_view kAboutTitle = \"\";",
                  "inline constexpr std::array<AboutControl, 0> kAboutControls{};"]
    else:
        lines += ["inline constexpr std::string_view kAboutTitle = %s;" % cpp(about_["title"]),
                  "",
                  "// Front to back, as the designer stacked them.",
                  "inline constexpr std::array<AboutControl, %d> kAboutControls{{" % len(about_["controls"])]
        for control in about_["controls"]:
            kind = control["kind"]
            fields = [("kind", "ControlKind::" + kind.capitalize()), ("name", cpp(control["name"])),
                      ("twips", twips(control["rect"]))]
            if "text" in control:
                fields.append(("text", cpp(control["text"])))
            if "background" in control:
                fields.append(("background", "0x%06X" % control["background"]))
            if "colour" in control:
                fields.append(("colour", "0x%06X" % control["colour"]))
            if "outline" in control:
                fields.append(("outline", "0x%06X" % control["outline"]))
            if control.get("bold") or control.get("underline"):
                fields.append(("font", "{.bold = %s, .underline = %s}" % (
                    "true" if control.get("bold") else "false", "true" if control.get("underline") else "false")))
            if kind == "picture":
                fields.append(("picture", art(arts, files, next(pictures_))))
            if "tooltip" in control:
                fields.append(("tooltip", cpp(control["tooltip"])))
            if "url" in control:
                fields.append(("click", action(control, identity)))
            lines.append("    {%s}," % ", ".join(".%s = %s" % field for field in fields))
        lines.append("}};")
    messages = view["messages"]
    failures = ", ".join("{%d, %s}" % (code, cpp(messages[key])) for key, code in schema.RESULT_CODES.items())
    lines += ["",
              "inline constexpr Messages kMessages{.failures = {{%s}}, .unknownError = %s, .noBrowser = %s, "
              ".pageFailed = %s};" % (failures, cpp(messages["unknown_error"]), cpp(messages["no_browser"]),
                                      cpp(messages["page_failed"]))]
    return lines


def namespace_of(tag):
    """The namespace of a language's tables after the first (whose tables keep
    the plain names): a tag is no C++ name (pt-BR; or, a keyword)."""
    return "in_" + tag.replace("-", "_")


def header(brand, arts):
    files = art_files(brand)
    lines = [
        "// Generated from %s by tools/brand/brand.py: edit the brand file, not this." % (
            named(os.path.basename(brand["source"]))),
        "#pragma once",
        "",
        '#include "brand/Types.h"',
        "",
        "namespace startboard::brand {",
        "",
        "inline constexpr std::string_view kProbePage = %s;" % emit.cpp_string(brand["disc"]["probe_page"]),
        "inline constexpr int kIconId = %d;" % ICON_ID,
        "inline constexpr int kCursorId = %d;" % CURSOR_ID,
        "inline constexpr TwipRect kMenuClient{0, 0, %d, %d};" % tuple(v * TWIPS for v in brand["menu"]["size"]),
        *keyboard(brand),
    ]
    about_ = brand["about"]
    lines += ["inline constexpr TwipRect kAboutClient{0, 0, %d, %d};" % (
        tuple(v * TWIPS for v in about_["size"]) if about_ else (0, 0)),
              "inline constexpr Rgb kAboutBackground = %s;" % ("0x%06X" % about_["background"] if about_ else "0"),
              ""]
    entries = []
    for index, (tag, view) in enumerate(brand["views"]):
        space = namespace_of(tag) if index else None
        lines += (["// %s" % tag] if not index else ["namespace %s {  // %s" % (space, tag)])
        lines += language_tables(view, arts, files)
        lines += ([""] if not index else ["", "}  // namespace %s" % space, ""])
        prefix = space + "::" if space else ""
        entries.append("    {.id = 0x%04X, .title = %skTitle, .menuArt = %skMenuArt, .hover = %skMenuHover, "
                       ".pressed = %skMenuPressed, .zones = %skZones, .aboutTitle = %skAboutTitle, "
                       ".aboutControls = %skAboutControls, .messages = &%skMessages}," % (
                           tags.ids(tag)[0], *([prefix] * 8)))
    lines += ["// The brand's own language first: the one any other user gets.",
              "inline constexpr std::array<Language, %d> kLanguages{{" % len(entries)] + entries + ["}};"]
    lines += ["", "}  // namespace startboard::brand", ""]
    return "\n".join(lines)


def version_numbers(version):
    parts = [int(p) for p in version.split(".")] + [0, 0, 0]
    return ", ".join(str(p) for p in parts[:4])


def manifest(brand):
    identity = brand["identity"]
    with open(MANIFEST, encoding="utf-8") as f:
        template = f.read()
    return emit.fill(template, {"NAME": identity["assembly_name"], "DESCRIPTION": emit.xml_text(identity["product"]),
                                "VERSION": version_numbers(identity["version"]).replace(", ", ".")})


def version_strings(identity):
    strings = [("CompanyName", identity["company"]), ("FileDescription", identity["description"]),
               ("FileVersion", identity["version"]), ("InternalName", os.path.splitext(identity["exe"])[0]),
               ("LegalCopyright", identity.get("copyright")), ("OriginalFilename", identity["exe"]),
               ("ProductName", identity["product"]), ("ProductVersion", identity["product_version"])]
    return [(key, value) for key, value in strings if value is not None]


def resources(brand, arts, icon_path, cursor_path, manifest_path):
    identity = brand["identity"]
    lines = ["// Generated from %s by tools/brand/brand.py: edit the brand file, not this." % (
        named(os.path.basename(brand["source"]))),
             "%d ICON %s" % (ICON_ID, emit.rc_path(os.path.abspath(icon_path))),
             "%d CURSOR %s" % (CURSOR_ID, emit.rc_path(os.path.abspath(cursor_path))),
             "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST %s" % emit.rc_path(os.path.abspath(manifest_path))]
    for index, (one, two) in enumerate(arts):
        kind = "BITMAP" if one.lower().endswith(".bmp") else "RCDATA"
        one_id, two_id = picture_ids(arts, index)
        lines.append("%d %s %s" % (one_id, kind, emit.rc_path(os.path.abspath(one))))
        if two:
            lines.append("%d RCDATA %s" % (two_id, emit.rc_path(os.path.abspath(two))))
    lines += [
        "",
        "VS_VERSION_INFO VERSIONINFO",
        "FILEVERSION %s" % version_numbers(identity["version"]),
        "PRODUCTVERSION %s" % version_numbers(identity["product_version"]),
        "FILEFLAGSMASK VS_FFI_FILEFLAGSMASK", "FILEFLAGS 0", "FILEOS VOS_NT_WINDOWS32", "FILETYPE VFT_APP",
        "FILESUBTYPE VFT2_UNKNOWN", "BEGIN", '  BLOCK "StringFileInfo"', "  BEGIN"]
    # One string table per language (Unicode, code page 1200): Explorer shows
    # the one of the user's language.
    ids = []
    for tag, view in brand["views"]:
        ids.append(tags.ids(tag)[1])
        lines += ['    BLOCK "%04X04B0"' % ids[-1], "    BEGIN"]
        lines += ["      VALUE %s, %s" % (emit.rc_string(key), emit.rc_string(value))
                  for key, value in version_strings(view["identity"])]
        lines += ["    END"]
    lines += ["  END", '  BLOCK "VarFileInfo"', "  BEGIN",
              '    VALUE "Translation", %s' % ", ".join("0x%04X, 1200" % i for i in ids), "  END", "END", ""]
    return "\n".join(lines)


def write_all(outputs):
    """Writes every file or none: each goes to a temporary name first. An
    output is text, bytes, or a function that writes the file it is given."""
    staged = []
    try:
        for path, content in outputs:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            handle, temporary = tempfile.mkstemp(dir=os.path.dirname(path), prefix=".brand-",
                                                 suffix=os.path.splitext(path)[1])
            staged.append((temporary, path))
            if callable(content):
                os.close(handle)
                content(temporary)
            else:
                with os.fdopen(handle, "wb") as f:
                    f.write(content.encode("utf-8") if isinstance(content, str) else content)
        for temporary, path in staged:
            os.replace(temporary, path)
    finally:
        for temporary, _ in staged:
            if os.path.exists(temporary):
                os.remove(temporary)


OUTPUTS = ("Data.h", "Data.rc", "Startboard.manifest", "icon.ico", "cursor.cur")

def depfile_path(brand_file, path):
    """A path as a depfile spells it; a BrandError when Ninja cannot read it
    back (a file the brand names is checked at its line; this is the folder)."""
    bad = untrackable(path)
    if bad:
        raise BrandError("%s:1: the build cannot track changes to %s: Ninja's dependency files cannot hold %s "
                         "in a path; rename the folder (%s)" % (brand_file, path, " ".join(bad), DEPFILE_FINE))
    return path.replace("$", "$$").replace("#", "\\#").replace(" ", "\\ ")


def generate(path, out_dir, depfile=None):
    brand = load(path)
    brand["source"] = path
    brand["views"] = views(brand)
    folder = os.path.join(out_dir, "brand")
    data_h = os.path.join(folder, "Data.h")
    manifest_path = os.path.join(folder, "Startboard.manifest")
    arts, outputs = embedded(brand, out_dir)
    icon_path, cursor_path = brand["identity"]["icon"], brand["menu"]["cursor"]
    if icon_path.lower().endswith(".png"):
        icon_path = os.path.join(folder, "icon.ico")
        outputs.append((icon_path, pictures.icon_from_png(brand["identity"]["icon"])))
    if cursor_path.lower().endswith(".png"):
        cursor_path = os.path.join(folder, "cursor.cur")
        outputs.append((cursor_path, pictures.cursor_from_png(brand["menu"]["cursor"], brand["menu"]["cursor_hotspot"])))
    outputs += [(data_h, header(brand, arts)), (manifest_path, manifest(brand)),
                (os.path.join(folder, "Data.rc"), resources(brand, arts, icon_path, cursor_path, manifest_path))]
    if depfile:
        # Ninja names the output as CMake wrote it: relative to the build
        # folder, where the command runs.
        outputs.append((depfile, "%s: %s\n" % (depfile_path(path, os.path.relpath(data_h)),
                                                " ".join(depfile_path(path, f) for f in brand["files"]))))
    write_all(outputs)
    return brand["warnings"]


def remove_outputs(out_dir, depfile):
    """A brand with a mistake leaves no tables behind: the build cannot go on
    with the last good brand's."""
    folder = os.path.join(out_dir, "brand")
    if os.path.isdir(folder):
        for name in os.listdir(folder):
            if name in OUTPUTS or name.startswith("picture"):
                os.remove(os.path.join(folder, name))
    if depfile and os.path.exists(depfile):
        os.remove(depfile)


def main(argv):
    parser = argparse.ArgumentParser(prog="brand.py", description=__doc__.strip().split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    make = commands.add_parser("generate", help="check, then write OUT_DIR/brand/Data.h, Data.rc, the manifest "
                               "and converted pictures")
    make.add_argument("brand")
    make.add_argument("out_dir")
    make.add_argument("depfile", nargs="?")
    commands.add_parser("check", help="only check").add_argument("brand")
    get = commands.add_parser("get", help="print one checked value")
    get.add_argument("brand")
    get.add_argument("key", choices=("exe", "product", "label", "volume_id", "files"))
    commands.add_parser("keys", help="print README's key table")
    args = parser.parse_args(argv)
    try:
        if args.command == "generate":
            try:
                warnings = generate(args.brand, args.out_dir, args.depfile)
            except BrandError:
                remove_outputs(args.out_dir, args.depfile)
                raise
        elif args.command == "check":
            warnings = load(args.brand)["warnings"]
        elif args.command == "get":
            brand = load(args.brand)
            print(brand["identity"].get(args.key) or brand["disc"].get(args.key) or "")
            warnings = []
        else:
            sys.stdout.write(schema.markdown())
            warnings = []
    except BrandError as error:
        print(error, file=sys.stderr)
        return 1
    for warning in warnings:
        print(warning, file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

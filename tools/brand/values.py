"""Each kind of value a key takes (keys.py names the kind): checked, and
turned into the form the tables take."""
import os
import re

from . import tags
from .findings import LINE_MAX, TEXT_MAX, Findings, named, shown, unprintable

URL_SCHEMES = ("http://", "https://", "mailto:")
FORBIDDEN = set('<>:"|?*')
DEVICES = {"CON", "PRN", "AUX", "NUL"} | {"%s%d" % (d, n) for d in ("COM", "LPT") for n in range(1, 10)}
NAME_MAX = 64  # Joliet's limit for one name on the disc
PATH_MAX = 200  # a disc path, so the whole stays within Windows' 260 from a folder
# What Ninja (1.11) reads as part of a path in a depfile: letters, digits,
# any non-ASCII character, + , / _ : . ~ ( ) { } % = @ [ ] ! -, and space, #
# and $ escaped. Any other character ends the path, escaped or not.
DEPFILE_PLAIN = re.compile(r"[A-Za-z0-9+,/_:.~(){}%=@\[\]!\x80-\U0010ffff -]|[ #$]")
DEPFILE_FINE = "letters, digits, spaces and - _ . , + = @ ( ) [ ] { } ! % ~ # $ are fine"


def untrackable(path):
    """The characters of a path the build's dependency file cannot hold, sorted."""
    return sorted({c for c in path if not DEPFILE_PLAIN.fullmatch(c)})


class Checker:
    def __init__(self, report: Findings):
        self.report = report

    def value(self, where, kind, value, what):
        """The value in the form the tables take, or None after an error."""
        method = getattr(self, "kind_" + kind)
        return method(where, value, what)

    def wrong(self, where, what, value, expected):
        self.report.error(where, "%s must be %s, not %s" % (what, expected, shown(value)))

    def _text(self, where, value, what, lines):
        if not isinstance(value, str) or not value.strip():
            return self.wrong(where, what, value, "a non-empty text in quotes")
        value = value.replace("\r\n", "\n")
        bad = unprintable(value, lines)
        if bad is not None:
            allowed = "line breaks but no other control characters" if lines else "one line, no control characters"
            return self.report.error(where, "%s holds the character U+%04X; it takes %s" % (what, ord(bad), allowed))
        limit = TEXT_MAX if lines else LINE_MAX
        if len(value) > limit:
            return self.report.error(where, "%s has %d characters; at most %d fit" % (what, len(value), limit))
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
            return self.report.error(where, "%s: %s is written right to left, which the launcher does not lay out; "
                                    "only left-to-right languages are supported" % (what, shown(value)))
        tag = tags.canonical(value)
        if tag is None:
            close = tags.nearest(value)
            return self.report.error(where, "%s: %s is not a language tag Windows knows%s; write a language, or "
                                    "a language and country: en, de, pt-BR" % (
                                        what, shown(value), " (did you mean %r?)" % close if close else ""))
        return tag

    def kind_condition(self, where, value, what):
        from . import conditions  # which checks values with this checker
        return conditions.check(self, where, value, what)

    def kind_bool(self, where, value, what):
        return value if isinstance(value, bool) else self.wrong(where, what, value, "true or false")

    def _numbers(self, where, value, what, names):
        if (not isinstance(value, list) or len(value) != len(names) or
                not all(isinstance(v, int) and not isinstance(v, bool) for v in value)):
            return self.wrong(where, what, value, "[%s] in whole pixels" % ", ".join(names))
        for name, number in zip(names, value):
            low = 1 if name in ("width", "height") else 0
            if not low <= number <= 4000:
                return self.report.error(where, "%s: %s is %d; it must be %d to 4000 pixels" % (
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
            return self.report.error(where, "%s holds a control character (U+%04X): in double quotes a backslash "
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
                return self.report.error(where, "%s: %r is a device name on Windows (CON, PRN, AUX, NUL, COM1-9, "
                                        "LPT1-9), not a file name" % (what, part))
            if len(part) > NAME_MAX:
                return self.report.error(where, "%s: %r has %d characters; a disc's names hold %d" % (
                    what, part, len(part), NAME_MAX))
        path = "\\".join(parts)
        if len(path) > PATH_MAX:
            return self.report.error(where, "%s has %d characters; at most %d" % (what, len(path), PATH_MAX))
        return path

    def _file(self, where, value, what):
        if not isinstance(value, str) or not value or unprintable(value, False) is not None:
            return self.wrong(where, what, value, "a file name beside the brand file")
        full = os.path.join(self.report.folder, value)
        if os.path.isdir(full):
            return self.report.error(where, "%s: %s is a folder; name a file in it" % (what, named(value)))
        if not os.path.isfile(full):
            return self.report.error(where, "%s: no file %s beside the brand file" % (what, named(value)))
        bad = untrackable(value)
        if bad:
            part = next(p for p in reversed(value.split("/")) if untrackable(p))
            return self.report.error(where, "%s: the build cannot track changes to %s: its dependency files cannot "
                                    "hold %s in a name; rename %s %s (%s)" % (
                                        what, named(value), " ".join(bad),
                                        "the file" if part == os.path.basename(value) else "the folder",
                                        named(part), DEPFILE_FINE))
        self.report.files.add(os.path.abspath(full))
        return full

    kind_file = kind_picture = kind_picture_2x = kind_icon = kind_cursor = _file

    def kind_folder(self, where, value, what):
        if not isinstance(value, str) or not value or unprintable(value, False) is not None:
            return self.wrong(where, what, value, "a folder beside the brand file")
        full = os.path.join(self.report.folder, value)
        if not os.path.isdir(full):
            return self.report.error(where, "%s: no folder %s beside the brand file" % (what, named(value)))
        return full

"""What a check finds: every mistake and warning at the line of the key it
concerns, and the words messages quote a publisher's values in."""
import difflib
from dataclasses import dataclass, field

LINE_MAX = 256  # one-line texts: captions, version block entries
TEXT_MAX = 4096


class BrandError(Exception):
    """A brand with mistakes: its message is every mistake, one FILE:LINE line each."""


Where = tuple  # a key's path: ("zone", 2, "rect"), ("about", "control", 0)


@dataclass
class Findings:
    """A check in progress: its messages, and what later tables must know of
    earlier mistakes so as not to report them again."""
    path: str
    folder: str
    lines: dict[Where, int] = field(default_factory=dict)
    errors: list[str] = field(default_factory=list)
    warnings: list[str] = field(default_factory=list)
    notes: list[str] = field(default_factory=list)  # what the build says of a good brand
    files: set[str] = field(default_factory=set)  # every file read, for the build's depfile
    places: dict[str, int] = field(default_factory=dict)  # each picture: the line of the first key naming it
    failed: set[Where] = field(default_factory=set)  # keys given a wrong value: reported already
    # ("zone" or "control", lowercase name, or None for any) of those that
    # could not be checked: other tables may still name them.
    unchecked: set[tuple[str, str | None]] = field(default_factory=set)
    lost: set[str] = field(default_factory=set)  # tables whose keys stand under another header
    astray: set[Where] = field(default_factory=set)  # tables with keys they do not take: maybe misspelt
    # (kind, name) a language names that the brand lacks: the index of its message.
    named: dict[tuple[str, str], int] = field(default_factory=dict)

    def line(self, where: Where) -> int:
        """The line of a key path, or of the nearest table that holds it."""
        where = tuple(where)
        while where:
            if where in self.lines:
                return self.lines[where]
            where = where[:-1]
        return 1

    def given(self, where: Where) -> bool:
        """Whether the file gives this key (its value may have been refused)."""
        return tuple(where) in self.lines

    def error(self, where: Where, message: str) -> None:
        self.errors.append("%s:%d: %s" % (self.path, self.line(where), message))

    def warn(self, where: Where, message: str) -> None:
        self.warnings.append("%s:%d: warning: %s" % (self.path, self.line(where), message))


def nearest(word: object, choices) -> str:
    close = difflib.get_close_matches(str(word), list(choices), n=1, cutoff=0.5)
    return " (did you mean %r?)" % close[0] if close else ""


def named(value: str) -> str:
    """A file or folder name in a message, on one line."""
    return "".join(c if c.isprintable() else "\\u%04X" % ord(c) for c in value)


def shown(value: object) -> str:
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


def unprintable(text: str, lines: bool) -> str | None:
    """The first character a text may not hold, or None. Line breaks only
    where `lines` allows them; never other control characters, nor the
    noncharacters U+FFFE and U+FFFF."""
    for char in text:
        if char == "\n" and lines:
            continue
        if ord(char) < 32 or 127 <= ord(char) < 160 or char in "\ufffe\uffff\u2028\u2029":
            return char
    return None

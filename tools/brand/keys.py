"""Every key a brand file may hold, as the checker and README's key table
read them: model.py declares each once, as a field of the checked brand;
here are the kinds of value, the actions and control kinds, and the table's
words."""
from dataclasses import dataclass, fields
from typing import Optional, Union

from . import model

ACTIONS = ("open", "install", "web", "about", "quit", "explore", "page", "back")
CONTROLS = ("picture", "label", "oval")


@dataclass(frozen=True)
class Key:
    table: str  # identity, menu, disc, zone, page, condition, about, control
    name: str
    kind: str  # see KINDS
    required: Union[bool, tuple[str, ...]] = False  # True, False, or the actions/kinds that need it
    takes: tuple = ()  # zone and control keys: the actions/kinds it belongs to (all when empty)
    doc: str = ""
    local: Optional[bool] = None  # a language may give its own; by default every text and picture may
    default: Optional[str] = None  # [messages]: the text when the brand gives none

    @property
    def translated(self):
        return self.kind in LOCAL_KINDS if self.local is None else self.local

    def needed_by(self, kind=None):
        return self.required is True or (kind is not None and kind in (self.required or ()))

    def taken_by(self, kind):
        return not self.takes or kind in self.takes


LIT = ("hover", "pressed", "off")  # the menu's and each page's pictures of its zones' looks

# The kinds of value a language may give its own of: what the user reads and sees.
LOCAL_KINDS = ("line", "text", "picture", "picture_2x")

# What each kind of value is, for README.
KINDS = {
    "line": "one line of text",
    "text": "text; a line break shows as one",
    "name": "a name",
    "version": '"1.2.3.4"',
    "exe": "a file name",
    "assembly": "dotted name",
    "file": "a file beside the brand file",
    "picture": "BMP, JPEG or PNG beside the brand file",
    "picture_2x": "BMP, JPEG or PNG beside the brand file",
    "icon": ".ico or square PNG beside the brand file",
    "cursor": ".cur or square PNG beside the brand file",
    "size": "[width, height]",
    "rect": "[left, top, width, height]",
    "point": "[x, y]",
    "disc": "a path on the disc",
    "folder": "a folder beside the brand file",
    "label": "one line, at most 32 characters",
    "volume": "A-Z 0-9 _",
    "url": "a URL",
    "colour": '"#RRGGBB"',
    "bool": "true or false",
    "action": "one of " + ", ".join(ACTIONS),
    "control": "one of " + ", ".join(CONTROLS),
    "names": "[\"name\", ...]",
    "then": '"quit"',
    "language": "a language tag: en, de, pt-BR, ...",
    "condition": "a table of tests (see `when` and `unless`)",
    "windows": '"6.1", "10.0", "10.0.22000"',
    "machines": '"x86", "x64", "arm64" or a list',
    "registry": "'HKLM\\KEY' or 'HKCU\\KEY'",
    "view": "32 or 64",
}

# The shell's result codes that have a text of their own when a start fails,
# by the [messages] key that holds it; code 31 (no program for the type) is
# the zone's `no_program`.
RESULT_CODES = {"file_not_found": 2, "path_not_found": 3, "access_denied": 5, "out_of_memory": 8,
                "bad_program": 11, "sharing_violation": 26, "bad_association": 27, "dde_timeout": 28,
                "dde_failed": 29, "dde_busy": 30, "dll_not_found": 32}

# Every key, as model.py declares it, table by table.
KEYS = tuple(Key(table, f.name, **f.metadata["key"]) for table, kind in model.TABLES.items()
             for f in fields(kind) if "key" in f.metadata)

TABLES = ("identity", "menu", "disc", "zone", "page", "about", "messages", "language")  # what a brand holds at its top
HEADERS = {"identity": "[identity]", "menu": "[menu]", "disc": "[disc]", "zone": "[[zone]]", "page": "[[page]]",
           "condition": "when / unless",
           "about": "[about]", "control": "[[about.control]]", "messages": "[messages]",
           "language": "[language.TAG]"}
# A language's tables, as it writes them below [language.TAG]: zones and
# About controls by their names.
LANGUAGE_HEADERS = {"identity": "[language.TAG.identity]", "menu": "[language.TAG.menu]",
                    "zone": "[language.TAG.zone.NAME]", "page": "[language.TAG.page.NAME]", "about": "[language.TAG.about]",
                    "control": "[language.TAG.about.control.NAME]", "messages": "[language.TAG.messages]"}


def of(table):
    return [key for key in KEYS if key.table == table]


def translated(table):
    return [key for key in KEYS if key.table == table and key.translated]


def markdown():
    """README's key table, then what a language may give."""
    rows = ["| Key | Value | Required | Meaning |", "|---|---|---|---|"]
    for key in KEYS:
        if key.required is True:
            required = "yes"
        elif key.required:
            required = ", ".join("`%s`" % kind for kind in key.required)
        else:
            required = ""
        takes = " (%s)" % ", ".join("`%s`" % kind for kind in key.takes) if key.takes else ""
        rows.append("| `%s` `%s`%s | %s | %s | %s |" % (
            HEADERS[key.table], key.name, takes, KINDS[key.kind], required, key.doc + (
                '; "%s" by default' % key.default if key.default else "")))
    rows += ["", "| A language's table | Keys it may give |", "|---|---|"]
    for table, header in LANGUAGE_HEADERS.items():
        rows.append("| `%s` | %s |" % (header, ", ".join("`%s`" % key.name for key in translated(table))))
    return "\n".join(rows) + "\n"

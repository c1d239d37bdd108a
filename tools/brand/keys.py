"""Every key a brand file may hold, once: its table, kind of value, whether it
is required (for zones and About controls: by which actions or kinds), which
actions or kinds take it, its default and what README says of it. The
checker, the generator and README's key table all read this one list."""
from dataclasses import dataclass
from typing import Optional, Union

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

KEYS = (
    Key("identity", "title", "line", True, doc="the menu window's title and every message box's caption"),
    Key("identity", "product", "line", True, local=False, doc="the version block's ProductName; also names the signature "
        "and the manifest"),
    Key("identity", "company", "line", True, local=False, doc="the version block's CompanyName"),
    Key("identity", "version", "version", True, doc="FileVersion: up to four numbers, each at most 65535"),
    Key("identity", "product_version", "version", doc="ProductVersion, the same form; `version` by default"),
    Key("identity", "description", "line", doc="FileDescription, which Task Manager and the file's properties "
        "show; `title` by default"),
    Key("identity", "copyright", "text", doc="LegalCopyright in the version block (may run over lines)"),
    Key("identity", "icon", "icon", True, doc="the exe's icon: a `.ico` (give it 16 and 32 pixels) or a square "
        "PNG, from which the build makes 16, 32, 48 and, from 256 pixels or more, 256"),
    Key("identity", "exe", "exe", doc="the exe's name on the disc, `Startboard.exe` by default; "
        "`autorun.inf` follows it"),
    Key("identity", "assembly_name", "assembly", doc="the manifest's assembly name, dotted names of "
        "`A-Z a-z 0-9 _`; made from the company and product by default"),
    Key("identity", "language", "language", local=False, doc="the language of the brand's own texts; `en` "
        "by default. Others come in `[language.TAG]` tables (see \"Languages\")"),

    Key("menu", "picture", "picture", True, doc="the window's picture; its size must be `size`"),
    Key("menu", "picture_2x", "picture_2x", doc="the same picture at exactly twice the size, drawn above "
        "100 %; without it the launcher enlarges `picture` smoothly"),
    Key("menu", "size", "size", True, doc="the picture's size: the window's client area at 100 %"),
    Key("menu", "cursor", "cursor", doc="the hand over zones and links: a `.cur` (give it 32, 48 and 64 pixels; "
        "each dpi takes the largest that fits) or a square PNG with `cursor_hotspot`; the default brand's hand "
        "when absent"),
    Key("menu", "cursor_hotspot", "point", doc="with a PNG cursor (required there): the pointer's tip, in "
        "that PNG's pixels"),
    Key("menu", "hover", "picture", doc="the whole menu drawn lit, of `size`: a zone's part is drawn from it "
        "while the pointer is over it (and while it has the keyboard's focus)"),
    Key("menu", "hover_2x", "picture_2x", doc="`hover` at twice the size"),
    Key("menu", "pressed", "picture", doc="the whole menu drawn pressed, of `size`: a zone's part while the left "
        "button is held down on it; `hover` (or nothing) when absent"),
    Key("menu", "pressed_2x", "picture_2x", doc="`pressed` at twice the size"),
    Key("menu", "off", "picture", doc="the whole menu drawn with what does not apply greyed or removed, of `size`: "
        "a zone's part is drawn from it where the zone is absent (see `when`); the menu as it is when absent"),
    Key("menu", "off_2x", "picture_2x", doc="`off` at twice the size"),
    Key("menu", "keyboard", "bool", doc="Tab, Shift+Tab and the arrows move a focus among the zones, Enter and "
        "Space run the focused one, Escape the `quit` zone; screen readers see the zones as buttons. Off by "
        "default: a mouse-only menu"),
    Key("menu", "focus_order", "names", doc="with `keyboard`: the zones the keys visit, by name, in that order "
        "(every zone, in the file's order, by default)"),

    Key("disc", "probe_page", "disc", doc="a small HTML page on the disc that the launcher opens to learn which "
        "program is the web browser; it must be among your disc files. Without it, `make disc` writes one, "
        "`probe.htm`"),
    Key("disc", "label", "label", True, doc="the disc's name: `autorun.inf` gets it whole (at most 32 "
        "characters), Joliet's volume name its first 16"),
    Key("disc", "volume_id", "volume", doc="the ISO volume id, 1 to 32 of `A-Z 0-9 _`; made from `label` by "
        "default"),
    Key("disc", "files", "folder", doc="a folder of your disc files, copied beside the exe by `make disc`"),

    Key("zone", "name", "name", doc="a name for messages, the preview and languages (`Zone1`, ... by "
        "default)"),
    Key("zone", "rect", "rect", True, doc="where it takes clicks; wholly inside the picture"),
    Key("zone", "tooltip", "text", True, doc="the tip shown over it"),
    Key("zone", "action", "action", True, doc="what a click runs"),
    Key("zone", "document", "disc", ("open",), ("open",), doc="the document opened through the shell; a "
        "failure is explained in a box"),
    Key("zone", "no_program", "text", takes=("open",), doc="the box when no program opens the document's type"),
    Key("zone", "program", "disc", ("install",), ("install",), doc="the installer started (a failed start is "
        "silent)"),
    Key("zone", "show_first", "disc", takes=("install",), doc="a document shown first, by its short name, "
        "while the question is asked"),
    Key("zone", "question", "text", takes=("install",), doc="a Yes/No question asked first; only Yes installs"),
    Key("zone", "question_title", "line", takes=("install",), doc="the question's caption, `title` by default"),
    Key("zone", "url", "url", ("web",), ("web",), doc="opened in the default browser: `http://`, `https://` or "
        "`mailto:`"),
    Key("zone", "then", "then", takes=("open", "install", "web"), doc="`\"quit\"`: the launcher closes once the "
        "shell has started what the zone names (not when that failed)"),
    Key("zone", "arguments", "line", takes=("install",), doc="the installer's command line, as written "
        "(`/lang=de` in a German `[language.de.zone.NAME]`)"),
    Key("zone", "elevate", "bool", takes=("install",), doc="started with administrator rights (Windows asks the "
        "user; one who declines gets no box). An installer whose own manifest asks for them needs none"),
    Key("zone", "folder", "disc", ("explore",), ("explore",), doc="a folder of the disc, opened in Explorer"),
    Key("zone", "page", "name", ("page",), ("page",), doc="the `[[page]]` opened, by its name (`\"menu\"`: the "
        "menu); `back` returns to the page before"),
    Key("zone", "when", "condition", local=False, doc="the zone is present only where every test holds; elsewhere "
        "it takes no clicks, keys or screen reader and is drawn from `off`"),
    Key("zone", "unless", "condition", local=False, doc="the zone is absent where every test holds"),

    Key("page", "name", "name", True, doc="what `page = \"NAME\"` and languages call it"),
    Key("page", "picture", "picture", True, doc="the page's picture, of the menu's size; its zones are "
        "`[[page.zone]]` tables, which take every `[[zone]]` key"),
    *(Key("page", name, "picture" if name in LIT else "picture_2x", doc="as the menu's")
      for name in ("picture_2x", "hover", "hover_2x", "pressed", "pressed_2x", "off", "off_2x")),
    Key("page", "focus_order", "names", doc="with `keyboard`: as the menu's, among the page's zones"),
    Key("page", "when", "condition", local=False, doc="the page opens first, in place of the menu, where every "
        "test holds (the first such page in the file)"),
    Key("page", "unless", "condition", local=False, doc="the page opens first where not every test holds"),

    Key("condition", "windows", "windows", doc="Windows is this version or later (`\"6.1\"` 7, `\"6.2\"` 8, "
        "`\"10.0\"` 10, `\"10.0.22000\"` 11)"),
    Key("condition", "architecture", "machines", doc="Windows runs on one of these processors (a 32-bit launcher "
        "on 64-bit Windows sees x64)"),
    Key("condition", "file", "disc", doc="the file or folder is on the disc"),
    Key("condition", "registry", "registry", doc="the registry key exists (`HKLM` or `HKCU`, or their long names; "
        "in single quotes)"),
    Key("condition", "value", "line", doc="with `registry`: the key holds a value of this name"),
    Key("condition", "view", "view", doc="with `registry`: 32 reads the key as 32-bit programs see it on 64-bit "
        "Windows; 64, the default, as Windows itself does"),

    Key("about", "title", "line", True, doc="the About window's caption"),
    Key("about", "size", "size", True, doc="its client size"),
    Key("about", "background", "colour", True, doc="its colour"),

    Key("control", "kind", "control", True, doc="the kind of control; controls stand front to back, each at "
        "least partly inside the window"),
    Key("control", "name", "name", doc="as for zones"),
    Key("control", "rect", "rect", True, doc="where it stands"),
    Key("control", "file", "picture", ("picture",), ("picture",), doc="the picture, drawn at its natural size, "
        "cut by `rect`"),
    Key("control", "file_2x", "picture_2x", takes=("picture",), doc="the picture at twice the size"),
    Key("control", "background", "colour", ("picture",), ("picture", "label"), doc="picture: the colour "
        "around it and behind transparent parts of a PNG; label: the fill behind the text (none by default)"),
    Key("control", "text", "text", ("label",), ("label",), doc="the text (MS Sans Serif 8.25 pt, wrapped "
        "within `rect`)"),
    Key("control", "colour", "colour", ("label", "oval"), ("label", "oval"), doc="label: the text's colour; "
        "oval: its fill"),
    Key("control", "outline", "colour", takes=("oval",), doc="the oval's 1-pixel outline (none by default)"),
    Key("control", "bold", "bool", takes=("label",), doc="bold text"),
    Key("control", "underline", "bool", takes=("label",), doc="underlined text"),
    Key("control", "url", "url", takes=("label",), doc="makes the label a link with a hand and a tip"),
    Key("control", "tooltip", "text", takes=("label",), doc="a link's tip"),

    Key("messages", "file_not_found", "line", default="File not found", doc="a failed open, shell code 2"),
    Key("messages", "path_not_found", "line", default="Path not found", doc="code 3"),
    Key("messages", "access_denied", "line", default="Access denied", doc="code 5"),
    Key("messages", "out_of_memory", "line", default="Out of memory", doc="code 8"),
    Key("messages", "bad_program", "line", default="Invalid EXE file or error in EXE image", doc="code 11"),
    Key("messages", "sharing_violation", "line", default="A sharing violation occurred", doc="code 26"),
    Key("messages", "bad_association", "line", default="Incomplete or invalid file association", doc="code 27"),
    Key("messages", "dde_timeout", "line", default="DDE Time out", doc="code 28"),
    Key("messages", "dde_failed", "line", default="DDE transaction failed", doc="code 29"),
    Key("messages", "dde_busy", "line", default="DDE busy", doc="code 30"),
    Key("messages", "dll_not_found", "line", default="DLL not found", doc="code 32"),
    Key("messages", "unknown_error", "line", default="Unknown error", doc="any other code"),
    Key("messages", "no_browser", "line", default="Can't launch your web browser. Please install a web browser.",
        doc="a web link when no program opens the probe page"),
    Key("messages", "page_failed", "line", default="Web page couldn't be opened", doc="a web link whose browser "
        "did not start"),
)

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

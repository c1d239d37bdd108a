"""The brand: every key a brand file may hold, once, as a field of the
checked brand's dataclasses, which the generator, the preview and the disc
tools read. key() tells the check (and README's key table, keys.py) what a
key's value is, whether it is required (for zones and About controls: by
which actions or kinds), which actions or kinds take it, whether a language
may give its own (every text and picture by default), a message's default
text and what README says of it. Other fields are worked out by the check
(marked so). A key a brand may leave out is None (or its default) when it
does; paths of files beside the brand file are absolute; disc paths are
joined by \\.

CPP_MEMBERS names the members of src/brand/Types.h's structs that the tables
set, in the order they are declared there, and emit.py writes each through
init(): a new key is a field here and a member in Types.h, and
tests/brand/test_generate.py checks that CPP_MEMBERS and Types.h agree."""
from dataclasses import dataclass, field, fields, replace
from typing import Any, Optional

Rect = tuple[int, int, int, int]
Size = tuple[int, int]


class Tests(list):
    """A `when` or `unless` as the tables take it, [(kind, {member: C++
    text})], and as the brand wrote it (`text`, for the preview)."""

    def __init__(self, tests: list, text: str) -> None:
        super().__init__(tests)
        self.text = text


def key(kind: str, required: bool | tuple[str, ...] = False, takes: tuple[str, ...] = (),
        local: Optional[bool] = None, text: Optional[str] = None, filled: bool = False, default: Any = None,
        doc: str = "") -> Any:
    """A field that is a key of the brand file (see the module's words).
    A required key, or one the check fills when the brand leaves it out,
    has no default; a message's default is its text."""
    about = {"kind": kind, "required": required, "takes": takes, "local": local, "default": text, "doc": doc}
    if required is True or filled:
        return field(metadata={"key": about})
    return field(default=text if text is not None else default, metadata={"key": about})


@dataclass(frozen=True, kw_only=True)
class Identity:
    """[identity]"""
    title: str = key("line", required=True, doc="the menu window's title and every message box's caption")
    product: str = key("line", required=True, local=False, doc="the version block's ProductName; also names the "
        "signature and the manifest")
    company: str = key("line", required=True, local=False, doc="the version block's CompanyName")
    version: str = key("version", required=True, doc="FileVersion: up to four numbers, each at most 65535")
    product_version: str = key("version", filled=True, doc="ProductVersion, the same form; `version` by default")
    description: str = key("line", filled=True, doc="FileDescription, which Task Manager and the file's properties "
        "show; `title` by default")
    copyright: Optional[str] = key("text", doc="LegalCopyright in the version block (may run over lines)")
    icon: str = key("icon", required=True, doc="the exe's icon: a `.ico` (give it 16 and 32 pixels) or a square PNG, "
        "from which the build makes 16, 32, 48 and, from 256 pixels or more, 256")
    exe: str = key("exe", filled=True, doc="the exe's name on the disc, `Startboard.exe` by default; `autorun.inf` "
        "follows it")
    assembly_name: str = key("assembly", filled=True, doc="the manifest's assembly name, dotted names of `A-Z a-z "
        "0-9 _`; made from the company and product by default")
    language: str = key("language", local=False, filled=True, doc="the language of the brand's own texts; `en` by "
        "default. Others come in `[language.TAG]` tables (see \"Languages\")")
    own_description: bool = False  # worked out: else each language's follows its title


@dataclass(frozen=True, kw_only=True)
class Menu:
    """[menu]"""
    picture: str = key("picture", required=True, doc="the window's picture; its size must be `size`")
    picture_2x: Optional[str] = key("picture_2x", doc="the same picture at exactly twice the size, drawn above 100 "
        "%; without it the launcher enlarges `picture` smoothly")
    size: Size = key("size", required=True, doc="the picture's size: the window's client area at 100 %")
    cursor: str = key("cursor", filled=True, doc="the hand over zones and links: a `.cur` (give it 32, 48 and 64 "
        "pixels; each dpi takes the largest that fits) or a square PNG with `cursor_hotspot`; the default brand's "
        "hand when absent")
    cursor_hotspot: Optional[tuple[int, int]] = key("point", doc="with a PNG cursor (required there): the pointer's "
        "tip, in that PNG's pixels")
    hover: Optional[str] = key("picture", doc="the whole menu drawn lit, of `size`: a zone's part is drawn from it "
        "while the pointer is over it (and while it has the keyboard's focus)")
    hover_2x: Optional[str] = key("picture_2x", doc="`hover` at twice the size")
    pressed: Optional[str] = key("picture", doc="the whole menu drawn pressed, of `size`: a zone's part while the "
        "left button is held down on it; `hover` (or nothing) when absent")
    pressed_2x: Optional[str] = key("picture_2x", doc="`pressed` at twice the size")
    off: Optional[str] = key("picture", doc="the whole menu drawn with what does not apply greyed or removed, of "
        "`size`: a zone's part is drawn from it where the zone is absent (see `when`); the menu as it is when absent")
    off_2x: Optional[str] = key("picture_2x", doc="`off` at twice the size")
    keyboard: bool = key("bool", default=False, doc="Tab, Shift+Tab and the arrows move a focus among the zones, "
        "Enter and Space run the focused one, Escape the `quit` zone; screen readers see the zones as buttons. Off "
        "by default: a mouse-only menu")
    focus_order: Optional[list[str]] = key("names", doc="with `keyboard`: the zones the keys visit, by name, in that "
        "order (every zone, in the file's order, by default)")
    focus: tuple[int, ...] = ()  # worked out: the zones' indices the keys visit, in order


@dataclass(frozen=True, kw_only=True)
class Disc:
    """[disc]"""
    probe_page: str = key("disc", filled=True, doc="a small HTML page on the disc that the launcher opens to learn "
        "which program is the web browser; it must be among your disc files. Without it, `make disc` writes one, "
        "`probe.htm`")
    label: str = key("label", required=True, doc="the disc's name: `autorun.inf` gets it whole (at most 32 "
        "characters), Joliet's volume name its first 16")
    volume_id: str = key("volume", filled=True, doc="the ISO volume id, 1 to 32 of `A-Z 0-9 _`; made from `label` by "
        "default")
    files: Optional[str] = key("folder", doc="a folder of your disc files, copied beside the exe by `make disc`")
    own_probe_page: bool = True  # worked out: the brand names it (else the build writes its own)


@dataclass(frozen=True, kw_only=True)
class Zone:
    """A [[zone]]"""
    name: str = key("name", filled=True, doc="a name for messages, the preview and languages (`Zone1`, ... by "
        "default)")
    rect: Rect = key("rect", required=True, doc="where it takes clicks; wholly inside the picture")
    tooltip: str = key("text", required=True, doc="the tip shown over it")
    action: str = key("action", required=True, doc="what a click runs")
    document: Optional[str] = key("disc", required=("open",), takes=("open",), doc="the document opened through the "
        "shell; a failure is explained in a box")
    no_program: Optional[str] = key("text", takes=("open",), doc="the box when no program opens the document's type")
    program: Optional[str] = key("disc", required=("install",), takes=("install",), doc="the installer started (a "
        "failed start is silent)")
    show_first: Optional[str] = key("disc", takes=("install",), doc="a document shown first, by its short name, "
        "while the question is asked")
    question: Optional[str] = key("text", takes=("install",), doc="a Yes/No question asked first; only Yes installs")
    question_title: Optional[str] = key("line", takes=("install",), doc="the question's caption, `title` by default")
    url: Optional[str] = key("url", required=("web",), takes=("web",), doc="opened in the default browser: "
        "`http://`, `https://` or `mailto:`")
    then: Optional[str] = key("then", takes=("open", "install", "web"), doc="`\"quit\"`: the launcher closes once the "
        "shell has started what the zone names (not when that failed)")
    arguments: Optional[str] = key("line", takes=("install",), doc="the installer's command line, as written "
        "(`/lang=de` in a German `[language.de.zone.NAME]`)")
    elevate: bool = key("bool", takes=("install",), default=False, doc="started with administrator rights (Windows "
        "asks the user; one who declines gets no box). An installer whose own manifest asks for them needs none")
    folder: Optional[str] = key("disc", required=("explore",), takes=("explore",), doc="a folder of the disc, opened "
        "in Explorer")
    page: Optional[str] = key("name", required=("page",), takes=("page",), doc="the `[[page]]` opened, by its name "
        "(`\"menu\"`: the menu); `back` returns to the page before")
    when: Optional[Tests] = key("condition", local=False, doc="the zone is present only where every test holds; "
        "elsewhere it takes no clicks, keys or screen reader and is drawn from `off`")
    unless: Optional[Tests] = key("condition", local=False, doc="the zone is absent where every test holds")
    on_page: int = 0  # worked out: the number of the page it is on (the menu is 0)
    page_number: Optional[int] = None  # worked out: the number of the page it opens


@dataclass(frozen=True, kw_only=True)
class Page:
    """A [[page]]: a picture of the menu's size with zones of its own"""
    name: str = key("name", required=True, doc="what `page = \"NAME\"` and languages call it")
    picture: str = key("picture", required=True, doc="the page's picture, of the menu's size; its zones are "
        "`[[page.zone]]` tables, which take every `[[zone]]` key")
    picture_2x: Optional[str] = key("picture_2x", doc="as the menu's")
    hover: Optional[str] = key("picture", doc="as the menu's")
    hover_2x: Optional[str] = key("picture_2x", doc="as the menu's")
    pressed: Optional[str] = key("picture", doc="as the menu's")
    pressed_2x: Optional[str] = key("picture_2x", doc="as the menu's")
    off: Optional[str] = key("picture", doc="as the menu's")
    off_2x: Optional[str] = key("picture_2x", doc="as the menu's")
    focus_order: Optional[list[str]] = key("names", doc="with `keyboard`: as the menu's, among the page's zones")
    when: Optional[Tests] = key("condition", local=False, doc="the page opens first, in place of the menu, where "
        "every test holds (the first such page in the file)")
    unless: Optional[Tests] = key("condition", local=False, doc="the page opens first where not every test holds")
    focus: tuple[int, ...] = ()  # worked out: its zones' indices the keys visit, in order


@dataclass(frozen=True, kw_only=True)
class Condition:
    """The tests of a `when` or `unless` (the check keeps them as Tests)"""
    windows: Optional[str] = key("windows", doc="Windows is this version or later (`\"6.1\"` 7, `\"6.2\"` 8, "
        "`\"10.0\"` 10, `\"10.0.22000\"` 11)")
    architecture: Any = key("machines", doc="Windows runs on one of these processors (a 32-bit launcher on 64-bit "
        "Windows sees x64)")
    file: Optional[str] = key("disc", doc="the file or folder is on the disc")
    registry: Optional[str] = key("registry", doc="the registry key exists (`HKLM` or `HKCU`, or their long names; "
        "in single quotes)")
    value: Optional[str] = key("line", doc="with `registry`: the key holds a value of this name")
    view: Optional[int] = key("view", doc="with `registry`: 32 reads the key as 32-bit programs see it on 64-bit "
        "Windows; 64, the default, as Windows itself does")


@dataclass(frozen=True, kw_only=True)
class Control:
    """An [[about.control]]"""
    kind: str = key("control", required=True, doc="the kind of control; controls stand front to back, each at least "
        "partly inside the window")
    name: str = key("name", filled=True, doc="as for zones")
    rect: Rect = key("rect", required=True, doc="where it stands")
    file: Optional[str] = key("picture", required=("picture",), takes=("picture",), doc="the picture, drawn at its "
        "natural size, cut by `rect`")
    file_2x: Optional[str] = key("picture_2x", takes=("picture",), doc="the picture at twice the size")
    background: Optional[int] = key("colour", required=("picture",), takes=("picture", "label"), doc="picture: the "
        "colour around it and behind transparent parts of a PNG; label: the fill behind the text (none by default)")
    text: Optional[str] = key("text", required=("label",), takes=("label",), doc="the text (MS Sans Serif 8.25 pt, "
        "wrapped within `rect`)")
    colour: Optional[int] = key("colour", required=("label", "oval"), takes=("label", "oval"), doc="label: the "
        "text's colour; oval: its fill")
    outline: Optional[int] = key("colour", takes=("oval",), doc="the oval's 1-pixel outline (none by default)")
    bold: bool = key("bool", takes=("label",), default=False, doc="bold text")
    underline: bool = key("bool", takes=("label",), default=False, doc="underlined text")
    url: Optional[str] = key("url", takes=("label",), doc="makes the label a link with a hand and a tip")
    tooltip: Optional[str] = key("text", takes=("label",), doc="a link's tip")


@dataclass(frozen=True, kw_only=True)
class About:
    """[about]"""
    title: str = key("line", required=True, doc="the About window's caption")
    size: Size = key("size", required=True, doc="its client size")
    background: int = key("colour", required=True, doc="its colour")
    controls: tuple[Control, ...] = ()


@dataclass(frozen=True, kw_only=True)
class Messages:
    """[messages]: the texts of failures"""
    file_not_found: str = key("line", text="File not found", doc="a failed open, shell code 2")
    path_not_found: str = key("line", text="Path not found", doc="code 3")
    access_denied: str = key("line", text="Access denied", doc="code 5")
    out_of_memory: str = key("line", text="Out of memory", doc="code 8")
    bad_program: str = key("line", text="Invalid EXE file or error in EXE image", doc="code 11")
    sharing_violation: str = key("line", text="A sharing violation occurred", doc="code 26")
    bad_association: str = key("line", text="Incomplete or invalid file association", doc="code 27")
    dde_timeout: str = key("line", text="DDE Time out", doc="code 28")
    dde_failed: str = key("line", text="DDE transaction failed", doc="code 29")
    dde_busy: str = key("line", text="DDE busy", doc="code 30")
    dll_not_found: str = key("line", text="DLL not found", doc="code 32")
    unknown_error: str = key("line", text="Unknown error", doc="any other code")
    no_browser: str = key("line", text="Can't launch your web browser. Please install a web browser.", 
        doc="a web link when no program opens the probe page")
    page_failed: str = key("line", text="Web page couldn't be opened", doc="a web link whose browser did not start")


@dataclass
class Given:
    """What a language gives of its own: each table's keys, zones and About
    controls by their index in the brand's."""
    identity: dict[str, Any] = field(default_factory=dict)
    menu: dict[str, Any] = field(default_factory=dict)
    zones: dict[int, dict[str, Any]] = field(default_factory=dict)
    about: dict[str, Any] = field(default_factory=dict)
    controls: dict[int, dict[str, Any]] = field(default_factory=dict)
    messages: dict[str, str] = field(default_factory=dict)
    pages: dict[int, dict[str, Any]] = field(default_factory=dict)


@dataclass(frozen=True)
class View:
    """The brand as a user of one language sees it."""
    tag: str
    identity: Identity
    menu: Menu
    zones: tuple[Zone, ...]
    about: Optional[About]
    messages: Messages
    pages: tuple[Page, ...] = ()


@dataclass
class Brand:
    source: str  # the brand file, as it was named
    identity: Identity
    menu: Menu
    disc: Disc
    zones: tuple[Zone, ...]
    about: Optional[About]
    messages: Messages
    pages: tuple[Page, ...]
    languages: list[tuple[str, Given]]  # the brand's own first, giving nothing
    files: list[str] = field(default_factory=list)  # every file read: the build's dependencies
    warnings: list[str] = field(default_factory=list)
    places: dict[str, int] = field(default_factory=dict)  # each picture: the line of the first key naming it

    def views(self) -> list[View]:
        """Each language's brand as the user sees it."""
        found = []
        for tag, given in self.languages:
            identity = replace(self.identity, language=tag, **given.identity)
            if not self.identity.own_description and "description" not in given.identity:
                identity = replace(identity, description=identity.title)
            about = self.about and replace(with_own(self.about, given.about), controls=tuple(
                with_own(control, given.controls.get(index, {}))
                for index, control in enumerate(self.about.controls)))
            found.append(View(tag, identity, with_own(self.menu, given.menu),
                              tuple(replace(zone, **given.zones.get(index, {}))
                                    for index, zone in enumerate(self.zones)),
                              about, replace(self.messages, **given.messages),
                              tuple(with_own(page, given.pages.get(index, {}))
                                    for index, page in enumerate(self.pages))))
        return found


def with_own(table, given):
    """A table with a language's texts and pictures in place of the brand's:
    a picture it gives comes with its own 2x or none."""
    names = {f.name for f in fields(table)}
    changes = dict(given)
    for key in given:
        if key + "_2x" in names and key + "_2x" not in given:
            changes[key + "_2x"] = None
    return replace(table, **changes)


def build(kind: Any, checked: dict) -> Any:
    """A model table from a checked one: its keys, the defaults of those it
    leaves out."""
    names = {f.name for f in fields(kind)}
    return kind(**{key: value for key, value in checked.items() if key in names})


# The members of src/brand/Types.h's structs the tables set, in their order.
CPP_MEMBERS = {
    "Art": ("id", "encoded", "id2x"),
    "Action": ("kind", "path", "noProgram", "url", "showFirst", "question", "questionTitle", "thenQuit", "arguments",
               "elevate", "page"),
    "Condition": ("kind", "atLeast", "machines", "path", "value", "hive", "view32"),
    "HotZone": ("name", "twips", "tooltip", "click", "when", "unless"),
    "Page": ("name", "art", "hover", "pressed", "off", "zones", "focusOrder", "when", "unless"),
    "FontStyle": ("bold", "underline"),
    "AboutControl": ("kind", "name", "twips", "text", "background", "colour", "outline", "font", "picture",
                     "tooltip", "click"),
    "Failure": ("code", "text"),
    "Messages": ("failures", "unknownError", "noBrowser", "pageFailed"),
    "Language": ("id", "title", "menuArt", "hover", "pressed", "zones", "aboutTitle", "aboutControls", "messages",
                 "pages"),
}

# Each table of the brand file, by keys.py's name for it, in README's order.
TABLES = {"identity": Identity, "menu": Menu, "disc": Disc, "zone": Zone, "page": Page, "condition": Condition,
          "about": About, "control": Control, "messages": Messages}


def init(struct: str, **members: Optional[str]) -> str:
    """A C++ designated initialiser of `struct`: the members given (None:
    left out) in the order Types.h declares them."""
    order = CPP_MEMBERS[struct]
    unknown = set(members) - set(order)
    if unknown:
        raise KeyError("%s has no member %s" % (struct, ", ".join(sorted(unknown))))
    return "{%s}" % ", ".join(".%s = %s" % (name, members[name]) for name in order
                               if members.get(name) is not None)

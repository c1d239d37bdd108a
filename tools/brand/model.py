"""The checked brand, as the generator, the preview and the disc tools read
it. A table's fields are its keys (keys.py), named alike, plus what the
check works out (marked so); a key a brand may leave out is None. Paths of
files beside the brand file are absolute; disc paths are joined by \\.

CPP_MEMBERS names the members of src/brand/Types.h's structs that the
tables set, in the order they are declared there: a new key is added here,
in keys.py and in Types.h, and tests/brand/test_generate.py checks the two
lists of members agree."""
from dataclasses import dataclass, field, fields, replace
from typing import Any, Optional

Rect = tuple[int, int, int, int]
Size = tuple[int, int]


@dataclass(frozen=True)
class Identity:
    title: str
    product: str
    company: str
    version: str
    icon: str
    product_version: str
    description: str
    exe: str
    language: str
    assembly_name: str
    copyright: Optional[str] = None
    own_description: bool = False  # worked out: else each language's follows its title


@dataclass(frozen=True)
class Menu:
    picture: str
    size: Size
    cursor: str
    picture_2x: Optional[str] = None
    cursor_hotspot: Optional[tuple[int, int]] = None
    hover: Optional[str] = None
    hover_2x: Optional[str] = None
    pressed: Optional[str] = None
    pressed_2x: Optional[str] = None
    keyboard: bool = False
    focus_order: Optional[list[str]] = None
    focus: tuple[int, ...] = ()  # worked out: the zones' indices the keys visit, in order


@dataclass(frozen=True)
class Disc:
    label: str
    volume_id: str
    probe_page: str
    own_probe_page: bool = True  # worked out: the brand names it (else the build writes its own)
    files: Optional[str] = None


@dataclass(frozen=True)
class Zone:
    name: str
    rect: Rect
    tooltip: str
    action: str
    document: Optional[str] = None
    no_program: Optional[str] = None
    program: Optional[str] = None
    show_first: Optional[str] = None
    question: Optional[str] = None
    question_title: Optional[str] = None
    url: Optional[str] = None
    then: Optional[str] = None


@dataclass(frozen=True)
class Control:
    kind: str
    name: str
    rect: Rect
    file: Optional[str] = None
    file_2x: Optional[str] = None
    background: Optional[int] = None
    text: Optional[str] = None
    colour: Optional[int] = None
    outline: Optional[int] = None
    bold: bool = False
    underline: bool = False
    url: Optional[str] = None
    tooltip: Optional[str] = None


@dataclass(frozen=True)
class About:
    title: str
    size: Size
    background: int
    controls: tuple[Control, ...] = ()


Messages = dict[str, str]  # keys.py's [messages] keys, each with its text


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


@dataclass(frozen=True)
class View:
    """The brand as a user of one language sees it."""
    tag: str
    identity: Identity
    menu: Menu
    zones: tuple[Zone, ...]
    about: Optional[About]
    messages: Messages


@dataclass
class Brand:
    source: str  # the brand file, as it was named
    identity: Identity
    menu: Menu
    disc: Disc
    zones: tuple[Zone, ...]
    about: Optional[About]
    messages: Messages
    languages: list[tuple[str, Given]]  # the brand's own first, giving nothing
    files: list[str] = field(default_factory=list)  # every file read: the build's dependencies
    warnings: list[str] = field(default_factory=list)

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
                              about, dict(self.messages, **given.messages)))
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


def build(kind, checked):
    """A model table from a checked one: its keys, the defaults of those it
    leaves out."""
    names = {f.name for f in fields(kind)}
    return kind(**{key: value for key, value in checked.items() if key in names})


# The members of src/brand/Types.h's structs the tables set, in their order.
CPP_MEMBERS = {
    "Art": ("id", "encoded", "id2x"),
    "Action": ("kind", "path", "noProgram", "url", "showFirst", "question", "questionTitle", "thenQuit"),
    "HotZone": ("name", "twips", "tooltip", "click"),
    "FontStyle": ("bold", "underline"),
    "AboutControl": ("kind", "name", "twips", "text", "background", "colour", "outline", "font", "picture",
                     "tooltip", "click"),
    "Failure": ("code", "text"),
    "Messages": ("failures", "unknownError", "noBrowser", "pageFailed"),
    "Language": ("id", "title", "menuArt", "hover", "pressed", "zones", "aboutTitle", "aboutControls", "messages"),
}

# The model's table for each of keys.py's tables (messages are a dict of its keys).
TABLES = {"identity": Identity, "menu": Menu, "disc": Disc, "zone": Zone, "about": About, "control": Control}


def init(struct: str, **members: Optional[str]) -> str:
    """A C++ designated initialiser of `struct`: the members given (None:
    left out) in the order Types.h declares them."""
    order = CPP_MEMBERS[struct]
    unknown = set(members) - set(order)
    if unknown:
        raise KeyError("%s has no member %s" % (struct, ", ".join(sorted(unknown))))
    return "{%s}" % ", ".join(".%s = %s" % (name, members[name]) for name in order
                               if members.get(name) is not None)

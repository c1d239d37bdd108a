"""The tables the program walks (Data.h), its resource script (Data.rc) and
manifest, written from the checked brand. The C++ members are named in
model.CPP_MEMBERS, in the order src/brand/Types.h declares them."""
import os
from typing import Callable, Optional, Union

from . import escape, keys as schema, pictures, tags
from .art import LIT
from .findings import named
from .model import Brand, Control, Identity, Menu, Page, Tests, View, Zone, init

TWIPS = 15  # to a pixel at 96 dpi
HERE = os.path.dirname(os.path.abspath(__file__))
MANIFEST = os.path.join(HERE, "..", "..", "src", "app", "Startboard.manifest")


Art = tuple[str, Optional[str]]  # an embedded picture: its 1x file, its 2x or None


def twips(rect: tuple[int, ...]) -> str:
    return "{%s}" % ", ".join(str(v * TWIPS) for v in rect)


# Resource ids: the icon and cursor; each picture at 201 + n, its 2x at 301 + n
# (the menu's picture is n = 0, the About pictures follow), or past the
# pictures when a brand's languages bring more than a hundred.
ICON_ID, CURSOR_ID, PICTURE_ID, PICTURE_2X_ID = 1, 101, 201, 301


def picture_ids(arts: list[Art], index: int) -> tuple[int, int]:
    """The resource ids of picture `index` and of its 2x (0: none)."""
    two_base = max(PICTURE_2X_ID, PICTURE_ID + len(arts))
    return PICTURE_ID + index, two_base + index if arts[index][1] else 0


Entry = tuple[str, Optional[str], int]  # a picture: its file, its 2x or None, the colour behind it


def pictures_of(view: View) -> list[Entry]:
    """A language's menu, then each of its About pictures, then its menu lit
    and pressed where the brand has them."""
    menu = view.menu
    found = [(menu.picture, menu.picture_2x, 0)]
    for control in view.about.controls if view.about else ():
        if control.kind == "picture" and control.file:
            found.append((control.file, control.file_2x, control.background or 0))
    found += [(lit, lit_2x, 0) for lit, lit_2x in lit_pictures(menu) if lit]
    # The menu's off picture and the pages' after the rest, so that a brand
    # without keeps its ids.
    found += [(menu.off, menu.off_2x, 0)] if menu.off else []
    for page in view.pages:
        found += [(one, two, 0) for one, two in page_pictures(page) if one]
    return found


def page_pictures(page: Page) -> list[tuple[Optional[str], Optional[str]]]:
    """A page's picture, lit, pressed and off, each with its 2x."""
    return [(page.picture, page.picture_2x), (page.hover, page.hover_2x), (page.pressed, page.pressed_2x),
            (page.off, page.off_2x)]


def lit_pictures(menu: Menu) -> list[tuple[Optional[str], Optional[str]]]:
    """The menu lit and pressed, and their 2x, in the order of LIT."""
    return [(menu.hover, menu.hover_2x), (menu.pressed, menu.pressed_2x)]


def lit_art(view: View, arts: list[Art], files: list[Entry]) -> list[str]:
    """A language's lines for the menu lit and pressed (id 0: none)."""
    return ["inline constexpr Art kMenu%s%s;" % (key.capitalize(), art(arts, files, (lit, lit_2x, 0)) if lit else "{}")
            for key, (lit, lit_2x) in zip(LIT, lit_pictures(view.menu))]


def keyboard(brand: Brand) -> list[str]:
    """The header's lines for the keyboard: the same in every language."""
    menu = brand.menu
    return ["inline constexpr bool kKeyboard = %s;" % ("true" if menu.keyboard else "false"),
            "// The zones the keys visit, in order, by index into kZones.",
            "inline constexpr std::array<int, %d> kFocusOrder{%s};" % (
                len(menu.focus), ", ".join(str(i) for i in menu.focus))]


def art_files(views: list[View]) -> list[Entry]:
    """Every picture the exe embeds, once: the brand's own language's first,
    then those its other languages bring."""
    found: list[Entry] = []
    for view in views:
        found += [entry for entry in pictures_of(view) if entry not in found]
    return found


Output = tuple[str, Union[str, bytes, Callable[[str], None]]]  # a file: its text, bytes or writer


def embedded(brand: Brand, views: list[View], out_dir: str) -> tuple[list[Art], list[Output], list[str]]:
    """[(1x path, 2x path or None)] as the exe embeds them (see
    pictures.compact). Returns the pictures, the (path, bytes) pairs of the
    ones made anew, and a warning, at the key that names it, for each that
    came out larger than given."""
    result: list[Art] = []
    made: list[Output] = []
    grown: list[str] = []
    for index, entry in enumerate(art_files(views)):
        forms, larger = pictures.embedded_forms(entry, os.path.join(out_dir, "brand", "picture%d" % index))
        grown += ["%s:%d: warning: %s goes in as %d bytes, %d more than its file: its transparent parts are laid "
                  "on its background; a picture without transparency goes in as it is" % (
                      brand.source, brand.places.get(given, 1), named(os.path.basename(given)), size,
                      size - os.path.getsize(given)) for given, size in larger]
        result.append((forms[0][0], forms[1][0]))
        made += [(path, data) for path, data in forms if data is not None]
    return result, made, grown


def art(arts: list[Art], files: list[Entry], entry: Entry) -> str:
    index = files.index(entry)
    one, two = picture_ids(arts, index)
    encoded = not arts[index][0].lower().endswith(".bmp")
    return init("Art", id=str(one), encoded="true" if encoded else "false", id2x=str(two))


def action(identity: Identity, kind: str, path: Optional[str] = None, no_program: Optional[str] = None,
           url: Optional[str] = None, show_first: Optional[str] = None, question: Optional[str] = None,
           question_title: Optional[str] = None, then: Optional[str] = None, arguments: Optional[str] = None,
           elevate: bool = False, page: Optional[int] = None) -> str:
    """What a click runs; a question's caption is the title unless it has its own."""
    title = (question_title or identity.title) if question else None
    return init("Action", kind="ActionKind::" + kind.capitalize(), path=text(path), noProgram=text(no_program),
                url=text(url), showFirst=text(show_first), question=text(question), questionTitle=text(title),
                thenQuit="true" if then == "quit" else None, arguments=text(arguments),
                elevate="true" if elevate else None, page=None if page is None else str(page))


def text(value: Optional[str]) -> Optional[str]:
    """A text as a C++ literal; an empty or absent one is left out."""
    return escape.cpp_string(value) if value else None


def colour(value: Optional[int]) -> Optional[str]:
    return None if value is None else "0x%06X" % value


def zone_row(zone: Zone, identity: Identity, number: int) -> str:
    """A zone's row (`number`: its place among every page's zones, which names its conditions)."""
    click = action(identity, zone.action, zone.document or zone.program or zone.folder, zone.no_program, zone.url,
                   zone.show_first, zone.question, zone.question_title, zone.then, zone.arguments, zone.elevate,
                   zone.page_number)
    return init("HotZone", name=escape.cpp_string(zone.name), twips=twips(zone.rect),
                tooltip=escape.cpp_string(zone.tooltip), click=click,
                when="kWhenZone%d" % number if zone.when is not None else None,
                unless="kUnlessZone%d" % number if zone.unless is not None else None)


def control_line(control: Control, identity: Identity, picture: Optional[str]) -> str:
    font = init("FontStyle", bold="true" if control.bold else "false",
                underline="true" if control.underline else "false") if control.bold or control.underline else None
    return "    %s," % init(
        "AboutControl", kind="ControlKind::" + control.kind.capitalize(), name=escape.cpp_string(control.name),
        twips=twips(control.rect), text=None if control.text is None else escape.cpp_string(control.text),
        background=colour(control.background), colour=colour(control.colour), outline=colour(control.outline),
        font=font, picture=picture, tooltip=None if control.tooltip is None else escape.cpp_string(control.tooltip),
        click=action(identity, "web", url=control.url) if control.url else None)


def language_tables(view: View, arts: list[Art], files: list[Entry], paged: bool) -> list[str]:
    """The tables of one language: its texts and the pictures it shows
    (`paged`: and its pages)."""
    cpp = escape.cpp_string
    pictures_ = iter(pictures_of(view))
    lines = ["inline constexpr std::string_view kTitle = %s;" % cpp(view.identity.title),
             "inline constexpr Art kMenuArt%s;" % art(arts, files, next(pictures_)),
             *lit_art(view, arts, files),
             "",
             "// Front to back: where zones overlap, the front one wins.",
             "inline constexpr std::array<HotZone, %d> kZones{{" % sum(1 for z in view.zones if not z.on_page)]
    lines += ["    %s," % zone_row(zone, view.identity, number)
              for number, zone in enumerate(view.zones) if not zone.on_page]
    lines += ["}};", ""]
    if paged:
        lines += page_tables(view, arts, files) + [""]
    if view.about is None:
        lines += ["inline constexpr std::string_view kAboutTitle = \"\";",
                  "inline constexpr std::array<AboutControl, 0> kAboutControls{};"]
    else:
        lines += ["inline constexpr std::string_view kAboutTitle = %s;" % cpp(view.about.title),
                  "",
                  "// Front to back, as the designer stacked them.",
                  "inline constexpr std::array<AboutControl, %d> kAboutControls{{" % len(view.about.controls)]
        lines += [control_line(control, view.identity, art(arts, files, next(pictures_))
                               if control.kind == "picture" else None) for control in view.about.controls]
        lines.append("}};")
    messages = view.messages
    failures = ", ".join("{%d, %s}" % (code, cpp(getattr(messages, key))) for key, code in schema.RESULT_CODES.items())
    lines += ["", "inline constexpr Messages kMessages%s;" % init(
        "Messages", failures="{{%s}}" % failures, unknownError=cpp(messages.unknown_error),
        noBrowser=cpp(messages.no_browser), pageFailed=cpp(messages.page_failed))]
    return lines


def used(brand: Brand) -> bool:
    """Whether the brand has more than its menu to tell the launcher: pages,
    an off picture, or conditions. Without, its tables stay as they were."""
    return bool(brand.pages) or brand.menu.off is not None or any(
        z.when is not None or z.unless is not None for z in brand.zones)


def conditions(name: str, tests: Tests) -> str:
    """The C++ array of one `when` or `unless`."""
    rows = ", ".join(init("Condition", kind="ConditionKind::" + kind, **fields) for kind, fields in tests)
    return "inline constexpr std::array<Condition, %d> %s{{%s}};" % (len(tests), name, rows)


def condition_tables(brand: Brand) -> list[str]:
    """Every `when` and `unless` (the same in every language), by the name
    the rows use, and each page's focus order."""
    lines = []
    for number, zone in enumerate(brand.zones):
        lines += [conditions("k%sZone%d" % (key.capitalize(), number), tests)
                  for key, tests in (("when", zone.when), ("unless", zone.unless)) if tests is not None]
    for number, page in enumerate(brand.pages, 1):
        lines += [conditions("k%sPage%d" % (key.capitalize(), number), tests)
                  for key, tests in (("when", page.when), ("unless", page.unless)) if tests is not None]
        lines.append("inline constexpr std::array<int, %d> kFocusOrderPage%d{%s};" % (
            len(page.focus), number, ", ".join(str(i) for i in page.focus)))
    return lines


def page_tables(view: View, arts: list[Art], files: list[Entry]) -> list[str]:
    """A language's pages, the menu first: each page's zones, then the list."""
    lines, rows = [], []
    numbered = list(enumerate(view.zones))

    def picture(one: Optional[str], two: Optional[str]) -> Optional[str]:
        return art(arts, files, (one, two, 0)) if one else None

    for number, page in enumerate([None, *view.pages]):
        mine = [(n, z) for n, z in numbered if z.on_page == number]
        if page is None:
            menu = view.menu
            looks = [(menu.picture, menu.picture_2x), *lit_pictures(menu), (menu.off, menu.off_2x)]
        else:
            looks = page_pictures(page)
            lines += ["inline constexpr std::array<HotZone, %d> kZonesPage%d{{" % (len(mine), number)]
            lines += ["    %s," % zone_row(zone, view.identity, n) for n, zone in mine] + ["}};"]
        when = page.when if page else None
        unless = page.unless if page else None
        rows.append("    %s," % init(
            "Page", name=escape.cpp_string(page.name if page else "menu"), art=picture(*looks[0]),
            hover=picture(*looks[1]), pressed=picture(*looks[2]), off=picture(*looks[3]),
            zones="kZonesPage%d" % number if number else "kZones",
            focusOrder="kFocusOrderPage%d" % number if number else "kFocusOrder",
            when="kWhenPage%d" % number if when is not None else None,
            unless="kUnlessPage%d" % number if unless is not None else None))
    return lines + ["inline constexpr std::array<Page, %d> kPages{{" % len(rows)] + rows + ["}};"]


def namespace_of(tag: str) -> str:
    """The namespace of a language's tables after the first (whose tables keep
    the plain names): a tag is no C++ name (pt-BR; or, a keyword)."""
    return "in_" + tag.replace("-", "_")


def header(brand: Brand, views: list[View], arts: list[Art]) -> str:
    files = art_files(views)
    lines = [
        "// Generated from %s by tools/brand: edit the brand file, not this." % (
            named(os.path.basename(brand.source))),
        "#pragma once",
        "",
        '#include "brand/Types.h"',
        "",
        "namespace startboard::brand {",
        "",
        "inline constexpr std::string_view kProbePage = %s;" % escape.cpp_string(brand.disc.probe_page),
        "inline constexpr int kIconId = %d;" % ICON_ID,
        "inline constexpr int kCursorId = %d;" % CURSOR_ID,
        "inline constexpr TwipRect kMenuClient{0, 0, %d, %d};" % tuple(v * TWIPS for v in brand.menu.size),
        *keyboard(brand),
    ]
    paged = used(brand)
    lines += condition_tables(brand) if paged else []
    about = brand.about
    lines += ["inline constexpr TwipRect kAboutClient{0, 0, %d, %d};" % (
        tuple(v * TWIPS for v in about.size) if about else (0, 0)),
              "inline constexpr Rgb kAboutBackground = %s;" % (colour(about.background) if about else "0"),
              ""]
    entries = []
    for index, view in enumerate(views):
        space = namespace_of(view.tag) if index else None
        lines += (["// %s" % view.tag] if not index else ["namespace %s {  // %s" % (space, view.tag)])
        lines += language_tables(view, arts, files, paged)
        lines += ([""] if not index else ["", "}  // namespace %s" % space, ""])
        prefix = space + "::" if space else ""
        entries.append("    %s," % init(
            "Language", id="0x%04X" % tags.ids(view.tag)[0], title=prefix + "kTitle", menuArt=prefix + "kMenuArt",
            hover=prefix + "kMenuHover", pressed=prefix + "kMenuPressed", zones=prefix + "kZones",
            aboutTitle=prefix + "kAboutTitle", aboutControls=prefix + "kAboutControls",
            messages="&%skMessages" % prefix, pages=prefix + "kPages" if paged else None))
    lines += ["// The brand's own language first: the one any other user gets.",
              "inline constexpr std::array<Language, %d> kLanguages{{" % len(entries)] + entries + ["}};"]
    lines += ["", "}  // namespace startboard::brand", ""]
    return "\n".join(lines)


def version_numbers(version: str) -> str:
    parts = [int(p) for p in version.split(".")] + [0, 0, 0]
    return ", ".join(str(p) for p in parts[:4])


def manifest(identity: Identity) -> str:
    with open(MANIFEST, encoding="utf-8") as f:
        template = f.read()
    return escape.fill(template, {"NAME": identity.assembly_name, "DESCRIPTION": escape.xml_text(identity.product),
                                  "VERSION": version_numbers(identity.version).replace(", ", ".")})


def version_strings(identity: Identity) -> list[tuple[str, str]]:
    strings = [("CompanyName", identity.company), ("FileDescription", identity.description),
               ("FileVersion", identity.version), ("InternalName", os.path.splitext(identity.exe)[0]),
               ("LegalCopyright", identity.copyright), ("OriginalFilename", identity.exe),
               ("ProductName", identity.product), ("ProductVersion", identity.product_version)]
    return [(key, value) for key, value in strings if value is not None]


def resources(brand: Brand, views: list[View], arts: list[Art], icon_path: str, cursor_path: str,
              manifest_path: str) -> str:
    identity = brand.identity
    lines = ["// Generated from %s by tools/brand: edit the brand file, not this." % (
        named(os.path.basename(brand.source))),
             "%d ICON %s" % (ICON_ID, escape.rc_path(os.path.abspath(icon_path))),
             "%d CURSOR %s" % (CURSOR_ID, escape.rc_path(os.path.abspath(cursor_path))),
             "CREATEPROCESS_MANIFEST_RESOURCE_ID RT_MANIFEST %s" % escape.rc_path(os.path.abspath(manifest_path))]
    for index, (one, two) in enumerate(arts):
        kind = "BITMAP" if one.lower().endswith(".bmp") else "RCDATA"
        one_id, two_id = picture_ids(arts, index)
        lines.append("%d %s %s" % (one_id, kind, escape.rc_path(os.path.abspath(one))))
        if two:
            lines.append("%d RCDATA %s" % (two_id, escape.rc_path(os.path.abspath(two))))
    lines += [
        "",
        "VS_VERSION_INFO VERSIONINFO",
        "FILEVERSION %s" % version_numbers(identity.version),
        "PRODUCTVERSION %s" % version_numbers(identity.product_version),
        "FILEFLAGSMASK VS_FFI_FILEFLAGSMASK", "FILEFLAGS 0", "FILEOS VOS_NT_WINDOWS32", "FILETYPE VFT_APP",
        "FILESUBTYPE VFT2_UNKNOWN", "BEGIN", '  BLOCK "StringFileInfo"', "  BEGIN"]
    # One string table per language (Unicode, code page 1200): Explorer shows
    # the one of the user's language.
    ids = []
    for view in views:
        ids.append(tags.ids(view.tag)[1])
        lines += ['    BLOCK "%04X04B0"' % ids[-1], "    BEGIN"]
        lines += ["      VALUE %s, %s" % (escape.rc_string(key), escape.rc_string(value))
                  for key, value in version_strings(view.identity)]
        lines += ["    END"]
    lines += ["  END", '  BLOCK "VarFileInfo"', "  BEGIN",
              '    VALUE "Translation", %s' % ", ".join("0x%04X, 1200" % i for i in ids), "  END", "END", ""]
    return "\n".join(lines)

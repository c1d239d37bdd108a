"""The designer's one door to the brand checker: the key list, the check of
an edited text, where each key stands, and the pages the designer draws.
When the checker moves, only this file follows it: it uses the brand
package's Findings, parse and check, keys.KEYS, ACTIONS, CONTROLS and KINDS,
and positions.key_lines."""
import os
import re

from ..brand import keys as schema
from ..brand.check import check
from ..brand.findings import Findings
from ..brand.parse import parse
from ..brand.positions import key_lines

MESSAGE = re.compile(r"^(.*?):(\d+): (.*)$")


def key_list():
    """Every key as the form builds it, README's words as its help."""
    return {"keys": [{"table": k.table, "name": k.name, "kind": k.kind, "required": k.required,
                      "takes": list(k.takes), "doc": k.doc, "translated": k.translated, "default": k.default,
                      "what": schema.KINDS.get(k.kind, k.kind)} for k in schema.KEYS],
            "actions": list(schema.ACTIONS), "controls": list(schema.CONTROLS)}


def pages():
    """The windows the designer draws, each with its picture and the tables
    standing on it, front to back. The menu first, then each `[[page]]` (the
    page copies "page" for each of the brand's), then the About window."""
    return [{"id": "menu", "title": "Menu", "window": ["menu"], "items": ["zone"], "table": "zone",
             "kindKey": "action", "kinds": list(schema.ACTIONS), "picture": "picture", "lit": ["hover", "pressed"],
             "focus": "focus_order", "language": "zone",
             "template": {"name": "Zone", "rect": [8, 8, 120, 40], "tooltip": "New zone", "action": "quit"}},
            {"id": "page", "title": "Page", "window": ["page"], "items": ["zone"], "table": "zone", "kindKey": "action",
             "kinds": list(schema.ACTIONS), "picture": "picture", "lit": ["hover", "pressed"], "focus": "focus_order",
             "language": "zone",
             "template": {"name": "Zone", "rect": [8, 8, 120, 40], "tooltip": "New zone", "action": "back"}},
            {"id": "about", "title": "About window", "window": ["about"], "items": ["about", "control"],
             "table": "control", "kindKey": "kind", "kinds": list(schema.CONTROLS), "colour": "background",
             "language": "about.control",
             "template": {"kind": "label", "name": "Label", "rect": [8, 8, 120, 17], "text": "New label",
                          "colour": "#FFFFFF"},
             "windowTemplate": {"title": "About", "size": [400, 300], "background": "#000000"}}]


def check_text(path, text):
    """The build's check of `text` (or bytes) as if it were the brand file at
    `path`, without writing it anywhere: [(line, message, is_error)]."""
    found = Findings(path=path, folder=os.path.dirname(os.path.abspath(path)))
    try:
        data = parse(found, text if isinstance(text, bytes) else text.encode("utf-8"))
        if data is not None:
            check(found, data)
    except Exception as error:  # the build would stop too: never offer that save
        found.errors.append("%s:1: the checker failed on this brand (%s: %s)" % (path, type(error).__name__, error))
    out = []
    for lines, is_error in ((found.errors, True), (found.warnings + found.notes, False)):
        for line in lines:
            match = MESSAGE.match(line)
            if match:
                out.append((int(match.group(2)), match.group(3).removeprefix("warning: "), is_error))
            else:  # a note on the whole brand
                out.append((1, line.removeprefix(path + ": "), is_error))
    return out


def paths_by_line(text):
    """{line: the deepest key path on it}: a message's line to what it names."""
    by_line = {}
    for path, line in key_lines(text).items():
        if len(path) > len(by_line.get(line, ())):
            by_line[line] = path
    return by_line

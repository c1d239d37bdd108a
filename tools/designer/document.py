"""An edited brand, written back into the publisher's own text: only what
changed is touched, so comments, order and spacing stay, and `git diff`
shows just the edit. The page sends the whole brand; each element of an
array of tables ([[zone]], [[about.control]]) carries "@", its place in the
loaded file, so a moved zone keeps its comments."""
import tomllib

import tomlkit
import tomlkit.exceptions
from tomlkit.container import Container
from tomlkit.items import AoT, String, Whitespace

PLACE = "@"


class EditError(Exception):
    pass


def plain(value):
    """The value without the page's places."""
    if isinstance(value, dict):
        return {k: plain(v) for k, v in value.items() if k != PLACE}
    if isinstance(value, list):
        return [plain(v) for v in value]
    return value


def same(a, b):
    """Equal and of the same type: true is not 1."""
    return type(a) is type(b) and (a == b if not isinstance(a, (list, dict)) else plain(a) == plain(b))


def table_of(value):
    table = tomlkit.table()
    for key, item in plain(value).items():
        table.add(key, item)
    table.add(tomlkit.nl())
    return table


def tables(value):
    return isinstance(value, list) and bool(value) and all(isinstance(v, dict) for v in value)


def set_value(container, key, value):
    old = container.get(key)
    multiline = isinstance(old, String) and old.as_string().startswith(('"""', "'''"))
    if isinstance(value, str) and "\n" in value and multiline:
        value = tomlkit.string(value, multiline=True)
    container[key] = value


def apply(container, old, new):
    for key in [k for k in old if k not in new]:
        del container[key]
    for key, value in new.items():
        if key == PLACE:
            continue
        before = old.get(key)
        if key not in old and tables(value):  # a page's first zones: [[page.zone]], each ending in a blank line
            body = container.body if isinstance(container, Container) else container.value.body
            if body and not isinstance(body[-1][1], Whitespace):
                container.add(tomlkit.nl())
            container[key] = tomlkit.aot()
            for element in value:
                container[key].append(table_of(element))
        elif key not in old:
            container[key] = plain(value)
        elif isinstance(value, dict) and isinstance(before, dict) and not same(before, value):
            apply(container[key], before, value)
        elif tables(value) and isinstance(container[key], AoT):
            apply_tables(container[key], before, value)
        elif not same(before, value):
            set_value(container, key, plain(value))


def apply_tables(aot, old, new):
    """Elements kept (edited in place), moved, added and removed."""
    originals = list(aot.body)
    wanted = []
    for element in new:
        place = element.get(PLACE)
        if isinstance(place, int) and 0 <= place < len(originals) and originals[place] not in wanted:
            apply(originals[place], old[place], element)
            wanted.append(originals[place])
        else:
            wanted.append(table_of(element))
    for index, table in enumerate(wanted):
        if index < len(aot.body) and aot.body[index] is table:
            continue
        current = next((i for i in range(index, len(aot.body)) if aot.body[i] is table), None)
        if current is not None:
            del aot[current]
        aot.insert(index, table)
    while len(aot.body) > len(wanted):
        del aot[len(aot.body) - 1]


def edited(text, new):
    """The loaded text with the page's brand written into it; a byte-order
    mark (which Windows editors write) stays."""
    mark = "\ufeff" if text.startswith("\ufeff") else ""
    text = text[len(mark):]
    try:
        doc = tomlkit.parse(text)
        apply(doc, tomllib.loads(text), new)
        out = tomlkit.dumps(doc)
    except tomlkit.exceptions.TOMLKitError as error:
        raise EditError(str(error)) from None
    if "\r\n" in text:  # what tomlkit writes anew ends its lines in \n alone
        out = out.replace("\r\n", "\n").replace("\n", "\r\n")
    try:
        written = tomllib.loads(out)
    except tomllib.TOMLDecodeError as error:
        raise EditError("the edit would not be TOML (%s)" % error) from None
    if written != plain(new):  # never save what the page did not mean
        raise EditError("the edit could not be written into the file as it stands")
    return mark + out

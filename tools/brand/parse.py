"""The brand file read as TOML, its syntax errors in a publisher's words, and
where each key stands."""
import re
import tomllib

from .findings import Findings
from .positions import key_lines, line_of


def parse(report: Findings, raw: bytes) -> dict | None:
    """The file's TOML, or None after an error (reported at its line)."""
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as error:
        line = raw.count(b"\n", 0, error.start) + 1
        column = error.start - (raw.rfind(b"\n", 0, error.start) + 1) + 1
        report.errors.append("%s:%d: byte %d of the line (0x%02X) is not UTF-8: save the brand file as UTF-8 text" % (
            report.path, line, column, raw[error.start]))
        return None
    text = text[1:] if text.startswith("\ufeff") else text  # Windows editors write a BOM
    try:
        data = tomllib.loads(text)
    except tomllib.TOMLDecodeError as error:
        report.errors.append(syntax_error(report.path, text, str(error)))
        return None
    except RecursionError:
        depth, line = 0, 1
        for offset, char in enumerate(text):
            depth += char in "[{"
            if depth > 50:
                line = line_of(text, offset)
                break
        report.errors.append("%s:%d: values nested too deeply; a brand nests lists and tables a few levels at "
                             "most" % (report.path, line))
        return None
    report.lines = key_lines(text)
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

"""Texts written into the generated files, each escaped for the one place it
goes: a C++ string literal, a resource-script string, XML text. The checker
has already refused what no target can hold (control characters in one-line
texts, noncharacters), so these only escape; each keeps every character."""
import re


def cpp_string(text):
    """A C++ narrow string literal holding `text` as UTF-8. Non-ASCII bytes
    are octal escapes (which never run into the next character) and every
    '?' is escaped, so no trigraph can form."""
    out = []
    for byte in text.encode("utf-8"):
        char = chr(byte)
        if char in '"\\?':
            out.append("\\" + char)
        elif char == "\n":  # a line break as Windows' boxes and labels take it
            out.append("\\r\\n")
        elif 32 <= byte < 127:
            out.append(char)
        else:
            out.append("\\%03o" % byte)
    return '"' + "".join(out) + '"'


def rc_string(text):
    """A resource-script string for windres (the script is read as UTF-8):
    windres reads C escapes, so backslashes are doubled and line breaks
    written as \\r\\n; a quote is doubled, '?' written in octal."""
    out = []
    for char in text:
        if char == "\\":
            out.append("\\\\")
        elif char == '"':
            out.append('""')
        elif char == "\n":
            out.append("\\r\\n")
        elif ord(char) < 32 or ord(char) == 127 or char == "?":  # "?" so the preprocessor sees no trigraph
            out.append("\\%03o" % ord(char))
        else:
            out.append(char)
    return '"' + "".join(out) + '"'


def rc_path(path):
    """A file name in a resource script: windres takes / in paths."""
    return rc_string(path.replace("\\", "/"))


def xml_text(text):
    return (text.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;").replace('"', "&quot;")
            .replace("'", "&apos;"))


def fill(template, values):
    """Each @NAME@ of `template` replaced once, in one pass: a value holding
    another placeholder's name is not read again."""
    return re.sub(r"@([A-Z]+)@", lambda m: values.get(m.group(1), m.group(0)), template)


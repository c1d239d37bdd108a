"""A zone's or page's `when` and `unless`: what they ask of the machine the
launcher runs on (Windows' version, its processor, a file on the disc, a key
or value in the registry), checked so that the launcher can always ask it,
and the C++ rows that hold it."""
import difflib
import re

from . import escape
from . import keys as schema
from .model import Tests

MACHINES = {"x86": "kX86", "x64": "kX64", "arm64": "kArm64"}
HIVES = {"HKLM": "LocalMachine", "HKEY_LOCAL_MACHINE": "LocalMachine",
         "HKCU": "CurrentUser", "HKEY_CURRENT_USER": "CurrentUser"}
KEY_NAME_MAX = 255  # characters in one name of a registry key
VALUE_NAME_MAX = 16383
WINDOWS = re.compile(r"(\d{1,3})\.(\d{1,3})(?:\.(\d{1,6}))?")


def check(checker, where, value, what):
    """A `when` or `unless` table as [(kind, fields)], or None after an error."""
    report = checker.report
    if not isinstance(value, dict) or not value:
        return checker.wrong(where, what, value, "a table of tests, such as { architecture = \"x64\" } or "
                             "{ registry = 'HKLM\\SOFTWARE\\Maker\\Product' }")
    entries = {key.name: key for key in schema.of("condition")}
    unknown = [key for key in value if key not in entries]
    for key in unknown:
        close = difflib.get_close_matches(key, list(entries), n=1, cutoff=0.5)
        report.error(where, "%s has no test %r%s; it takes %s" % (
            what, key, " (did you mean %r?)" % close[0] if close else "", ", ".join(entries)))
    for key in ("value", "view"):
        if key in value and "registry" not in value:
            report.error(where, "%s.%s goes with registry, and there is none" % (what, key))
            unknown.append(key)
    if unknown:
        return None
    tests = [TESTS[key](checker, where, value[key], "%s.%s" % (what, key)) for key in TESTS if key in value]
    if "registry" in value:
        key = test_registry(checker, where, value["registry"], what + ".registry")
        name = test_value(checker, where, value["value"], what + ".value") if "value" in value else ""
        view = test_view(checker, where, value.get("view", 64), what + ".view")
        if key is None or name is None or view is None:
            return None
        fields = {"path": escape.cpp_string(key[1])}
        if name:
            fields["value"] = escape.cpp_string(name)
        fields["hive"] = "Hive::" + key[0]
        if view == 32:
            fields["view32"] = "true"
        tests.append(("RegistryValue" if name else "RegistryKey", fields))
    if None in tests:
        return None
    return Tests(tests, "; ".join("%s %s" % (key, value[key] if key != "view" else "%d-bit view" % value[key])
                                  for key in value))


def test_windows(checker, where, value, what):
    match = WINDOWS.fullmatch(value) if isinstance(value, str) else None
    if match is None:
        return checker.wrong(where, what, value, 'a Windows version "MAJOR.MINOR[.BUILD]": "6.1" is Windows 7, '
                             '"10.0" Windows 10, "10.0.22000" Windows 11')
    major, minor, build = (int(part or 0) for part in match.groups())
    return ("Windows", {"atLeast": "{%d, %d, %d}" % (major, minor, build)})


def test_architecture(checker, where, value, what):
    names = value if isinstance(value, list) else [value]
    if not names or not all(isinstance(name, str) for name in names):
        return checker.wrong(where, what, value, 'x86, x64 or arm64, or a list of them: ["x64", "arm64"]')
    for name in names:
        if name.lower() not in MACHINES:
            close = difflib.get_close_matches(name.lower(), list(MACHINES), n=1, cutoff=0.5)
            return checker.report.error(where, "%s: %s is no architecture the launcher knows%s; it tells x86, x64 "
                                       "and arm64 (a 32-bit launcher on 64-bit Windows sees x64)" % (
                                           what, '"%s"' % name, " (did you mean %r?)" % close[0] if close else ""))
    return ("Machine", {"machines": " | ".join(sorted({MACHINES[name.lower()] for name in names}))})


def test_file(checker, where, value, what):
    path = checker.kind_disc(where, value, what)
    return path and ("DiscFile", {"path": escape.cpp_string(path)})


def test_registry(checker, where, value, what):
    expected = "a registry key below HKLM or HKCU, in single quotes: 'HKLM\\SOFTWARE\\Maker\\Product'"
    if not isinstance(value, str) or not value:
        return checker.wrong(where, what, value, expected)
    bad = next((c for c in value if ord(c) < 32 or c in "\u2028\u2029"), None)
    if bad is not None:
        return checker.report.error(where, "%s holds the character U+%04X; in double quotes a backslash starts an "
                                   "escape: write the key in single quotes" % (what, ord(bad)))
    hive, _, path = value.partition("\\")
    if hive.upper() not in HIVES:
        return checker.report.error(where, "%s: %s is no hive the launcher reads; it reads HKLM (HKEY_LOCAL_MACHINE) "
                                   "and HKCU (HKEY_CURRENT_USER): %s" % (what, '"%s"' % hive, expected))
    names = path.split("\\")
    if not path or "" in names:
        return checker.wrong(where, what, value, expected + ", with no empty names (no \\\\ and no \\ at the "
                             "end)")
    long_name = next((name for name in names if len(name) > KEY_NAME_MAX), None)
    if long_name is not None:
        return checker.report.error(where, "%s: a key's names hold at most %d characters" % (what, KEY_NAME_MAX))
    return HIVES[hive.upper()], path


def test_value(checker, where, value, what):
    name = checker.kind_line(where, value, what)
    if name is not None and len(name) > VALUE_NAME_MAX:
        return checker.report.error(where, "%s: a value's name holds at most %d characters" % (what, VALUE_NAME_MAX))
    return name


def test_view(checker, where, value, what):
    if value not in (32, 64) or isinstance(value, bool):
        return checker.wrong(where, what, value, "32 or 64")
    return value


TESTS = {"windows": test_windows, "architecture": test_architecture, "file": test_file}


def rows(name, tests):
    """The C++ array of one `when` or `unless`."""
    body = ", ".join("{%s}" % ", ".join([".kind = ConditionKind::" + kind] + [
        ".%s = %s" % (field, text) for field, text in fields.items()]) for kind, fields in tests)
    return "inline constexpr std::array<Condition, %d> %s{{%s}};" % (len(tests), name, body)

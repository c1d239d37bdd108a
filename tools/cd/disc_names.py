"""Names on a disc as Windows reads them: without regard to case, each
character upcased on its own (as the file system's upcase table does, so
"ß" stays one character), and at most 64 UTF-16 units in a Joliet name."""
import os

JOLIET_MAX = 64  # UTF-16 units in one name
# Besides control characters, what Joliet names may not hold.
JOLIET_FORBIDDEN = set("*/:;?\\")


def fold(name):
    """The form Windows compares: two names with the same fold are one name."""
    return "".join(up if len(up := c.upper()) == 1 else c for c in name)


def walk(root):
    """(relative path with '/', is a folder) for everything under root, sorted,
    following symbolic links as a copy would."""
    found = []
    for folder, dirs, files in os.walk(root, followlinks=True):
        dirs.sort()
        base = os.path.relpath(folder, root)
        for name in dirs + sorted(files):
            path = name if base == "." else base + "/" + name
            found.append((path, name in dirs))
    return sorted(found)


def clashes(paths):
    """Groups of names in one folder that Windows takes for one, each sorted.
    Only siblings count: under two clashing folders every name would clash
    again, and the folders already say it."""
    groups: dict[tuple[str, str], list[str]] = {}
    for path in paths:
        parent, _, name = path.rpartition("/")
        groups.setdefault((parent, fold(name)), []).append(path)
    return sorted(sorted(group) for group in groups.values() if len(group) > 1)


def joliet_problem(name):
    """Why a file or folder name cannot be a Joliet name, or None."""
    try:
        units = len(name.encode("utf-16-le")) // 2
    except UnicodeEncodeError:  # undecodable bytes from the file system
        return "name is not valid UTF-8"
    if units > JOLIET_MAX:
        return "name has %d characters, Joliet allows %d" % (units, JOLIET_MAX)
    if any(c in JOLIET_FORBIDDEN or ord(c) < 32 for c in name):
        return "name has a character Joliet forbids (* : ; ? \\ or control)"
    return None

#!/usr/bin/python3
"""Fails when a source file includes one from a folder above its own.

The folders of src/ from the top down; a file may include its own folder's
files and those of any folder below it. app/ is the composition root: no
file anywhere includes it. Prints FILE:LINE for each climbing include."""
import re
import sys
from pathlib import Path

LAYERS = ["app", "ui", "launch", "shell", "brand", "bench"]

ROOT = Path(__file__).resolve().parent.parent
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"/]+)/[^"]+"')


def climbs(path):
    """(line number, message) for each include of `path` that climbs."""
    parts = path.relative_to(ROOT).parts
    own = parts[1] if parts[0] == "src" else None
    if own is not None and own not in LAYERS:
        yield 1, "src/%s/ is not in the layer order (tests/check_layers.py)" % own
        return
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), start=1):
        match = INCLUDE.match(line)
        if not match or match.group(1) not in LAYERS and own is None:
            continue
        folder = match.group(1)
        if folder == "app":
            yield number, "includes from app/, the composition root, which nothing includes"
        elif own is not None and folder not in LAYERS:
            yield number, "includes from %s/, which is not in the layer order" % folder
        elif own is not None and LAYERS.index(folder) < LAYERS.index(own):
            yield number, "src/%s/ includes from %s/, a layer above it" % (own, folder)


def main():
    files = [p for top in ("src", "tests", "tools") for p in (ROOT / top).rglob("*")
             if p.suffix in (".h", ".cpp", ".rc") and p.is_file()]
    found = [(p, n, m) for p in sorted(files) for n, m in climbs(p)]
    for path, number, message in found:
        print("%s:%d: %s" % (path.relative_to(ROOT), number, message))
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())

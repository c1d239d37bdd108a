#!/usr/bin/python3
"""Fails when a source file includes one from a folder above its own: the
folders of src/ from the top down, each including only its own and lower
ones. app/ is the composition root, which no file anywhere includes."""
import re
import sys
from pathlib import Path

LAYERS = ["app", "ui", "launch", "shell", "brand", "bench"]


def wrong(parts, folder):
    """Why a file at `parts` may not include from `folder`, or None."""
    if folder == "app":
        return "nothing includes from app/, the composition root"
    if parts[0] != "src":
        return None
    if parts[1] not in LAYERS or folder not in LAYERS or LAYERS.index(folder) < LAYERS.index(parts[1]):
        return "src/%s/ may not include from %s/: the layers are %s, top down" % (parts[1], folder, ", ".join(LAYERS))
    return None


root = Path(__file__).resolve().parent.parent
found = 0
for path in sorted(p for top in ("src", "tests", "tools") for p in (root / top).rglob("*")
                   if p.suffix in (".h", ".cpp", ".rc") and p.is_file()):
    name = path.relative_to(root)
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), start=1):
        include = re.match(r'\s*#\s*include\s+"([^"/]+)/', line)
        if include and (why := wrong(name.parts, include[1])):
            found += 1
            print("%s:%d: %s" % (name, number, why))
sys.exit(1 if found else 0)

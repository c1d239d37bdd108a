"""The command line: check a brand, generate its tables (every file or
none), print one checked value or README's key table."""
import argparse
import os
import sys
import tempfile
from typing import Optional

from . import emit, keys as schema, pictures
from .check import load
from .findings import BrandError
from .values import DEPFILE_FINE, untrackable


def write_all(outputs: list[emit.Output]) -> None:
    """Writes every file or none: each goes to a temporary name first. An
    output is text, bytes, or a function that writes the file it is given."""
    staged = []
    try:
        for path, content in outputs:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            handle, temporary = tempfile.mkstemp(dir=os.path.dirname(path), prefix=".brand-",
                                                 suffix=os.path.splitext(path)[1])
            staged.append((temporary, path))
            if callable(content):
                os.close(handle)
                content(temporary)
            else:
                with os.fdopen(handle, "wb") as f:
                    f.write(content.encode("utf-8") if isinstance(content, str) else content)
        for temporary, path in staged:
            os.replace(temporary, path)
    finally:
        for temporary, _ in staged:
            if os.path.exists(temporary):
                os.remove(temporary)


OUTPUTS = ("Data.h", "Data.rc", "Startboard.manifest", "icon.ico", "cursor.cur")


def depfile_path(brand_file: str, path: str) -> str:
    """A path as a depfile spells it; a BrandError when Ninja cannot read it
    back (a file the brand names is checked at its line; this is the folder)."""
    bad = untrackable(path)
    if bad:
        raise BrandError("%s:1: the build cannot track changes to %s: Ninja's dependency files cannot hold %s "
                         "in a path; rename the folder (%s)" % (brand_file, path, " ".join(bad), DEPFILE_FINE))
    return path.replace("$", "$$").replace("#", "\\#").replace(" ", "\\ ")


def generate(path: str, out_dir: str, depfile: Optional[str] = None, relative_to: str = ".") -> list[str]:
    """Checks the brand, then writes its tables, resources and pictures (and
    the depfile, naming Data.h relative to `relative_to`): every file or
    none. Returns the warnings."""
    brand = load(path)
    views = brand.views()
    folder = os.path.join(out_dir, "brand")
    data_h = os.path.join(folder, "Data.h")
    manifest_path = os.path.join(folder, "Startboard.manifest")
    arts, outputs, grown = emit.embedded(brand, views, out_dir)
    icon_path, cursor_path = brand.identity.icon, brand.menu.cursor
    if icon_path.lower().endswith(".png"):
        icon_path = os.path.join(folder, "icon.ico")
        outputs.append((icon_path, pictures.icon_from_png(brand.identity.icon)))
    if cursor_path.lower().endswith(".png") and brand.menu.cursor_hotspot:
        cursor_path = os.path.join(folder, "cursor.cur")
        outputs.append((cursor_path, pictures.cursor_from_png(brand.menu.cursor, brand.menu.cursor_hotspot)))
    outputs += [(data_h, emit.header(brand, views, arts)), (manifest_path, emit.manifest(brand.identity)),
                (os.path.join(folder, "Data.rc"),
                 emit.resources(brand, views, arts, icon_path, cursor_path, manifest_path))]
    if depfile:
        # Ninja names the output as CMake wrote it: relative to the build folder.
        files = sorted(set(brand.files) | {os.path.abspath(emit.MANIFEST)})
        outputs.append((depfile, "%s: %s\n" % (depfile_path(path, os.path.relpath(data_h, relative_to)),
                                                " ".join(depfile_path(path, f) for f in files))))
    write_all(outputs)
    return brand.warnings + grown


def remove_outputs(out_dir: str, depfile: Optional[str]) -> None:
    """A brand with a mistake leaves no tables behind: the build cannot go on
    with the last good brand's."""
    folder = os.path.join(out_dir, "brand")
    if os.path.isdir(folder):
        for name in os.listdir(folder):
            if name in OUTPUTS or name.startswith("picture"):
                os.remove(os.path.join(folder, name))
    if depfile and os.path.exists(depfile):
        os.remove(depfile)


def main(argv: list[str]) -> int:
    parser = argparse.ArgumentParser(prog="python3 -m tools.brand", description=__doc__.strip().split("\n")[0])
    commands = parser.add_subparsers(dest="command", required=True)
    make = commands.add_parser("generate", help="check, then write OUT_DIR/brand/Data.h, Data.rc, the manifest "
                               "and converted pictures")
    make.add_argument("brand")
    make.add_argument("out_dir")
    make.add_argument("depfile", nargs="?")
    make.add_argument("--relative-to", default=".", help="the build folder, which the depfile's names are "
                      "relative to (default: here)")
    commands.add_parser("check", help="only check").add_argument("brand")
    get = commands.add_parser("get", help="print one checked value")
    get.add_argument("brand")
    get.add_argument("key", choices=("exe", "product", "label", "volume_id", "files"))
    commands.add_parser("keys", help="print README's key table")
    args = parser.parse_args(argv)
    try:
        if args.command == "generate":
            try:
                warnings = generate(args.brand, args.out_dir, args.depfile, args.relative_to)
            except BrandError:
                remove_outputs(args.out_dir, args.depfile)
                raise
        elif args.command == "check":
            warnings = load(args.brand).warnings
        elif args.command == "get":
            brand = load(args.brand)
            print(getattr(brand.identity, args.key, None) or getattr(brand.disc, args.key, None) or "")
            warnings = []
        else:
            sys.stdout.write(schema.markdown())
            warnings = []
    except BrandError as error:
        print(error, file=sys.stderr)
        return 1
    for warning in warnings:
        print(warning, file=sys.stderr)
    return 0

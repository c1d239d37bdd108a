"""What a brand's exe costs on the disc: its bytes and the time Windows
takes to read them at 24x before the launcher's first instruction (the exe
runs from the swap file, so it is read whole), and a warning when it is
larger than its pictures as given and 128 KiB for everything else.

    python3 -m tools.brand.footprint BRAND.toml EXE
"""
import os
import sys

from . import BrandError, load
from .emit import art_files
from .model import Brand

OVERHEAD = 128 * 1024  # code, icon, cursor, version block
SPEED_24X = 3_600_000  # bytes a second


def given_bytes(brand: Brand) -> int:
    """The bytes of every picture the exe embeds, as the publisher's files."""
    paths = {path for one, two, _ in art_files(brand.views()) for path in (one, two) if path}
    return sum(os.path.getsize(path) for path in paths)


def lines(brand: Brand, exe: str) -> list[str]:
    """The footprint line, then a warning when the exe is over its budget."""
    size, given = os.path.getsize(exe), given_bytes(brand)
    found = ["%s: %s bytes, %.0f ms to read from a 24x drive before it starts (pictures as given: %s bytes)" % (
        os.path.basename(exe), format(size, ","), size / SPEED_24X * 1000, format(given, ","))]
    if size > given + OVERHEAD:
        found.append("%s: warning: %s bytes more than its pictures as given and 128 KiB: a picture went in larger "
                     "than its file" % (os.path.basename(exe), format(size - given - OVERHEAD, ",")))
    return found


def show(brand: Brand, exe: str) -> None:
    for line in lines(brand, exe):
        print(line, file=sys.stderr if ": warning: " in line else sys.stdout)


def main(argv: list[str]) -> None:
    if len(argv) != 3:
        sys.exit(__doc__.strip())
    try:
        brand = load(argv[1])
    except BrandError as error:
        sys.exit(str(error))
    show(brand, argv[2])


if __name__ == "__main__":
    main(sys.argv)

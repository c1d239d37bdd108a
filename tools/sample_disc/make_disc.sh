#!/bin/sh
# Lays out a disc folder: make_disc.sh OUT_DIR EXE_DIR BRAND.toml [--strict] (see make_disc.py).
# The Python tools find each other through the one path set in tools/python.sh.
. "$(dirname "$0")/../python.sh"
exec /usr/bin/python3 "$(dirname "$0")/make_disc.py" "$@"

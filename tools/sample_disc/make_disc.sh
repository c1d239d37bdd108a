#!/bin/sh
# Lays out a disc folder: make_disc.sh OUT_DIR EXE_DIR BRAND.toml [--strict] (see make_disc.py).
exec /usr/bin/python3 "$(dirname "$0")/make_disc.py" "$@"

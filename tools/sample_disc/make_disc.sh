#!/bin/sh
# Lays out a sample disc folder: make_disc.sh OUT_DIR EXE_DIR (see make_disc.py).
exec /usr/bin/python3 "$(dirname "$0")/make_disc.py" "$@"

#!/bin/sh
# Makes the CD image: make_iso.sh DISC_DIR OUT_ISO [BRAND.toml] (see make_iso.py).
# The Python tools find each other through the one path set in tools/python.sh.
. "$(dirname "$0")/../python.sh"
exec /usr/bin/python3 "$(dirname "$0")/make_iso.py" "$@"

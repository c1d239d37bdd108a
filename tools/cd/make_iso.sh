#!/bin/sh
# Makes the CD image: make_iso.sh DISC_DIR OUT_ISO [BRAND.toml] (see make_iso.py).
exec /usr/bin/python3 "$(dirname "$0")/make_iso.py" "$@"

#!/usr/bin/env bash
# Makes the CD image: make_iso.sh DISC_DIR OUT_ISO [BRAND.toml] (see make_iso.py).
# The tools are one package run from the repository's root; paths are made
# absolute first, so they mean what they meant where this was called.
set -euo pipefail
args=()
for arg in "$@"; do args+=("$(realpath -m -- "$arg")"); done
cd "$(dirname "$0")/../.." && exec /usr/bin/python3 -m tools.cd.make_iso "${args[@]}"

#!/usr/bin/env bash
# Lays out a disc folder: make_disc.sh OUT_DIR EXE_DIR BRAND.toml [--strict] (see make_disc.py).
# The tools are one package run from the repository's root; paths are made
# absolute first, so they mean what they meant where this was called.
set -euo pipefail
args=()
for arg in "$@"; do [[ $arg == --* ]] && args+=("$arg") || args+=("$(realpath -m -- "$arg")"); done
cd "$(dirname "$0")/../.." && exec /usr/bin/python3 -m tools.sample_disc.make_disc "${args[@]}"

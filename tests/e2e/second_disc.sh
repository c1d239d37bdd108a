#!/usr/bin/env bash
# The second brand's disc (second.py), built as a publisher's is: from a
# folder whose path holds a space and a non-ASCII letter, every file it names
# on its disc. usage: second_disc.sh PRESET; the disc: build/second brand é/cd.
set -euo pipefail
cd "$(dirname "$0")/../.."
folder="build/second brand é" out="build/second-$1"
rm -rf "$folder"
# second.py is a test module, run here as a script: the root, where the
# tools package stands, is named for it.
PYTHONPATH=. /usr/bin/python3 tests/e2e/second.py make "$folder/brand" \
  "build/$1/tools/sample_disc/standin_setup.exe"
cmake --preset "$1" -B "$out" -DSTARTBOARD_BRAND="$PWD/$folder/brand/brand.toml" >/dev/null
cmake --build "$out" --target Startboard standin_setup >"$out.log" || { cat "$out.log"; exit 1; }
tools/sample_disc/make_disc.sh "$folder/cd" "$out" "$folder/brand/brand.toml" --strict

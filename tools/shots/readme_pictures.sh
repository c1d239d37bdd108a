#!/usr/bin/env bash
# make shots DOCS=1: README's pictures, renewed from the launcher under Wine:
# docs/menu.png, docs/menu-144.jpg and docs/about.png from the default brand,
# docs/lit.png from the end-to-end tests' second brand (its guide lit under
# the pointer), and docs/preview.png from make preview.
set -euo pipefail
top=$(realpath "$(dirname "$0")/../..")
cd "$top"
source tools/wine_session.sh
tools/shots/shots.sh assets/brand.toml build/shots.png en --keep "96:at rest=docs/menu.png" \
  --keep "144:at rest=docs/menu-144.jpg" --keep "96:About window=docs/about.png"
# The second brand, built as the tests build it (tests/run_all.sh).
folder="build/second brand é" out="build/second-$wine_preset"
rm -rf "$folder"
PYTHONPATH=tools/wine /usr/bin/python3 tests/e2e/second.py make "$folder/brand" \
  "build/$wine_preset/tools/sample_disc/standin_setup.exe"
cmake --preset "$wine_preset" -B "$out" -DSTARTBOARD_BRAND="$PWD/$folder/brand/brand.toml" >/dev/null
cmake --build "$out" --target Startboard standin_setup >/dev/null
tools/sample_disc/make_disc.sh "$folder/cd" "$out" "$folder/brand/brand.toml" --strict >/dev/null
. tools/python.sh
/usr/bin/python3 tools/shots/shots.py "$folder/brand/brand.toml" "$folder/cd" "build/$wine_preset/tools/wine" \
  build/shots-second.png en --keep "96:lit=docs/lit.png"
/usr/bin/python3 tools/brand/preview.py assets/brand.toml docs/preview.png

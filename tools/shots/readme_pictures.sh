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
# The end-to-end tests' second brand, built as they build it.
tests/e2e/second_disc.sh "$wine_preset" >/dev/null
folder="build/second brand é"
/usr/bin/python3 -m tools.shots.shots "$folder/brand/brand.toml" "$folder/cd" "build/$wine_preset/tools/wine" \
  build/shots-second.png en --keep "96:lit=docs/lit.png"
/usr/bin/python3 -m tools.brand.preview assets/brand.toml docs/preview.png

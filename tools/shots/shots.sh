#!/usr/bin/env bash
# make shots: every state of the launcher under Wine, on a sheet per
# language (see shots.py). usage: shots.sh BRAND.toml OUT.png [TAG]
# The tools run as one package from the repository's root.
set -euo pipefail
top=$(realpath "$(dirname "$0")/../..")
source "$top/tools/wine_session.sh"
brand=$1
# A page it could never turn to (or a brand the build refuses) fails now, not after the build.
(cd "$top" && /usr/bin/python3 -m tools.shots.shots --reachable "$(realpath -m -- "$brand")") || exit 1
disc=$(wine_disc "$brand") || { echo "shots: the launcher's disc could not be built" >&2; exit 1; }
# The driver and the recorder run beside it in the Wine desktop; the probe
# checks the prefix's fonts.
(cd "$top" && cmake --build --preset "$wine_preset" --target e2e_driver recorder wine_probe >/dev/null) ||
  { echo "shots: the Wine driver could not be built" >&2; exit 1; }
echo "shots: ${disc#"$top/"}/: $wine_note."
out=$(realpath -m -- "$2")
cd "$top" && exec /usr/bin/python3 -m tools.shots.shots "$(realpath -m -- "$brand")" "$disc" \
  "$top/build/$wine_preset/tools/wine" "$out" "${@:3}"

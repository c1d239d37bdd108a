#!/usr/bin/env bash
# make run: starts the launcher from the disc (make disc) under Wine, in a
# private prefix under build/. usage: run_under_wine.sh [BRAND.toml]
# On a desktop it runs until you quit it; without a display it runs in Xvfb,
# saves build/screenshot.png and ends. Either way it fails when the
# launcher's window does not appear.
set -euo pipefail
top=$(realpath "$(dirname "$0")/..")
source "$top/tools/wine_session.sh"
brand=$(realpath -m -- "${1:-$top/assets/brand.toml}")
wine_tools xdpyinfo import
echo "Wine: $wine_note."
disc=$(wine_disc "$brand")
exe="$disc/$(cd "$top" && /usr/bin/python3 -m tools.brand get "$brand" exe)"
[[ -f $exe ]] || { echo "FAILED: no ${exe#"$top/"}: make disc builds it." >&2; exit 1; }
# The probe that sets up the prefix and watches for the window: make disc
# builds only what goes on the disc.
(cd "$top" && quiet cmake --build --preset "$wine_preset" --target wine_probe) ||
  { echo "FAILED: the Wine probe was not built (build/$wine_preset/wine_probe.exe)." >&2; exit 1; }
export WINEPREFIX="$top/build/wineprefix-$wine_bits"
probe="$top/build/$wine_preset/wine_probe.exe"

cleanup() {
  wineserver -k 2>/dev/null || true
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT

headless=0
if [[ -z "${DISPLAY:-}" ]] || ! xdpyinfo >/dev/null 2>&1; then
  headless=1
  start_xvfb 1024x768
fi
prepare_prefix

echo "Running ${exe#"$top/"}."
# The probe starts the launcher inside the virtual desktop and answers on its
# first line once the window is up and drawn, then a line when it ends.
exec 3< <(wine explorer /desktop=Startboard,1024x768 "$probe" start "Z:${exe//\//\\}" StartboardMain 60 2>/dev/null)
answer=""
read -r -t 90 answer <&3 || true
answer=${answer%$'\r'}
if [[ $answer != shown ]]; then
  [[ $answer == none ]] || { echo "FAILED: Wine's desktop did not start the probe (${probe#"$top/"})." >&2; exit 1; }
  echo "FAILED: no launcher window appeared within 60 s." >&2
  exit 1
fi
if [[ $headless -eq 0 ]]; then
  read -r _ <&3 || true  # until you quit it
  exit 0
fi
import -window root "$top/build/screenshot.png"
echo "No display: the launcher's window showed in Xvfb; saved build/screenshot.png."

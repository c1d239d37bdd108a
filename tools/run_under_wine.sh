#!/usr/bin/env bash
# Starts the launcher under Wine in a private prefix under build/. On a
# desktop it runs until you quit it; without a display it runs in Xvfb,
# saves build/screenshot.png and ends.
set -euo pipefail
exe=$(realpath "$1")
top=$(realpath "$(dirname "$0")/..")
export WINEPREFIX="$top/build/wineprefix"
source "$top/tools/wine_session.sh"

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

[[ -f "$WINEPREFIX/system.reg" ]] || wineboot -i >/dev/null 2>&1
wineserver -w

if [[ $headless -eq 0 ]]; then
  wine explorer /desktop=Startboard,1024x768 "$exe"
  exit 0
fi

wine explorer /desktop=Startboard,1024x768 "$exe" &
sleep 5
import -window root "$top/build/screenshot.png"
echo "No display: ran the launcher in Xvfb and saved build/screenshot.png"

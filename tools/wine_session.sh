# Sourced by every script that runs Wine (make run, make test, make bench):
# Wine quiet and kept off the desktop's menus, which Wine runs the launcher
# (wine_bits, wine_preset, wine_note and on the 64-bit path wine_why), an Xvfb screen of its own on demand,
# and new prefixes with Wine's own fonts.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
xvfb_pid=""
wine_top=$(realpath "$(dirname "${BASH_SOURCE[0]}")/..")

# The product is 32-bit; where Wine's 32-bit half cannot run, the 64-bit build
# of the same source. Decided by running the 32-bit loader: dpkg may list it
# on a kernel that cannot start it. STARTBOARD_WINE64=1 forces the 64-bit path.
wine_bits=32 wine_preset=win32 wine_why=""
wine32_error=$(/usr/lib/wine/wine --version 2>&1 >/dev/null) || wine32_error="${wine32_error:-failed}"
if [[ ${STARTBOARD_WINE64:-} == 1 ]]; then
  wine_why="STARTBOARD_WINE64=1 asks for it"
elif [[ ! -e /usr/lib/wine/wine ]]; then
  wine_why="Wine's 32-bit half is not installed"
elif [[ $wine32_error == *"Exec format error"* ]]; then
  wine_why="this machine cannot run 32-bit programs"
elif [[ -n $wine32_error ]]; then
  wine_why="Wine's 32-bit half does not start (${wine32_error##*: })"
fi
if [[ -n $wine_why ]]; then
  wine_bits=64 wine_preset=win64
  wine_note="the 64-bit build runs: $wine_why"
  # /usr/bin/wine picks the 32-bit loader whenever it is installed.
  export WINELOADER=/usr/lib/wine/wine64
  export STARTBOARD_WINE=$WINELOADER
else
  wine_note="the 32-bit product runs"
  export STARTBOARD_WINE=/usr/bin/wine
fi
unset wine32_error

wine() { "$STARTBOARD_WINE" "$@"; }

# start_xvfb WIDTHxHEIGHT: Xvfb on a display it picks itself (two scripts
# choosing at once could otherwise share one), as DISPLAY; its pid in xvfb_pid.
start_xvfb() {
  local fifo number
  wine_tools Xvfb || return 1
  fifo=$(mktemp -u /tmp/startboard-xvfb.XXXXXX)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r number <"$fifo" || true
  rm -f "$fifo"
  [[ -n $number ]] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$number"
}

# wine_tools COMMAND...: fails naming the first that is not installed.
wine_tools() {
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null ||
      { echo "$tool is not installed: make deps installs it" >&2; return 1; }
  done
}

# quiet COMMAND...: its output shown only when it fails.
quiet() {
  local out
  out=$("$@" 2>&1) || { printf '%s\n' "$out" >&2; return 1; }
}

# prepare_prefix: $WINEPREFIX, made when missing, whose "MS Sans Serif" is Wine's own
# metric-compatible face. Wine loads Windows fonts only from the prefix's
# Fonts folder, and without them draws every label in a wider stand-in.
# Needs DISPLAY and the probe built (build/$wine_preset/wine_probe.exe).
# Checked every time: a prefix from an older checkout may lack the fonts.
prepare_prefix() {
  local face out probe=$wine_top/build/$wine_preset/wine_probe.exe
  [[ -x $STARTBOARD_WINE ]] || { echo "Wine is not installed (no $STARTBOARD_WINE): make deps installs it" >&2; return 1; }
  wine_tools wineserver || return 1
  [[ -f $probe ]] || { echo "the Wine probe was not built: no ${probe#"$wine_top/"}" \
    "(cmake --build --preset $wine_preset --target wine_probe builds it)" >&2; return 1; }
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    out=$(wine wineboot -i 2>&1) || { echo "wineboot failed in $WINEPREFIX: ${out##*$'\n'}" >&2; return 1; }
    wineserver -w
  fi
  compgen -G '/usr/share/wine/fonts/*' >/dev/null ||
    { echo "Wine's fonts are not installed (fonts-wine): make deps installs them" >&2; return 1; }
  out=$(cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>&1) ||
    { echo "Wine's fonts could not be copied into $WINEPREFIX: $out" >&2; return 1; }
  # Not a pipe: the probe's own exit code says whether the face is right.
  face=$(wine "$probe" face 2>/dev/null) && return
  face=${face//$'\r'/}
  if [[ $face == "face "* ]]; then
    echo "\"MS Sans Serif\" is \"${face#face }\" in $WINEPREFIX, not Wine's own face" >&2
  else
    echo "the Wine probe did not run in $WINEPREFIX (${probe#"$wine_top/"}): ${face%%$'\n'*}" >&2
  fi
  return 1
}

# wine_disc [BRAND]: the disc whose exe Wine runs here, echoed: build/cd
# (make disc) for the product, or build/cd64, built now from BRAND (default
# the default brand), on the 64-bit path.
wine_disc() {
  local brand=${1:-$wine_top/assets/brand.toml}
  [[ $wine_bits == 32 ]] && { echo "$wine_top/build/cd"; return; }
  (cd "$wine_top" && quiet cmake --preset win64 -DSTARTBOARD_BRAND="$brand" &&
    quiet cmake --build --preset win64 &&
    quiet tools/sample_disc/make_disc.sh build/cd64 build/win64 "$brand") ||
    { echo "the 64-bit build (build/win64, build/cd64) failed" >&2; return 1; }
  echo "$wine_top/build/cd64"
}

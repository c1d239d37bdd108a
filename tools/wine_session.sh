# Sourced by the scripts that run Wine outside the tests: Wine quiet and kept
# off the desktop's menus, and an Xvfb screen of its own on demand.
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
xvfb_pid=""

# start_xvfb WIDTHxHEIGHT: Xvfb on a display it picks itself (two scripts
# choosing at once could otherwise share one), as DISPLAY; its pid in xvfb_pid.
start_xvfb() {
  local fifo number
  fifo=$(mktemp -u /tmp/startboard-xvfb.XXXXXX)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r number <"$fifo" || true
  rm -f "$fifo"
  [[ -n $number ]] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$number"
}

#!/usr/bin/env bash
# Checks tools/cd/make_iso.sh on a disc folder faked in a temp dir around the
# built launcher: the image passes test_iso.sh, the build is reproducible and
# leaves the folder alone, dates come from SOURCE_DATE_EPOCH, and names that
# Windows could not read from the disc are refused.
#   usage: tests/cd/test_make_iso.sh [BUILT_EXE]   (default build/win32/Startboard.exe)
set -uo pipefail
export TZ=UTC
top=$(cd "$(dirname "$0")/../.." && pwd)
make_iso=$top/tools/cd/make_iso.sh
exe=${1:-$top/build/win32/Startboard.exe}
[[ -f "$exe" ]] || { echo "no $exe; build the win32 preset first" >&2; exit 2; }

source "$(dirname "$0")/check.sh"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$exe" "$work/Startboard.exe" # a rebuild while this runs changes nothing
exe=$work/Startboard.exe

# The tree tools/sample_disc/make_disc.sh lays out, with small files.
fake_disc() {
  local dir=$1
  mkdir -p "$dir/manual" "$dir/reader" "$dir/standalone"
  cp "$exe" "$dir/Startboard.exe"
  echo "%PDF-1.4 manual" >"$dir/manual/manual.pdf"
  printf 'Quillmere Software, Inc.\r\n' >"$dir/disclaim.txt"
  echo "<html><body>Norvane 98</body></html>" >"$dir/temphtm.htm"
  echo "reader setup" >"$dir/reader/setup.exe"
  echo "standalone setup" >"$dir/standalone/setup.exe"
}
snapshot() { (cd "$1" && find . -printf '%y %m %s %T@ %p\n' | sort && find . -type f -exec md5sum {} + | sort); }

disc=$work/disc
fake_disc "$disc"
snapshot "$disc" >"$work/before"

# Builds DIR into OUT and expects make_iso to refuse it, naming WHAT.
refuses() { # refuses DIR WHAT
  local out=$work/refused.iso err
  rm -f "$out"
  if err=$("$make_iso" "$1" "$out" 2>&1); then echo "accepted: $err"; return 1; fi
  [[ ! -e "$out" ]] || { echo "left $out behind"; return 1; }
  ! ls "$work"/refused.iso.tmp.* >/dev/null 2>&1 || { echo "left a temp image behind"; return 1; }
  grep -qF -- "$2" <<<"$err" || { echo "message does not name '$2': $err"; return 1; }
}
variant() { # variant NAME: a fresh copy of the fake disc to break
  rm -rf "${work:?}/$1"
  fake_disc "$work/$1"
  echo "$work/$1"
}
creation_time() { xorriso -indev "$1" -pvd_info 2>/dev/null | sed -n 's/^Creation Time: //p'; }
dated() { # dated ISO EXPECTED: volume date and every file date equal EXPECTED
  local when files
  when=$(creation_time "$1")
  [[ "$when" == "$2" ]] || { echo "volume created $when"; return 1; }
  files=$(xorriso -indev "$1" -find / -exec lsdl 2>/dev/null | grep -vc " ${3} ")
  [[ $files -eq 0 ]] || { echo "$files entries not dated $3"; return 1; }
}

# Made in another time zone from a later copy with other file times.
same_bytes() { TZ=Asia/Tokyo "$make_iso" "$1" "$work/b.iso" >/dev/null && cmp "$work/b.iso" "$work/a.iso"; }
build_at_epoch() { SOURCE_DATE_EPOCH=$1 "$make_iso" "$disc" "$2" >/dev/null; }

check "builds an image from the disc folder" "$make_iso" "$disc" "$work/a.iso"
check "image passes test_iso.sh" "$top/tests/cd/test_iso.sh" "$work/a.iso" "$disc"
check "disc folder untouched (no autorun.inf, same files and times)" diff "$work/before" <(snapshot "$disc")

copy=$(variant copy)
touch -d "2011-11-11 11:11" "$copy/disclaim.txt" "$copy/manual"
check "same input gives the same image bytes" same_bytes "$copy"
check "dates default to 2000-01-01 00:00 UTC" dated "$work/a.iso" 2000010100000000 "Jan  1  2000"
check "SOURCE_DATE_EPOCH sets every date" build_at_epoch 1300000000 "$work/c.iso"
check "  ...volume and files dated 2011-03-13 07:06:40 UTC" dated "$work/c.iso" 2011031307064000 "Mar 13  2011"

long=$(variant long)
name64=$(printf 'n%.0s' {1..60}).txt
echo x >"$long/manual/$name64"
check "a 64-character name is accepted" "$make_iso" "$long" "$work/long.iso"
check "  ...and kept whole (test_iso.sh passes)" "$top/tests/cd/test_iso.sh" "$work/long.iso" "$long"
echo x >"$long/manual/n$name64"
check "a 65-character name is refused" refuses "$long" "n$name64"
wide=$(variant wide)
# 33 characters outside the BMP take 66 UCS-2 units.
echo x >"$wide/$(printf '\U0001F4BF%.0s' {1..33})"
check "a name over 64 UCS-2 units is refused" refuses "$wide" "66 characters"

bad=$(variant colon)
echo x >"$bad/read:me.txt"
check "a name with ':' is refused" refuses "$bad" "read:me.txt"
bad=$(variant case)
echo x >"$bad/reader/Setup.exe"
check "names equal but for case are refused" refuses "$bad" "reader/setup.exe"
bad=$(variant noexe)
rm "$bad/Startboard.exe"
check "a folder without Startboard.exe is refused" refuses "$bad" "no Startboard.exe"
bad=$(variant autorun)
echo "[autorun]" >"$bad/AUTORUN.INF"
check "a folder with its own AUTORUN.INF is refused" refuses "$bad" "already has an autorun.inf"

echo "cd: $passed passed, $failed failed"
[[ $failed -eq 0 ]]

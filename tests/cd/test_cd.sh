#!/usr/bin/env bash
# The disc tools on a small disc folder around the built launcher:
# tools/cd/make_iso.sh makes an image Windows reads as the folder plus
# autorun.inf, the same bytes every time, and refuses names a disc cannot
# hold; tools/cd/sign.sh signs in a way that verifies and can be undone.
#   usage: tests/cd/test_cd.sh EXE
set -uo pipefail
export TZ=UTC
top=$(cd "$(dirname "$0")/../.." && pwd)
[[ -f "${1:-}" ]] || { echo "usage: $0 EXE" >&2; exit 2; }
exe=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
passed=0
failed=0
check() { # check NAME COMMAND...
  local name=$1 out
  shift
  if out=$("$@" 2>&1); then
    echo "ok   $name"; passed=$((passed + 1))
  else
    echo "FAIL $name"; sed 's/^/     /' <<<"$out"; failed=$((failed + 1))
  fi
}

fake_disc() { # fake_disc DIR: the layout of the sample disc, with small files
  mkdir -p "$1/manual" "$1/reader" "$1/standalone"
  cp "$exe" "$1/Startboard.exe"
  echo "%PDF-1.4" >"$1/manual/manual.pdf"
  printf 'Disclaimer\r\n' >"$1/disclaim.txt"
  echo "<html></html>" >"$1/temphtm.htm"
  echo setup >"$1/reader/setup.exe"
  echo setup >"$1/standalone/setup.exe"
}
fake_disc disc
snapshot() { (cd "$1" && find . -printf '%y %m %s %T@ %p\n' | sort && find . -type f -exec md5sum {} + | sort); }
snapshot disc >before

# Both name trees Windows may read, as "TYPE /PATH" lines.
tree_of() { xorriso -read_fs "$2" -indev "$1" -find / -exec lsdl 2>/dev/null | sed -E "s/^(.)[^']*'(.*)'$/\1 \2/" | sort; }
expected_tree() { { echo "d /"; echo "- /autorun.inf"; (cd disc && find . -mindepth 1 -printf '%y /%P\n' | sed 's/^f /- /'); } | sort; }
extract() { xorriso -osirrox on -indev "$1" -extract "$2" "$3" >/dev/null 2>&1; }
joliet_label() { # the label of the Joliet volume descriptor (type 2, escape %/E)
  local sector
  for sector in {16..31}; do
    [[ $(od -An -c -j $((sector * 2048)) -N 6 "$1" | tr -d ' ') == 002CD001 &&
      $(od -An -c -j $((sector * 2048 + 88)) -N 3 "$1" | tr -d ' ') == %/[@CE] ]] || continue
    dd if="$1" bs=1 skip=$((sector * 2048 + 40)) count=32 status=none | iconv -f UTF-16BE -t UTF-8
    return
  done
}
image_is_the_folder() {
  diff <(expected_tree) <(tree_of a.iso norock) && diff <(expected_tree) <(tree_of a.iso nojoliet) &&
    extract a.iso / out && diff -r --exclude=autorun.inf disc out && cmp "$exe" out/Startboard.exe &&
    cmp out/autorun.inf <(printf '[autorun]\r\nopen=Startboard.exe\r\nicon=Startboard.exe,0\r\nlabel=Norvane 98\r\n') &&
    xorriso -indev a.iso -pvd_info 2>/dev/null | grep -qx 'Volume Id    : NORVANE98' &&
    [[ $(joliet_label a.iso) == "Norvane 98      " ]]
}
dated() { # dated ISO STAMP: the volume and every file carry that date
  xorriso -indev "$1" -pvd_info 2>/dev/null | grep -q "^Creation Time: $2" &&
    ! xorriso -indev "$1" -find / -exec lsdl 2>/dev/null | grep -v " ${3} "
}
same_bytes_from_a_copy() {
  cp -a disc copy && touch -d "2011-11-11 11:11" copy/disclaim.txt copy/manual &&
    TZ=Asia/Tokyo "$top/tools/cd/make_iso.sh" copy b.iso >/dev/null && cmp a.iso b.iso
}
refuses() { # refuses WHAT SETUP...: a disc changed by SETUP gives no image, and says WHAT
  local what=$1 err
  shift
  rm -rf bad && cp -a disc bad && (cd bad && "$@") || return 1
  if err=$("$top/tools/cd/make_iso.sh" bad bad.iso 2>&1); then echo "accepted"; return 1; fi
  [[ ! -e bad.iso ]] && grep -qF -- "$what" <<<"$err" || { echo "$err"; return 1; }
}

check "make_iso builds an image" "$top/tools/cd/make_iso.sh" disc a.iso
check "  ...the disc folder and autorun.inf, under Joliet and Rock Ridge names, labelled" image_is_the_folder
check "  ...the folder untouched" diff before <(snapshot disc)
check "  ...the same bytes from a copy made elsewhere, later" same_bytes_from_a_copy
check "  ...dated 2000-01-01 unless SOURCE_DATE_EPOCH says" dated a.iso 2000010100000000 "Jan  1  2000"
long=$(printf 'n%.0s' {1..60})
check "a 64-character name is taken" bash -c "rm -rf l && cp -a disc l && touch l/$long.txt &&
  '$top/tools/cd/make_iso.sh' l l.iso >/dev/null"
check "a 65-character name is refused" refuses "65 characters" touch "n$long.txt"
check "names equal but for case are refused" refuses "reader/setup.exe" touch reader/Setup.exe
check "a folder without Startboard.exe is refused" refuses "no Startboard.exe" rm Startboard.exe
check "a folder with its own autorun.inf is refused" refuses "already has an autorun.inf" touch AUTORUN.INF

# Throwaway certificates, valid one day.
for who in signer stranger; do
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -keyout $who.key -out $who.pem -subj "/CN=$who" \
    -addext extendedKeyUsage=codeSigning >/dev/null 2>&1
done
verifies() {
  local report
  report=$(osslsigncode verify -in signed.exe -CAfile signer.pem 2>&1) &&
    grep -q 'Message digest algorithm *: SHA256' <<<"$report" &&
    grep -q 'Text description: Norvane 98 Startboard' <<<"$report" || { echo "$report"; return 1; }
}
undone() { osslsigncode remove-signature -in signed.exe -out unsigned.exe >/dev/null && cmp unsigned.exe "$exe"; }
wrong_key_leaves_the_file() { ! "$top/tools/cd/sign.sh" failed.exe signer.pem stranger.key && cmp failed.exe "$exe"; }
cp "$exe" signed.exe
cp "$exe" failed.exe
check "sign.sh signs" "$top/tools/cd/sign.sh" signed.exe signer.pem signer.key
check "  ...with a SHA-256 signature that verifies, named for the product" verifies
check "  ...that comes off again, leaving the original bytes" undone
check "a key that does not match fails and leaves the file alone" wrong_key_leaves_the_file

echo "cd: $passed passed, $failed failed"
[[ $failed -eq 0 ]]

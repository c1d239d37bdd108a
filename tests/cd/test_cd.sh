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
  local out
  if out=$("${@:2}" 2>&1); then
    echo "ok   $1"; passed=$((passed + 1))
  else
    echo "FAIL $1"; sed 's/^/     /' <<<"$out"; failed=$((failed + 1))
  fi
}

# The layout of the sample disc, with small files.
mkdir -p disc/manual disc/reader disc/standalone
cp "$exe" disc/Startboard.exe
for file in manual/manual.pdf disclaim.txt temphtm.htm reader/setup.exe standalone/setup.exe; do
  echo "$file" >"disc/$file"
done
snapshot() { (cd "$1" && find . -printf '%y %m %s %T@ %p\n' | sort && find . -type f -exec md5sum {} + | sort); }
snapshot disc >before

# Both name trees Windows may read, as "TYPE /PATH" lines.
tree_of() { xorriso -read_fs "$2" -indev "$1" -find / -exec lsdl 2>/dev/null | sed -E "s/^(.)[^']*'(.*)'$/\1 \2/" | sort; }
expected_tree() { { echo "d /"; echo "- /autorun.inf"; (cd disc && find . -mindepth 1 -printf '%y /%P\n' | sed 's/^f /- /'); } | sort; }
image_is_the_folder() {
  diff <(expected_tree) <(tree_of a.iso norock) && diff <(expected_tree) <(tree_of a.iso nojoliet) &&
    xorriso -osirrox on -indev a.iso -extract / out >/dev/null 2>&1 &&
    diff -r --exclude=autorun.inf disc out && cmp "$exe" out/Startboard.exe &&
    cmp out/autorun.inf <(printf '[autorun]\r\nopen=Startboard.exe\r\nicon=Startboard.exe,0\r\nlabel=Norvane 98\r\n') &&
    xorriso -indev a.iso -pvd_info 2>/dev/null | grep -qx 'Volume Id    : NORVANE98' &&
    [[ $(/sbin/blkid -p -o value -s LABEL a.iso) == "Norvane 98" ]] # the Joliet label
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
  local err
  rm -rf bad bad.iso && cp -a disc bad && (cd bad && "${@:2}") || return 1
  if err=$("$top/tools/cd/make_iso.sh" bad bad.iso 2>&1); then echo "accepted"; return 1; fi
  [[ ! -e bad.iso ]] && grep -qF -- "$1" <<<"$err" || { echo "$err"; return 1; }
}

check "make_iso builds an image" "$top/tools/cd/make_iso.sh" disc a.iso
check "  ...the disc folder and autorun.inf, under Joliet and Rock Ridge names, labelled" image_is_the_folder
check "  ...the folder untouched" diff before <(snapshot disc)
check "  ...the same bytes from a copy made elsewhere, later" same_bytes_from_a_copy
check "  ...dated 2000-01-01 unless SOURCE_DATE_EPOCH says" dated a.iso 2000010100000000 "Jan  1  2000"
check "a 65-character name is refused" refuses "65 characters" touch "$(printf 'n%.0s' {1..61}).txt"
check "names equal but for case are refused" refuses "reader/setup.exe" touch reader/Setup.exe
check "a folder without Startboard.exe is refused" refuses "no Startboard.exe" rm Startboard.exe
check "a folder with its own autorun.inf is refused" refuses "already has an autorun.inf" touch AUTORUN.INF

# A throwaway certificate, valid one day.
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -keyout signer.key -out signer.pem -subj "/CN=signer" \
  -addext extendedKeyUsage=codeSigning >/dev/null 2>&1
verifies() {
  osslsigncode verify -in signed.exe -CAfile signer.pem >report 2>&1 &&
    grep -q 'Message digest algorithm *: SHA256' report &&
    grep -q 'Text description: Norvane 98 Startboard' report || { cat report; return 1; }
}
undone() { osslsigncode remove-signature -in signed.exe -out unsigned.exe >/dev/null && cmp unsigned.exe "$exe"; }
cp "$exe" signed.exe
check "sign.sh signs" "$top/tools/cd/sign.sh" signed.exe signer.pem signer.key
check "  ...with a SHA-256 signature that verifies, named for the product" verifies
check "  ...that comes off again, leaving the original bytes" undone

echo "cd: $passed passed, $failed failed"
[[ $failed -eq 0 ]]

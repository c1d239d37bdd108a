#!/usr/bin/env bash
# Checks a CD image against the disc folder it was made from: the tree under
# Joliet and Rock Ridge names, autorun.inf, the volume labels, and every
# file's bytes. With --extract-to DIR the extracted disc is kept in DIR (read
# only, as on a CD; chmod -R u+w before removing it).
#   usage: tests/cd/test_iso.sh [--extract-to DIR] [--exe BUILT_EXE] ISO DISC_DIR
set -uo pipefail

keep=""
built=""
while [[ $# -gt 2 ]]; do
  case $1 in
    --extract-to) keep=$2; shift 2 ;;
    --exe) built=$2; shift 2 ;;
    *) break ;;
  esac
done
[[ $# -eq 2 ]] || { echo "usage: $0 [--extract-to DIR] [--exe BUILT_EXE] ISO DISC_DIR" >&2; exit 2; }
iso=$1
disc=$2
built=${built:-$disc/Startboard.exe}

source "$(dirname "$0")/check.sh"

work=$(mktemp -d)
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
extracted=${keep:-$work/extracted}

# "TYPE 'PATH'" per entry, in xorriso's quoting: d for folders, - for files.
listing_of_image() { # listing_of_image norock|nojoliet
  xorriso -read_fs "$1" -indev "$iso" -find / -exec lsdl 2>/dev/null |
    sed -E "s/^(.)[^']*('.*)$/\1 \2/" | LC_ALL=C sort
}
expected_listing() {
  { echo "d /"; echo "- /autorun.inf"
    (cd "$disc" && find . -mindepth 1 -printf '%y /%P\n' | sed -E 's/^f /- /')
  } | while IFS= read -r line; do
    path=${line:2}
    printf "%s '%s'\n" "${line:0:1}" "${path//\'/\'\"\'\"\'}"
  done | LC_ALL=C sort
}
same_tree() { diff <(expected_listing) <(listing_of_image "$1"); }

# Reads LEN bytes at OFFSET of the image as od characters, no spaces.
bytes_at() { od -An -c -j "$1" -N "$2" "$iso" | tr -d ' \n'; }

volume_id() {
  local id
  id=$(xorriso -indev "$iso" -pvd_info 2>/dev/null | sed -n 's/^Volume Id *: //p')
  [[ "$id" == NORVANE98 ]] || { echo "volume id is '$id'"; return 1; }
}
joliet_label() {
  local sector base label
  for ((sector = 16; sector < 32; sector++)); do
    base=$((sector * 2048))
    [[ $(bytes_at $((base + 1)) 5) == CD001 && $(bytes_at "$base" 1) != 377 ]] || break
    [[ $(bytes_at "$base" 1) == 002 && $(bytes_at $((base + 88)) 3) == %/[@CE] ]] || continue
    label=$(dd if="$iso" bs=1 skip=$((base + 40)) count=32 status=none | iconv -f UTF-16BE -t UTF-8)
    [[ "$label" == "Norvane 98      " ]] || { echo "Joliet label is '$label'"; return 1; }
    return 0
  done
  echo "no Joliet volume descriptor"; return 1
}

extract() { xorriso -osirrox on -indev "$iso" -extract "$1" "$2" >/dev/null 2>&1; }
autorun_crlf() {
  local lines crlf
  lines=$(wc -l <"$work/autorun.inf")
  crlf=$(grep -c $'\r$' "$work/autorun.inf")
  [[ $lines -eq 4 && $crlf -eq 4 ]] || { echo "$crlf of $lines lines end in CRLF"; od -c "$work/autorun.inf"; return 1; }
}
autorun_lines() {
  diff <(printf '%s\n' '[autorun]' 'open=Startboard.exe' 'icon=Startboard.exe,0' 'label=Norvane 98') \
    <(tr -d '\r' <"$work/autorun.inf")
}
exe_identical() {
  extract /Startboard.exe "$work/Startboard.exe" || { echo "cannot extract /Startboard.exe"; return 1; }
  cmp "$built" "$work/Startboard.exe"
}
extract_all() {
  if [[ -e "$extracted" ]] && [[ -n $(ls -A "$extracted") ]]; then
    echo "$extracted is not empty"; return 1
  fi
  extract / "$extracted" || { echo "xorriso could not extract the image"; return 1; }
  diff -r --exclude=autorun.inf "$disc" "$extracted" && cmp "$work/autorun.inf" "$extracted/autorun.inf"
}

# Stop here without an image: xorriso would take a missing path as a blank disc.
is_iso() { [[ -f "$iso" && $(bytes_at 32769 5) == CD001 ]] || { echo "$iso: no ISO 9660 image"; return 1; }; }
check "image exists and is ISO 9660" is_iso
if [[ $failed -ne 0 ]]; then echo "cd: $passed passed, $failed failed"; exit 1; fi
check "Joliet tree matches the disc folder plus autorun.inf" same_tree norock
check "Rock Ridge tree matches the disc folder plus autorun.inf" same_tree nojoliet
check "volume id is NORVANE98" volume_id
check "Joliet volume label is 'Norvane 98'" joliet_label
check "autorun.inf extracts from the root" extract /autorun.inf "$work/autorun.inf"
check "autorun.inf has four lines, all CRLF" autorun_crlf
check "autorun.inf text" autorun_lines
check "Startboard.exe byte-identical to $built" exe_identical
check "whole image extracts to the disc folder's files" extract_all

echo "cd: $passed passed, $failed failed"
[[ $failed -eq 0 ]]

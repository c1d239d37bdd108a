#!/usr/bin/env bash
# Makes the CD image: ISO 9660 with Joliet and Rock Ridge names, the brand's
# volume label (and Joliet label), DISC_DIR's tree plus a generated
# autorun.inf that starts the brand's exe. Same input, same bytes: all dates
# come from SOURCE_DATE_EPOCH (default 2000-01-01) and xorriso writes
# directories in sorted order.
#   usage: tools/cd/make_iso.sh DISC_DIR OUT_ISO [BRAND.toml]   (default: assets/brand.toml)
set -euo pipefail

die() { echo "make_iso: $*" >&2; exit 1; }

[[ $# -eq 2 || $# -eq 3 ]] || die "usage: $0 DISC_DIR OUT_ISO [BRAND.toml]"
disc=$1
out=$2
brand=${3:-$(dirname "$0")/../../assets/brand.toml}
get() { /usr/bin/python3 "$(dirname "$0")/../brand/brand.py" get "$brand" "$1"; }
EXE=$(get exe) && JOLIET_LABEL=$(get label) && VOLUME_ID=$(get volume_id) || exit 1
JOLIET_MAX=64 # UCS-2 characters per name
[[ -d "$disc" ]] || die "$disc: not a folder"
[[ -f "$disc/$EXE" ]] || die "$disc: no $EXE at the root (autorun.inf opens it)"
if find "$disc" -maxdepth 1 -iname autorun.inf | grep -q .; then
  die "$disc: already has an autorun.inf; it is generated here"
fi
epoch=${SOURCE_DATE_EPOCH:-946684800}
[[ "$epoch" =~ ^[0-9]+$ ]] || die "SOURCE_DATE_EPOCH must be a number of seconds"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
stage=$work/disc

# Windows reads the Joliet names: at most 64 UCS-2 characters, none of
# * / : ; ? \ or control characters, and no two equal but for case.
check_names() {
  local bad=0 path name units
  while IFS= read -r -d '' path; do
    name=${path##*/}
    path=$disc/${path#"$1"/}
    if ! units=$(printf '%s' "$name" | iconv -f UTF-8 -t UTF-16LE 2>/dev/null | wc -c); then
      echo "make_iso: $path: name is not valid UTF-8" >&2; bad=1; continue
    fi
    units=$((units / 2))
    if ((units > JOLIET_MAX)); then
      echo "make_iso: $path: name has $units characters, Joliet allows $JOLIET_MAX" >&2; bad=1
    fi
    if [[ "$name" == *[*:\;?\\]* || "$name" =~ [[:cntrl:]] ]]; then
      echo "make_iso: $path: name has a character Joliet forbids (* : ; ? \\ or control)" >&2; bad=1
    fi
  done < <(find "$1" -mindepth 1 -print0)
  local clashes
  clashes=$(cd "$1" && find . -mindepth 1 -printf '%P\n' | awk '{ print tolower($0) }' | sort | uniq -d)
  if [[ -n "$clashes" ]]; then
    echo "make_iso: names that differ only by case: $clashes" >&2; bad=1
  fi
  return $bad
}

# Copy, never touching DISC_DIR; symbolic links become the files they name.
cp -RL "$disc" "$stage"
check_names "$stage" || die "$disc: names that do not fit on the disc"
printf '[autorun]\r\nopen=%s\r\nicon=%s,0\r\nlabel=%s\r\n' "$EXE" "$EXE" "$JOLIET_LABEL" \
  >"$stage/autorun.inf"

mkdir -p "$(dirname "$out")"
tmp_iso="$out.tmp.$$"
trap 'rm -rf "$work" "$tmp_iso"' EXIT
# SOURCE_DATE_EPOCH fixes the volume dates and id; file dates are set apart.
if ! SOURCE_DATE_EPOCH=$epoch xorriso -as mkisofs -quiet \
  -o "$tmp_iso" -V "$VOLUME_ID" -J -r \
  --set_all_file_dates "=$epoch" \
  "$stage" >"$work/xorriso.log" 2>&1; then
  cat "$work/xorriso.log" >&2
  die "xorriso failed"
fi

# xorriso copies the ISO label into the Joliet descriptor; put the mixed-case
# label there instead (volume id field: offset 40, 16 UCS-2BE characters).
bytes_at() { od -An -c -j "$1" -N "$2" "$tmp_iso" | tr -d ' \n'; }
joliet_sector=""
for ((sector = 16; sector < 32; sector++)); do
  base=$((sector * 2048))
  [[ $(bytes_at $((base + 1)) 5) == CD001 ]] || break
  type=$(bytes_at $base 1)
  [[ $type == 377 ]] && break
  if [[ $type == 002 && $(bytes_at $((base + 88)) 3) == %/[@CE] ]]; then
    joliet_sector=$sector
    break
  fi
done
[[ -n "$joliet_sector" ]] || die "no Joliet descriptor in the image"
printf '%-16s' "$JOLIET_LABEL" | iconv -f ASCII -t UTF-16BE |
  dd of="$tmp_iso" bs=1 seek=$((joliet_sector * 2048 + 40)) conv=notrunc status=none

# The launcher on the disc must be the very file that was built.
xorriso -osirrox on -indev "$tmp_iso" -extract "/$EXE" "$work/$EXE" >/dev/null 2>&1 ||
  die "cannot read $EXE back from the image"
cmp -s "$work/$EXE" "$disc/$EXE" || die "$EXE in the image differs from $disc/$EXE"

mv "$tmp_iso" "$out"
echo "make_iso: $out ($(stat -c %s "$out") bytes)"

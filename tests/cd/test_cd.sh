#!/usr/bin/env bash
# The disc tools on a small disc folder around the built launcher:
# tools/cd/make_iso.sh makes an image Windows reads as the folder plus
# autorun.inf, the same bytes every time, with the label in each field as
# far as it holds it, and refuses names a disc cannot hold;
# tools/sample_disc/make_disc.sh finds the brand's files whatever their case;
# tools/cd/sign.sh signs in a way that verifies and can be undone.
#   usage: tests/cd/test_cd.sh EXE   (beside tools/sample_disc/standin_setup.exe)
set -uo pipefail
export TZ=UTC
top=$(cd "$(dirname "$0")/../.." && pwd)
[[ -f "${1:-}" ]] || { echo "usage: $0 EXE" >&2; exit 2; }
exe=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
source "$top/tests/cd/checks.sh"

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
refuses() { # refuses WHAT SETUP...: a disc changed by SETUP gives no image (an earlier one goes), and says WHAT
  local err
  rm -rf bad && cp -a disc bad && (cd bad && "${@:2}") && echo "an earlier image" >bad.iso || return 1
  if err=$("$top/tools/cd/make_iso.sh" bad bad.iso ${brand:+"$brand"} 2>&1); then echo "accepted"; return 1; fi
  [[ ! -e bad.iso ]] && grep -qF -- "$1" <<<"$err" || { echo "$err"; return 1; }
}
# brand_with FOLDER SED-SCRIPT: FOLDER/brand.toml, the default brand beside its pictures, edited.
brand_with() { rm -rf "$1" && mkdir "$1" && cp "$top"/assets/* "$1"/ && sed -i "$2" "$1/brand.toml"; }

# The image as Windows reads it, through its Joliet names, by a reader other than the writer.
read_back() { /usr/bin/python3 "$top/tests/cd/read_iso.py" "$@"; }
autorun_text() { # autorun_text LABEL ascii|utf16
  local lines='[autorun]\r\nopen=Startboard.exe\r\nicon=Startboard.exe,0\r\nlabel=%s\r\n'
  # shellcheck disable=SC2059 # the format is the file's lines
  if [[ $2 == ascii ]]; then printf "$lines" "$1"; else printf '\xff\xfe' && printf "$lines" "$1" | iconv -t UTF-16LE; fi
}
labelled() { # labelled LABEL SHOWN ascii|utf16: SHOWN is the volume label, LABEL whole in autorun.inf
  local err
  brand_with label "s/^label = .*/label = \"$1\"/" &&
    err=$("$top/tools/cd/make_iso.sh" disc l.iso label/brand.toml 2>&1 >/dev/null) || { echo "$err"; return 1; }
  if [[ $1 == "$2" ]]; then [[ -z $err ]]; else grep -qF "Windows shows \"$2\" for the drive" <<<"$err"; fi ||
    { echo "warning: $err"; return 1; }
  diff <(printf 'label: %s\nescape: %%/E\n' "$2" && expected_tree | grep -v '^d /$') <(read_back l.iso) &&
    read_back l.iso Startboard.exe l.exe && cmp l.exe "$exe" &&
    read_back l.iso autorun.inf l.inf && cmp l.inf <(autorun_text "$1" "$3")
}
spaced_exe() { # the brand's exe is "Atlas Setup.exe"
  local brand=spaced/brand.toml
  brand_with spaced '/^\[identity\]/a exe = "Atlas Setup.exe"' &&
    refuses "Atlas Setup.exe" mv Startboard.exe "Atlas Setup.exe"
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
check "an exe name with a space is refused: open= would start another file" spaced_exe
check "a 16-character label: whole in every field, read back with every name and the exe" \
  labelled "Sixteen letters!" "Sixteen letters!" ascii
check "a 17-character label: cut to 16 for the volume label, with a warning; whole in autorun.inf" \
  labelled "Seventeen letters" "Seventeen letter" ascii
check "a 32-character label: the same, and the Joliet descriptor intact" \
  labelled "Thirty-two letters on this label" "Thirty-two lette" ascii
check "a non-ASCII label: UCS-2 in the volume label, UTF-16 with a byte-order mark in autorun.inf" \
  labelled "Éditions Ødegård 98" "Éditions Ødegård" utf16

# make_disc finds the files a brand names as Windows does, without regard to
# case: in the right folder as the disc spells it, never beside it.
standins="$(dirname "$exe")"
brand_with cased 's|^show_first = .*|show_first = "docs/licence.txt"|; /^\[disc\]/a files = "disc"'
mkdir -p cased/disc/Docs cased/disc/Manual
echo "licence" >cased/disc/Docs/Licence.TXT
echo "index" >cased/disc/Manual/index.txt
echo htm >cased/disc/TempHtm.HTM # a probe page the brand names must be among its files
laid_out_in_its_case() {
  local err
  err=$("$top/tools/sample_disc/make_disc.sh" out "$standins" cased/brand.toml 2>&1 >/dev/null) || { echo "$err"; return 1; }
  ! grep -qi licence <<<"$err" && grep -qF 'manual\manual.pdf' <<<"$err" || { echo "warnings: $err"; return 1; }
  [[ -f out/Docs/Licence.TXT && -f out/Manual/manual.pdf && ! -e out/docs && ! -e out/manual ]] ||
    { find out; return 1; }
}
whole_in_its_case() {
  echo pdf >cased/disc/Manual/MANUAL.PDF && mkdir -p cased/disc/READER cased/disc/Standalone &&
    echo exe >cased/disc/READER/Setup.exe && echo exe >cased/disc/Standalone/SETUP.EXE &&
    "$top/tools/sample_disc/make_disc.sh" out "$standins" cased/brand.toml --strict &&
    diff <(cd cased/disc && find . | sort) <(cd out && find . ! -name Startboard.exe | sort)
}
clash_refused() {
  local err
  echo "another licence" >cased/disc/Docs/licence.txt && mkdir -p out && touch out/stale &&
    if err=$("$top/tools/sample_disc/make_disc.sh" out "$standins" cased/brand.toml 2>&1); then
      echo "accepted"; return 1
    fi
  [[ ! -e out ]] && grep -F "Docs/Licence.TXT and Docs/licence.txt" <<<"$err" | grep -qF 'docs\licence.txt' ||
    { echo "$err"; return 1; }
}
own_probe_page() { # a brand that names none gets the build's own, which is no stand-in
  local err
  brand_with probe '/^probe_page = /d' &&
    err=$("$top/tools/sample_disc/make_disc.sh" out "$standins" probe/brand.toml 2>&1 >/dev/null) || { echo "$err"; return 1; }
  ! grep -qi probe <<<"$err" && grep -q "tells the launcher" out/probe.htm || { echo "$err"; ls out; return 1; }
}
check "make_disc: a brand that names no probe page gets one, without a warning" own_probe_page
check "make_disc: a key in another case finds its file, and a stand-in goes in the folder as the disc spells it" \
  laid_out_in_its_case
check "  ...with every file there in other cases, STRICT passes and nothing is added" whole_in_its_case
check "  ...two files equal but for case are refused, naming both and the key, and no disc is left" clash_refused

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

totals cd

#!/usr/bin/env bash
# The make targets as a newcomer and a publisher run them, in a copy of the
# tree as a commit holds it: `make run` without a display names its exe and
# saves a screenshot, the menu in its middle; a brand in a folder whose path
# holds a space, a non-ASCII letter, # and $, with its own exe name, PNG
# pictures, icon and cursor and a disc folder in other cases, builds with
# STRICT=1 into an image named after the exe, and nothing the second time; a
# failed make cd or make preview leaves no disc, image or picture behind;
# folders CMake or Ninja cannot name are refused in one line.
#   usage: tests/cd/test_make.sh
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
source "$top/tests/cd/checks.sh"

src=$work/src
mkdir "$src" && git -C "$top" ls-files -zco --exclude-standard | tar -C "$top" --null -T - -cf - | tar -C "$src" -xf - || exit 2
# run OUT [VAR=VALUE...] make ARGS...: make in the copy, its output in OUT
run() { local out=$1; shift; env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL "$@" -C "$src" >"$work/$out" 2>&1; }
expect() { # expect PATTERN FILE: FILE holds PATTERN (a fixed string)
  grep -qF -- "$1" "$work/$2" || { echo "no \"$1\" in:"; cat "$work/$2"; return 1; }
}
brand_in() { # brand_in FOLDER SED-SCRIPT: the default brand there, edited
  mkdir -p "$1" && cp "$top"/assets/* "$1"/ && sed -i "$2" "$1/brand.toml"
}

newcomer() {
  run run -u DISPLAY make run && expect "Running build/cd" run && /usr/bin/python3 - <<PY
from PIL import Image
shot, menu = (Image.open(path).convert("RGB") for path in ("$src/build/screenshot.png", "$top/assets/menu.bmp"))
x, y = (shot.width - menu.width) // 2, (shot.height - menu.height) // 2
same = sum(a == b for a, b in zip(shot.crop((x, y, x + menu.width, y + menu.height)).getdata(), menu.getdata()))
raise SystemExit(0 if same > 0.95 * menu.width * menu.height else "the menu picture is not in the screenshot's middle")
PY
}
check "make run first, without a display: says which exe runs; build/screenshot.png, the menu in its middle" newcomer

folder="$work/Mes Disques é #1 \$5"
brand="$folder/brand.toml"
brand_in "$folder" '/^\[identity\]/a exe = "Atlas.exe"
/^\[disc\]/a files = "disc"
s|^show_first = .*|show_first = "docs/licence.txt"|'
# A publisher's inputs: PNG pictures, a PNG icon and a PNG cursor with its hotspot.
/usr/bin/python3 - "$folder" <<'PY' || exit 2
import sys
from PIL import Image
folder = sys.argv[1]
Image.open(folder + "/menu.bmp").save(folder + "/menu.png")
Image.open(folder + "/menu-2x.jpg").save(folder + "/menu-2x.png")
Image.new("RGBA", (64, 64), (40, 90, 160, 255)).save(folder + "/icon.png")
hand = Image.new("RGBA", (48, 48), (0, 0, 0, 0))
hand.paste((255, 255, 255, 255), (12, 0, 24, 40))
hand.save(folder + "/hand.png")
PY
sed -i 's|^picture = .*|picture = "menu.png"|; s|^picture_2x = .*|picture_2x = "menu-2x.png"|
s|^icon = .*|icon = "icon.png"|; s|^cursor = .*|cursor = "hand.png"\ncursor_hotspot = [18, 0]|' "$brand"
for file in Docs/Licence.TXT Manual/MANUAL.PDF READER/Setup.exe Standalone/SETUP.EXE TempHtm.HTM; do
  mkdir -p "$(dirname "$folder/disc/$file")" && echo "$file" >"$folder/disc/$file"
done

built() {
  before=$(ls "$src/build") && run first make cd BRAND="$brand" STRICT=1 || { cat "$work/first"; return 1; }
  [[ $(ls "$src/build") == "$(sort <<<"$before"$'\nAtlas.iso')" ]] || { ls "$src/build"; return 1; }
  [[ -f $src/build/cd/Atlas.exe && -f $src/build/cd/Docs/Licence.TXT && ! -e $src/build/cd/docs ]] || return 1
  ! grep -q "warning" "$work/first" || { cat "$work/first"; return 1; }
  # The PNG icon and cursor became the sizes Windows takes (none above the 64-pixel icon).
  /usr/bin/python3 - "$src/build/cd/Atlas.exe" <<'PY'
import sys
import pefile
pe = pefile.PE(sys.argv[1])
groups = {kind.id: pe.get_data(entry.directory.entries[0].data.struct.OffsetToData,
                               entry.directory.entries[0].data.struct.Size)
          for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries if kind.id in (12, 14) for entry in kind.directory.entries}
sizes = {kind: sorted(group[6 + 14 * i] or 256 for i in range(group[4])) for kind, group in groups.items()}
sys.exit(0 if sizes == {12: [32, 48, 64], 14: [16, 32, 48]} else "icon and cursor sizes: %r" % sizes)
PY
}
built_again() { run again make cd BRAND="$brand" STRICT=1 && expect "ninja: no work to do." again; }
gone() { [[ ! -e $src/build/cd && ! -e $src/build/Atlas.iso ]] || { ls -R "$src/build" | head; return 1; }; }
failed_image() { ! run epoch SOURCE_DATE_EPOCH=never make cd BRAND="$brand" && expect "SOURCE_DATE_EPOCH" epoch && gone; }
failed_disc() {
  run first make cd BRAND="$brand" STRICT=1 && mv "$folder/disc/TempHtm.HTM" "$work/" || return 1
  ! run strict make cd BRAND="$brand" STRICT=1 && expect 'temphtm.htm' strict && gone
  local status=$?
  mv "$work/TempHtm.HTM" "$folder/disc/"
  return $status
}
check "make cd STRICT=1: a brand in \"Mes Disques é #1 \$5/\", PNG inputs, its files in other cases: it adds build/Atlas.iso alone" built
check "  ...and again, nothing to build" built_again
check "  ...a failed image leaves no disc and no image" failed_image
check "  ...a failed disc (STRICT=1, a file gone) leaves neither" failed_disc

failed_preview() {
  run preview make preview BRAND="$brand" && [[ -f $src/build/preview.png ]] || return 1
  sed -i 's/^label = .*/label = 98/' "$brand"
  ! run bad make preview BRAND="$brand" && expect "disc.label" bad && [[ ! -e $src/build/preview.png ]]
}
check "a failed make preview leaves no picture" failed_preview

refused() { # refused FOLDER LINE: make disc with a brand there stops, saying LINE
  brand_in "$work/$1" "" && ! run refused make disc BRAND="$work/$1/brand.toml" && expect "$2" refused
}
check "a brand folder with ' or & is refused in one line: Ninja's depfiles cannot name it" \
  refused "O'Neil & Co" "Ninja's dependency files cannot hold & ' in a path; rename the folder"
check "a brand folder with ; or \\ is refused in one line: CMake cannot be given it" \
  refused 'a;b\c' "CMake cannot be given a path with ; or \\; rename the folder"

totals publish

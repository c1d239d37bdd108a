#!/usr/bin/env bash
# Installs the Debian packages a set of targets needs, when some are missing:
#   tools/ensure_deps.sh publisher   make preview, edit, disc, cd and sign: the
#                                    cross compiler, Python with Pillow and
#                                    tomlkit, xorriso, the image reader,
#                                    osslsigncode
#   tools/ensure_deps.sh test        all that, and the test bench (Wine, Xvfb,
#                                    the native build, lint, valgrind, the
#                                    designer's browser: chromium, its driver)
# As root it runs apt-get; otherwise it prints the line to run.
# Wine's 32-bit half (to run the 32-bit product) is tried twice; when it
# cannot be installed the tests run the 64-bit build instead, and say so.
set -euo pipefail

publisher=(
  cmake ninja-build g++-mingw-w64-i686 binutils-mingw-w64-i686
  python3 python3-pil python3-pefile python3-tomlkit fonts-dejavu-core
  xorriso python3-pycdlib osslsigncode
)
case "${1:-}" in
  publisher)
    packages=("${publisher[@]}")
    wine32=()
    ;;
  test)
    packages=(
      "${publisher[@]}"
      g++ libgtest-dev g++-mingw-w64-x86-64
      wine wine64 xvfb xdotool x11-utils imagemagick
      python3-xlib python3-pytest python3-tomli-w fonts-wine
      clang-tidy clang-format cppcheck valgrind openssl pyflakes3 mypy
      chromium chromium-driver python3-selenium
    )
    wine32=(wine32:i386 libxcursor1:i386)
    ;;
  *)
    echo "usage: $0 publisher|test" >&2
    exit 2
    ;;
esac

missing() {
  local package status
  for package in "$@"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [[ "$status" == installed ]] || echo "$package"
  done
}

mapfile -t needed < <(missing "${packages[@]}")
mapfile -t needed32 < <(missing ${wine32[@]+"${wine32[@]}"})
[[ ${#needed[@]} -eq 0 && ${#needed32[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -ne 0 ]]; then
  echo "Missing packages; run as root: ${needed32[0]:+dpkg --add-architecture i386 && }apt-get update &&" \
    "apt-get install -y --no-install-recommends ${needed[*]} ${needed32[*]}" >&2
  [[ ${#needed[@]} -eq 0 ]]  # without Wine's 32-bit half the tests fall back to 64-bit
  exit
fi
export DEBIAN_FRONTEND=noninteractive
install() { apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }
if [[ ${#needed32[@]} -gt 0 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
if [[ ${#needed[@]} -gt 0 ]]; then
  echo "Installing: ${needed[*]}"
  install "${needed[@]}"
fi
if [[ ${#needed32[@]} -gt 0 ]]; then
  echo "Installing: ${needed32[*]}"
  # The i386 archive has lagged the amd64 one before: try again once.
  install "${needed32[@]}" || { apt-get update -qq && install "${needed32[@]}"; } ||
    echo "Could not install Wine's 32-bit half (${needed32[*]}): the tests will run the 64-bit build." >&2
fi

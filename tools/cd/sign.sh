#!/usr/bin/env bash
# Signs EXE in place with Authenticode (SHA-256) through osslsigncode. CERT is
# the PEM certificate (with its chain, if any) and KEY its private key. A
# TIMESTAMP_URL, when given, adds an RFC 3161 time stamp; INFO_URL in the
# environment, when set, becomes the signature's "more information" link.
#   usage: tools/cd/sign.sh EXE CERT KEY [TIMESTAMP_URL]
# The description is the product's name from BRAND (default assets/brand.toml).
set -euo pipefail

brand=$(realpath -m -- "${BRAND:-$(dirname "$0")/../../assets/brand.toml}")
DESCRIPTION=$(cd "$(dirname "$0")/../.." && /usr/bin/python3 -m tools.brand get "$brand" product) || exit 1

die() { echo "sign: $*" >&2; exit 1; }

[[ $# -eq 3 || $# -eq 4 ]] || die "usage: $0 EXE CERT KEY [TIMESTAMP_URL]"
exe=$1
cert=$2
key=$3
timestamp_url=${4:-}
for file in "$exe" "$cert" "$key"; do
  [[ -f "$file" ]] || die "$file: no such file"
done

args=(sign -certs "$cert" -key "$key" -h sha256 -n "$DESCRIPTION")
[[ -n "${INFO_URL:-}" ]] && args+=(-i "$INFO_URL")
[[ -n "$timestamp_url" ]] && args+=(-ts "$timestamp_url")

# Sign into a temp file beside EXE and rename it over EXE only on success,
# so a failed run leaves the unsigned file as it was.
tmp="$(dirname "$exe")/.$(basename "$exe").signing.$$"
trap 'rm -f "$tmp"' EXIT
if ! log=$(osslsigncode "${args[@]}" -in "$exe" -out "$tmp" 2>&1); then
  echo "$log" >&2
  die "osslsigncode could not sign $exe"
fi
chmod --reference="$exe" "$tmp"
mv "$tmp" "$exe"
echo "sign: signed $exe${timestamp_url:+ (time stamp from $timestamp_url)}"

#!/usr/bin/env bash
# Checks tools/cd/sign.sh on a copy of EXE with throwaway certificates: the
# signature verifies, is SHA-256 and carries the product's name; the time
# stamp (from a local RFC 3161 server) and the info link appear only when
# asked for; removing the signature gives back the original bytes; a failed
# run leaves the file alone.
#   usage: tests/cd/test_sign.sh EXE
set -uo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
sign=$top/tools/cd/sign.sh
[[ $# -eq 1 && -f "$1" ]] || { echo "usage: $0 EXE" >&2; exit 2; }

source "$(dirname "$0")/check.sh"

exe=$(realpath "$1")
work=$(mktemp -d)
tsa_pid=""
trap '[[ -n "$tsa_pid" ]] && kill "$tsa_pid" 2>/dev/null; rm -rf "$work"' EXIT
cd "$work" || exit 2
cp "$exe" original.exe
chmod 755 original.exe # so a kept mode shows

# Throwaway self-signed certificates, RSA 2048, valid one day.
make_cert() { # make_cert NAME USAGE SUBJECT
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -keyout "$1.key" -out "$1.pem" \
    -subj "$3" -addext "extendedKeyUsage=$2" -addext "keyUsage=critical,digitalSignature" \
    >/dev/null 2>&1 || { echo "openssl could not make the $1 certificate" >&2; exit 2; }
}
make_cert signer codeSigning "/CN=Quillmere Software Test/O=Quillmere Software, Inc."
make_cert stranger codeSigning "/CN=Someone Else"
make_cert tsa critical,timeStamping "/CN=Local Test TSA"

verify() { # verify FILE [osslsigncode verify options]: prints the report, fails like it
  local file=$1
  shift
  osslsigncode verify -in "$file" "$@" 2>&1
}
signed_ok() { # signed_ok FILE: valid SHA-256 signature by the signer certificate
  local report
  report=$(verify "$1" -CAfile signer.pem) || { echo "$report"; return 1; }
  grep -q '^Signature verification: ok' <<<"$report" || { echo "$report"; return 1; }
  grep -q '^Message digest algorithm *: SHA256' <<<"$report" || { echo "not SHA-256:"; echo "$report"; return 1; }
}
has() { grep -qF -- "$2" <<<"$(verify "$1" -CAfile signer.pem -TSA-CAfile tsa.pem)"; }
unsigned() { # unsigned FILE: osslsigncode finds no signature
  local report
  if report=$(verify "$1" -CAfile signer.pem) || ! grep -q 'No signature found' <<<"$report"; then
    echo "$report"; return 1
  fi
}
rejected() { # rejected FILE CA: the signature does not chain to CA
  local report
  if report=$(verify "$1" -CAfile "$2") || ! grep -q '^Signature verification: failed' <<<"$report"; then
    echo "$report"; return 1
  fi
}
no_leftovers() { ! compgen -G ".*.signing.*"; }
round_trip() { # round_trip FILE: removing the signature gives back original.exe
  osslsigncode remove-signature -in "$1" -out "$1.removed" >/dev/null && cmp "$1.removed" original.exe
}
plain_only() { ! verify plain.exe -CAfile signer.pem | grep -E 'URL description|^Timestamp time'; }
resign() {
  "$sign" again.exe signer.pem signer.key >/dev/null || return 1
  [[ $(verify again.exe -CAfile signer.pem | grep -c '^Signature Index:') -eq 1 ]] || return 1
  round_trip again.exe
}
sign_with_link() { INFO_URL=https://quillmere.example/norvane "$sign" linked.exe signer.pem signer.key; }
sign_stamped() { "$sign" stamped.exe signer.pem signer.key "$tsa_url" && [[ -s tsa.requests ]]; }
bad_key_fails() {
  if "$sign" failed.exe signer.pem stranger.key; then return 1; fi
  cmp failed.exe original.exe && no_leftovers
}

check "unsigned original fails osslsigncode verify" unsigned original.exe

cp original.exe plain.exe
check "sign.sh signs a copy" "$sign" plain.exe signer.pem signer.key
check "  ...signature valid and SHA-256" signed_ok plain.exe
check "  ...description 'Norvane 98 Startboard'" has plain.exe "Text description: Norvane 98 Startboard"
check "  ...no info link and no time stamp unless asked" plain_only
check "  ...keeps the file's mode" bash -c '[[ $(stat -c %a plain.exe) == 755 ]]'
check "  ...no temp file left" no_leftovers
check "  ...does not verify against another certificate" rejected plain.exe stranger.pem
check "  ...remove-signature gives back the original bytes" round_trip plain.exe

cp plain.exe again.exe
check "signing a signed file replaces its signature" resign

cp original.exe linked.exe
check "INFO_URL becomes the info link" sign_with_link
check "  ...shown as URL description" has linked.exe "URL description: https://quillmere.example/norvane"

# A local time stamp server: openssl ts answers the requests osslsigncode posts.
cat >tsa.cnf <<'CNF'
[tsa]
default_tsa = local
[local]
serial = tsa.serial
signer_cert = tsa.pem
signer_key = tsa.key
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha1, sha256, sha384, sha512
accuracy = secs:1
ess_cert_id_alg = sha256
CNF
echo 01 >tsa.serial
/usr/bin/python3 - >tsa.port 2>tsa.log <<'PY' &
import http.server, subprocess
class Stamp(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        reply = subprocess.run(["openssl", "ts", "-reply", "-config", "tsa.cnf", "-queryfile",
                                "/dev/stdin", "-out", "/dev/stdout"], input=query, capture_output=True)
        self.send_response(200 if reply.returncode == 0 else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply.stdout)))
        self.end_headers()
        self.wfile.write(reply.stdout)
    def log_message(self, *args):
        open("tsa.requests", "a").write("request\n")
server = http.server.HTTPServer(("127.0.0.1", 0), Stamp)
print(server.server_address[1], flush=True)
server.serve_forever()
PY
tsa_pid=$!
for _ in {1..50}; do [[ -s tsa.port ]] && break; sleep 0.1; done
tsa_url="http://127.0.0.1:$(cat tsa.port)/"

cp original.exe stamped.exe
check "a time stamp URL is used" sign_stamped
check "  ...signature valid and SHA-256" signed_ok stamped.exe
check "  ...time stamp verifies" has stamped.exe "Timestamp Server Signature verification: ok"

cp original.exe failed.exe
check "a key that does not match the certificate fails, file left alone" bad_key_fails

echo "sign: $passed passed, $failed failed"
[[ $failed -eq 0 ]]

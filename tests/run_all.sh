#!/usr/bin/env bash
# Runs every suite and ends with one line of totals. Each suite prints its
# own "N passed, N failed"; ctest prints its usual summary.
set -uo pipefail
cd "$(dirname "$0")/.."

passed=0
failed=0
status=0

# Adds a suite's counts from its output; a suite that printed no counts but
# failed counts as one failure.
tally() {
  local name=$1 rc=$2 log=$3 p f line
  line=$(grep -E '^[a-z0-9]+: [0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
  if [[ -n "$line" ]]; then
    p=$(sed -E 's/^[a-z0-9]+: ([0-9]+) passed.*/\1/' <<<"$line")
    f=$(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$line")
  elif line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1); then
    local total
    f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* tests failed out of ([0-9]+).*/\1/' <<<"$line")
    p=$((total - f))
  elif line=$(grep -E '^Ran [0-9]+ tests? in' "$log" | tail -n 1); then
    # Python's unittest: all passed, or the failures and errors it lists.
    local total
    total=$(sed -E 's/^Ran ([0-9]+).*/\1/' <<<"$line")
    f=$(($(grep -E '^FAILED \(' "$log" | grep -oE '[0-9]+' | paste -sd+ -) + 0))
    p=$((total - f))
  else
    p=0
    f=$((rc != 0))
  fi
  [[ $rc -ne 0 && $f -eq 0 ]] && f=1
  passed=$((passed + p))
  failed=$((failed + f))
  [[ $rc -ne 0 ]] && status=1
  echo "== $name: $p passed, $f failed"
}

suite() {
  local name=$1
  shift
  local log
  log=$(mktemp)
  echo "== $name"
  "$@" 2>&1 | tee "$log"
  tally "$name" "${PIPESTATUS[0]}" "$log"
  rm -f "$log"
}

suite unit ctest --preset native
suite static /usr/bin/python3 tests/static/check_pe.py build/win32/Startboard.exe
suite static64 /usr/bin/python3 tests/static/check_pe.py --pe32plus build/win64/Startboard.exe
suite pecheck /usr/bin/python3 tests/static/test_check_pe.py build/win32/Startboard.exe
suite bench-report /usr/bin/python3 tools/bench/test_report.py
suite memcheck tests/run_memcheck.sh
suite lint tests/run_lint.sh
suite cd tests/cd/test_make_iso.sh build/win32/Startboard.exe
suite iso tests/cd/test_iso.sh --exe build/win32/Startboard.exe build/Startboard.iso build/cd
suite sign tests/cd/test_sign.sh build/win32/Startboard.exe
suite e2e /usr/bin/python3 tests/e2e/run_e2e.py build/win64
# CI also runs the suite in prefixes that report older Windows versions.
if [[ "${CI:-}" == true ]]; then
  suite e2e-win7 /usr/bin/python3 tests/e2e/run_e2e.py build/win64 --windows win7
  suite e2e-winxp /usr/bin/python3 tests/e2e/run_e2e.py build/win64 --windows winxp
fi

echo "total: $passed passed, $failed failed"
exit $status

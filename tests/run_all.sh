#!/usr/bin/env bash
# Runs every suite and ends with one line of totals. Each suite's own last
# summary line gives its counts: "NAME: N passed, N failed", ctest's "N tests
# failed out of M", or unittest's "Ran N tests" (with "FAILED (...)").
set -uo pipefail
cd "$(dirname "$0")/.."
passed=0
failed=0

suite() {
  local name=$1 log rc p=0 f=0
  local own='^[a-z0-9]+: ([0-9]+) passed, ([0-9]+) failed' ctest='([0-9]+) tests failed out of ([0-9]+)'
  log=$(mktemp)
  echo "== $name"
  "${@:2}" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  if [[ $(grep -E "$own" "$log" | tail -n 1) =~ $own ]]; then
    p=${BASH_REMATCH[1]} f=${BASH_REMATCH[2]}
  elif [[ $(grep -E "$ctest" "$log" | tail -n 1) =~ $ctest ]]; then
    f=${BASH_REMATCH[1]} p=$((BASH_REMATCH[2] - f))
  elif [[ $(grep -E '^Ran [0-9]+ tests?' "$log" | tail -n 1) =~ ^Ran\ ([0-9]+) ]]; then
    f=$(($(grep -E '^FAILED \(' "$log" | grep -oE '[0-9]+' | paste -sd+ -) + 0))
    p=$((BASH_REMATCH[1] - f))
  fi
  ((rc != 0 && f == 0)) && f=1
  passed=$((passed + p))
  failed=$((failed + f))
  echo "== $name: $p passed, $f failed"
  rm -f "$log"
}

memcheck() {
  valgrind --quiet --error-exitcode=1 --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect build/memcheck/tests/unit_tests --gtest_brief=1 &&
    echo "memcheck: 1 passed, 0 failed"
}

# The product runs under Wine's 32-bit half; without it, the 64-bit build.
e2e=(build/cd build/Startboard.iso build/win32/tests/e2e)
if [[ $(dpkg-query -W -f='${db:Status-Status}' wine32:i386 2>/dev/null) != installed ]]; then
  echo "NOTE: Wine's 32-bit half is not installed: the end-to-end tests run the 64-bit build."
  cmake --preset win64 >/dev/null && cmake --build --preset win64 >/dev/null &&
    tools/sample_disc/make_disc.sh build/cd64 build/win64 >/dev/null &&
    tools/cd/make_iso.sh build/cd64 build/Startboard64.iso >/dev/null
  e2e=(build/cd64 build/Startboard64.iso build/win64/tests/e2e)
fi

suite unit ctest --preset native
suite memcheck memcheck
suite assets /usr/bin/python3 tests/assets/test_assets.py
suite static /usr/bin/python3 tests/static/check_pe.py build/win32/Startboard.exe
suite lint tests/run_lint.sh
suite cd tests/cd/test_cd.sh build/win32/Startboard.exe
suite e2e /usr/bin/python3 tests/e2e/run_e2e.py "${e2e[@]}" --load
# CI also runs the suite in prefixes that report older Windows versions.
if [[ "${CI:-}" == true ]]; then
  for version in win7 winxp; do
    suite "e2e-$version" /usr/bin/python3 tests/e2e/run_e2e.py "${e2e[@]}" --dpi 96 --windows "$version"
  done
fi

echo "total: $passed passed, $failed failed"
[[ $failed -eq 0 ]]

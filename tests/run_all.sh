#!/usr/bin/env bash
# Runs every suite (or those STARTBOARD_SUITES names) and ends with one line of
# totals. Each suite's own last summary line gives its counts: "NAME: N
# passed, N failed", ctest's "N tests failed out of M", or pytest's "N
# passed, N failed, N errors ... in 1.23s" (errors count as failures).
set -uo pipefail
cd "$(dirname "$0")/.."
passed=0
failed=0

suite() {
  local name=$1 log rc p=0 f=0
  local own='^[a-z0-9]+: ([0-9]+) passed, ([0-9]+) failed' ctest='([0-9]+) tests failed out of ([0-9]+)'
  local summary='^=* ?(([0-9]+ [a-z]+,? )+)in [0-9.]+s' counts
  [[ " ${STARTBOARD_SUITES:-$name} " == *" $name "* ]] || return 0
  log=$(mktemp)
  echo "== $name"
  "${@:2}" 2>&1 | tee "$log"
  rc=${PIPESTATUS[0]}
  if [[ $(grep -E "$own" "$log" | tail -n 1) =~ $own ]]; then
    p=${BASH_REMATCH[1]} f=${BASH_REMATCH[2]}
  elif [[ $(grep -E "$ctest" "$log" | tail -n 1) =~ $ctest ]]; then
    f=${BASH_REMATCH[1]} p=$((BASH_REMATCH[2] - f))
  elif [[ $(grep -E "$summary" "$log" | tail -n 1) =~ $summary ]]; then
    counts=${BASH_REMATCH[1]}
    p=$(($(grep -oE '[0-9]+ passed' <<<"$counts" | grep -oE '[0-9]+') + 0))
    f=$(($(grep -oE '[0-9]+ (failed|errors?)' <<<"$counts" | grep -oE '[0-9]+' | paste -sd+ -) + 0))
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

# The product runs under Wine's 32-bit half; where that cannot run, the
# 64-bit build of the same source (the static and cd suites still check the
# product's own bytes).
source tools/wine_session.sh
disc=$(wine_disc) || exit 1
iso=build/Startboard.iso
if [[ $wine_bits == 64 ]]; then
  iso=build/Startboard64.iso
  tools/cd/make_iso.sh "$disc" "$iso" >/dev/null || exit 1
fi
echo "Wine: $wine_note ($disc/Startboard.exe)."
e2e=(--iso "$iso" --tools "build/$wine_preset/tools/wine")
pytest=(/usr/bin/python3 -m pytest)

suite unit ctest --preset native
suite memcheck memcheck
suite assets "${pytest[@]}" -q tests/assets/test_assets.py
suite brand "${pytest[@]}" -q tests/brand
suite designer "${pytest[@]}" -q tests/designer
suite static /usr/bin/python3 tests/static/check_pe.py build/win32/Startboard.exe
suite lint tests/run_lint.sh
suite cd tests/cd/test_cd.sh build/win32/Startboard.exe
suite publish tests/cd/test_make.sh
suite e2e "${pytest[@]}" -v tests/e2e/scenarios.py --disc "$disc" "${e2e[@]}" --load

# A second brand, built like a publisher's and run the same way.
second_brand() {
  tests/e2e/second_disc.sh "$wine_preset" &&
    "${pytest[@]}" -v tests/e2e/second.py --disc "build/second brand é/cd" "${e2e[@]}"
}
suite e2e-second second_brand
suite shots "${pytest[@]}" -v tests/e2e/test_shots.py
# CI also runs the suite in prefixes that report older Windows versions.
if [[ "${CI:-}" == true ]]; then
  for version in win7 winxp; do
    suite "e2e-$version" "${pytest[@]}" -v tests/e2e/scenarios.py --disc "$disc" "${e2e[@]}" --dpi 96 \
      --windows "$version"
  done
fi

echo "total: $passed passed, $failed failed"
[[ $failed -eq 0 ]]

#!/usr/bin/env bash
# Runs the unit tests under valgrind memcheck (a build without sanitizers):
# any invalid access or leak fails. Prints "memcheck: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if valgrind --quiet --error-exitcode=1 --leak-check=full --show-leak-kinds=definite,indirect \
     --errors-for-leak-kinds=definite,indirect build/memcheck/tests/unit_tests --gtest_brief=1 \
     >"$log" 2>&1; then
  tail -n 2 "$log"
  echo "memcheck: 1 passed, 0 failed"
else
  cat "$log"
  echo "memcheck: 0 passed, 1 failed"
  exit 1
fi

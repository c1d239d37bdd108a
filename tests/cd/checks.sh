# Sourced by the shell suites: check NAME COMMAND... runs a command, prints
# "ok" or "FAIL" with its output indented, and counts; totals NAME prints the
# suite's closing line and fails when anything did.
passed=0
failed=0
check() {
  local out
  if out=$("${@:2}" 2>&1); then
    echo "ok   $1"; passed=$((passed + 1))
  else
    echo "FAIL $1"; sed 's/^/     /' <<<"$out"; failed=$((failed + 1))
  fi
}
totals() {
  echo "$1: $passed passed, $failed failed"
  [[ $failed -eq 0 ]]
}

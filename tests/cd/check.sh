# Sourced by the disc tests: counts checks and reports each one.
# shellcheck shell=bash
passed=0
failed=0
check() { # check NAME COMMAND...: runs COMMAND, reports its outcome
  local name=$1 out
  shift
  if out=$("$@" 2>&1); then
    echo "ok   $name"; passed=$((passed + 1))
  else
    echo "FAIL $name"; [[ -n "$out" ]] && sed 's/^/     /' <<<"$out"; failed=$((failed + 1))
  fi
}

# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Sourced by the package tests: named checks that count, and a closing tally.
passed=0
failed=0

# check "what is checked" command...: runs the command quietly; its output is shown on failure.
check() {
  local what=$1 output
  shift
  if output=$("$@" 2>&1); then
    passed=$((passed + 1))
    echo "ok    $what"
  else
    failed=$((failed + 1))
    echo "FAIL  $what"
    [ -n "$output" ] && sed 's/^/      /' <<<"$output"
  fi
  return 0
}

# Prints the tally and exits non-zero if any check failed.
tally() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}

#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets (clang, the fuzz preset) and runs each for a bounded time on a
# copy of its seed corpus in fuzz/corpus/<target>, so the repository's corpora do not grow.
# Fails on the first crash, sanitizer report, leak, hang or broken invariant; the input that
# did it is kept in build/fuzz/artifacts/. X10_FUZZ_SECONDS sets the time per target (30).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh fuzz
seconds="${X10_FUZZ_SECONDS:-30}"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$(nproc)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
artifacts="$PWD/build/fuzz/artifacts"
mkdir -p "$artifacts"

for corpus in fuzz/corpus/*/; do
  target="$(basename "$corpus")"
  cp -r "$corpus" "$work/$target"
  echo "fuzz_$target: $seconds s on $(ls "$corpus" | wc -l) seeds"
  if ! "build/fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$artifacts/$target-" "$work/$target" 2>"$work/$target.log"; then
    tail -n 40 "$work/$target.log"
    echo "fuzz_$target failed; the input is in $artifacts" >&2
    exit 1
  fi
  grep -E "^stat::(number_of_executed_units|peak_rss_mb)" "$work/$target.log" | sed 's/^/  /'
done

#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets (clang, the fuzz preset) and runs each for a bounded time on a
# copy of its seed corpus in fuzz/corpus/<target>, so the repository's corpora do not grow.
# Fails on the first crash, sanitizer report, leak, hang or broken invariant; the input that
# did it is kept in build/fuzz/artifacts/. X10_FUZZ_SECONDS sets the time per target (30); the
# targets run side by side, one a processor.
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

# fuzz TARGET: one target's run; its report and exit status are left in the work folder.
fuzz() {
  local target=$1 status=0
  cp -r "fuzz/corpus/$target" "$work/$target"
  "build/fuzz/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$artifacts/$target-" "$work/$target" 2>"$work/$target.log" || status=$?
  echo "$status" >"$work/$target.status"
}

# As many targets at a time as there are processors: each runs on one.
targets=()
for corpus in fuzz/corpus/*/; do
  targets+=("$(basename "$corpus")")
  fuzz "${targets[-1]}" &
  while [ "$(jobs -rp | wc -l)" -ge "$(nproc)" ]; do wait -n || true; done
done
wait
for target in "${targets[@]}"; do
  echo "fuzz_$target: $seconds s on $(ls "fuzz/corpus/$target" | wc -l) seeds"
  if [ "$(cat "$work/$target.status")" -ne 0 ]; then
    tail -n 40 "$work/$target.log"
    echo "fuzz_$target failed; the input is in $artifacts" >&2
    exit 1
  fi
  grep -E "^stat::(number_of_executed_units|peak_rss_mb)" "$work/$target.log" | sed 's/^/  /'
done

#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Builds the optimised preset and runs every benchmark, then prints a summary table of the
# figures against their targets. Figures vary with the machine and its load: run it on a quiet one.
# --build-only builds every benchmark and runs none (CI does that).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh bench
cmake --preset release >/dev/null
cmake --build --preset release -j2 --target x10-benchmarks
[ "${1:-}" = --build-only ] && exit 0
bin=build/release/bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
figures=$work/figures
wire_bytes_per_second=480

# Harness programs print their own FIGURE lines; everything they print is shown. One that
# fails is noted in the summary and the others still run.
run() {
  local name=$1
  echo "== $name"
  shift
  "$@" 2> >(grep -v XDG_RUNTIME_DIR >&2) | tee -a "$figures" ||
    printf 'FIGURE\t%s\tdid not run to the end\t-\tFAIL\n' "$name" >> "$figures"
  echo
}

# libbenchmark programs write JSON; their figures are taken from the median of repetitions.
gbench() {
  local json=$work/$1.json
  echo "== $1"
  QT_QPA_PLATFORM=offscreen "$bin/$1" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_out="$json" --benchmark_out_format=json 2> >(grep -v XDG_RUNTIME_DIR >&2)
  echo
  jq -r '.benchmarks[] | select(.aggregate_name == "median")' "$json" > "$work/$1.median"
}

gbench x10-bench-protocol-core
jq -r --argjson wire "$wire_bytes_per_second" -s '.[] |
  "FIGURE\tProtocol core throughput, \(.run_name | sub("BM_"; ""))\t\(.bytes_per_second / 1e6 | floor) MB/s (\(.bytes_per_second / $wire | floor)x the wire)\t>= 100x 480 B/s\t\(if .bytes_per_second >= 100 * $wire then "pass" else "FAIL" end)"' \
  "$work/x10-bench-protocol-core.median" >> "$figures"

gbench x10-bench-eventlog
# Each family (append alone, append with repaint) against its own 1000-line case, on CPU time:
# the machine may be shared, and waiting for it is no cost of the log.
jq -r -s 'group_by(.run_name | sub("/.*"; "")) | .[] | (.[0].cpu_time) as $first | .[] |
  "FIGURE\t\(.run_name | sub("BM_EventLogAppend"; "Event log append") | sub("AndPaint"; " + repaint") | sub("/(?<n>[0-9]+)/.*"; ", \(.n) lines"))\t\(.cpu_time * 10 | round / 10) us (\(.cpu_time / $first * 100 | round / 100)x 1000 lines)\tflat: <= 1.25x\t\(if .cpu_time <= 1.25 * $first then "pass" else "FAIL" end)"' \
  "$work/x10-bench-eventlog.median" >> "$figures"

run "driver overhead (realistic simulator, about 10 s)" "$bin/x10-bench-driver-overhead"
run "SendWait over ser2net (realistic simulator, about 25 s)" "$bin/x10-bench-network-overhead"
QT_QPA_PLATFORM=offscreen run "incoming latency" "$bin/x10-bench-incoming-latency"
run "start-up (Xvfb)" env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$bin/x10-startwatch" 9 build/release/console/x10console "$bin/x10-bare-window" "$bin/x10-text-window"

echo "== summary ($(nproc) cores, $(uname -m))"
grep $'^FIGURE\t' "$figures" | awk -F'\t' '
  { rows[NR] = $0; for (i = 2; i <= 5; i++) if (length($i) > w[i]) w[i] = length($i) }
  END {
    fmt = "%-" w[2] "s  %-" w[3] "s  %-" w[4] "s  %s\n"
    printf fmt, "figure", "measured", "target", "result"
    for (r = 1; r <= NR; r++) { split(rows[r], f, "\t"); printf fmt, f[2], f[3], f[4], f[5] }
  }'

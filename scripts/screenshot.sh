#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# A screenshot of the demo's console window with no display: builds first, then runs
# scripts/demo.sh on a virtual X server (1024x768, 96 DPI), waits for the window, lets the
# demo's traffic run for a few seconds, grabs the window as PNG and closes it, which stops
# the demo and its simulator.
# Usage: scripts/screenshot.sh [FILE.png (default: screenshot.png)] [SECONDS (default: 2)]
set -euo pipefail

if [ "${1:-}" = --on-display ]; then
  output=$2 settle=$3
  log=$(mktemp)
  trap 'rm -f "$log"' EXIT
  scripts/demo.sh </dev/null >"$log" 2>&1 &
  demo=$!
  source scripts/xwindow.sh
  window=$(window_of Form1 "$demo" 30) ||
    { echo "screenshot.sh: no console window within 30 s" >&2; cat "$log" >&2; exit 1; }
  sleep "$settle"
  import -window "$window" "$output"
  # SIGTERM closes the window as Exit does; the demo then stops its simulator and ends.
  console=$(xprop -id "$window" _NET_WM_PID | awk '{ print $3 }')
  kill -TERM "$console"
  wait "$demo"
  echo "$output"
  exit 0
fi

cd "$(dirname "$0")/.."
output=$(realpath -m -- "${1:-screenshot.png}")
settle=${2:-2}
scripts/install-deps.sh screenshot
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$(nproc)" --target x10console cm11a-sim
# -noreset: the server would otherwise reset, refusing connections for a moment, whenever its
# last client leaves.
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96 -noreset" "$PWD/scripts/screenshot.sh" --on-display "$output" "$settle"

#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Builds the console and the CM11A simulator, publishes the simulator as COM 2, feeds it a
# little remote-control traffic every few seconds, and opens the console. Commands typed
# here go to the simulator ("B3 On", "modules", "help"). Closing the console stops it all.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  cat >&2 <<'MSG'
There is no display to open the console window on (neither DISPLAY nor WAYLAND_DISPLAY is set).
Run it on a desktop session, or take a screenshot of it on a virtual X server:
  scripts/screenshot.sh demo.png
MSG
  exit 1
fi

scripts/install-deps.sh build
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$(nproc)" --target x10console cm11a-sim

build/dev/simulator/cm11a-sim --com 2 --script simulator/scripts/demo-traffic.x10 <&0 &
simulator=$!
trap 'kill "$simulator" 2>/dev/null; wait "$simulator" 2>/dev/null || true' EXIT

# The simulator publishes its link once its pseudo-terminal is ready.
link="${XDG_CONFIG_HOME:-$HOME/.config}/x10console/ports/com2"
for _ in $(seq 50); do
  [ -e "$link" ] && break
  kill -0 "$simulator" 2>/dev/null || exit 1
  sleep 0.1
done

echo "Console up: press Init (COM 2), pick a command, press Send Exec. Close the window to stop."
build/dev/console/x10console

#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# A screenshot of the Windows build's console under Wine, with no display: the windows preset's
# x10console.exe on Qt's windows platform on a virtual X server (1024x768, 96 DPI), grabbed a
# few seconds after its window shows, then ended. Text is drawn with DirectWrite: under Wine,
# Qt's default font engine leaves a line edit's text blank. Build the preset first
# (scripts/test.sh --arch windows).
# Usage: scripts/windows-screenshot.sh [FILE.png (default: screenshot-windows.png)] [SECONDS (2)]
set -euo pipefail

if [ "${1:-}" = --on-display ]; then
  output=$2 settle=$3
  source build/windows/windows-package.sh # program, qt_bin
  QT_QPA_PLATFORM=windows:fontengine=directwrite scripts/wine.sh --dlls "$qt_bin" "$program" \
    >/dev/null 2>&1 &
  console=$!
  source scripts/xwindow.sh
  window=$(window_of Form1 "$console" 60) ||
    { echo "windows-screenshot.sh: no console window within 60 s" >&2; exit 1; }
  sleep "$settle"
  import -window "$window" "$output"
  kill -TERM "$console"
  wait "$console" || true
  echo "$output"
  exit 0
fi

cd "$(dirname "$0")/.."
output=$(realpath -m -- "${1:-screenshot-windows.png}")
settle=${2:-2}
scripts/install-deps.sh screenshot windows
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96 -noreset" "$PWD/scripts/windows-screenshot.sh" \
  --on-display "$output" "$settle"

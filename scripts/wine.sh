#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Runs a 64-bit Windows program under Wine, headless, and exits with its status: the emulator
# ctest puts in front of the Windows build's tests, and what the Windows scripts run programs
# with. Each --dlls folder (Qt's bin/) goes on the program's DLL search path with the MinGW-w64
# runtime's folders. The Wine prefix is made once under X10_CACHE (/var/cache/x10console for
# root, else ~/.cache/x10console) and shared; X10_WINEPREFIX names another (made on first use).
# Wine hands no QT_* variable to a Windows program, but WINEQT_X arrives as QT_X: each QT_* set
# here is passed on that way, QT_QPA_PLATFORM being offscreen unless set. Qt's messages go to
# standard error (a program without a console would send them to the debugger output).
# Usage: scripts/wine.sh [--dlls DIR]... PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
here=$(dirname "$0")
dlls=()
while [ "${1:-}" = --dlls ]; do
  dlls+=("$2")
  shift 2
done
[ $# -gt 0 ] || { echo "usage: $0 [--dlls DIR]... PROGRAM.exe [ARGUMENTS...]" >&2; exit 2; }

source "$here/wineprefix.sh"
wine_prefix_ready "${X10_WINEPREFIX:-$(wine_cache)/wineprefix}"

for dll in libstdc++-6.dll libwinpthread-1.dll; do
  dlls+=("$(dirname "$(realpath "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)")")")
done
WINEPATH=$(printf 'Z:%s;' "${dlls[@]}" | tr / '\\')
export WINEPATH

: "${QT_QPA_PLATFORM:=offscreen}"
export QT_QPA_PLATFORM QT_FORCE_STDERR_LOGGING=1
: "${QT_QPA_FONTDIR:=/usr/share/fonts/truetype/dejavu}"
export QT_QPA_FONTDIR="Z:$QT_QPA_FONTDIR"
for name in $(compgen -e | grep '^QT_' || true); do
  export "WINE$name=${!name}"
done
exec wine "$@"

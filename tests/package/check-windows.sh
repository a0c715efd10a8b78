#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Checks the Windows zip and setup program under Wine, with nothing on the DLL search path but
# what the package brings, the setup in a Wine prefix made for the check: the zip holds the
# program, Qt's DLLs and plugins, the MinGW-w64 runtime and the licences, and its program says
# its version and opens its window (on a virtual X server) where it is unpacked; the setup
# installs silently (/S) for the user, with a Start-menu entry and an uninstaller listed under
# Add or Remove Programs, the installed program says its version and its Start-menu entry opens
# its window, and the silent uninstall leaves neither folder, entry nor listing behind.
# Usage: tests/package/check-windows.sh ZIP SETUP VERSION [WORK]
set -euo pipefail

# Run on the virtual X server: what Wine runs from the arguments (the program, or start.exe with
# a shortcut, which returns at once) shows the program's window within 60 s, and Alt+F4 closes
# it within 20 s.
if [ "${1:-}" = --window ]; then
  source "$(dirname "$0")/../../scripts/xwindow.sh"
  wine "${@:2}" >/dev/null 2>&1 &
  window=$(window_of Form1 $$ 60) || { echo "no window within 60 s"; exit 1; }
  xdotool windowfocus --sync "$window" key --clearmodifiers alt+F4
  for _ in $(seq 200); do
    xwininfo -id "$window" >/dev/null 2>&1 || exit 0
    sleep 0.1
  done
  echo "the window is still open 20 s after Alt+F4"
  exit 1
fi

zip=$(realpath "$1")
setup=$(realpath "$2")
version=$3
work=$(realpath -m "${4:-build/package/wine-check}")
here=$(dirname "$0")
source "$here/checks.sh"
source "$here/../../scripts/wineprefix.sh"
unset WINEPATH # the package's own DLLs only

cleanup() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  rm -rf "$work"
}
rm -rf "$work"
trap cleanup EXIT
mkdir -p "$work"

# The program's --version where it lies, under Wine with no other DLL folder.
says_version() { wine "$1" --version 2>&1 | tr -d '\r' | grep -qx "x10console $version"; }

echo "== the zip"
unzip -q "$zip" -d "$work/unzipped"
folder=$(find "$work/unzipped" -mindepth 1 -maxdepth 1 -type d)
for file in x10console.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
  libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll licences/x10console.txt \
  licences/qt6-base-copyright.txt licences/LGPL-3.txt licences/mingw-w64-gcc-runtime.txt; do
  check "the zip holds $file" test -f "$folder/$file"
done
wine_prefix_ready "$(wine_cache)/wineprefix"
check "the unzipped program says its version" says_version "$folder/x10console.exe"
check "the unzipped program opens its window" env -u WINEQT_QPA_PLATFORM \
  xvfb-run -a -s "-screen 0 1024x768x24" "$0" --window "$folder/x10console.exe"

echo "== the setup program"
wine_prefix_ready "$work/prefix-setup"
users=$WINEPREFIX/drive_c/users
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\x10console'
check "the setup runs silently" wine "$setup" /S
wineserver -w
program=$(find "$users" -path '*/AppData/Local/Programs/X10 Test Console/x10console.exe' | head -1)
check "the program is installed in the user's Programs folder" test -n "$program"
shortcut=$(find "$users" -path '*/Start Menu/Programs/X10 Test Console.lnk' | head -1)
check "the Start menu has its entry" test -n "$shortcut"
listed() { wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' | grep -q "$2"; }
check "Add or Remove Programs lists version $version" listed DisplayVersion "$version"
check "its uninstaller runs silently" listed QuietUninstallString 'uninstall.exe" /S'
[ -n "$program" ] && check "the installed program says its version" says_version "$program"
[ -n "$shortcut" ] && check "its Start-menu entry opens the program's window" \
  env -u WINEQT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1024x768x24" "$0" --window \
  start /unix "$shortcut"

installed=$(dirname "$program")
check "the uninstaller runs silently" wine "$installed/uninstall.exe" /S
wineserver -w # the uninstaller goes on from a copy of itself and returns at once
check "the program's folder is gone" test ! -e "$installed"
check "the Start-menu entry is gone" test ! -e "$shortcut"
check "the listing is gone" bash -c "! wine reg query '$uninstall_key' >/dev/null 2>&1"
tally

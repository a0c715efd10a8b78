#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Packs a Windows build's console into OUT: a folder that runs where it is (x10console.exe, the
# Qt and MinGW-w64 runtime DLLs it loads, Qt's windows platform plugin and its Windows style,
# the licences), that folder zipped, and a setup program made with NSIS from it
# (packaging/windows/x10console.nsi). Prints the two files' paths.
# Usage: scripts/windows-bundle.sh BUILD OUT    (BUILD: the windows preset's build folder)
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "$2")
here=$(cd "$(dirname "$0")/.." && pwd)
source "$build/windows-package.sh" # version, program, qt_bin, qt_plugins, icon

name=x10console_${version}_windows-x64
stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/$name-setup.exe"
mkdir -p "$stage/platforms" "$stage/licences"

gxx=x86_64-w64-mingw32-g++-posix
runtime_dirs=()
for dll in libstdc++-6.dll libwinpthread-1.dll; do
  runtime_dirs+=("$(dirname "$(realpath "$($gxx -print-file-name=$dll)")")")
done
search=("$qt_bin" "${runtime_dirs[@]}")

# copy_with_dlls FILE FOLDER: copies FILE into FOLDER (of the stage) and every DLL it loads that
# Qt or the MinGW-w64 runtime provides into the stage's top, and theirs in turn. Windows' own
# DLLs are found in none of those folders and stay out.
copy_with_dlls() {
  cp "$1" "$stage/$2/"
  local dll dir
  for dll in $(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\s*DLL Name: //p'); do
    [ -e "$stage/$dll" ] && continue
    for dir in "${search[@]}"; do
      if [ -e "$dir/$dll" ]; then
        copy_with_dlls "$dir/$dll" .
        break
      fi
    done
  done
}
copy_with_dlls "$program" .
copy_with_dlls "$qt_plugins/platforms/qwindows.dll" platforms
for style in "$qt_plugins"/styles/qwindowsvista*.dll; do
  [ -e "$style" ] || continue
  mkdir -p "$stage/styles"
  copy_with_dlls "$style" styles
done

# The licences: the console's; Qt's, from Debian's copyright file of the same source and the
# licence texts it refers to; the MinGW-w64 runtime's (GCC's runtime libraries, winpthreads).
cp "$here/LICENSE" "$stage/licences/x10console.txt"
cp /usr/share/doc/libqt6core6/copyright "$stage/licences/qt6-base-copyright.txt"
for text in LGPL-3 GPL-2 GPL-3; do
  cp "/usr/share/common-licenses/$text" "$stage/licences/$text.txt"
done
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$stage/licences/mingw-w64-gcc-runtime.txt"
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/licences/mingw-w64-winpthreads.txt"

(cd "$out" && zip -qr9 "$name.zip" "$name")

# The setup's file lists: each staged file installed, and removed again, by name.
files=$out/$name-files.nsh
remove=$out/$name-remove.nsh
(
  cd "$stage"
  find . -type d | sort | while read -r dir; do
    win=${dir#.}
    echo "SetOutPath \"\$INSTDIR${win//\//\\}\""
    find "$dir" -maxdepth 1 -type f | sort | sed "s|^\./|$stage/|; s|.*|File \"&\"|"
  done >"$files"
  find . -type f | sort | sed 's|^\./||; s|/|\\|g; s|.*|Delete "$INSTDIR\\&"|' >"$remove"
  find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g; s|.*|RMDir "$INSTDIR\\&"|' >>"$remove"
)
minor=$(echo "${version#*.}" | sed 's/^0*//')
makensis -V2 -DVERSION="$version" -DVERSION4="${version%%.*}.${minor:-0}.0.0" -DICON="$icon" \
  -DOUTFILE="$out/$name-setup.exe" -DFILES="$files" -DREMOVE="$remove" \
  "$here/packaging/windows/x10console.nsi" >&2
rm "$files" "$remove"
echo "$out/$name.zip"
echo "$out/$name-setup.exe"

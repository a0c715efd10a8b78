#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Checks a built Debian package without installing it: its control fields, its architecture
# against its binaries', the files it puts down, lintian, the desktop entry and AppStream
# metainfo (with their validators), the icons, the man pages, and the version everywhere a user
# looks for it. What the package must be (version, desktop id, architecture, and the emulator
# that runs a cross build's programs here) comes from the package-expected.sh that CMake wrote
# into the build folder.
# Usage: tests/package/check-contents.sh x10console_1.00_amd64.deb build/package/package-expected.sh
set -euo pipefail
deb=$(realpath "$1")
here=$(dirname "$0")
source "$here/checks.sh"
source "$2"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"

field() { dpkg-deb -f "$deb" "$1"; }
has_dependency() { field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -x "$1" >/dev/null; }
# The width and height in a PNG's header, as 8 hex bytes.
png_size_is() { [ "$(od -An -tx1 -j16 -N8 "$1" | tr -d ' \n')" = "$(printf '%08x%08x' "$2" "$2")" ]; }

echo "== control"
check "package is x10console" test "$(field Package)" = x10console
check "version is $version" test "$(field Version)" = "$version"
check "architecture is $architecture" test "$(field Architecture)" = "$architecture"
for dependency in libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins libstdc++6 libc6; do
  check "depends on $dependency" has_dependency "$dependency"
done
check "description has a summary and a body" test "$(field Description | wc -l)" -ge 3

# What file(1) says of a program built for each Debian architecture the package is made for.
declare -A machine=(
  [amd64]="ELF 64-bit LSB .*, x86-64, .*interpreter /lib64/ld-linux-x86-64.so.2"
  [arm64]="ELF 64-bit LSB .*, ARM aarch64, .*interpreter /lib/ld-linux-aarch64.so.1"
  [armhf]="ELF 32-bit LSB .*, ARM, EABI5 .*interpreter /lib/ld-linux-armhf.so.3"
)
is_for() { file -b "$1" | grep -Eq "${machine[$2]:?no file(1) pattern for architecture $2}"; }
arch=$(field Architecture)
for program in x10console cm11a-sim; do
  check "$program is a program for $arch, the package's architecture" is_for "$root/usr/bin/$program" "$arch"
done
check "lintian reports no error" lintian --fail-on error "$deb"

echo "== files"
for file in usr/bin/x10console usr/bin/cm11a-sim \
    usr/share/applications/$id.desktop usr/share/metainfo/$id.metainfo.xml \
    usr/share/icons/hicolor/{16x16,32x32,48x48}/apps/$id.png usr/share/icons/hicolor/scalable/apps/$id.svg \
    usr/share/man/man1/x10console.1.gz usr/share/man/man1/cm11a-sim.1.gz \
    usr/share/doc/x10console/changelog.gz usr/share/doc/x10console/copyright; do
  check "has /$file" test -f "$root/$file"
done
check "programs are executable" test -x "$root/usr/bin/x10console" -a -x "$root/usr/bin/cm11a-sim"
check "nothing outside /usr" test "$(ls "$root")" = usr
check "binaries are stripped" sh -c "! objdump -h '$root/usr/bin/x10console' | grep -q debug_info"
# A run path would make the loader search it before the system's libraries for every one.
for program in x10console cm11a-sim; do
  check "$program has no run path" sh -c "! readelf -d '$root/usr/bin/$program' | grep -Eq 'RPATH|RUNPATH'"
done

echo "== desktop entry"
desktop=$root/usr/share/applications/$id.desktop
entry() { sed -n "s/^$1=//p" "$desktop"; }
check "desktop-file-validate" desktop-file-validate "$desktop"
check "name is X10 Test Console" test "$(entry Name)" = "X10 Test Console"
check "Exec names a program of the package" test -x "$root/usr/bin/$(entry Exec | cut -d' ' -f1)"
check "Icon names the installed icon" test "$(entry Icon)" = "$id"
check "listed under Utility" sh -c "sed -n 's/^Categories=//p' '$desktop' | tr ';' '\n' | grep -qx Utility"
for size in 16 32 48; do
  check "${size}x${size} icon is $size px" png_size_is "$root/usr/share/icons/hicolor/${size}x${size}/apps/$id.png" "$size"
done
check "scalable icon is SVG" grep -q "<svg" "$root/usr/share/icons/hicolor/scalable/apps/$id.svg"

echo "== metainfo"
metainfo=$root/usr/share/metainfo/$id.metainfo.xml
check "appstreamcli validate" appstreamcli validate --no-net "$metainfo"
check "release $version" grep -q "<release version=\"$version\"" "$metainfo"
check "launches the desktop entry" grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo"
check "has a screenshot" grep -q '<screenshot type="default">' "$metainfo"
check "has a description" grep -q "<description>" "$metainfo"

echo "== man pages"
for page in x10console cm11a-sim; do
  zcat "$root/usr/share/man/man1/$page.1.gz" > "$root/$page.1"
  check "$page(1) has no mandoc warning" mandoc -T lint -W warning "$root/$page.1"
  check "$page(1) is of version $version" grep -q "^\.TH .*\"x10console $version\"" "$root/$page.1"
  check "$page(1) renders" sh -c "MANWIDTH=100 man -l '$root/usr/share/man/man1/$page.1.gz' | grep -q NAME"
done
# The page source with its escaped hyphens plain, so that option and command names match.
page_mentions() { sed 's/\\-/-/g' "$root/$1.1" | grep -F -- "$2" >/dev/null; }
check "x10console(1) explains the dialout group" page_mentions x10console dialout
check "x10console(1) explains the port-name link" page_mentions x10console "x10console/ports/com"
check "x10console(1) refers to cm11a-sim(1)" page_mentions x10console "cm11a-sim (1)"

echo "== simulator"
sim=$root/usr/bin/cm11a-sim
# $emulator unquoted: empty for the build machine's own programs, else the emulator's words.
check "cm11a-sim --version says $version" test "$($emulator "$sim" --version)" = "cm11a-sim $version"
for option in $($emulator "$sim" --help | grep -oE '^  --[a-z]+'); do
  check "cm11a-sim(1) documents $option" page_mentions cm11a-sim "$option"
done
# The commands the running simulator lists under help: a name, and for fault and power the
# word after it.
commands=$(printf 'help\nquit\n' | timeout 10 $emulator "$sim" --fast |
  sed -nE 's/^ *[0-9.]+ {10}((fault|power) [a-z0-9-]+|[a-z][a-z0-9-]*).*/\1/p')
check "the simulator lists its commands" test "$(wc -w <<<"$commands")" -ge 15
while read -r command; do
  check "cm11a-sim(1) documents '$command'" page_mentions cm11a-sim "$command"
done <<<"$commands"

tally

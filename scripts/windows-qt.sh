#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Builds Qt 6.4.2 (qtbase: Core, Gui, Widgets, Test) for 64-bit Windows once, from Debian's own
# source package of the Qt that Debian ships, and keeps it; prints its prefix on the last line:
#   qt=$(scripts/windows-qt.sh | tail -1)
#   "$qt/bin/qt-cmake" -S <project> -B <build> -G Ninja    # then cmake --build <build>
# The prefix is ${X10_CACHE:-/var/cache/x10console}/qt-6.4.2-mingw-<hash>, the hash taken over
# the configure options and the toolchain file, so a change of either builds anew beside the
# old one. A prefix is reused only when its marker file, written last, is there: an interrupted
# build is taken up again. Source and build trees live in a scratch folder under ${TMPDIR:-/tmp}
# (about 1.4 GB at the peak), removed once the prefix is complete; the prefix needs about 80 MB.
# Run it at low priority where other work shares the machine: nice -n 19 scripts/windows-qt.sh
#
# Shared libraries, Release, and only what the console uses: no Network (the console's network
# link talks to sockets itself, on Winsock there), no SQL, XML, D-Bus, printing, OpenGL or
# Vulkan; the image and text libraries are Qt's bundled copies, so nothing of the build
# machine's leaks in. Built are the platform plugins windows, offscreen (headless tests) and
# minimal, and the windowsvista style.
# moc, rcc and uic are Debian's own of the same version (qt6-base-dev-tools), so the source must
# match the installed host Qt; a deb-src entry for bookworm main is added when apt has none.
# Two options work around the source package: Debian's +dfsg tarball lacks the tablet support
# the windows plugin includes (tabletevent off), and the windows plugin fails to link without
# direct2d in 6.4.2, so direct2d stays on and only the separate direct2d plugin is skipped.
#
# Time: 1052 build steps, 79 MB installed. On 2 cores, other work sharing them, it took 45 min
# (2 684 s); at nice 19 beside busy stages it gets little more than their idle time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh windows >&2

version=6.4.2
options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_pkg_config=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_xml=OFF
  -DFEATURE_network=OFF -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_direct2d1_1=OFF
)
toolchain=cmake/toolchains/x86_64-w64-mingw32.cmake
hash=$({ printf '%s\n' "${options[@]}"; cat "$toolchain"; } | sha256sum | cut -c1-12)
cache=${X10_CACHE:-/var/cache/x10console}
prefix=$cache/qt-$version-mingw-$hash
marker=$prefix/.x10-complete

mkdir -p "$cache"
exec 9>"$cache/.qt-$version.lock" # one build at a time; a second run waits, then reuses it
flock 9
if [ -f "$marker" ]; then
  echo "$prefix"
  exit 0
fi

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
host_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
case $host_version in
  "$version"+*) ;;
  *) echo "windows-qt.sh: Debian's Qt is $host_version, this script builds $version" >&2
     exit 1 ;;
esac

source_known() { apt-cache showsrc qt6-base 2>/dev/null | grep -qx "Version: $host_version"; }
if ! source_known; then
  "${sudo[@]}" apt-get update -qq
fi
if ! source_known; then
  printf '%s\n' 'Types: deb-src' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm' \
    'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
    "${sudo[@]}" tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  "${sudo[@]}" apt-get update -qq
fi

# The scratch folder is kept when a build stops half-way, so that the next run goes on from there.
scratch=${TMPDIR:-/tmp}/x10-windows-qt-$version-$hash
source=$scratch/source
if [ ! -d "$source" ]; then
  rm -rf "$scratch" && mkdir -p "$scratch/fetch"
  (cd "$scratch/fetch" && apt-get source -qq "qt6-base=$host_version" >&2)
  mv "$scratch"/fetch/qt6-base-"$version"*/ "$source"
fi
rm -rf "$prefix"
# Qt's qt-cmake chain-loads the toolchain it was built with: a copy inside the prefix keeps the
# prefix usable wherever the checkout that built it goes.
install -D -m 644 "$toolchain" "$prefix/lib/cmake/x86_64-w64-mingw32.cmake"

start=$SECONDS
cmake -S "$source" -B "$scratch/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/x86_64-w64-mingw32.cmake" \
  -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" >&2
# X10_QT_MAX_LOAD: no compile starts while the load average is above it (but one always runs),
# so that a build at low priority beside other work takes little more than they leave idle.
load_limit=()
[ -z "${X10_QT_MAX_LOAD:-}" ] || load_limit=(-- -l "$X10_QT_MAX_LOAD")
cmake --build "$scratch/build" -j "$(nproc)" "${load_limit[@]}" >&2
cmake --install "$scratch/build" >&2
touch "$marker"
rm -rf "$scratch"
echo "windows-qt.sh: built in $((SECONDS - start)) s, $(du -sh "$prefix" | cut -f1) installed" >&2
echo "$prefix"

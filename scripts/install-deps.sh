#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs, when missing, the Debian packages of the groups named; each script asks only for
# what it uses. No group: all the native ones.
#   build          the compiler, CMake, Ninja and Qt: what builds the programs and the tests;
#   test           build, and what the tests run besides: setpriv, to run as an ordinary user;
#   format         clang-format, for the format check;
#   fuzz           build, and clang with libFuzzer and its sanitizer runtimes;
#   bench          build, and libbenchmark, libxcb, jq and a virtual X server (Xvfb);
#   package        build, and what makes and checks the Debian package (dpkg-shlibdeps, file,
#                  lintian, the desktop-entry and metainfo validators, mandoc, man) and installs
#                  it on a fresh system: debootstrap, Xvfb and xwininfo to see its window;
#   arm64, armhf   what cross-building for that Debian architecture and running its tests
#                  under emulation takes: the architecture added to dpkg (multiarch), the cross
#                  compiler, Qt's libraries of that architecture, qemu-user-static.
# Usage: scripts/install-deps.sh [build] [test] [format] [fuzz] [bench] [package] [arm64] [armhf]
set -euo pipefail

build=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev libgl-dev)
packages=()
architectures=()
[ $# -gt 0 ] || set -- test format fuzz bench package
for need in "$@"; do
  case $need in
    build) packages+=("${build[@]}") ;;
    test) packages+=("${build[@]}" util-linux) ;;
    format) packages+=(clang-format) ;;
    fuzz) packages+=("${build[@]}" clang libclang-rt-14-dev) ;;
    bench) packages+=("${build[@]}" libbenchmark-dev libxcb1-dev jq xvfb xauth) ;;
    package)
      packages+=("${build[@]}" dpkg-dev file lintian desktop-file-utils appstream mandoc man-db
                 debootstrap xvfb x11-utils) ;;
    arm64 | armhf)
      architectures+=("$need")
      packages+=(crossbuild-essential-"$need" qemu-user-static
                 {qt6-base-dev,qt6-serialport-dev,libgl-dev}:"$need") ;;
    *)
      echo "install-deps.sh: unknown '$need' (build, test, format, fuzz, bench, package, arm64 or armhf)" >&2
      exit 2 ;;
  esac
done

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
for architecture in "${architectures[@]}"; do
  dpkg --print-foreign-architectures | grep -qx "$architecture" ||
    "${sudo[@]}" dpkg --add-architecture "$architecture"
done

missing=()
for p in $(printf '%s\n' "${packages[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages the build, the tests, the demo, the benchmarks, the sanitizer
# run, the fuzz targets (clang, and libFuzzer with clang's sanitizer runtimes) and the check of
# the Debian package (dpkg-shlibdeps, the desktop-entry and metainfo validators, mandoc) need,
# when missing; also setpriv (util-linux), with which a test run as root drops to nobody.
# "install-deps.sh package" adds what installing the package on a fresh system takes:
# debootstrap, and xwininfo to see its window.
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev libgl-dev xvfb xauth
          libbenchmark-dev libxcb1-dev jq clang libclang-rt-14-dev
          dpkg-dev desktop-file-utils appstream mandoc man-db util-linux)
if [ "${1:-}" = package ]; then
  packages+=(debootstrap x11-utils)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

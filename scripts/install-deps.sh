#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Installs, when missing, the Debian packages of the groups named; each script asks only for
# what it uses. No group: all the native ones.
#   build          the compiler, CMake, Ninja and Qt: what builds the programs and the tests;
#   test           build, and what the tests run besides: setpriv, to run as an ordinary user;
#                  the time zones a test sets the driver's clock in; a virtual X server, the
#                  AT-SPI bus, its Python bindings and a session bus for the accessibility
#                  test; ser2net for the network port tests. Run as root, it also adds the
#                  second ordinary user x10-second that the lock tests run as beside nobody;
#   format         clang-format, for the format check;
#   fuzz           build, and clang with libFuzzer and its sanitizer runtimes;
#   bench          build, and libbenchmark, libxcb, jq and a virtual X server (Xvfb);
#   package        build, and what makes and checks the Debian package (dpkg-shlibdeps, file,
#                  lintian, the desktop-entry and metainfo validators, mandoc, man) and installs
#                  it on a fresh system: debootstrap, Xvfb and xwininfo to see its window;
#   screenshot     build, and what scripts/screenshot.sh takes: Xvfb, xwininfo and xprop to
#                  find the window, ImageMagick to grab it;
#   licence        reuse, which checks every file's licence and copyright;
#   arm64, armhf   what cross-building for that Debian architecture and running its tests
#                  under emulation takes: the cross compiler, qemu-user-static, and mmdebstrap,
#                  which unpacks the target's Qt into a sysroot of its own (scripts/sysroot.sh);
#                  the build machine's dpkg gets no foreign architecture;
#   windows        build (its Qt tools run on the build machine), the MinGW-w64 cross compiler
#                  (POSIX threads), what fetches and unpacks Debian's Qt source (dpkg-dev,
#                  xz-utils), Wine to run the result with its fonts and a font for the tests,
#                  icotool to make the program's icon, zip and NSIS to make its packages, a
#                  virtual X server (Xvfb, xwininfo) to see the program's window, and what
#                  drives and reads that window in the end-to-end rows: xdotool, xclip,
#                  ImageMagick and tesseract (character recognition).
# An index that fails to update is retried once and then left: what the others offer is still
# installed. The script fails only when a package asked for cannot be had, naming it and why.
# Usage: scripts/install-deps.sh [build] [test] [format] [fuzz] [bench] [package] [screenshot]
#                                [licence] [arm64] [armhf] [windows]
set -euo pipefail

build=(cmake ninja-build g++ qt6-base-dev libgl-dev)
packages=()
second_user=false
[ $# -gt 0 ] || set -- test format fuzz bench package licence
for need in "$@"; do
  case $need in
    build) packages+=("${build[@]}") ;;
    test)
      packages+=("${build[@]}" util-linux tzdata xvfb xauth at-spi2-core python3-pyatspi
                 dbus-daemon ser2net)
      second_user=true ;;
    format) packages+=(clang-format) ;;
    fuzz) packages+=("${build[@]}" clang libclang-rt-14-dev) ;;
    bench) packages+=("${build[@]}" libbenchmark-dev libxcb1-dev jq xvfb xauth) ;;
    package)
      packages+=("${build[@]}" dpkg-dev file lintian desktop-file-utils appstream mandoc man-db
                 debootstrap xvfb x11-utils) ;;
    screenshot) packages+=("${build[@]}" xvfb xauth x11-utils imagemagick) ;;
    licence) packages+=(reuse) ;;
    arm64) packages+=(g++-aarch64-linux-gnu dpkg-dev qemu-user-static mmdebstrap) ;;
    armhf) packages+=(g++-arm-linux-gnueabihf dpkg-dev qemu-user-static mmdebstrap) ;;
    windows)
      packages+=("${build[@]}" g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix dpkg-dev
                 xz-utils wine64 wine fonts-wine fonts-dejavu-core icoutils zip unzip nsis
                 xvfb xauth x11-utils xdotool xclip imagemagick tesseract-ocr tesseract-ocr-eng) ;;
    *)
      echo "install-deps.sh: unknown '$need' (build, test, format, fuzz, bench, package," \
           "screenshot, licence, arm64, armhf or windows)" >&2
      exit 2 ;;
  esac
done

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
# The lock tests run only as root; nobody else's machine gets a user it did not ask for.
if $second_user && [ "$(id -u)" -eq 0 ] && ! id x10-second >/dev/null 2>&1; then
  useradd --system --no-create-home --shell /usr/sbin/nologin x10-second
fi

missing=()
for p in $(printf '%s\n' "${packages[@]}" | sort -u); do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
source "$(dirname "$0")/apt-install.sh"
update_indexes
install_packages "${missing[@]}"

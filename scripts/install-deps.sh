#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages the build, the tests, the demo, the benchmarks, the sanitizer
# run, the fuzz targets (clang, and libFuzzer with clang's sanitizer runtimes) and the check of
# the Debian package (dpkg-shlibdeps, file, lintian, the desktop-entry and metainfo validators,
# mandoc), the tests run as an ordinary user (setpriv), the time zones a test sets the driver's
# clock in (tzdata), the accessibility test (the AT-SPI bus, its Python bindings, a session
# bus), the network port tests (ser2net) and the format check (clang-format) need, when
# missing, and, run as root, the second ordinary user x10-second that the lock tests run as
# beside nobody. Each argument adds more:
#   package        what installing the package on a fresh system takes: debootstrap, and
#                  xwininfo to see its window;
#   screenshot     what scripts/screenshot.sh takes: xwininfo and xprop to find the window,
#                  ImageMagick to grab it;
#   arm64, armhf   what cross-building for that Debian architecture and running its tests
#                  under emulation takes: the architecture added to dpkg (multiarch), the cross
#                  compiler, Qt's libraries of that architecture, qemu-user-static.
# Usage: scripts/install-deps.sh [package] [screenshot] [arm64] [armhf]
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev libgl-dev xvfb xauth
          libbenchmark-dev libxcb1-dev jq clang clang-format libclang-rt-14-dev
          dpkg-dev file lintian desktop-file-utils appstream mandoc man-db util-linux
          at-spi2-core python3-pyatspi dbus-daemon tzdata ser2net)
architectures=()
for need in "$@"; do
  case $need in
    package) packages+=(debootstrap x11-utils) ;;
    screenshot) packages+=(x11-utils imagemagick) ;;
    arm64 | armhf)
      architectures+=("$need")
      packages+=(crossbuild-essential-"$need" qemu-user-static
                 {qt6-base-dev,libgl-dev}:"$need") ;;
    *) echo "install-deps.sh: unknown '$need' (package, screenshot, arm64 or armhf)" >&2; exit 2 ;;
  esac
done

sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
for architecture in "${architectures[@]}"; do
  dpkg --print-foreign-architectures | grep -qx "$architecture" ||
    "${sudo[@]}" dpkg --add-architecture "$architecture"
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# The lock tests run only as root; nobody else's machine gets a user it did not ask for.
[ "$(id -u)" -ne 0 ] || id x10-second >/dev/null 2>&1 ||
  useradd --system --no-create-home --shell /usr/sbin/nologin x10-second
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

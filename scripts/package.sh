#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Builds the Debian package (the package preset: an optimised build installed under /usr),
# checks its contents, and, as root, installs it with apt on a fresh minimal Debian system
# made with debootstrap and checks what a user gets there. The package is left in
# build/package/. X10_PACKAGE_FRESH=0 skips the fresh system.
# --arch arm64|armhf cross-builds the package for that architecture instead (the preset of that
# name, the one scripts/test.sh --arch builds) and checks its contents the same way, its programs
# run under qemu-user. The fresh system is the build machine's architecture only: without a
# binfmt handler, which a CI container lacks, apt could not run the other architecture's
# programs inside it.
# --arch windows builds the windows preset (the one scripts/test.sh --arch windows builds) and
# makes a zip that runs where it is unpacked and a setup program (scripts/windows-bundle.sh),
# then checks both under Wine: the setup installed silently into a fresh Wine prefix, the
# program run from there, and uninstalled (tests/package/check-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/architecture.sh
preset=${cross:-package}
if [ "$cross" = windows ]; then
  scripts/install-deps.sh windows
else
  scripts/install-deps.sh package $cross # $cross unquoted: nothing more for a native build
fi
set_configure_options
cmake --preset "$preset" "${configure_options[@]}" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"

if [ "$cross" = windows ]; then
  bundle=$(scripts/windows-bundle.sh "build/$preset" build/package)
  mapfile -t packages <<<"$bundle"
  echo "== ${packages[*]}"
  tests/package/check-windows.sh "${packages[@]}" "$(. "build/$preset/windows-package.sh" &&
                                                     echo "$version")" build/package/wine-check
  exit
fi

cpack --preset "$preset"
expected=build/$preset/package-expected.sh
deb=build/package/x10console_$(. "$expected" && echo "$version")_$arch.deb

echo "== contents of $deb"
tests/package/check-contents.sh "$deb" "$expected"

if [ -n "$cross" ]; then
  echo "== fresh system skipped (a cross build)"
elif [ "${X10_PACKAGE_FRESH:-1}" = 0 ]; then
  echo "== fresh system skipped (X10_PACKAGE_FRESH=0)"
elif [ "$(id -u)" -eq 0 ]; then
  tests/package/install-fresh.sh "$deb" "$expected" build/package/fresh
else
  sudo tests/package/install-fresh.sh "$deb" "$expected" "$PWD/build/package/fresh"
fi

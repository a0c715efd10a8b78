#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package (the package preset: an optimised build installed under /usr),
# checks its contents, and, as root, installs it with apt on a fresh minimal Debian system
# made with debootstrap and checks what a user gets there. The package is left in
# build/package/. X10_PACKAGE_FRESH=0 skips the fresh system.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package
cmake --preset package >/dev/null
cmake --build --preset package -j "$(nproc)"
cpack --preset package
deb=$(ls build/package/x10console_*.deb)

echo "== contents of $deb"
tests/package/check-contents.sh "$deb"

if [ "${X10_PACKAGE_FRESH:-1}" = 0 ]; then
  echo "== fresh system skipped (X10_PACKAGE_FRESH=0)"
elif [ "$(id -u)" -eq 0 ]; then
  tests/package/install-fresh.sh "$deb" build/package/fresh
else
  sudo tests/package/install-fresh.sh "$deb" "$PWD/build/package/fresh"
fi

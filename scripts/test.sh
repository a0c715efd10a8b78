#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Builds everything and runs every test, headless. X10_PRESET picks the CMake preset: dev by
# default; CI uses ci, the same build with warnings as errors.
# --arch arm64|armhf instead cross-builds for that architecture (its preset: optimised, tests
# included) and runs the tests under qemu-user, all but the long paced storm, which that test
# preset leaves out (its pace, not the processor, sets its length, and it runs natively).
# --arch windows cross-builds for 64-bit Windows against the Qt that scripts/windows-qt.sh
# builds once (about 45 min on 2 cores) and runs under Wine (scripts/wine.sh) the tests a
# Windows build has: those that need no pseudo-terminal, no simulator and no POSIX system, and
# the end-to-end rows of the Windows driver against this machine's simulator.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/architecture.sh
preset=${cross:-${X10_PRESET:-dev}}
scripts/install-deps.sh test $cross # $cross unquoted: nothing more for a native build
set_configure_options
if [ "$cross" = windows ]; then
  # The end-to-end rows under Wine run the build machine's simulator (tests/e2e/wine-e2e.sh).
  cmake --preset dev >/dev/null
  cmake --build --preset dev --target cm11a-sim
  configure_options+=(-DX10_HOST_SIMULATOR="$PWD/build/dev/simulator/cm11a-sim")
fi
cmake --preset "$preset" "${configure_options[@]}" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j "$(nproc)"

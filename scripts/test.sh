#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds everything and runs every test, headless. X10_PRESET picks the CMake preset: dev by
# default; CI uses ci, the same build with warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${X10_PRESET:-dev}"
scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --preset "$preset" -j "$(nproc)"

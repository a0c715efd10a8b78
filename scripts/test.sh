#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds everything and runs every test, headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev -j "$(nproc)"
QT_QPA_PLATFORM=offscreen ctest --preset dev -j "$(nproc)"

#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer (gcc, the asan preset)
# and runs the whole test suite under them, headless. A report of either, a leak included, ends
# the test that made it with an error, so ctest fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh test
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$(nproc)"
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:strict_init_order=1"
export UBSAN_OPTIONS="print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp"
QT_QPA_PLATFORM=offscreen ctest --preset asan -j "$(nproc)"

#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Formats the C++ sources with the repository's .clang-format; "format.sh --check" changes
# nothing and fails on the first file that is not formatted (CI runs that).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh format
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --check ]; then
  clang-format --dry-run -Werror "${files[@]}"
  echo "format: ${#files[@]} files checked"
else
  clang-format -i "${files[@]}"
fi

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A broken invariant in a fuzz target: say which and abort, so libFuzzer keeps the input as a
// crash.

#include <cstdio>
#include <cstdlib>

inline void require(bool holds, const char *invariant) {
  if (holds)
    return;
  std::fprintf(stderr, "invariant broken: %s\n", invariant);
  std::abort();
}

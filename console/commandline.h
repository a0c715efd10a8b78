// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// What x10console answers before it opens a window: --help and --version, which need no
// display, and the plain one-line reason when there is no display to open the window on
// (left to the toolkit, that ends in an abort and a core dump).

#include <optional>

// The exit status when the command line has been answered here (0 after --help or --version,
// 1 with no display), or nothing when the window is to open. Writes to stdout and stderr.
std::optional<int> answerBeforeTheWindow(int argc, char *const argv[]);

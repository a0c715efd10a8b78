// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// On Windows the console is a desktop program, so it gets no console window of its own (none
// opens beside the window when it is started from the Start menu); --help and --version then
// write to the console of the command prompt it was started from, if any. Elsewhere the
// program's output is already where it was started. Call first thing in main().
void reachTheStartingTerminal();

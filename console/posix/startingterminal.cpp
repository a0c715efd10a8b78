// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// A POSIX program inherits the terminal it was started from: nothing to reach.
#include "console/startingterminal.h"

void reachTheStartingTerminal() {}

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// When the system asks the program to end (POSIX: SIGTERM, SIGINT, SIGHUP, a logout, Ctrl-C, a
// closed terminal; Windows: Ctrl-C, a closed console, the session ending), the windows close
// as Exit does, so the component closes its port, and the program ends with status 0. A member
// call that blocks the window ends at once: the driver is handed what this returns as its wait
// interrupt (controller/links/waitinterrupt.h). A second such request before the window has
// closed ends the program at once, as it would by default. Each platform's folder says how
// (console/posix/shutdownsignals.cpp, console/windows/shutdownsignals.cpp).

#include <cstdint>

// Installs the handlers. Call once, with the application object made and before its loop runs.
// Returns the wait interrupt: a pipe's read end on POSIX, readable from the first signal on; an
// event's handle on Windows, set from the first request on.
std::intptr_t closeWindowsOnTerminationSignals();

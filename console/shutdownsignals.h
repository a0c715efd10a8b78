// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl-C, a closed terminal) close the windows as Exit
// does, so the component closes its port and removes its lock, and the program ends with
// status 0. The signal handler only writes a byte to a pipe, which is async-signal-safe; the
// event loop sees it and closes the windows. A member call that blocks the window ends at
// once when it polls the pipe too (the driver does, handed it as its wait interrupt). A second
// signal before the window has closed ends the program at once, as the signal would by default
// (the kernel drops the device's locks with the process; a lock file left behind never
// blocks the next Init).

// Installs the handlers. Call once, with the application object made and before its loop runs.
// Returns the pipe's read end, readable from the first signal on.
int closeWindowsOnTerminationSignals();

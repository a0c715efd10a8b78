// SPDX-License-Identifier: MIT
#pragma once
// SIGTERM, SIGINT and SIGHUP (a logout, Ctrl-C, a closed terminal) close the windows as Exit
// does, so the component closes its port and removes its lock, and the program ends with
// status 0. The signal handler only writes a byte to a pipe, which is async-signal-safe; the
// event loop reads it and closes the windows. The window cannot close during a member call
// that blocks it; a second signal before it has closed ends the program at once, as the signal
// would by default (a lock left behind is then stale and taken over by the next Init).

// Installs the handlers. Call once, with the application object made and before its loop runs.
void closeWindowsOnTerminationSignals();

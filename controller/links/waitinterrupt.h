// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// What ends the driver's blocking waits early: something the program makes ready when it is
// asked to close (the console hands over what its termination-signal handler signals). A member
// call then returns as on its time-out, so a logout during a long GetEvent does not wait for
// it. It stays ready from then on: every later wait ends at once too. Process-wide, as signals
// are.

#include <cstdint>

namespace x10 {

// On POSIX a descriptor that turns readable, on Windows an event handle that is set, once
// waits are to end; -1 for none (the default).
void setWaitInterrupt(std::intptr_t interrupt);
// Whether waits are to end now.
bool waitsInterrupted();

} // namespace x10

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// What ends the driver's blocking waits early: a descriptor that becomes readable when the
// program is asked to close (the console hands over the pipe its termination-signal handler
// writes to). A member call then returns as on its time-out, so a logout during a long
// GetEvent does not wait for it. The descriptor stays readable from then on: every later wait
// ends at once too. Process-wide, as signals are.

namespace x10 {

// fd: readable once waits are to end; -1 for none (the default).
void setWaitInterrupt(int fd);
// The descriptor a wait polls beside its port; -1 when there is none.
int waitInterruptFd();
// Whether waits are to end now.
bool waitsInterrupted();
// Polls fd for events up to ms (negative: no limit), going on after a signal's EINTR with the
// time that is left. The events that came, or 0 on time-out and when waits are interrupted.
short pollUnlessInterrupted(int fd, short events, int ms);

} // namespace x10

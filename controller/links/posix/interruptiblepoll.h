// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The POSIX side of the wait interrupt (controller/links/waitinterrupt.h): the descriptor set
// there, and a poll that it ends, for the links' waits.

#include "controller/links/waitinterrupt.h"

namespace x10 {

// Polls fd for events up to ms (negative: no limit), going on after a signal's EINTR with the
// time that is left. The events that came, or 0 on time-out and when waits are interrupted.
short pollUnlessInterrupted(int fd, short events, int ms);

} // namespace x10

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The Windows side of the wait interrupt (controller/links/waitinterrupt.h): the handle given
// there is a manual-reset event the console sets when the program is asked to close. Every
// blocking wait of the Windows links waits on it beside its own object, so a wait ends at once
// once it is set, and every later one too.

#include <windows.h>

namespace x10 {

enum class WaitEnd { Ready, TimedOut, Interrupted, Failed };

// Waits up to ms (negative: no limit) for object to be signalled, or for the wait interrupt.
WaitEnd waitUnlessInterrupted(HANDLE object, int ms);

} // namespace x10

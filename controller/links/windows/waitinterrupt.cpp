// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/waitinterrupt.h"
#include "controller/links/windows/interruptiblewait.h"

#include <atomic>

namespace {
std::atomic<HANDLE> interruptEvent{nullptr};

bool isHandle(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
} // namespace

namespace x10 {

void setWaitInterrupt(std::intptr_t handle) { interruptEvent = reinterpret_cast<HANDLE>(handle); }

bool waitsInterrupted() {
  const HANDLE event = interruptEvent;
  return isHandle(event) && ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

WaitEnd waitUnlessInterrupted(HANDLE object, int ms) {
  const HANDLE event = interruptEvent;
  const HANDLE objects[2] = {event, object};
  const bool interruptible = isHandle(event);
  // The interrupt comes first: when both are set, the program is closing.
  const DWORD count = interruptible ? 2 : 1;
  const DWORD waited = ::WaitForMultipleObjects(count, interruptible ? objects : objects + 1, FALSE,
                                                ms < 0 ? INFINITE : DWORD(ms));
  if (waited == WAIT_TIMEOUT)
    return WaitEnd::TimedOut;
  if (interruptible && waited == WAIT_OBJECT_0)
    return WaitEnd::Interrupted;
  if (waited == WAIT_OBJECT_0 + count - 1)
    return WaitEnd::Ready;
  return WaitEnd::Failed;
}

} // namespace x10

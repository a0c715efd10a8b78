// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The doorbell on Windows: a manual-reset event.
#include "controller/links/doorbell.h"

#include "controller/links/windows/interruptiblewait.h"

#include <system_error>

namespace x10 {
namespace {
HANDLE event(const std::intptr_t *handles) { return reinterpret_cast<HANDLE>(handles[0]); }
} // namespace

Doorbell::Doorbell() {
  const HANDLE made = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!made)
    throw std::system_error(int(::GetLastError()), std::system_category(), "CreateEvent");
  handles_[0] = reinterpret_cast<std::intptr_t>(made);
}

Doorbell::~Doorbell() { ::CloseHandle(event(handles_)); }

void Doorbell::ring() { ::SetEvent(event(handles_)); }

bool Doorbell::waitUnlessInterrupted(int ms) const {
  return x10::waitUnlessInterrupted(event(handles_), ms) == WaitEnd::Ready;
}

} // namespace x10

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Who has the port open. The simulator holds the slave side itself (see PseudoTerminal), so the
// master never sees a hang-up; instead the kernel reports every open and close of the slave's
// device node (inotify), and the count of those tells whether a client is there.

#include "simulator/shell/uniquefd.h"

#include <string>

namespace x10::sim {

class PortWatch {
public:
  // Watches the device node at path; opens before this are not counted. Throws
  // std::system_error.
  explicit PortWatch(const std::string &path);

  // Readable when opens or closes have happened.
  int fd() const { return fd_.get(); }
  struct Change {
    int clients = 0;     // holding the port now
    bool closed = false; // some client closed it since the last look
  };
  // Takes what happened since the last call.
  Change update();

private:
  UniqueFd fd_;
  int clients_ = 0;
};

} // namespace x10::sim

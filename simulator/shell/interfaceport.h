// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Where a driver meets the simulated interface: a pseudo-terminal it opens as a serial port,
// or a TCP port it connects to. The loop polls both descriptors, passes the client's bytes to
// the device and back, and logs what the port says of its clients.

#include "simulator/shell/syscalls.h"

#include <string>
#include <vector>

namespace x10::sim {

class InterfacePort {
public:
  virtual ~InterfacePort() = default;

  // Readable when clients may have come or gone.
  virtual int watchFd() const = 0;
  // The client's bytes are read from and written to this; -1 while there is none to read.
  virtual int dataFd() const = 0;
  // A client is there to take what the interface sends; while none is, that is lost.
  virtual bool connected() const = 0;
  // Takes the comings and goings behind watchFd(): one line to log for each that matters.
  virtual std::vector<std::string> updateClients() = 0;
  // Reading dataFd() found its end or an error: the line to log.
  virtual std::string ended(const ReadResult &result) = 0;
};

} // namespace x10::sim

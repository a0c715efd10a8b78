// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Misbehaviour the interface can be told to show once, for testing a driver's recovery.

#include "simulator/core/frame.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace x10::sim {

struct Faults {
  int wrongChecksums = 0;     // the next N checksums are sent wrong
  bool checksumIs5A = false;  // the next checksum is sent as 0x5A, the poll byte
  std::vector<Frame> collide; // heard just as the next transmission starts: it gets a poll back
  std::optional<std::size_t> truncateUpload; // the next upload stops after this many bytes
};

} // namespace x10::sim

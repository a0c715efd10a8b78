// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Local date and time as the interface's clock holds it. The caller reads the real clock and
// passes this in, so the protocol code never looks at the time of day itself.

namespace x10 {

struct WallClock {
  int dayOfYear = 0; // 0-based: 1 January is 0
  int dayOfWeek = 0; // 0 = Sunday
  int hour = 0;
  int minute = 0;
  int second = 0;
};

} // namespace x10

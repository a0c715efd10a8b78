// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/netport/takeoverrule.h"

namespace x10 {

bool TakeoverRule::takenByAnother(Time t, bool closedByServer) const {
  return closedByServer && retakenAt_ && t - *retakenAt_ < window;
}

} // namespace x10

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/support/waituntil.h"

#include <QDeadlineTimer>
#include <QTest>

bool waitUntil(const std::function<bool()> &condition, int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  // The condition is asked once per look and never again after it held: asking may change
  // what it asks about (a port opened to see whether it is free is held by that open).
  for (;;) {
    if (condition())
      return true;
    if (deadline.hasExpired())
      return false;
    QTest::qWait(10);
  }
}

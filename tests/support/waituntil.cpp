// SPDX-License-Identifier: MIT
#include "tests/support/waituntil.h"

#include <QDeadlineTimer>
#include <QTest>

bool waitUntil(const std::function<bool()> &condition, int timeoutMs) {
  const QDeadlineTimer deadline(timeoutMs);
  while (!condition() && !deadline.hasExpired())
    QTest::qWait(10);
  return condition();
}

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// What the driver benchmarks time: SendWait "A1 On" through an initialised driver, in
// milliseconds of the steady clock.

#include "controller/driver/cm11acontroller.h"

#include <chrono>
#include <vector>

namespace bench {

inline double sendA1OnMs(Cm11aController &driver) {
  qint16 on = 2;
  const auto start = std::chrono::steady_clock::now();
  driver.SendWait(QStringLiteral("A"), QStringLiteral("1"), on, 0, 0, 0);
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// One untimed send first (the first after Init also settles the line), then count timed ones.
// A failed send throws as SendWait does.
inline std::vector<double> timeSendsA1On(Cm11aController &driver, int count) {
  sendA1OnMs(driver);
  std::vector<double> samples;
  for (int i = 0; i < count; ++i)
    samples.push_back(sendA1OnMs(driver));
  return samples;
}

} // namespace bench

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A simulated interface on a virtual clock, driven the way a PC drives the real one: write
// bytes, then read what has arrived after some time. Bytes are given and returned as hex text
// ("04 66") so tests read like the protocol's own examples.

#include "simulator/core/cm11adevice.h"
#include "vocabulary/hexbytes.h"

#include <QByteArray>

#include <span>

namespace x10::sim::test {

class VirtualWire {
public:
  explicit VirtualWire(Timing timing = Timing::fast(),
                       PowerLine line = PowerLine::withDemoModules())
      : device(timing, std::move(line), now) {}

  void send(const char *hex) {
    const QByteArray bytes = QByteArray::fromHex(hex);
    device.receive(std::span(reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size()),
                   now);
  }

  // Everything that arrives within the next `span` of virtual time, as upper-case hex.
  QByteArray readFor(Duration span) {
    const TimePoint end = now + span;
    std::vector<std::uint8_t> out;
    for (;;) {
      device.advance(now);
      const std::vector<std::uint8_t> bytes = device.takeOutput(now);
      out.insert(out.end(), bytes.begin(), bytes.end());
      const auto next = device.nextDeadline();
      if (!next || *next > end)
        break;
      now = std::max(now, *next);
    }
    now = end;
    return QByteArray::fromStdString(hexBytes(out));
  }

  QByteArray read() { return readFor(Duration::zero()); }

  // Virtual time until the next bytes arrive (at most `limit`), and those bytes.
  std::pair<Duration, QByteArray> nextByte(Duration limit) {
    const TimePoint start = now;
    while (now - start <= limit) {
      device.advance(now);
      const auto next = device.nextDeadline();
      if (const auto bytes = device.takeOutput(now); !bytes.empty())
        return {now - start, QByteArray::fromStdString(hexBytes(bytes))};
      if (!next)
        break;
      now = std::max(now, *next);
    }
    return {limit, {}};
  }

  void inject(std::initializer_list<Frame> frames) {
    device.inject(std::vector<Frame>(frames), now);
  }

  TimePoint now = TimePoint{} + std::chrono::hours(1);
  Cm11aDevice device;
};

} // namespace x10::sim::test

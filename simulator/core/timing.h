// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// How long things take: bytes at 4800 baud on the serial line, frames on the power line where
// one X10 bit takes one mains cycle. Fast timing makes all of it instant for tests.

#include "simulator/core/frame.h"
#include "simulator/core/simtime.h"

namespace x10::sim {

// Mains cycles a frame holds the line, including the silent cycles before the next frame.
int frameCycles(const Frame &frame);

class Timing {
public:
  static Timing realistic(int mainsHz);
  static Timing fast();

  Duration byteTime() const;
  Duration frameTime(const Frame &frame) const;
  // A paced remote's frame: its line time, and in fast timing still a few milliseconds, so the
  // PC gets its turns on the line between frames as it would on a real one.
  Duration pacedFrameTime(const Frame &frame) const;
  // The interface repeats its polls about once a second; that is protocol, not speed, so it
  // holds in fast timing too.
  static Duration pollInterval() { return std::chrono::seconds(1); }
  // How long a checksum waits for the PC's go-ahead before the exchange is dropped. Clients
  // answer at once, or after their own one-second read timeout plus a USB-serial adapter's
  // latency (16 ms each way) and a busy scheduler: twice that second leaves them room.
  static Duration goAheadWait() { return std::chrono::seconds(2); }
  // The PC sends a command as one burst, so a pause this long inside one means the rest is not
  // coming. Within a burst bytes follow each other at once, even through a USB-serial adapter
  // (a write leaves in one USB packet; byte-by-byte writes are a 1 ms USB frame apart); 50 ms
  // is three times an adapter's 16 ms latency timer, yet shorter than any client waits
  // between two commands.
  static Duration commandGap() { return std::chrono::milliseconds(50); }

  bool isFast() const { return mainsHz_ == 0; }
  int mainsHz() const { return mainsHz_; }

private:
  explicit Timing(int mainsHz) : mainsHz_(mainsHz) {}
  int mainsHz_; // 0: fast
};

} // namespace x10::sim

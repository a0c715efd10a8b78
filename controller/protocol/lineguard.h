// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Keeps what a link hands the driver near what a CM11A can send: 480 bytes a second at
// 4800 8N1. Each read pass's bytes go through take(): those within four times that come back,
// the rest are dropped and counted (reported at most once a second). A line that sends far
// more, or nothing but zero bytes, is judged not to be an interface at all. Time is an
// input: no clock, no I/O.

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace x10 {

class LineGuard {
public:
  using Time = std::chrono::steady_clock::time_point;
  enum class Verdict { Plausible, Flood, Zeros };

  // The most a CM11A sends in a second.
  static constexpr int kBytesPerSecond = 480;
  // What is taken: four times that, for bytes bunched on their way and for a double of the
  // interface that runs faster than the real one (the simulator's fast mode, about twice the
  // rate in a storm of traffic); beyond it nothing is a CM11A.
  static constexpr int kTakenPerSecond = 4 * kBytesPerSecond;
  // Bytes taken at once right after opening: a status reply and a poll, however fast a
  // double answers.
  static constexpr int kFirstBurst = 64;
  // Bytes dropped within a second beyond which the line is a flood, not a late burst.
  static constexpr int kFloodExcess = 64;
  // Zero bytes in a row that no reply or upload holds: a line held in break, or a device
  // that sends nothing but zeros.
  static constexpr int kZeroRun = 32;

  // Starts afresh, as the link opens at now.
  void start(Time now);
  // The bytes one read pass got at now: those a CM11A could have sent, in order. Nothing once
  // the line is judged not to be an interface.
  std::vector<std::uint8_t> take(std::span<const std::uint8_t> bytes, Time now);
  Verdict verdict() const { return verdict_; }
  // What the line did, for a line judged not to be an interface; empty otherwise.
  std::string verdictText() const;
  // "ignored N bytes ...", once a second at most while bytes are being dropped.
  std::optional<std::string> takeReport();

private:
  void refill(Time now);
  void judge(std::span<const std::uint8_t> bytes, Time now);

  Time last_{};
  Time windowStart_{};
  double tokens_ = 0;
  long long windowOffered_ = 0;
  long long windowDropped_ = 0;
  int zeroRun_ = 0;
  long long floodBytes_ = 0;
  long long floodMs_ = 0;
  Verdict verdict_ = Verdict::Plausible;
  std::optional<std::string> report_;
};

// n with a comma every three digits, as the log writes counts: 51,200.
std::string groupedDigits(long long n);

} // namespace x10

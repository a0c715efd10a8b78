// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/protocol/lineguard.h"

#include <algorithm>
#include <utility>

namespace x10 {
namespace {

using namespace std::chrono_literals;

constexpr auto kWindow = 1s;

long long millisBetween(LineGuard::Time from, LineGuard::Time to) {
  return std::chrono::ceil<std::chrono::milliseconds>(to - from).count();
}

} // namespace

std::string groupedDigits(long long n) {
  std::string digits = std::to_string(n < 0 ? -n : n);
  for (auto at = static_cast<long long>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<std::size_t>(at), ",");
  return n < 0 ? "-" + digits : digits;
}

void LineGuard::start(Time now) {
  *this = LineGuard();
  last_ = now;
  windowStart_ = now;
  tokens_ = kFirstBurst;
}

std::vector<std::uint8_t> LineGuard::take(std::span<const std::uint8_t> bytes, Time now) {
  if (verdict_ != Verdict::Plausible)
    return {};
  refill(now);
  std::vector<std::uint8_t> kept;
  for (const std::uint8_t b : bytes) {
    ++windowOffered_;
    if (tokens_ >= 1) {
      tokens_ -= 1;
      kept.push_back(b);
    } else {
      ++windowDropped_;
    }
  }
  judge(bytes, now);
  if (verdict_ != Verdict::Plausible)
    return {};
  return kept;
}

// Tokens come at kTakenPerSecond and keep for a second: a burst held up in the system's
// buffers for up to a second still passes.
void LineGuard::refill(Time now) {
  if (now - windowStart_ >= kWindow) {
    if (windowDropped_ > 0)
      report_ = "ignored " + groupedDigits(windowDropped_) +
                " bytes in the last second: more than a CM11A sends (" +
                std::to_string(kBytesPerSecond) + " a second)";
    windowStart_ = now;
    windowOffered_ = 0;
    windowDropped_ = 0;
  }
  const double seconds = std::chrono::duration<double>(now - last_).count();
  tokens_ = std::min<double>(kTakenPerSecond, tokens_ + std::max(seconds, 0.0) * kTakenPerSecond);
  last_ = now;
}

void LineGuard::judge(std::span<const std::uint8_t> bytes, Time now) {
  for (const std::uint8_t b : bytes) {
    zeroRun_ = b == 0 ? zeroRun_ + 1 : 0;
    if (zeroRun_ >= kZeroRun) {
      verdict_ = Verdict::Zeros;
      return;
    }
  }
  if (windowDropped_ > kFloodExcess) {
    verdict_ = Verdict::Flood;
    floodBytes_ = windowOffered_;
    floodMs_ = std::max(millisBetween(windowStart_, now), 1LL);
  }
}

std::string LineGuard::verdictText() const {
  switch (verdict_) {
  case Verdict::Plausible:
    return {};
  case Verdict::Flood:
    return "sends far more than a CM11A can (" + groupedDigits(floodBytes_) + " bytes within " +
           groupedDigits(floodMs_) + " ms; a CM11A sends at most " +
           std::to_string(kBytesPerSecond) + " a second)";
  case Verdict::Zeros:
    return "sends nothing but zero bytes (" + std::to_string(kZeroRun) +
           " in a row): a line held in break or a wrong device";
  }
  return {};
}

std::optional<std::string> LineGuard::takeReport() { return std::exchange(report_, std::nullopt); }

} // namespace x10

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/protocol/transmission.h"

#include "controller/protocol/wirebytes.h"
#include "vocabulary/hexbytes.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace x10 {
namespace {

constexpr std::uint8_t kHeaderBase = 0x04; // bit 2 is always set in a standard header
constexpr std::uint8_t kFunctionBit = 0x02;
constexpr std::uint8_t kExtendedBit = 0x01;
constexpr std::uint8_t kExtendedHeader = kHeaderBase | kFunctionBit | kExtendedBit;

// A frame is 11 cycles, always sent twice, then 3 silent cycles. Dim and Bright steps are the
// frame repeated with no gap, one frame a step (still at least two): a full 22-step dim is
// 22 x 11 + 3 = 245 cycles, about 4 s at 60 Hz. An extended frame is 31 cycles, also twice.
constexpr int kFrameCycles = 11;
constexpr int kSilentCycles = 3;
constexpr int kExtendedCycles = 2 * 31 + kSilentCycles;

std::uint8_t sumOf(std::span<const std::uint8_t> bytes) {
  return static_cast<std::uint8_t>(std::accumulate(bytes.begin(), bytes.end(), 0u) & 0xFF);
}

std::uint8_t join(std::uint8_t high, std::uint8_t low) {
  return static_cast<std::uint8_t>(high << 4 | (low & 0xF));
}

int dimsOf(std::uint8_t header) { return header >> 3; }

} // namespace

Transmission Transmission::address(HouseCode house, UnitCode unit) {
  return Transmission({kHeaderBase, join(house.nibble(), unit.nibble())});
}

Transmission Transmission::function(HouseCode house, Function function, int dims) {
  const bool stepped = function == Function::Dim || function == Function::Bright;
  const int steps = stepped ? std::clamp(dims, 0, kMaxDims) : 0;
  const auto header = static_cast<std::uint8_t>(steps << 3 | kHeaderBase | kFunctionBit);
  return Transmission({header, join(house.nibble(), static_cast<std::uint8_t>(function))});
}

Transmission Transmission::presetDim(int level) {
  const PresetDimCode code = presetDimCode(level);
  return Transmission({kHeaderBase | kFunctionBit,
                       join(code.houseNibble, static_cast<std::uint8_t>(code.function))});
}

Transmission Transmission::extended(HouseCode house, UnitCode unit, std::uint8_t data,
                                    std::uint8_t command) {
  return Transmission({kExtendedHeader,
                       join(house.nibble(), static_cast<std::uint8_t>(Function::ExtendedCode)),
                       unit.nibble(), data, command});
}

Transmission Transmission::setClock(const WallClock &c, HouseCode monitored, std::uint8_t flags) {
  const int yday = std::clamp(c.dayOfYear, 0, 365);
  return Transmission(
      {wire::kSetClockHeader, static_cast<std::uint8_t>(c.second),
       static_cast<std::uint8_t>(c.hour % 2 * 60 + c.minute), static_cast<std::uint8_t>(c.hour / 2),
       static_cast<std::uint8_t>(yday & 0xFF),
       static_cast<std::uint8_t>((yday >> 8) << 7 | 1 << (c.dayOfWeek % 7)),
       join(monitored.nibble(), flags & (kClearMonitoredStatus | kClearBatteryTimer))});
}

std::optional<Transmission> Transmission::parse(std::span<const std::uint8_t> bytes) {
  if (bytes.size() == 7 && bytes[0] == wire::kSetClockHeader)
    return Transmission({bytes.begin(), bytes.end()});
  if (bytes.size() == 5 && bytes[0] == kExtendedHeader && (bytes[1] & 0xF) == 7)
    return Transmission({bytes.begin(), bytes.end()});
  const bool standard = bytes.size() == 2 && (bytes[0] & 0x07) != kExtendedHeader &&
                        (bytes[0] & kHeaderBase) && dimsOf(bytes[0]) <= kMaxDims;
  if (standard)
    return Transmission({bytes.begin(), bytes.end()});
  return std::nullopt;
}

bool Transmission::isSetClock() const { return bytes_.size() == 7; }
bool Transmission::isExtended() const { return bytes_.size() == 5; }

// The set-clock checksum leaves out its 0x9B header: the interface sums only the clock bytes.
std::uint8_t Transmission::checksum() const {
  return isSetClock() ? sumOf(std::span(bytes_).subspan(1)) : sumOf(bytes_);
}

int Transmission::lineCycles() const {
  if (isSetClock())
    return 0;
  if (isExtended())
    return kExtendedCycles;
  return std::max(dimsOf(bytes_[0]), 2) * kFrameCycles + kSilentCycles;
}

std::string Transmission::describe() const {
  char text[64];
  if (isSetClock()) {
    std::snprintf(text, sizeof text, "set clock %02d:%02d:%02d day %d flags %d",
                  bytes_[3] * 2 + bytes_[2] / 60, bytes_[2] % 60, bytes_[1],
                  (bytes_[5] >> 7) << 8 | bytes_[4], bytes_[6] & 0xF);
    return text;
  }
  const char house = HouseCode::fromNibble(bytes_[1] >> 4).letter();
  const Function f = functionFromCode(bytes_[1]);
  if (isExtended()) {
    std::snprintf(text, sizeof text, "%c%d Extended data %s command %s", house,
                  UnitCode::fromNibble(bytes_[2]).number(), hexByte(bytes_[3]).c_str(),
                  hexByte(bytes_[4]).c_str());
  } else if (!(bytes_[0] & kFunctionBit)) {
    std::snprintf(text, sizeof text, "%c%d", house, UnitCode::fromNibble(bytes_[1]).number());
  } else if (f == Function::PresetDim1 || f == Function::PresetDim2) {
    std::snprintf(text, sizeof text, "Pre-set Dim level %d", presetLevel(bytes_[1] >> 4, f));
  } else if (f == Function::Dim || f == Function::Bright) {
    std::snprintf(text, sizeof text, "%c %s %d/22", house, functionName(f).data(),
                  dimsOf(bytes_[0]));
  } else {
    std::snprintf(text, sizeof text, "%c %s", house, functionName(f).data());
  }
  return text;
}

} // namespace x10

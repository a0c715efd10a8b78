#pragma once
// What the PC sends to the interface and the interface confirms with a checksum before acting
// on it: a standard address or function (header, code), an extended code (5 bytes) and a
// set-clock (0x9B and 6 bytes). Each knows its bytes, the checksum the interface must echo and
// how many mains cycles it occupies on the power line (to bound the wait for "ready").

#include "wallclock.h"
#include "x10codes.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace x10 {

// Set-clock flags. Bit 2 (purge the stored timers and macros) is deliberately absent: it
// would destroy what the user programmed into the interface.
inline constexpr std::uint8_t kClearMonitoredStatus = 0x01;
inline constexpr std::uint8_t kClearBatteryTimer = 0x02;

inline constexpr int kMaxDims = 22;
inline constexpr int kMaxPresetLevel = 31;

class Transmission {
public:
  static Transmission address(HouseCode house, UnitCode unit);
  // dims (0..22) only matter for Dim and Bright.
  static Transmission function(HouseCode house, Function function, int dims = 0);
  // Level 0..31. Bit 4 picks Pre-set Dim 2 over 1; bits 0..3 travel bit-reversed in the
  // house position, so levels 0..15 read as houses M N O P C D A B E F G H K L I J.
  static Transmission presetDim(int level);
  static Transmission extended(HouseCode house, UnitCode unit, std::uint8_t data, std::uint8_t command);
  // flags: kClearMonitoredStatus | kClearBatteryTimer; anything else is masked off.
  static Transmission setClock(const WallClock &clock, HouseCode monitored, std::uint8_t flags);

  // Recognises the bytes of one transmission; nothing when they are not one.
  static std::optional<Transmission> parse(std::span<const std::uint8_t> bytes);

  const std::vector<std::uint8_t> &bytes() const { return bytes_; }
  std::uint8_t checksum() const;
  // Mains cycles the interface spends on the power line before it says "ready".
  int lineCycles() const;
  // Short readable form for logs: "A1", "A On", "A Dim 16/22", "set clock 21:04:19".
  std::string describe() const;

  friend bool operator==(const Transmission &, const Transmission &) = default;

private:
  explicit Transmission(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
  bool isSetClock() const;
  bool isExtended() const;
  std::vector<std::uint8_t> bytes_;
};

// Pre-set dim level of the bits carried by a function byte (house nibble) and its function.
int presetLevel(std::uint8_t houseNibble, Function function);
std::uint8_t reverseNibble(std::uint8_t nibble);

} // namespace x10

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The numeric-field reader on arbitrary field text, and the narrowing on arbitrary doubles.
// Invariants: only NumericOverflow escapes; a number read is finite; a narrowed value is the
// rounded input (within half a unit) or NumericOverflow when that is out of the type's range.

#include "console/numericfield.h"
#include "fuzz/fuzzcheck.h"

#include <QString>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

template <typename Int>
void checkNarrowing(double value) {
  constexpr qint32 low = std::numeric_limits<Int>::min();
  constexpr qint32 high = std::numeric_limits<Int>::max();
  const double rounded = std::nearbyint(value);
  const bool fits = rounded >= low && rounded <= high;
  try {
    const qint32 result = toWholeNumber(value, {low, high}, {low, high});
    require(fits, "a value out of range was narrowed without NumericOverflow");
    require(std::fabs(value - result) <= 0.5, "narrowing moved the value by more than a half");
  } catch (const NumericOverflow &) {
    require(!fits, "NumericOverflow for a value that fits");
  }
}

void checkBoth(double value) {
  checkNarrowing<qint16>(value);
  checkNarrowing<qint32>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size >= sizeof(double)) {
    double raw;
    std::memcpy(&raw, data, sizeof raw);
    checkBoth(raw);
  }
  const char *text = reinterpret_cast<const char *>(data);
  const auto length = static_cast<qsizetype>(size);
  for (const QString &field :
       {QString::fromUtf8(text, length), QString::fromLatin1(text, length)}) {
    try {
      const double value = readNumber(field);
      require(std::isfinite(value), "readNumber gave a value that is not finite");
      checkBoth(value);
    } catch (const NumericOverflow &) {
    }
  }
  return 0;
}

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/numericfield.h"

#include "console/cnumber.h"

#include "vocabulary/numbertext.h"

#include <cctype>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

// The text without the characters the rule ignores. Characters outside Latin-1 cannot be part
// of a number, so they become a byte that stops the scan.
std::string withoutBlanks(QStringView text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (const QChar c : text) {
    if (c == u' ' || c == u'\t' || c == u'\n')
      continue;
    out.push_back(c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '\x7f');
  }
  return out;
}

int digitValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return 99;
}

// A number beyond the range of double, shown as it stands in the field (blanks aside).
[[noreturn]] void tooLarge(std::string_view typed) {
  throw NumericOverflow(std::string(typed) +
                        " is too large; enter a smaller number. (The largest " + "number is " +
                        x10::numberText(DBL_MAX) + ".)");
}

// The &H or &O integer at the start of text, up to the first character that is not a digit.
double readRadixInteger(std::string_view text, int radix) {
  double value = 0;
  std::size_t end = 2;
  for (; end < text.size() && digitValue(text[end]) < radix; ++end)
    value = value * radix + digitValue(text[end]);
  if (!std::isfinite(value))
    tooLarge(text.substr(0, end));
  return value;
}

// The unsigned decimal number at text[from]; 0 if none starts there. text[0, from) is its sign.
double readUnsignedDecimal(std::string_view text, std::size_t from) {
  const std::string_view number = text.substr(from);
  const bool startsNumber =
      !number.empty() && (std::isdigit(static_cast<unsigned char>(number[0])) ||
                          (number.size() > 1 && number[0] == '.' &&
                           std::isdigit(static_cast<unsigned char>(number[1]))));
  if (!startsNumber)
    return 0; // also keeps from_chars from reading "inf" or "nan"
  double value = 0;
  const auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec != std::errc::result_out_of_range)
    return value;
  // Out of range either way: too small rounds to 0, too large is an error. from_chars does not
  // say which, and a long double is no wider than a double on some targets (32-bit ARM), so
  // strtod tells: only a number too large gives infinity. The C locale keeps the period.
  const double clamped = strtodInCLocale(std::string(number.data(), end).c_str());
  if (std::isinf(clamped))
    tooLarge(text.substr(0, static_cast<std::size_t>(end - text.data())));
  return clamped;
}

} // namespace

double readNumber(QStringView text) {
  const std::string s = withoutBlanks(text);
  const std::string_view view(s);
  if (view.size() >= 2 && view[0] == '&') {
    const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(view[1])));
    if (kind == 'H')
      return readRadixInteger(view, 16);
    if (kind == 'O')
      return readRadixInteger(view, 8);
    return 0;
  }
  const bool hasSign = !view.empty() && (view[0] == '+' || view[0] == '-');
  const double magnitude = readUnsignedDecimal(view, hasSign ? 1 : 0);
  return hasSign && view[0] == '-' ? -magnitude : magnitude;
}

qint32 toWholeNumber(double value, WholeRange fits, WholeRange ofUse) {
  const double rounded = std::nearbyint(value); // the default rounding mode: ties to even
  // Written so that NaN fails too: converting it to an integer is undefined.
  if (!(rounded >= fits.low && rounded <= fits.high))
    throw NumericOverflow(x10::rangeMessage(value, ofUse.low, ofUse.high));
  return static_cast<qint32>(rounded);
}

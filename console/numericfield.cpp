// SPDX-License-Identifier: MIT
#include "console/numericfield.h"

#include <QLocale>
#include <QString>

#include <cctype>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
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

QString shortest(double value) {
  return QString::number(value, 'g', QLocale::FloatingPointShortest);
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

// Digits of an &H or &O integer, up to the first character that is not one.
double readRadixInteger(std::string_view digits, int radix) {
  double value = 0;
  for (const char c : digits) {
    const int d = digitValue(c);
    if (d >= radix)
      break;
    value = value * radix + d;
  }
  if (!std::isfinite(value))
    throw NumericOverflow("Overflow: the number in the field is too large");
  return value;
}

// An unsigned decimal number at the start of text; 0 if text does not start with one.
double readUnsignedDecimal(std::string_view text) {
  const bool startsNumber =
      !text.empty() &&
      (std::isdigit(static_cast<unsigned char>(text[0])) ||
       (text.size() > 1 && text[0] == '.' && std::isdigit(static_cast<unsigned char>(text[1]))));
  if (!startsNumber)
    return 0; // also keeps from_chars from reading "inf" or "nan"
  double value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc::result_out_of_range)
    return value;
  // Out of range either way: too small rounds to 0, too large is an error. from_chars does not
  // say which, and a long double is no wider than a double on some targets (32-bit ARM), so
  // strtod tells: only a number too large gives infinity. The C locale keeps the period.
  static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", locale_t{});
  const double clamped = ::strtod_l(std::string(text.data(), end).c_str(), nullptr, cLocale);
  if (std::isinf(clamped))
    throw NumericOverflow("Overflow: the number in the field is too large");
  return clamped;
}

template <typename Int>
Int narrow(double value, const char *typeName) {
  const double rounded = std::nearbyint(value); // the default rounding mode: ties to even
  // Written so that NaN fails too: converting it to an integer is undefined.
  if (!(rounded >= std::numeric_limits<Int>::min() && rounded <= std::numeric_limits<Int>::max()))
    throw NumericOverflow(QStringLiteral("Overflow: %1 does not fit in a %2 integer (%3 to %4)")
                              .arg(shortest(value), QLatin1String(typeName))
                              .arg(std::numeric_limits<Int>::min())
                              .arg(std::numeric_limits<Int>::max())
                              .toStdString());
  return static_cast<Int>(rounded);
}

} // namespace

double readNumber(QStringView text) {
  const std::string s = withoutBlanks(text);
  const std::string_view view(s);
  if (view.size() >= 2 && view[0] == '&') {
    const char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(view[1])));
    if (kind == 'H')
      return readRadixInteger(view.substr(2), 16);
    if (kind == 'O')
      return readRadixInteger(view.substr(2), 8);
    return 0;
  }
  if (!view.empty() && (view[0] == '+' || view[0] == '-')) {
    const double magnitude = readUnsignedDecimal(view.substr(1));
    return view[0] == '-' ? -magnitude : magnitude;
  }
  return readUnsignedDecimal(view);
}

qint16 toInt16(double value) { return narrow<qint16>(value, "16-bit"); }

qint32 toInt32(double value) { return narrow<qint32>(value, "32-bit"); }

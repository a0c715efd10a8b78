// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Reading numbers out of the window's text fields. Every number the console takes from a field
// goes through readNumber(); handlers that need an integer narrow the result with
// toWholeNumber(), which fails loudly instead of wrapping around.

#include <QStringView>
#include <QtGlobal>

#include <stdexcept>

// A number read from a field does not fit the type it is needed as.
class NumericOverflow : public std::overflow_error {
public:
  using std::overflow_error::overflow_error;
};

// The leading number of a field's text. Blanks, tabs and line feeds are ignored wherever they
// stand. Accepted: an optional sign, decimal digits, an optional fraction after a period (the
// only decimal separator, whatever the locale) and an optional exponent (E, optional sign,
// digits), read up to the first character that cannot continue the number; or &H / &O followed
// by a hexadecimal / octal integer. Text without a leading number gives 0. Throws
// NumericOverflow for a number beyond the range of double.
double readNumber(QStringView text);

struct WholeRange {
  qint32 low;
  qint32 high;
};
inline constexpr WholeRange int16Range{-32768, 32767};
inline constexpr WholeRange int32Range{-2147483647 - 1, 2147483647};

// Round to the nearest integer, ties to the even neighbour (2.5 -> 2, 3.5 -> 4). Throw
// NumericOverflow when the rounded value does not fit `fits` (the integer the component is
// handed), or is not a number. The message says so in plain words and gives the range that is
// of use, which may be narrower ("40000 is out of range; enter a number from 1 to 32767.").
qint32 toWholeNumber(double value, WholeRange fits, WholeRange ofUse);

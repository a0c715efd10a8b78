// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/cnumber.h"

#include <clocale>
#include <cstdlib>

double strtodInCLocale(const char *text) {
  static const locale_t cLocale = ::newlocale(LC_ALL_MASK, "C", locale_t{});
  return ::strtod_l(text, nullptr, cLocale);
}

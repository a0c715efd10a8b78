// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/cnumber.h"

#include <clocale>
#include <cstdlib>

double strtodInCLocale(const char *text) {
  static const _locale_t cLocale = ::_create_locale(LC_ALL, "C");
  return ::_strtod_l(text, nullptr, cLocale);
}

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/support/commalocale.h"

#include <clocale>

QString setCommaNumericLocale() {
  if (!std::setlocale(LC_NUMERIC, "German_Germany.1252"))
    return "the C library knows no German_Germany.1252 locale";
  return {};
}

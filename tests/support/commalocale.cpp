// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/support/commalocale.h"

#include <QLocale>

#include <clocale>

QString useCommaDecimalLocale() {
  if (const QString error = setCommaNumericLocale(); !error.isEmpty())
    return error;
  if (*std::localeconv()->decimal_point != ',')
    return "the locale set has no decimal comma";
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  return {};
}

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/fieldnumbers.h"

#include "console/numericfield.h"

#include <QLineEdit>

namespace {

template <typename Narrow>
auto read(const QLineEdit &field, Narrow narrow) {
  try {
    return narrow(readNumber(field.text()));
  } catch (const NumericOverflow &e) {
    throw NumericOverflow(field.accessibleName().toStdString() + ": " + e.what());
  }
}

double asIs(double value) { return value; }

} // namespace

double numberIn(const QLineEdit &field) { return read(field, asIs); }

qint32 wholeNumberIn(const QLineEdit &field, WholeRange fits, WholeRange ofUse) {
  return read(field, [=](double value) { return toWholeNumber(value, fits, ofUse); });
}

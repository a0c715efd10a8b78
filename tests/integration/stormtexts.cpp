// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/integration/stormtexts.h"

QStringList stormTexts(int count) {
  QStringList texts;
  for (int i = 0; i < count; ++i) {
    const QString address = QChar('A' + i / 16 % 16) + QString::number(i % 16 + 1);
    texts << address << address + (i / 256 % 2 ? " Off" : " On");
  }
  return texts;
}

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/messagetext.h"

#include <QRegularExpression>

namespace {

const QChar ellipsis(0x2026);

QString elided(const QString &text, qsizetype longest) {
  if (text.size() <= longest)
    return text;
  const qsizetype kept = (longest - 1) / 2;
  return text.left(kept) + ellipsis + text.right(kept);
}

} // namespace

QString fittedMessage(const QString &message) {
  static const QRegularExpression longRun(QStringLiteral("\\S{%1,}").arg(kLongestRun + 1));
  const QString text = elided(message, kLongestText);
  QString fitted;
  qsizetype from = 0;
  for (auto it = longRun.globalMatch(text); it.hasNext();) {
    const QRegularExpressionMatch run = it.next();
    fitted += text.mid(from, run.capturedStart() - from) + elided(run.captured(), kLongestRun);
    from = run.capturedEnd();
  }
  return fitted + text.mid(from);
}

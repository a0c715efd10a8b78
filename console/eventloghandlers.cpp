// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/eventloghandlers.h"

#include "console/busycursor.h"
#include "console/eventlog.h"
#include "console/fieldnumbers.h"
#include "console/form1.h"
#include "controller/contract/controlcm.h"

#include <QLineEdit>
#include <QMessageBox>

#include <cstdlib>

namespace {

constexpr qint32 longestPollMs = 65535;

// The function value with one leading character for its sign: a blank, or a minus sign.
QString signedNumber(qint16 value) {
  return (value < 0 ? QStringLiteral("-") : QStringLiteral(" ")) +
         QString::number(std::abs(static_cast<int>(value)));
}

} // namespace

void Command2_Click(Form1 &form) {
  // The comparison is signed: 0 and negative time-outs go to the component, which returns at
  // once for them.
  qint32 timeoutMs = wholeNumberIn(*form.TxtPoll, int32Range, {0, longestPollMs});
  if (timeoutMs > longestPollMs) {
    QMessageBox::warning(&form, QStringLiteral("Input Error"),
                         QStringLiteral("Poll time too big, enter 0-65535"));
    return;
  }
  const BusyCursor busy;
  const QString event = form.controlcm1().GetEvent(timeoutMs);
  form.TxtEvent->appendLine(event.isEmpty() ? QStringLiteral("No Data")
                                            : QStringLiteral("Poll Data: ") + event);
}

void Command4_Click(Form1 &form) { form.TxtEvent->clear(); }

void X10Event_Handler(Form1 &form, const QString &deviceCode, const QString &houseCode,
                      qint16 function, const QString &dimValue, const QString &data2) {
  form.TxtEvent->appendLine(QStringLiteral("Event: HC:") + houseCode + QStringLiteral(" DC:") +
                            deviceCode + QStringLiteral(" Com:") + signedNumber(function) +
                            QStringLiteral(" dimval: ") + dimValue + QStringLiteral("D2: ") +
                            data2);
}

void X10SingleEvent_Handler(Form1 &form, const QString &deviceCode, const QString &houseCode,
                            qint16 function) {
  form.TxtEvent->appendLine(QStringLiteral("Single Event: HC:") + houseCode +
                            QStringLiteral(" DC:") + deviceCode + QStringLiteral(" Com:") +
                            signedNumber(function));
}

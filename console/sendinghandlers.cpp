// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/sendinghandlers.h"

#include "console/busycursor.h"
#include "console/commandlist.h"
#include "console/fieldnumbers.h"
#include "console/form1.h"
#include "controller/contract/controlcm.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

using SendMember = void (controlcm::*)(const QString &, const QString &, qint16 &, double, double,
                                       double);

void send(Form1 &form, SendMember member) {
  const auto row = static_cast<std::size_t>(form.Combo1->currentIndex());
  auto function = static_cast<qint16>(kCommandList.at(row).function);
  const QString houseCode = form.TxtHC->text();
  const QString deviceCode = form.TxtDC->text();
  const double dimValue = numberIn(*form.TxtDim);
  const double data1 = numberIn(*form.TxtData1);
  const double data2 = numberIn(*form.TxtData2);
  const BusyCursor busy;
  (form.controlcm1().*member)(houseCode, deviceCode, function, dimValue, data1, data2);
}

} // namespace

void Command1_Click(Form1 &form) { send(form, &controlcm::SendExec); }

void Command5_Click(Form1 &form) { send(form, &controlcm::SendWait); }

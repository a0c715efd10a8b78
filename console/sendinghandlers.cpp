// SPDX-License-Identifier: MIT
#include "console/sendinghandlers.h"

#include "console/busycursor.h"
#include "console/fieldnumbers.h"
#include "console/form1.h"
#include "controller/controlcm.h"

#include <QComboBox>
#include <QLineEdit>

namespace {

using SendMember = void (controlcm::*)(const QString &, const QString &, qint16 &, double, double,
                                       double);

// The last entry of the command list stands for the function value -1, not 16.
constexpr qint16 minusOnePosition = 16;

void send(Form1 &form, SendMember member) {
  auto function = static_cast<qint16>(form.Combo1->currentIndex());
  if (function == minusOnePosition)
    function = -1;
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

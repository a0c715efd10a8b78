// SPDX-License-Identifier: MIT
#include "console/setuphandlers.h"

#include "console/appidentity.h"
#include "console/form1.h"
#include "console/numericfield.h"
#include "controller/controlcm.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

void ButInit_Click(Form1 &form) {
  const qint16 port = toInt16(readNumber(form.TxtComPort->text()));
  form.controlcm1().setComPort(port);
  form.ButInit->setText(QStringLiteral("Wait..."));
  // Init blocks the window; paint the new caption now, without letting other input in.
  form.ButInit->repaint();
  const qint16 result = form.controlcm1().Init();
  if (result != 0) {
    QMessageBox::critical(&form, appidentity::title, QStringLiteral("Error initializing CM11A"));
    form.ButInit->setText(QStringLiteral("Init"));
    return;
  }
  form.ButInit->setText(QStringLiteral("Done"));
  form.ButInit->setEnabled(false);
}

void ButClrCM11_Click(Form1 &form) { form.controlcm1().ClearInterface(); }

void Command3_Click(Form1 &form) { form.close(); }

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/setuphandlers.h"

#include "console/appidentity.h"
#include "console/busycursor.h"
#include "console/fieldnumbers.h"
#include "console/form1.h"
#include "console/messagetext.h"
#include "controller/contract/controlcm.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {

// The contract carries the port as a 16-bit integer; COM 1 is the first port. A number below 1
// still goes to the component, whose Init then fails and says why.
constexpr WholeRange portsOfUse{1, 32767};

// The component's reason and fix, or its result when it gives no reason.
QString initFailure(qint16 result, const QString &reason) {
  if (reason.isEmpty())
    return QStringLiteral("Init failed with result %1; the component gave no reason.").arg(result);
  const bool ended = QStringView(u".?!").contains(reason.back());
  return QStringLiteral("Init failed: ") + reason + (ended ? "" : ".");
}

// Puts text on the button for the mouse and for assistive technology; empty text takes it off.
// As rich text the tooltip wraps instead of growing as wide as the screen.
void explain(QPushButton &button, const QString &text) {
  const QString fitted = fittedMessage(text);
  button.setToolTip(fitted.isEmpty() ? QString()
                                     : QStringLiteral("<p>%1</p>").arg(fitted.toHtmlEscaped()));
  button.setAccessibleDescription(fitted);
}

// Moves the keyboard focus off the button before it is disabled, to the next text field in
// the keyboard order: left to Qt, it would land on "Exit", and a second Space would close the
// program. In a text field a second Space or Enter changes nothing that matters.
void focusNextField(QPushButton &button) {
  if (button.window()->focusWidget() != &button)
    return;
  for (QWidget *next = button.nextInFocusChain(); next != &button;
       next = next->nextInFocusChain()) {
    if (qobject_cast<QLineEdit *>(next) && next->isEnabled() &&
        next->isVisibleTo(button.window())) {
      next->setFocus(Qt::OtherFocusReason); // keeps the caret at the end, the text unselected
      return;
    }
  }
}

qint16 initWhileBusy(controlcm &component) {
  const BusyCursor busy;
  return component.Init();
}

} // namespace

void ButInit_Click(Form1 &form) {
  const auto port = static_cast<qint16>(wholeNumberIn(*form.TxtComPort, int16Range, portsOfUse));
  form.controlcm1().setComPort(port);
  explain(*form.ButInit, {});
  form.ButInit->setText(QStringLiteral("Wait..."));
  // Init blocks the window; paint the new caption now, without letting other input in.
  form.ButInit->repaint();
  const qint16 result = initWhileBusy(form.controlcm1());
  if (result != 0) {
    const QString reason = initFailure(result, form.controlcm1().lastErrorText());
    QMessageBox::critical(&form, appidentity::title, QStringLiteral("Error initializing CM11A"));
    form.ButInit->setText(QStringLiteral("Init"));
    explain(*form.ButInit, reason);
    return;
  }
  form.ButInit->setText(QStringLiteral("Done"));
  focusNextField(*form.ButInit);
  form.ButInit->setEnabled(false);
}

void LinkStatus_Handler(Form1 &form, const QString &text) { explain(*form.ButInit, text); }

void ButClrCM11_Click(Form1 &form) {
  const BusyCursor busy;
  form.controlcm1().ClearInterface();
}

void Command3_Click(Form1 &form) { form.close(); }

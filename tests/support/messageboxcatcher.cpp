// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/support/messageboxcatcher.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QMetaEnum>

MessageBoxCatcher::MessageBoxCatcher() {
  connect(&poll_, &QTimer::timeout, this, &MessageBoxCatcher::answerOpenBox);
  poll_.start(5);
}

void MessageBoxCatcher::answerOpenBox() {
  auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
  if (!box || !box->isVisible())
    return;
  QStringList buttons;
  for (QAbstractButton *button : box->buttons())
    buttons << button->text().remove('&');
  shown << QStringList{QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon()),
                       box->windowTitle(), box->text(), buttons.join(',')}
               .join(QLatin1String(" | "));
  if (whileOpen)
    whileOpen();
  if (QAbstractButton *ok = box->button(QMessageBox::Ok))
    ok->click();
  else
    box->reject();
}

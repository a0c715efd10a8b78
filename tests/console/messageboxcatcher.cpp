#include "messageboxcatcher.h"

#include <QAbstractButton>
#include <QApplication>

MessageBoxCatcher::MessageBoxCatcher() {
  poll_.setInterval(5);
  connect(&poll_, &QTimer::timeout, this, &MessageBoxCatcher::answerOpenBox);
  poll_.start();
}

void MessageBoxCatcher::answerOpenBox() {
  auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
  if (!box || !box->isVisible())
    return;
  Shown seen{box->text(), box->windowTitle(), box->icon(), {}};
  for (QAbstractButton *button : box->buttons())
    seen.buttons << box->standardButton(button);
  shown << seen;
  if (whileOpen)
    whileOpen();
  box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
}

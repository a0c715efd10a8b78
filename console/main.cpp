// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// x10console: the X10 test console. One window, no command line of its own.

#include "console/appidentity.h"
#include "console/form1.h"
#include "console/shutdownsignals.h"
#include "console/systemlog.h"
#include "controller/cm11acontroller.h"
#include "controller/waitinterrupt.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[]) {
  copyMessagesToSystemLogWithoutTerminal();
  QApplication app(argc, argv);
  appidentity::apply(app);
  x10::setWaitInterrupt(closeWindowsOnTerminationSignals());

  Form1 form(std::make_unique<Cm11aController>());
  form.show();
  return QApplication::exec();
}

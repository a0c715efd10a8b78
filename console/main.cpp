// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// x10console: the X10 test console. One window; --help and --version are answered without it.

#include "console/appidentity.h"
#include "console/commandline.h"
#include "console/form1.h"
#include "console/messagelog.h"
#include "console/shutdownsignals.h"
#include "console/startingterminal.h"
#include "controller/driver/cm11acontroller.h"
#include "controller/links/waitinterrupt.h"

#include <QApplication>

#include <memory>

int main(int argc, char *argv[]) {
  reachTheStartingTerminal();
  if (const auto answered = answerBeforeTheWindow(argc, argv))
    return *answered;
  keepMessagesInTheSystemLog();
  QApplication app(argc, argv);
  appidentity::apply(app);
  x10::setWaitInterrupt(closeWindowsOnTerminationSignals());

  Form1 form(std::make_unique<Cm11aController>());
  form.show();
  return QApplication::exec();
}

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Drives the driver on Windows through one exchange of each kind and prints what each gave, a
// line each, with its time: Init on COM n, SendWait "A1 On", then GetEvent for up to the given
// seconds (traffic the interface hears meanwhile), and the link's losses and returns. Run under
// Wine with COM n mapped to a simulator, it shows the serial link, or a port file's network link,
// carrying real exchanges.
//   x10-link-probe <n> [seconds]
#include "controller/driver/cm11acontroller.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <cstdio>
#include <cstdlib>

namespace {

void say(const QElapsedTimer &clock, const QString &what) {
  std::printf("%6lld ms  %s\n", clock.elapsed(), qPrintable(what));
  std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv) {
  QCoreApplication app(argc, argv);
  Cm11aController controller;
  controller.setComPort(static_cast<qint16>(argc > 1 ? std::atoi(argv[1]) : 1));
  const int seconds = argc > 2 ? std::atoi(argv[2]) : 3;
  QElapsedTimer clock;
  clock.start();
  QObject::connect(&controller, &controlcm::linkStatusChanged,
                   [&clock](const QString &status) { say(clock, status); });
  const qint16 init = controller.Init();
  say(clock, QStringLiteral("Init: %1 %2").arg(init).arg(controller.lastErrorText()));
  if (init != 0)
    return 1;
  try {
    qint16 on = 2;
    controller.SendWait(QStringLiteral("A"), QStringLiteral("1"), on, 0, 0, 0);
    say(clock, QStringLiteral("SendWait A1 On: done"));
  } catch (const ControllerError &e) {
    say(clock, QStringLiteral("SendWait A1 On: %1").arg(QString::fromUtf8(e.what())));
    return 1;
  }
  QElapsedTimer listening;
  listening.start();
  QString failed;
  while (listening.elapsed() < seconds * 1000) {
    try {
      qint32 timeoutMs = 500;
      const QString event = controller.GetEvent(timeoutMs);
      if (!event.isEmpty())
        say(clock, QStringLiteral("GetEvent: %1").arg(event));
    } catch (const ControllerError &e) { // the link is down: the driver re-takes it meanwhile
      if (failed != QString::fromUtf8(e.what()))
        say(clock, QStringLiteral("GetEvent: %1").arg(failed = QString::fromUtf8(e.what())));
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  }
  return 0;
}

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Termination on POSIX: SIGTERM, SIGINT and SIGHUP. The component also removes its lock file as
// it closes the port. The signal handler only writes a byte to a pipe, which is
// async-signal-safe; the event loop sees it and closes the windows, and the driver polls the
// pipe beside its port. After a second signal the kernel drops the device's locks with the
// process; a lock file left behind never blocks the next Init.
#include "console/shutdownsignals.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

int wakeUp[2] = {-1, -1}; // read end, write end
volatile std::sig_atomic_t closing = 0;

extern "C" void onTerminationSignal(int signal) {
  if (closing) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  closing = 1;
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
  errno = saved;
}

// The byte stays in the pipe: it keeps ending the driver's waits until the program ends.
void closeWindows(QSocketNotifier *notifier) {
  notifier->setEnabled(false);
  QApplication::closeAllWindows();
}

} // namespace

std::intptr_t closeWindowsOnTerminationSignals() {
  if (::pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0)
    qFatal("cannot make the pipe that carries termination signals: %s", strerror(errno));
  auto *notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, qApp,
                   [notifier] { closeWindows(notifier); });
  struct sigaction action {};
  action.sa_handler = onTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : {SIGTERM, SIGINT, SIGHUP})
    ::sigaction(signal, &action, nullptr);
  return wakeUp[0];
}

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Termination on Windows. What asks the program to close, and what it does:
// - Ctrl-C, Ctrl-Break, or closing the console it was started from: the console's handler sets
//   the wait interrupt and queues closeAllWindows for the window's thread. Windows ends the
//   process as soon as the handler of a closed console returns, and in any case about 5 s after
//   the event, so that handler holds on for a while to let the window close and the driver
//   close its port; a call that blocks the window is bounded (see controller/README.md), and
//   the wait interrupt ends it at once. A second Ctrl-C ends the program at once.
// - Task Manager's End task on the window: WM_CLOSE, which Qt turns into closing the window,
//   as Exit does.
// - The session ending (log off, shut down): after WM_QUERYENDSESSION, which Qt answers yes,
//   WM_ENDSESSION sets the wait interrupt and closes the windows there and then. Windows may
//   end the process as soon as that message has been handled, before main() returns and the
//   driver closes its port; the system then closes the port's handle itself, which frees it
//   as closing it would (Windows keeps no lock file to leave behind).
#include "console/shutdownsignals.h"

#include <QAbstractNativeEventFilter>
#include <QApplication>
#include <QByteArray>

#include <windows.h>

#include <atomic>

namespace {

// How long the handler of a closed console, a logoff or a shutdown lets the window close.
constexpr DWORD kGraceMs = 4000;

HANDLE closing = nullptr; // manual reset: set once the program is asked to close
std::atomic<bool> asked{false};

void closeWindows() { QApplication::closeAllWindows(); }

// Runs on a thread Windows starts for the event.
BOOL WINAPI onConsoleEvent(DWORD event) {
  if (asked.exchange(true))
    return FALSE; // the next handler, Windows' own, ends the program
  ::SetEvent(closing);
  qInfo("asked to close (console event %lu): closing the window", event);
  QMetaObject::invokeMethod(qApp, closeWindows, Qt::QueuedConnection);
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
    ::Sleep(kGraceMs); // the program's end ends this thread sooner
  return TRUE;
}

class SessionEnd : public QAbstractNativeEventFilter {
public:
  bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override {
    const MSG *msg = static_cast<const MSG *>(message);
    if (type == "windows_generic_MSG" && msg->message == WM_ENDSESSION && msg->wParam &&
        !asked.exchange(true)) {
      ::SetEvent(closing);
      qInfo("the session is ending: closing the window");
      closeWindows();
    }
    return false; // Qt handles it as well
  }
};

} // namespace

std::intptr_t closeWindowsOnTerminationSignals() {
  closing = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!closing)
    qFatal("cannot make the event that carries termination: error %lu", ::GetLastError());
  ::SetConsoleCtrlHandler(onConsoleEvent, TRUE);
  qApp->installNativeEventFilter(new SessionEnd);
  return reinterpret_cast<std::intptr_t>(closing);
}

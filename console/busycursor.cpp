// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/busycursor.h"

#include <QApplication>

namespace {

// Swallows every input event (mouse, keys, wheel, touch) while it is installed.
class InputDrop : public QObject {
public:
  bool eventFilter(QObject *, QEvent *event) override { return event->isInputEvent(); }
};

// Delivers what the window system queued while the window was blocked, without its input;
// paints and posted events go through, and the handler gate holds the component's events back
// until the handler ends. Socket notifiers wait for the event loop, as before: a termination
// signal's pipe among them, which must still close a message box the handler opens next.
void dropQueuedInput() {
  InputDrop drop;
  QCoreApplication::instance()->installEventFilter(&drop);
  QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
  QCoreApplication::instance()->removeEventFilter(&drop);
}

} // namespace

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

BusyCursor::~BusyCursor() {
  dropQueuedInput();
  QApplication::restoreOverrideCursor();
}

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

// Delivers what the window system queued while the window was blocked, without its input.
// Everything else (paints, the driver's notifiers, a termination signal) goes through; the
// handler gate holds back the component's events until the handler ends.
void dropQueuedInput() {
  InputDrop drop;
  QCoreApplication::instance()->installEventFilter(&drop);
  QCoreApplication::processEvents();
  QCoreApplication::instance()->removeEventFilter(&drop);
}

} // namespace

BusyCursor::BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

BusyCursor::~BusyCursor() {
  dropQueuedInput();
  QApplication::restoreOverrideCursor();
}

#include "placeholdercontroller.h"

namespace {
[[noreturn]] void notInstalled() {
  throw ControllerError("no controller component is installed");
}
} // namespace

qint16 PlaceholderController::comPort() const { notInstalled(); }
void PlaceholderController::setComPort(qint16) { notInstalled(); }
qint16 PlaceholderController::Init() { notInstalled(); }
qint16 PlaceholderController::ClearInterface() { notInstalled(); }
void PlaceholderController::SendExec(const QString &, const QString &, qint16 &, double, double,
                                     double) {
  notInstalled();
}
void PlaceholderController::SendWait(const QString &, const QString &, qint16 &, double, double,
                                     double) {
  notInstalled();
}
QString PlaceholderController::GetEvent(qint32 &) { notInstalled(); }

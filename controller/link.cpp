// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/link.h"

#include "controller/cm11alog.h"
#include "vocabulary/hexbytes.h"

void Link::logTraffic(const QElapsedTimer &sinceOpen, const char *direction,
                      const std::vector<std::uint8_t> &bytes) {
  qCDebug(lcCm11a).noquote() << QString::number(static_cast<double>(sinceOpen.nsecsElapsed()) / 1e6,
                                                'f', 3)
                             << "ms" << direction << QString::fromStdString(x10::hexBytes(bytes));
}

void Link::reportLost(const QString &reason) {
  lostReason_ = reason;
  qCWarning(lcCm11a).noquote() << lostReason_;
  QMetaObject::invokeMethod(this, &Link::closeLost, Qt::QueuedConnection);
}

void Link::closeLost() {
  if (!isOpen())
    return;
  close();
  emit lost(lostReason_);
}

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/link.h"

#include "controller/links/cm11alog.h"
#include "vocabulary/hexbytes.h"

#include <chrono>

void Link::logTraffic(const QElapsedTimer &sinceOpen, const char *direction,
                      const std::vector<std::uint8_t> &bytes) {
  qCDebug(lcCm11a).noquote() << QString::number(static_cast<double>(sinceOpen.nsecsElapsed()) / 1e6,
                                                'f', 3)
                             << "ms" << direction << QString::fromStdString(x10::hexBytes(bytes));
}

void Link::startGuard() { guard_.start(std::chrono::steady_clock::now()); }

std::vector<std::uint8_t> Link::screen(std::span<const std::uint8_t> bytes) {
  std::vector<std::uint8_t> kept = guard_.take(bytes, std::chrono::steady_clock::now());
  if (const auto report = guard_.takeReport())
    qCWarning(lcCm11a).noquote() << description() << QString::fromStdString(*report);
  if (notAnInterface() && !isLost())
    reportLost(QStringLiteral("%1 is not a CM11A: it %2")
                   .arg(description(), QString::fromStdString(guard_.verdictText())));
  return kept;
}

void Link::reportLost(const QString &reason) {
  stopWatching();
  lostReason_ = reason;
  qCWarning(lcCm11a).noquote() << lostReason_;
  QMetaObject::invokeMethod(this, &Link::closeLost, Qt::QueuedConnection);
}

void Link::reportDeviceLost(const QString &name, const QString &why) {
  if (!isLost())
    reportLost(
        QStringLiteral("%1 was lost (%2): is the interface still plugged in?").arg(name, why));
}

void Link::closeLost() {
  if (!isOpen())
    return;
  close();
  emit lost(lostReason_);
}

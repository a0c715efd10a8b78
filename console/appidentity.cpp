// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/appidentity.h"

#include <QApplication>
#include <QFont>

namespace appidentity {

namespace {
// The window's geometry is fixed in pixels at 96 DPI. With Debian's default sans-serif face,
// 8 pt is a pixel or two too wide for "DeviceCode:" and "X10 Events:"; at 7.5 pt every
// caption fits its control.
constexpr qreal fontPointSize = 7.5;
} // namespace

QIcon icon() {
  QIcon result;
  for (const int size : {16, 32, 48})
    result.addFile(QStringLiteral(":/icons/x10console-%1.png").arg(size), QSize(size, size));
  return result;
}

void apply(QApplication &app) {
  QApplication::setApplicationName(QStringLiteral("x10console"));
  QApplication::setApplicationVersion(version);
  QGuiApplication::setDesktopFileName(desktopId);
  QFont font = QApplication::font();
  font.setPointSizeF(fontPointSize);
  app.setFont(font);
}

} // namespace appidentity

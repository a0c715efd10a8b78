// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/errorreport.h"

#include "console/appidentity.h"
#include "console/messagetext.h"

#include <QMessageBox>
#include <QString>

#include <exception>

namespace {

QString describeCurrentException() {
  try {
    throw;
  } catch (const std::exception &e) {
    return QString::fromUtf8(e.what());
  } catch (...) {
    return QStringLiteral("An unexpected error occurred (not a standard exception).");
  }
}

} // namespace

void runWithErrorReport(QWidget *parent, const std::function<void()> &handler) noexcept {
  try {
    handler();
  } catch (...) {
    QMessageBox::critical(parent, appidentity::title, fittedMessage(describeCurrentException()));
  }
}

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// A controller component for tests. Each call is recorded as one line naming the member and
// every argument with its exact C++ type, e.g. SendExec("A", "1", short 0, double 50, ...),
// so a single comparison checks order, values and types. A hook runs on every call so a test
// can look at the window mid-call, raise events, or make the call fail by throwing.

#include "controller/contract/controlcm.h"

#include <QStringList>
#include <QVariant>

#include <functional>

class RecordingController : public controlcm {
public:
  QStringList calls;
  qint16 initResult = 0;
  QString lastError; // what lastErrorText() gives
  QString eventText;
  std::function<void(const QString &member)> onCall;

  qint16 comPort() const override { return port_; }
  void setComPort(qint16 port) override {
    port_ = port;
    record("ComPort", port);
  }
  qint16 Init() override {
    record("Init");
    return initResult;
  }
  QString lastErrorText() const override { return lastError; }
  qint16 ClearInterface() override {
    record("ClearInterface");
    return 0;
  }
  void SendExec(const QString &houseCode, const QString &deviceCode, qint16 &function,
                double dimValue, double data1, double data2) override {
    record("SendExec", houseCode, deviceCode, function, dimValue, data1, data2);
  }
  void SendWait(const QString &houseCode, const QString &deviceCode, qint16 &function,
                double dimValue, double data1, double data2) override {
    record("SendWait", houseCode, deviceCode, function, dimValue, data1, data2);
  }
  QString GetEvent(qint32 &timeoutMs) override {
    record("GetEvent", timeoutMs);
    return eventText;
  }

private:
  static QString describe(const QString &text) { return '"' + text + '"'; }
  template <typename Number>
  static QString describe(Number value) {
    return QString::fromLatin1(QMetaType::fromType<Number>().name()) + ' ' +
           QVariant::fromValue(value).toString();
  }
  template <typename... Args>
  void record(const QString &member, const Args &...args) {
    calls << member + '(' + QStringList{describe(args)...}.join(QLatin1String(", ")) + ')';
    if (onCall)
      onCall(member);
  }

  qint16 port_ = 0;
};

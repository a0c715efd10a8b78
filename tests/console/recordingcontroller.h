#pragma once
// A controller component for tests: records every member call with its arguments (as QVariants
// that keep the exact C++ type), returns what it is told to, and runs a hook on every call so a
// test can look at the window mid-call or make the call fail.

#include "controlcm.h"

#include <QList>
#include <QStringList>
#include <QVariantList>

#include <functional>

class RecordingController : public controlcm {
  Q_OBJECT

public:
  struct Call {
    QString member;
    QVariantList args;
  };

  QList<Call> calls;
  QStringList members() const;

  qint16 initResult = 0;
  QString eventText;
  // Runs after a call is recorded; may throw to make the member fail.
  std::function<void(const QString &member)> onCall;

  qint16 comPort() const override { return port_; }
  void setComPort(qint16 port) override;
  qint16 Init() override;
  qint16 ClearInterface() override;
  void SendExec(const QString &houseCode, const QString &deviceCode, qint16 &function,
                double dimValue, double data1, double data2) override;
  void SendWait(const QString &houseCode, const QString &deviceCode, qint16 &function,
                double dimValue, double data1, double data2) override;
  QString GetEvent(qint32 &timeoutMs) override;

private:
  void record(const QString &member, QVariantList args);
  qint16 port_ = 0;
};

#pragma once
// Stands in for the controller component until a real one is built in: every member fails
// with "no controller component is installed", so nothing ever pretends to have worked.

#include "controlcm.h"

class PlaceholderController : public controlcm {
  Q_OBJECT

public:
  using controlcm::controlcm;

  qint16 comPort() const override;
  void setComPort(qint16 port) override;
  qint16 Init() override;
  qint16 ClearInterface() override;
  void SendExec(const QString &houseCode, const QString &deviceCode, qint16 &function,
                double dimValue, double data1, double data2) override;
  void SendWait(const QString &houseCode, const QString &deviceCode, qint16 &function,
                double dimValue, double data1, double data2) override;
  QString GetEvent(qint32 &timeoutMs) override;
};

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The controller component as the console sees it: the members it calls and the two events
// it handles. Implementations raise ControllerError (or a subclass) from a member that fails.

#include <QObject>
#include <QString>
#include <QtGlobal>

#include <stdexcept>

// Base of every error a component member raises. The text is meant for the operator.
class ControllerError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The caller asked for something impossible (bad argument, call before the port is open).
class UsageError : public ControllerError {
public:
  using ControllerError::ControllerError;
};

// The interface or the line misbehaved (no answer, checksum never right, port lost).
class DeviceError : public ControllerError {
public:
  using ControllerError::ControllerError;
};

class controlcm : public QObject {
  Q_OBJECT
  Q_PROPERTY(qint16 ComPort READ comPort WRITE setComPort)
  Q_PROPERTY(QString LastError READ lastErrorText)

public:
  using QObject::QObject;
  ~controlcm() override = default;

  // Serial port number used by the next Init (COM1 is 1).
  virtual qint16 comPort() const = 0;
  virtual void setComPort(qint16 port) = 0;

  // Opens the port and checks that an interface answers: 0 when ready, non-zero otherwise.
  virtual qint16 Init() = 0;
  // Brings the interface back to a known state: 0 on success.
  virtual qint16 ClearInterface() = 0;
  // Why the last Init or ClearInterface failed, in words the operator can act on: the reason
  // and the fix. Empty after a success, and from a component that gives no reasons.
  virtual QString lastErrorText() const { return {}; }

  // Send one X10 command. SendExec returns once the interface has accepted the last
  // transmission, SendWait once it reports the transmission done on the power line.
  // function is 0..15, or -1 for the address alone.
  virtual void SendExec(const QString &houseCode, const QString &deviceCode, qint16 &function,
                        double dimValue, double data1, double data2) = 0;
  virtual void SendWait(const QString &houseCode, const QString &deviceCode, qint16 &function,
                        double dimValue, double data1, double data2) = 0;

  // The oldest received command not yet returned, waiting up to timeoutMs for one;
  // empty text when none came.
  virtual QString GetEvent(qint32 &timeoutMs) = 0;

signals:
  // A function received for an addressed unit.
  void X10Event(const QString &deviceCode, const QString &houseCode, qint16 function,
                const QString &dimValue, const QString &data2);
  // A received element that is not a complete command: an address alone (function -1) or a
  // function with no addressed unit (device code empty). The last two parameters are unused.
  void X10SingleEvent(const QString &deviceCode, const QString &houseCode, qint16 function,
                      const QString &unused1, const QString &unused2);
  // The link to the interface was lost or came back, in words for the operator: "Link lost
  // at 14:02:11: <reason>; reconnecting", "Link restored at 14:02:40".
  void linkStatusChanged(const QString &text);
};

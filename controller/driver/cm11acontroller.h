// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The controller component the console instantiates: the CM11A driver behind controlcm. It
// runs on the thread that owns it. While idle, bytes from the port feed the protocol core and
// a single-shot timer runs the core's deadlines, so polls are answered while the window waits
// for the operator. A member call blocks by waiting on the port itself (never a nested event
// loop, which would run other clicks) until the core finishes or its deadline passes. Events
// decoded at any time are posted and emitted after the current handler returns, in order.
// A link lost after Init is re-taken by itself (see LinkKeeper): once it is open again the
// interface is taken up as Init does, and linkStatusChanged tells of the loss and the return.
// A link another client of the server keeps taking (x10::TakeoverRule) is left to it until
// the next Init, and linkStatusChanged says so.

#include "controller/contract/controlcm.h"
#include "controller/driver/linkkeeper.h"
#include "controller/netport/takeoverrule.h"
#include "controller/protocol/cm11acore.h"
#include "controller/protocol/commandqueue.h"

#include <QDateTime>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>
#include <utility>

class Cm11aController : public controlcm {
  Q_OBJECT
public:
  // Results of Init.
  static constexpr qint16 InitOk = 0;
  static constexpr qint16 InitNoSuchPort = 1;       // no such device, or port number below 1
  static constexpr qint16 InitPermissionDenied = 2; // user not in the dialout group
  static constexpr qint16 InitPortInUse = 3;        // another program holds the port
  static constexpr qint16 InitOpenFailed = 4;       // any other reason the port would not open
  static constexpr qint16 InitNoAnswer = 5;         // nothing came back to the status request
  static constexpr qint16 InitWrongAnswer = 6;      // something came back, not a status reply
  // Results of ClearInterface.
  static constexpr qint16 ClearOk = 0;
  static constexpr qint16 ClearNotOpen = 1;
  static constexpr qint16 ClearFailed = 2;

  explicit Cm11aController(QObject *parent = nullptr);
  ~Cm11aController() override;

  qint16 comPort() const override { return comPort_; }
  void setComPort(qint16 port) override { comPort_ = port; }

  qint16 Init() override;
  qint16 ClearInterface() override;
  void SendExec(const QString &houseCode, const QString &deviceCode, qint16 &function,
                double dimValue, double data1, double data2) override;
  void SendWait(const QString &houseCode, const QString &deviceCode, qint16 &function,
                double dimValue, double data1, double data2) override;
  QString GetEvent(qint32 &timeoutMs) override;

  QString lastErrorText() const override { return lastErrorText_; }

  // The local date and time a set-clock gives the interface: the system's unless set here.
  using LocalTime = std::function<QDateTime()>;
  void setLocalTime(LocalTime source) { localTime_ = std::move(source); }

private:
  x10::Instant now() const;
  qint16 failInit(qint16 code, const QString &text);
  void send(const QString &houseCode, const QString &deviceCode, qint16 function, double dimValue,
            double data1, double data2, x10::Completion completion);
  x10::OperationResult run(const std::function<void(const x10::Instant &)> &start);
  bool waitUntil(const std::function<bool()> &done, std::optional<x10::SteadyTime> limit);
  void requireInitialised() const;
  void requireLinkUp() const;
  void onBytesArrived();
  void onTimer();
  void onLinkLost(const QString &reason);
  void onLinkReopened();
  void leaveLink();
  void checkRetake();
  void reportLink(const QString &text);
  void pump();
  void deliver(const x10::ReceivedCommand &command);
  void emitEvents(const x10::ReceivedCommand &command);

  qint16 comPort_ = 1;
  bool initialised_ = false;
  QString lastErrorText_;
  LinkKeeper links_;
  Link &link() { return links_.link(); }
  QString linkDown_;       // why the link is down while it is being re-taken
  bool retaking_ = false;  // the reopened link's status request is under way
  bool linkTaken_ = false; // another client took the link: no more re-taking until Init
  x10::TakeoverRule takeover_;
  QTimer deadlineTimer_;
  x10::Cm11aCore core_;
  std::deque<x10::OperationResult> results_;
  x10::CommandQueue commands_;
  LocalTime localTime_ = [] { return QDateTime::currentDateTime(); };
};

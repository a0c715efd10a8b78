// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/driver/cm11acontroller.h"

#include "controller/links/cm11alog.h"
#include "controller/links/portnames.h"
#include "controller/links/waitinterrupt.h"
#include "controller/protocol/commandtext.h"
#include "controller/protocol/sendplanner.h"

#include <algorithm>

using namespace x10;
using Clock = std::chrono::steady_clock;

Cm11aController::Cm11aController(QObject *parent) : controlcm(parent) {
  deadlineTimer_.setSingleShot(true);
  connect(&deadlineTimer_, &QTimer::timeout, this, &Cm11aController::onTimer);
  connect(&links_, &LinkKeeper::bytesArrived, this, &Cm11aController::onBytesArrived);
  connect(&links_, &LinkKeeper::lost, this, &Cm11aController::onLinkLost);
  connect(&links_, &LinkKeeper::reopened, this, &Cm11aController::onLinkReopened);
}

Cm11aController::~Cm11aController() = default;

Instant Cm11aController::now() const {
  const QDateTime local = localTime_();
  WallClock wall;
  wall.dayOfYear = local.date().dayOfYear() - 1;
  wall.dayOfWeek = local.date().dayOfWeek() % 7; // Qt counts Monday 1 .. Sunday 7
  wall.hour = local.time().hour();
  wall.minute = local.time().minute();
  wall.second = local.time().second();
  return {Clock::now(), wall};
}

// ---- members ----------------------------------------------------------------------------

qint16 Cm11aController::Init() {
  initialised_ = false;
  retaking_ = false;
  linkTaken_ = false;
  linkDown_.clear();
  links_.close();
  core_.reset();
  results_.clear();
  const auto path = resolveComPort(comPort_);
  if (!path)
    return failInit(InitNoSuchPort,
                    QStringLiteral("COM %1 names no port: port numbers start at 1").arg(comPort_));
  const auto address = LinkKeeper::addressOf(*path);
  if (!address)
    return failInit(InitNoSuchPort, address.error());
  const bool network = *address != QString::fromStdString(path->string());
  if (const auto opened = links_.open(*address); !opened) {
    const QString &text = opened.error().text;
    switch (opened.error().error) {
    case Link::OpenError::NoSuchDevice:
      return failInit(
          InitNoSuchPort,
          text + (network ? "" : QString::fromStdString(missingPortAdvice(comPort_, *path))));
    case Link::OpenError::PermissionDenied:
      return failInit(InitPermissionDenied, text);
    case Link::OpenError::InUse:
      return failInit(InitPortInUse, text);
    case Link::OpenError::NoAnswer:
      return failInit(InitNoAnswer, text);
    case Link::OpenError::Other:
      return failInit(InitOpenFailed, text);
    }
  }
  try {
    const OperationResult r = run([this](const Instant &t) { core_.startProbe(t); });
    if (!r)
      return failInit(r.error().failure == Failure::NoAnswer ? InitNoAnswer : InitWrongAnswer,
                      link().description() + ": " + QString::fromStdString(r.error().message) +
                          (network ? "; check that the server serves a CM11A at 4800 baud" : ""));
  } catch (const DeviceError &e) {
    if (link().refusedInUse())
      return failInit(InitPortInUse, link().lostReason());
    if (link().notAnInterface())
      return failInit(InitWrongAnswer, link().lostReason());
    return failInit(InitOpenFailed, QString::fromUtf8(e.what()));
  }
  initialised_ = true;
  takeover_.opened();
  lastErrorText_.clear();
  qCInfo(lcCm11a).noquote() << "interface ready on" << link().path();
  return InitOk;
}

qint16 Cm11aController::failInit(qint16 code, const QString &text) {
  links_.close();
  core_.reset();
  lastErrorText_ = text;
  qCWarning(lcCm11a).noquote() << "Init failed:" << text;
  return code;
}

qint16 Cm11aController::ClearInterface() {
  if (!initialised_) {
    lastErrorText_ = QStringLiteral("the port is not open: call Init first");
    return ClearNotOpen;
  }
  try {
    requireLinkUp();
    const OperationResult r = run([this](const Instant &t) { core_.startClear(t); });
    if (r) {
      lastErrorText_.clear();
      return ClearOk;
    }
    lastErrorText_ = QString::fromStdString(r.error().message);
  } catch (const DeviceError &e) {
    lastErrorText_ = QString::fromUtf8(e.what());
  }
  qCWarning(lcCm11a).noquote() << "ClearInterface failed:" << lastErrorText_;
  return ClearFailed;
}

void Cm11aController::SendExec(const QString &houseCode, const QString &deviceCode,
                               qint16 &function, double dimValue, double data1, double data2) {
  send(houseCode, deviceCode, function, dimValue, data1, data2, Completion::Accepted);
}

void Cm11aController::SendWait(const QString &houseCode, const QString &deviceCode,
                               qint16 &function, double dimValue, double data1, double data2) {
  send(houseCode, deviceCode, function, dimValue, data1, data2, Completion::Done);
}

void Cm11aController::send(const QString &houseCode, const QString &deviceCode, qint16 function,
                           double dimValue, double data1, double data2, Completion completion) {
  auto plan =
      planSend(houseCode.toStdString(), deviceCode.toStdString(), function, dimValue, data1, data2);
  if (!plan)
    throw UsageError(plan.error());
  requireInitialised();
  requireLinkUp();
  const OperationResult r =
      run([&](const Instant &t) { core_.startSend(std::move(*plan), completion, t); });
  if (!r)
    throw DeviceError(r.error().message);
}

QString Cm11aController::GetEvent(qint32 &timeoutMs) {
  requireInitialised();
  if (commands_.empty() && timeoutMs > 0) {
    requireLinkUp();
    qCDebug(lcCm11a) << "waiting up to" << timeoutMs << "ms for an event";
    waitUntil([this] { return !commands_.empty(); },
              Clock::now() + std::chrono::milliseconds(timeoutMs));
  }
  return QString::fromStdString(commands_.pop().value_or(""));
}

// ---- blocking on the port ---------------------------------------------------------------

OperationResult Cm11aController::run(const std::function<void(const Instant &)> &start) {
  results_.clear();
  start(now());
  pump();
  waitUntil([this] { return !results_.empty(); }, std::nullopt);
  OperationResult r = std::move(results_.front());
  results_.pop_front();
  return r;
}

// Waits on the port until done() holds or limit passes (false then). Bytes are fed inside
// waitForBytes through bytesArrived; the core's deadlines are run here.
bool Cm11aController::waitUntil(const std::function<bool()> &done,
                                std::optional<SteadyTime> limit) {
  while (!done()) {
    std::optional<SteadyTime> next = core_.nextDeadline();
    if (limit)
      next = next ? std::min(*next, *limit) : limit;
    if (!next)
      throw std::logic_error("waiting with no deadline");
    const SteadyTime t = Clock::now();
    if (t < *next) {
      const auto ms = std::chrono::ceil<std::chrono::milliseconds>(*next - t).count();
      if (link().waitForBytes(static_cast<int>(ms)))
        continue;
      if (waitsInterrupted()) {
        qCInfo(lcCm11a) << "wait ended early: the program is closing";
        if (limit)
          return false;
        core_.reset();
        throw DeviceError("the call was ended: the program is closing");
      }
      if (link().isLost() || !link().isOpen()) {
        const QString reason =
            link().isLost() ? link().lostReason() : link().path() + " was closed";
        onLinkLost(reason);
        if (linkTaken_)
          throw DeviceError(linkDown_.toStdString());
        throw DeviceError((reason + (initialised_ ? "; reconnecting" : "")).toStdString());
      }
      continue;
    }
    if (limit && t >= *limit)
      return false;
    core_.timePassed(now());
    pump();
  }
  return true;
}

void Cm11aController::requireInitialised() const {
  if (!initialised_)
    throw UsageError("the interface is not initialised: call Init first");
}

// While the link is being re-taken a call fails at once instead of waiting on a dead port.
void Cm11aController::requireLinkUp() const {
  if (linkTaken_)
    throw DeviceError(linkDown_.toStdString());
  if (!linkDown_.isEmpty())
    throw DeviceError(
        (linkDown_ + "; reconnecting goes on, and calls work again once it is back").toStdString());
}

// ---- idle -------------------------------------------------------------------------------

void Cm11aController::onBytesArrived() {
  const auto bytes = link().readAvailable();
  core_.receive(bytes, now());
  pump();
  checkRetake();
}

void Cm11aController::onTimer() {
  core_.timePassed(now());
  pump();
  checkRetake();
}

// Noticed while idle (the link's own report) or inside a call: either way the driver starts
// re-taking the link when it had been initialised on it, unless another client took it.
void Cm11aController::onLinkLost(const QString &reason) {
  const bool taken =
      initialised_ && takeover_.takenByAnother(Clock::now(), link().closedByServer());
  links_.close();
  core_.reset();
  results_.clear();
  deadlineTimer_.stop();
  retaking_ = false;
  if (!initialised_ || linkTaken_)
    return;
  if (taken) {
    leaveLink();
    return;
  }
  if (linkDown_.isEmpty()) {
    linkDown_ = reason;
    reportLink(QStringLiteral("Link lost at %1: %2; reconnecting")
                   .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")), reason));
  }
  links_.reconnect();
}

// Re-taking the port from a client that re-takes it too would go on for ever: this one stops.
void Cm11aController::leaveLink() {
  linkTaken_ = true;
  linkDown_ =
      QStringLiteral(
          "Link taken by another client of the server at %1; this console leaves the port to it "
          "and no longer reconnects: close this console and start it again to take the port "
          "back (the other client loses it then), and set kickolduser: false for the port in "
          "the server's ser2net.yaml to have a second client turned away instead")
          .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss")));
  reportLink(linkDown_);
}

// The link is open again: the status request Init sends takes the interface up; its answer
// arrives while idle (checkRetake).
void Cm11aController::onLinkReopened() {
  retaking_ = true;
  core_.reset();
  results_.clear();
  core_.startProbe(now());
  pump();
}

void Cm11aController::checkRetake() {
  if (!retaking_ || results_.empty())
    return;
  const OperationResult r = std::move(results_.front());
  results_.pop_front();
  retaking_ = false;
  if (!r) {
    qCWarning(lcCm11a).noquote() << link().description() << "is back but"
                                 << QString::fromStdString(r.error().message) << "; reconnecting";
    links_.reconnect();
    return;
  }
  linkDown_.clear();
  links_.confirmed();
  takeover_.retaken(Clock::now());
  reportLink(QStringLiteral("Link restored at %1")
                 .arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))));
}

void Cm11aController::reportLink(const QString &text) {
  qCWarning(lcCm11a).noquote() << text;
  emit linkStatusChanged(text);
}

// Hands everything the core produced to the port, the log and the event queue, and re-arms
// the deadline timer for idle time.
void Cm11aController::pump() {
  link().write(core_.takeOutput());
  for (const auto &line : core_.takeNotes())
    qCInfo(lcCm11a).noquote() << QString::fromStdString(line);
  while (auto r = core_.takeResult())
    results_.push_back(std::move(*r));
  for (const auto &c : core_.takeReceived())
    deliver(c);
  if (const auto next = core_.nextDeadline()) {
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(*next - Clock::now()).count();
    deadlineTimer_.start(static_cast<int>(std::max<long long>(ms, 0)));
  } else {
    deadlineTimer_.stop();
  }
}

// ---- received traffic -------------------------------------------------------------------

void Cm11aController::deliver(const ReceivedCommand &command) {
  qCInfo(lcCm11a).noquote() << "received" << QString::fromStdString(commandText(command));
  commands_.push(command);
  QMetaObject::invokeMethod(
      this, [this, command] { emitEvents(command); }, Qt::QueuedConnection);
}

void Cm11aController::emitEvents(const ReceivedCommand &c) {
  const QString house(QChar::fromLatin1(c.house.letter()));
  if (!c.function) {
    emit X10SingleEvent(QString::number(c.units.front().number()), house, -1, QString(), QString());
    return;
  }
  const auto function = static_cast<qint16>(*c.function);
  if (c.units.empty()) {
    emit X10SingleEvent(QString(), house, function, QString(), QString());
    return;
  }
  QString dim = QStringLiteral("0");
  QString data2 = QStringLiteral("0");
  if (c.function == Function::Dim || c.function == Function::Bright)
    dim = QString::number(dimPercentOfLevel(c.level));
  if (c.function == Function::ExtendedCode) {
    dim = QString::number(c.data);
    data2 = QString::number(c.command);
  }
  for (const UnitCode unit : c.units)
    emit X10Event(QString::number(unit.number()), house, function, dim, data2);
}

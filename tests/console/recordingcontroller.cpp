#include "recordingcontroller.h"

QStringList RecordingController::members() const {
  QStringList names;
  for (const Call &call : calls)
    names << call.member;
  return names;
}

void RecordingController::record(const QString &member, QVariantList args) {
  calls.append({member, std::move(args)});
  if (onCall)
    onCall(member);
}

void RecordingController::setComPort(qint16 port) {
  record(QStringLiteral("ComPort"), {QVariant::fromValue(port)});
  port_ = port;
}

qint16 RecordingController::Init() {
  record(QStringLiteral("Init"), {});
  return initResult;
}

qint16 RecordingController::ClearInterface() {
  record(QStringLiteral("ClearInterface"), {});
  return 0;
}

void RecordingController::SendExec(const QString &houseCode, const QString &deviceCode,
                                   qint16 &function, double dimValue, double data1, double data2) {
  record(QStringLiteral("SendExec"),
         {houseCode, deviceCode, QVariant::fromValue(function), dimValue, data1, data2});
}

void RecordingController::SendWait(const QString &houseCode, const QString &deviceCode,
                                   qint16 &function, double dimValue, double data1, double data2) {
  record(QStringLiteral("SendWait"),
         {houseCode, deviceCode, QVariant::fromValue(function), dimValue, data1, data2});
}

QString RecordingController::GetEvent(qint32 &timeoutMs) {
  record(QStringLiteral("GetEvent"), {QVariant::fromValue(timeoutMs)});
  return eventText;
}

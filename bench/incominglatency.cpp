// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Incoming latency: from the last byte of an upload written to the port to its line in the
// window's event log. The window is the real Form1 with the real driver (offscreen platform
// unless QT_QPA_PLATFORM says otherwise); the interface is an UploadPeer on a pseudo-terminal
// that answers at once, as the simulator does in fast mode. Both ends read one steady clock:
// the peer notes when its write of the upload returned, the window's log notes its change.

#include "bench/figures.h"
#include "bench/uploadpeer.h"
#include "console/eventlog.h"
#include "console/form1.h"
#include "controller/driver/cm11acontroller.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

// Size 3, mask 02 (second data byte a function): address A1, function A On.
const UploadPeer::Bytes a1OnUpload{0x03, 0x02, 0x66, 0x62};
constexpr int warmUpRounds = 20;
constexpr int timedRounds = 500;

// Publishes the peer's terminal as COM 1 under a temporary XDG_CONFIG_HOME.
bool publishAsCom1(const QTemporaryDir &configHome, const QString &device) {
  qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
  const QString ports = configHome.path() + QStringLiteral("/x10console/ports");
  return QDir().mkpath(ports) && QFile::link(device, ports + QStringLiteral("/com1"));
}

// One poll and upload; the time from its last byte until the log holds both its lines (the
// address alone, then the command), or a negative value when they did not come in five seconds.
double uploadToLogMs(UploadPeer &peer, EventLog &log) {
  Clock::time_point logged{};
  QEventLoop loop;
  const int linesWanted = log.document()->blockCount() + 2;
  const auto changed =
      QObject::connect(log.document(), &QTextDocument::contentsChanged, &loop, [&] {
        if (log.document()->blockCount() < linesWanted)
          return;
        logged = Clock::now();
        loop.quit();
      });
  QTimer::singleShot(5000, &loop, &QEventLoop::quit);
  const auto before = peer.lastByteWritten();
  peer.requestUpload();
  loop.exec();
  QObject::disconnect(changed);
  if (logged == Clock::time_point{} || peer.lastByteWritten() == before)
    return -1;
  return std::chrono::duration<double, std::milli>(logged - peer.lastByteWritten()).count();
}

} // namespace

int main(int argc, char *argv[]) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QLoggingCategory::setFilterRules(QStringLiteral("x10.cm11a.info=false\nx10.cm11a.debug=false"));
  UploadPeer peer(a1OnUpload);
  QTemporaryDir configHome;
  if (!publishAsCom1(configHome, peer.slavePath()))
    return 1;

  Form1 form(std::make_unique<Cm11aController>());
  form.show();
  form.controlcm1().setComPort(1);
  if (form.controlcm1().Init() != 0) {
    std::fprintf(stderr, "Init on %s failed\n", qPrintable(peer.slavePath()));
    return 1;
  }

  std::vector<double> samples;
  for (int round = 0; round < warmUpRounds + timedRounds; ++round) {
    const double ms = uploadToLogMs(peer, *form.TxtEvent);
    if (ms < 0) {
      std::fprintf(stderr, "round %d: the upload was not logged\n", round);
      return 1;
    }
    if (round >= warmUpRounds)
      samples.push_back(ms);
    QEventLoop idle; // let the window repaint before the next upload
    QTimer::singleShot(2, &idle, &QEventLoop::quit);
    idle.exec();
  }
  const double median = bench::median(samples);
  const double p95 = bench::quantile(samples, 0.95);
  std::printf("upload to log line over %d uploads: median %.3f ms, p95 %.3f ms, max %.3f ms\n",
              timedRounds, median, p95, bench::quantile(samples, 1));
  const QStringList lines = form.TxtEvent->text().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
  std::printf("last upload logged as:\n  %s\n",
              qPrintable(lines.mid(lines.size() - 2).join(QStringLiteral("\n  "))));
  bench::printFigure("Incoming latency, median (upload to log line)",
                     bench::format(median, "ms", 3), "< 1 ms", median < 1.0);
  bench::printReference("Incoming latency, p95", bench::format(p95, "ms", 3));
  return 0;
}

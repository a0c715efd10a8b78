// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// SendWait "A1 On" over ser2net against the same send direct, in one run: cm11a-sim in
// realistic (timed) mode on a pseudo-terminal published as COM 1, served by ser2net on
// 127.0.0.1 raw (COM 2) and over telnet with RFC 2217 (COM 3), reached through port files as a
// user would. The driver is made anew for each way, so each opens its port as Init does.

#include "bench/figures.h"
#include "bench/timedsends.h"
#include "controller/driver/cm11acontroller.h"
#include "controller/links/portnames.h"
#include "tests/support/ser2netserver.h"
#include "tests/support/simulatorprocess.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <cstdio>
#include <optional>

namespace {

constexpr int timedSends = 7;

// The median SendWait on COM n, or nothing when Init or a send failed (said on stderr).
std::optional<double> medianSendMs(int comPort) {
  Cm11aController driver;
  driver.setComPort(static_cast<qint16>(comPort));
  if (const qint16 result = driver.Init(); result != Cm11aController::InitOk) {
    std::fprintf(stderr, "Init on COM %d failed (%d): %s\n", comPort, result,
                 qPrintable(driver.lastErrorText()));
    return std::nullopt;
  }
  try {
    const std::vector<double> samples = bench::timeSendsA1On(driver, timedSends);
    return bench::median(samples);
  } catch (const ControllerError &e) {
    std::fprintf(stderr, "SendWait on COM %d failed: %s\n", comPort, e.what());
    return std::nullopt;
  }
}

bool writePortFile(int n, const QString &address) {
  QFile file(QString::fromStdString(x10::comPortLinkPath(n).string()));
  return file.open(QIODevice::WriteOnly) && file.write(address.toUtf8() + "\n") > 0;
}

} // namespace

int main(int argc, char *argv[]) {
  QCoreApplication app(argc, argv);
  QLoggingCategory::setFilterRules(QStringLiteral("x10.cm11a.info=false\nx10.cm11a.debug=false"));
  QTemporaryDir configHome;
  qputenv("XDG_CONFIG_HOME", configHome.path().toLocal8Bit());
  if (!Ser2netServer::installed()) {
    std::fprintf(stderr, "ser2net is not installed: run scripts/install-deps.sh\n");
    return 1;
  }
  SimulatorProcess sim(QStringLiteral(CM11A_SIM), {"--com", "1"}, x10::comPortLinkPath(1));
  if (!sim.ready()) {
    std::fprintf(stderr, "cm11a-sim did not start: %s\n", qPrintable(sim.errors()));
    return 1;
  }
  const auto device = std::filesystem::canonical(x10::comPortLinkPath(1));
  Ser2netServer raw(device, Ser2netServer::Mode::Raw);
  Ser2netServer telnet(device, Ser2netServer::Mode::Rfc2217);
  if (!raw.start() || !telnet.start() || !writePortFile(2, raw.address()) ||
      !writePortFile(3, telnet.address())) {
    std::fprintf(stderr, "ser2net did not start: %s%s\n", qPrintable(raw.errors()),
                 qPrintable(telnet.errors()));
    return 1;
  }
  const auto direct = medianSendMs(1);
  const auto overRaw = medianSendMs(2);
  const auto overTelnet = medianSendMs(3);
  if (!direct || !overRaw || !overTelnet)
    return 1;
  std::printf("SendWait A1 On, median of %d: direct %.2f ms, ser2net raw %.2f ms, ser2net "
              "rfc2217 %.2f ms\n",
              timedSends, *direct, *overRaw, *overTelnet);
  for (const auto &[name, ms] : {std::pair{"raw", *overRaw}, std::pair{"rfc2217", *overTelnet}})
    bench::printFigure(std::string("SendWait over ser2net ") + name + " / direct",
                       bench::format(ms / *direct, "x", 3) + " (" + bench::format(ms, "ms", 1) +
                           " vs " + bench::format(*direct, "ms", 1) + ")",
                       "<= 1.03", ms / *direct <= 1.03);
  return 0;
}

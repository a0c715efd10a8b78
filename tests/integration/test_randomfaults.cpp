// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Seeded random runs back to back: operations, remote traffic and faults in random order.
// Whatever happens, each operation ends with exactly one result of its own in bounded time,
// the core works again once the faults are lifted, and no received command comes out twice
// (unless the interface cut an upload short, after which a function may apply again to the
// units addressed before it, as it would on the line). Runs of this kind found two bugs in
// the core (a stray second "accepted" result; a poll taken for a lost upload byte) and two in
// the simulator (an exchange left waiting for a go-ahead forever; traffic held then never
// polled for). A numbered storm under faults that lose nothing must arrive whole, in order.
#include "tests/integration/backtoback.h"
#include "tests/integration/stormtexts.h"

#include <QTest>

#include <random>

using namespace x10;
using namespace std::chrono_literals;
using x10::test::BackToBack;

namespace {

// Garbage that looks like protocol bytes: a poll, a power-fail poll, ready, go-ahead.
const char *const kFaults[] = {"fault checksum 1",
                               "fault checksum 2",
                               "fault checksum 3",
                               "fault checksum-5a",
                               "power fail",
                               "fault silence 1.5",
                               "fault garbage 5A",
                               "fault garbage A5",
                               "fault garbage 12 FF 00 55",
                               "fault truncate-upload 1",
                               "fault truncate-upload 3",
                               "wait 0.3"};

QString numbered(int i) { return QString("%1%2").arg(QChar('A' + i / 16 % 16)).arg(i % 16 + 1); }

} // namespace

class TestRandomFaults : public QObject {
  Q_OBJECT

  // One run of a dozen steps; false (with the test failed) when an invariant broke.
  static bool run(unsigned seed, BackToBack &wire, bool collisions) {
    std::mt19937 random(seed);
    int injected = 0;
    for (int step = 0; step < 12; ++step) {
      switch (random() % 7) {
      case 0:
        wire.command(kFaults[random() % std::size(kFaults)]);
        break;
      case 1:
        wire.command((numbered(injected++) + " On").toStdString());
        break;
      case 2:
        if (collisions)
          wire.command(("fault collide " + numbered(injected++) + " On").toStdString());
        break;
      default:
        if (!operate(random() % 4, wire))
          return false;
      }
    }
    wire.command("fault clear");
    wire.runFor(10s);
    const auto last = wire.send("A", "2", 2, Completion::Done);
    if (!last || !last->has_value())
      return fail("the core did not work again once the faults were lifted", wire);
    QStringList on = wire.takeReceived().filter(" On");
    const auto heard = on.size();
    on.removeDuplicates();
    if (on.size() != heard && wire.reports(sim::Report::Kind::Exchange).filter("cut to").isEmpty())
      return fail("a received command came out twice", wire);
    return true;
  }

  static bool operate(unsigned which, BackToBack &wire) {
    std::optional<OperationResult> result;
    bool tail = false; // SendExec may leave its last transmission finishing
    try {
      switch (which) {
      case 0:
        result = wire.probe();
        break;
      case 1:
        result = wire.clear();
        break;
      case 2:
        result = wire.send("A", "1", 2, Completion::Accepted), tail = true;
        break;
      default:
        result = wire.send("A", "2", 3, Completion::Done);
        break;
      }
    } catch (const std::logic_error &e) {
      return fail(QString("an operation could not start: ") + e.what(), wire);
    }
    if (!result)
      return fail("an operation had no result", wire);
    if (wire.lastOperationTime() > 12s)
      return fail("an operation took more than 12 s", wire);
    if (!tail && wire.core.operationRunning())
      return fail("a result came while its operation was still running", wire);
    return true;
  }

  // A numbered storm of 40 commands under operations and faults that lose no traffic.
  static bool stormRun(unsigned seed, BackToBack &wire) {
    static const char *const kHarmless[] = {"fault checksum 1",
                                            "fault checksum 3",
                                            "fault checksum-5a",
                                            "fault silence 1.5",
                                            "fault collide P16 Status Request",
                                            "wait 0.3"};
    std::mt19937 random(seed);
    wire.command("storm 40");
    for (int step = 0; step < 15; ++step) {
      if (random() % 3 == 0)
        wire.command(kHarmless[random() % std::size(kHarmless)]);
      else if (!operate(random() % 4, wire))
        return false;
    }
    wire.command("fault clear");
    wire.runUntil([&] { return wire.device.pacedWaiting() == 0; }, 600s);
    wire.runFor(10s);
    QStringList received = wire.takeReceived();
    received.removeAll("P16");
    received.removeAll("P16 Status Request");
    if (received != stormTexts(40))
      return fail("the storm did not arrive whole and in order: " + received.join(','), wire);
    return true;
  }

  static bool fail(const QString &what, const BackToBack &wire) {
    QTest::qFail(qPrintable(what + "\n" + wire.notes() + "\n" +
                            wire.reports(sim::Report::Kind::Exchange).join(QChar(10)) + "\n" +
                            wire.reports(sim::Report::Kind::Note).join(QChar(10))),
                 __FILE__, __LINE__);
    return false;
  }

private slots:
  void invariantsHold_data() {
    QTest::addColumn<bool>("realistic");
    QTest::addColumn<unsigned>("seeds");
    QTest::newRow("fast") << false << 1500u;
    // The collide fault hears its traffic at once, beside frames still on the line, which
    // only fast timing keeps apart.
    QTest::newRow("realistic 50 and 60 Hz") << true << 500u;
  }
  void invariantsHold() {
    QFETCH(bool, realistic);
    QFETCH(unsigned, seeds);
    for (unsigned seed = 0; seed < seeds; ++seed) {
      BackToBack wire(realistic ? sim::Timing::realistic(seed % 2 ? 50 : 60) : sim::Timing::fast());
      if (!run(seed, wire, !realistic))
        QFAIL(qPrintable(QString("seed %1").arg(seed)));
    }
  }

  void stormSurvivesFaults_data() {
    QTest::addColumn<bool>("realistic");
    QTest::newRow("fast") << false;
    QTest::newRow("realistic 60 Hz") << true;
  }
  void stormSurvivesFaults() {
    QFETCH(bool, realistic);
    for (unsigned seed = 0; seed < 200; ++seed) {
      BackToBack wire(realistic ? sim::Timing::realistic(60) : sim::Timing::fast());
      if (!stormRun(seed, wire))
        QFAIL(qPrintable(QString("seed %1").arg(seed)));
    }
  }
};

QTEST_APPLESS_MAIN(TestRandomFaults)
#include "test_randomfaults.moc"

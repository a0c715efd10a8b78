// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Every operation of the driver's core against every fault the simulated interface can show,
// back to back in memory. Each row states the outcome: success after recovery, or a clear
// failure within a bound of virtual time; which received commands come out (each exactly
// once: the driver loses none the interface delivered); and that the core then works again.
// The outcomes are summarised in tests/integration/README.md.
#include "tests/integration/backtoback.h"

#include "controller/protocol/sendplanner.h"

#include <QTest>

#include <map>

using namespace x10;
using namespace std::chrono_literals;
using x10::test::BackToBack;

namespace {

enum class Op { Init, Clear, SendExec, SendWait, Receive, SendWaitWithTraffic };

const char *opName(Op op) {
  switch (op) {
  case Op::Init:
    return "Init";
  case Op::Clear:
    return "Clear";
  case Op::SendExec:
    return "SendExec";
  case Op::SendWait:
    return "SendWait";
  case Op::Receive:
    return "Receive";
  case Op::SendWaitWithTraffic:
    return "SendWait+traffic";
  }
  return "?";
}

// The faults, as simulator commands given just before the operation starts.
const std::map<QString, QStringList> kFaults = {
    {"none", {}},
    {"traffic", {"C5 On"}},
    {"checksum x2", {"fault checksum 2"}},
    {"checksum x3", {"fault checksum 3"}},
    {"checksum 5A", {"fault checksum-5a"}},
    {"collide", {"fault collide C5 On"}},
    {"power fail", {"power fail"}},
    {"silence 2 s", {"fault silence 2"}},
    {"garbage", {"fault garbage 12 FF"}},
    {"truncated upload", {"fault truncate-upload 2", "C5 On"}},
    {"hang-up", {"fault hangup"}},
};

// The failure a result reports; none for a success.
std::optional<Failure> failureOf(const OperationResult &result) {
  return result ? std::nullopt : std::optional(result.error().failure);
}

const QStringList kB3On{"B3", "B3 On"};
const QStringList kC5On{"C5", "C5 On"};

} // namespace

Q_DECLARE_METATYPE(Op)
Q_DECLARE_METATYPE(std::optional<Failure>)

class TestFaultMatrix : public QObject {
  Q_OBJECT

  static void row(Op op, const char *fault, std::optional<Failure> failure, int withinMs,
                  const QStringList &received = {}) {
    QTest::addRow("%s x %s", opName(op), fault)
        << op << QString(fault) << failure << withinMs << received;
  }

  static std::optional<OperationResult> run(BackToBack &wire, Op op, sim::Duration limit) {
    switch (op) {
    case Op::Init:
      return wire.probe(limit);
    case Op::Clear:
      return wire.clear(limit);
    case Op::SendExec:
      return wire.send("A", "1", 2, Completion::Accepted);
    case Op::SendWait:
      return wire.send("A", "1", 2, Completion::Done);
    case Op::SendWaitWithTraffic:
      wire.command("B3 On");
      return wire.send("A", "1", 2, Completion::Done);
    case Op::Receive:
      wire.command("B3 On");
      wire.runFor(limit);
      return OperationResult(OperationDone{});
    }
    return std::nullopt;
  }

private slots:
  void operationUnderFault_data() {
    QTest::addColumn<Op>("op");
    QTest::addColumn<QString>("fault");
    QTest::addColumn<std::optional<Failure>>("failure");
    QTest::addColumn<int>("withinMs");
    QTest::addColumn<QStringList>("received");
    const std::optional<Failure> ok;

    // A status request has no checksum and starts no transmission: those faults wait unused.
    row(Op::Init, "none", ok, 0);
    // The interface polls instead of answering; a lone 5A and 100 ms of silence is a poll.
    row(Op::Init, "traffic", ok, 150, kC5On);
    row(Op::Init, "checksum x3", ok, 0);
    row(Op::Init, "checksum 5A", ok, 0);
    row(Op::Init, "collide", ok, 0);
    // The power-fail poll is told from a status reply by the silence after it (100 ms).
    row(Op::Init, "power fail", ok, 150);
    row(Op::Init, "silence 2 s", Failure::NoAnswer, 1500);
    // Bytes before the reply make 14 that are no status reply; a reply has no checksum to
    // tell them apart, so Init fails rather than report a wrong clock.
    row(Op::Init, "garbage", Failure::WrongAnswer, 0);
    // The poll is answered; 100 ms without a byte ends the cut upload, 100 ms of quiet line
    // follow, and the request goes again.
    row(Op::Init, "truncated upload", ok, 300);
    row(Op::Init, "hang-up", Failure::NoAnswer, 1500);

    // Clear first waits 100 ms for a quiet line, then sets the clock.
    row(Op::Clear, "none", ok, 100);
    // The first poll goes with the drain; the set-clock meets the interface polling and gets
    // the repeated poll a second later instead of a checksum.
    row(Op::Clear, "traffic", ok, 1100, kC5On);
    row(Op::Clear, "checksum x2", ok, 300);
    row(Op::Clear, "checksum x3", Failure::ChecksumWrong, 300);
    row(Op::Clear, "checksum 5A", ok, 1250);
    row(Op::Clear, "collide", ok, 100);
    row(Op::Clear, "power fail", ok, 100);
    row(Op::Clear, "silence 2 s", Failure::NoAnswer, 1100);
    row(Op::Clear, "garbage", ok, 100);
    row(Op::Clear, "truncated upload", ok, 1200);
    row(Op::Clear, "hang-up", Failure::NoAnswer, 1100);

    for (Op send : {Op::SendExec, Op::SendWait}) {
      row(send, "none", ok, 0);
      row(send, "traffic", ok, 0, kC5On);
      // Each wrong checksum: wait 100 ms for a quiet line, send again; the third is fatal.
      row(send, "checksum x2", ok, 200);
      row(send, "checksum x3", Failure::ChecksumWrong, 200);
      // 5A where the checksum was due is taken as a poll: C3 goes out, no upload follows
      // within 1 s, the line drains, the address goes again.
      row(send, "checksum 5A", ok, 1250);
      // The interface polls instead of answering: the upload is taken, then the send resumes.
      row(send, "collide", ok, 0, kC5On);
      row(send, "power fail", ok, 0);
      row(send, "silence 2 s", Failure::NoAnswer, 1000);
      // A stray byte is a wrong checksum: drain, send again.
      row(send, "garbage", ok, 100);
      row(send, "truncated upload", ok, 200);
      row(send, "hang-up", Failure::NoAnswer, 1000);
    }

    // B3 On arrives while the core is idle; the time is how long the test then waits.
    row(Op::Receive, "none", ok, 100, kB3On);
    row(Op::Receive, "traffic", ok, 100, kC5On + kB3On);
    row(Op::Receive, "checksum x2", ok, 100, kB3On);
    row(Op::Receive, "checksum 5A", ok, 100, kB3On);
    row(Op::Receive, "collide", ok, 100, kB3On);
    row(Op::Receive, "power fail", ok, 100, kB3On);
    // The interface polls once it speaks again.
    row(Op::Receive, "silence 2 s", ok, 2100, kB3On);
    row(Op::Receive, "garbage", ok, 100, kB3On);
    // The interface forgets what it uploaded, cut or not: C5 On and B3 On are gone.
    row(Op::Receive, "truncated upload", ok, 300);
    row(Op::Receive, "hang-up", ok, 1000);

    // B3 On arrives as SendWait starts: the interface polls where the checksum was due.
    row(Op::SendWaitWithTraffic, "none", ok, 0, kB3On);
    row(Op::SendWaitWithTraffic, "traffic", ok, 0, kC5On + kB3On);
    row(Op::SendWaitWithTraffic, "checksum x2", ok, 200, kB3On);
    row(Op::SendWaitWithTraffic, "checksum x3", Failure::ChecksumWrong, 200, kB3On);
    row(Op::SendWaitWithTraffic, "checksum 5A", ok, 1250, kB3On);
    row(Op::SendWaitWithTraffic, "collide", ok, 0, kB3On + kC5On);
    row(Op::SendWaitWithTraffic, "power fail", ok, 0, kB3On);
    // B3 On is uploaded once the interface speaks again, after the send has failed.
    row(Op::SendWaitWithTraffic, "silence 2 s", Failure::NoAnswer, 1000, kB3On);
    // The poll after the stray bytes is drained with them; the interface repeats it 1 s later.
    row(Op::SendWaitWithTraffic, "garbage", ok, 1100, kB3On);
    row(Op::SendWaitWithTraffic, "truncated upload", ok, 200);
    row(Op::SendWaitWithTraffic, "hang-up", Failure::NoAnswer, 1000);
  }

  void operationUnderFault() {
    QFETCH(Op, op);
    QFETCH(QString, fault);
    QFETCH(std::optional<Failure>, failure);
    QFETCH(int, withinMs);
    QFETCH(QStringList, received);
    const auto within = std::chrono::milliseconds(withinMs);
    BackToBack wire;
    QVERIFY(wire.probe()->has_value());
    for (const QString &line : kFaults.at(fault))
      wire.command(line.toStdString());

    const auto result = run(wire, op, within + 5s);
    QVERIFY2(result, qPrintable("no result within the limit\n" + wire.notes()));
    QCOMPARE(failureOf(*result), failure);
    if (!result->has_value())
      QVERIFY(!result->error().message.empty());
    if (op != Op::Receive)
      QVERIFY2(wire.lastOperationTime() <= within,
               qPrintable(QString::number(
                              std::chrono::duration<double>(wire.lastOperationTime()).count()) +
                          "\n" + wire.notes()));
    const bool sent = result->has_value() &&
                      (op == Op::SendExec || op == Op::SendWait || op == Op::SendWaitWithTraffic);

    // Then the faults are lifted (a hung-up interface is plugged in again) and the core works.
    if (fault == "hang-up")
      wire.replug();
    wire.command("fault clear");
    const auto after = wire.send("A", "2", 2, Completion::Done);
    QVERIFY2(after && after->has_value(), qPrintable(wire.notes()));
    QVERIFY(wire.module('A', 2)->on);
    wire.runFor(5s);
    QCOMPARE(wire.takeReceived(), received);
    // Lamp A1 is on exactly when "A1 On" was reported sent: no failure after it acted.
    QCOMPARE(wire.module('A', 1)->on, sent);
  }

  // A power failure whose set-clocks are answered wrong, then a stray FF every 50 ms: the send
  // queued behind the clock fails once it has waited 4 s for the line, the clock goes out
  // three times and is given up, and once the noise stops a send works.
  void powerFailThenNoise() {
    BackToBack wire;
    QVERIFY(wire.probe()->has_value());
    wire.command("power fail");
    wire.command("fault checksum 3");
    wire.runFor(10ms);
    wire.core.startSend(planSend("A", "1", 2, 0, 0, 0).value(), Completion::Accepted,
                        wire.instant());
    std::optional<OperationResult> result;
    sim::Duration waited{};
    for (; waited < 10s && !result; waited += 50ms) {
      wire.command("fault garbage FF");
      result = wire.await(50ms);
    }
    QVERIFY2(result, qPrintable(wire.notes()));
    QCOMPARE(result->error().failure, Failure::LineBusy);
    QVERIFY(waited <= 4050ms);
    for (int i = 0; i < 60; ++i) { // 3 s more noise
      wire.command("fault garbage FF");
      wire.runFor(50ms);
    }
    QCOMPARE(wire.notes().count("power-fail poll: setting the interface's clock"), 3);
    QVERIFY(wire.notes().contains("given up until the interface asks again"));
    const auto after = wire.send("A", "2", 2, Completion::Done);
    QVERIFY2(after && after->has_value(), qPrintable(wire.notes()));
    QVERIFY(!wire.module('A', 1)->on);
  }
};

QTEST_APPLESS_MAIN(TestFaultMatrix)
#include "test_faultmatrix.moc"

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The line guard on a virtual clock: read passes of so many bytes at so many milliseconds after
// opening, and what of them is taken: 64 at once, then up to 1,920 a second (four times a
// CM11A's rate).
#include "controller/protocol/lineguard.h"

#include <QTest>

using namespace x10;
using Verdict = LineGuard::Verdict;

namespace {

struct Pass {
  int atMs = 0;
  int count = 0;
  std::uint8_t value = 0;
};
using Passes = QList<Pass>;

// count passes of n bytes of value, every stepMs from firstMs.
Passes every(int firstMs, int stepMs, int count, int n, std::uint8_t value) {
  Passes passes;
  for (int i = 0; i < count; ++i)
    passes.append({firstMs + i * stepMs, n, value});
  return passes;
}

} // namespace

Q_DECLARE_METATYPE(Pass)
Q_DECLARE_METATYPE(Verdict)

class TestLineGuard : public QObject {
  Q_OBJECT
private slots:
  void takesWhatACm11aCanSend_data() {
    QTest::addColumn<Passes>("passes");
    QTest::addColumn<int>("kept");
    QTest::addColumn<Verdict>("verdict");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("report");
    QTest::newRow("a status reply at once")
        << Passes{{0, 14, 0x11}} << 14 << Verdict::Plausible << ""
        << "";
    QTest::newRow("480 a second for 3 s")
        << every(0, 100, 30, 48, 0x5A) << 1440 << Verdict::Plausible << ""
        << "";
    QTest::newRow("a second's bytes held up, then read at once")
        << Passes{{1000, 480, 0x33}} << 480 << Verdict::Plausible << ""
        << "";
    QTest::newRow("over four times the rate: dropped and reported")
        << Passes{{0, 64, 0x33}, {500, 1010, 0x33}, {1000, 1, 0x33}} << 1025 << Verdict::Plausible
        << ""
        << "ignored 50 bytes in the last second: more than a CM11A sends (480 a second)";
    QTest::newRow("late bursts in two seconds: each second's drops count alone")
        << Passes{{0, 64, 0x33}, {500, 1010, 0x33}, {1000, 1010, 0x33}, {2000, 1, 0x33}} << 1985
        << Verdict::Plausible << ""
        << "ignored 50 bytes in the last second: more than a CM11A sends (480 a second)";
    QTest::newRow("a full read pass at once after opening")
        << Passes{{0, 256, 0xAB}} << 0 << Verdict::Flood
        << "sends far more than a CM11A can (256 bytes within 1 ms; a CM11A sends at most 480 a "
           "second)"
        << "";
    QTest::newRow("a flood after two quiet seconds")
        << Passes{{0, 10, 0x5A}, {2000, 300, 0x77}, {2005, 1800, 0x77}} << 310 << Verdict::Flood
        << "sends far more than a CM11A can (2,100 bytes within 5 ms; a CM11A sends at most 480 "
           "a second)"
        << "";
    QTest::newRow("31 zeros in a row") << Passes{{0, 31, 0x00}} << 31 << Verdict::Plausible << ""
                                       << "";
    QTest::newRow("32 zeros in a row, over two passes")
        << Passes{{0, 20, 0x00}, {100, 12, 0x00}} << 20 << Verdict::Zeros
        << "sends nothing but zero bytes (32 in a row): a line held in break or a wrong device"
        << "";
    QTest::newRow("zeros broken by other bytes")
        << Passes{{0, 20, 0x00}, {50, 1, 0x01}, {100, 20, 0x00}} << 41 << Verdict::Plausible << ""
        << "";
  }
  void takesWhatACm11aCanSend() {
    QFETCH(Passes, passes);
    QFETCH(int, kept);
    QFETCH(Verdict, verdict);
    QFETCH(QString, text);
    QFETCH(QString, report);
    const LineGuard::Time opened{std::chrono::hours(1)};
    LineGuard guard;
    guard.start(opened);
    int total = 0;
    for (const Pass &p : passes) {
      const std::vector<std::uint8_t> bytes(static_cast<std::size_t>(p.count), p.value);
      const auto taken = guard.take(bytes, opened + std::chrono::milliseconds(p.atMs));
      QVERIFY(std::all_of(taken.begin(), taken.end(), [&](auto b) { return b == p.value; }));
      total += static_cast<int>(taken.size());
    }
    QCOMPARE(total, kept);
    QCOMPARE(guard.verdict(), verdict);
    QCOMPARE(QString::fromStdString(guard.verdictText()), text);
    QCOMPARE(QString::fromStdString(guard.takeReport().value_or("")), report);
    QVERIFY(!guard.takeReport()); // once
  }

  // Starting again forgets the verdict: a reopened link is judged afresh.
  void startForgetsTheVerdict() {
    LineGuard guard;
    guard.start({});
    QVERIFY(guard.take(std::vector<std::uint8_t>(40, 0), {}).empty());
    guard.start({});
    QCOMPARE(guard.verdict(), Verdict::Plausible);
    QCOMPARE(guard.take(std::vector<std::uint8_t>{0x5A}, {}).size(), 1u);
  }

  void groupsDigits_data() {
    QTest::addColumn<long long>("n");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << 0LL << "0";
    QTest::newRow("999") << 999LL << "999";
    QTest::newRow("1000") << 1000LL << "1,000";
    QTest::newRow("51200") << 51200LL << "51,200";
    QTest::newRow("1234567") << 1234567LL << "1,234,567";
  }
  void groupsDigits() {
    QFETCH(long long, n);
    QFETCH(QString, text);
    QCOMPARE(QString::fromStdString(groupedDigits(n)), text);
  }
};

QTEST_APPLESS_MAIN(TestLineGuard)
#include "test_lineguard.moc"

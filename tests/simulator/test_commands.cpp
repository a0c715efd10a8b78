// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The command language: traffic as frames, the other commands, what a bad line is told, and
// scripts that wait between lines.
#include "simulator/core/commandrunner.h"
#include "simulator/core/storm.h"

#include <QTest>

#include <algorithm>

using namespace x10;
using namespace x10::sim;
using namespace std::chrono_literals;

namespace {

// Frames in a short form written by hand in the tables: a<house><unit> for an address,
// f<house><function> for a function (with /steps for Dim and Bright), x<house><unit> DD CC for
// an extended code; nibbles from the code table.
QString shortForm(const std::vector<Frame> &frames) {
  QStringList parts;
  for (const Frame &f : frames) {
    switch (f.kind) {
    case Frame::Kind::Address:
      parts << QString("a%1%2").arg(f.house, 0, 16).arg(f.key, 0, 16);
      break;
    case Frame::Kind::Function:
      parts << QString("f%1%2").arg(f.house, 0, 16).arg(f.key, 0, 16) +
                   (f.isDimOrBright() ? QString("/%1").arg(f.dimSteps) : QString());
      break;
    case Frame::Kind::Extended:
      parts << QString("x%1%2 %3 %4")
                   .arg(f.house, 0, 16)
                   .arg(f.unit, 0, 16)
                   .arg(f.data, 2, 16, QChar('0'))
                   .arg(f.command, 2, 16, QChar('0'));
      break;
    }
  }
  return parts.join(' ').toUpper();
}

template <class T>
const T *as(const Result<Command, std::string> &parsed) {
  return parsed ? std::get_if<T>(&*parsed) : nullptr;
}

} // namespace

class TestCommands : public QObject {
  Q_OBJECT

private slots:
  void traffic_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("frames");
    QTest::newRow("address and function") << "A1 On"
                                          << "A66 F62";
    QTest::newRow("address alone, any case") << "b3"
                                             << "AE2";
    QTest::newRow("two addresses") << "A1 A2 Off"
                                   << "A66 A6E F63";
    QTest::newRow("dim percent") << "A Dim 45%"
                                 << "F64/10";
    QTest::newRow("dim 25%, 5.5 steps rounded up") << "A Dim 25%"
                                                   << "F64/6";
    QTest::newRow("bright full") << "a bright 100%"
                                 << "F65/22";
    QTest::newRow("extended") << "A5 Extended 1F 31"
                              << "X61 1F 31";
    QTest::newRow("extended code, 0x") << "A5 extended code 0x1f 0x31"
                                       << "X61 1F 31";
    QTest::newRow("multi-word function") << "P16 All Units Off"
                                         << "ACC FC0";
    QTest::newRow("status request") << "A3 Status Request"
                                    << "A62 F6F";
    QTest::newRow("houses change") << "B3 On A Off"
                                   << "AE2 FE2 F63";
    QTest::newRow("comment") << "C7 status off   # the porch"
                             << "A25 F2E";
    QTest::newRow("pre-set dim") << "A1 Pre-set Dim 2"
                                 << "A66 F6B";
  }

  void traffic() {
    QFETCH(QString, line);
    QFETCH(QString, frames);
    const auto parsed = parseCommand(line.toStdString());
    const auto *traffic = as<cmd::Traffic>(parsed);
    QVERIFY2(traffic, parsed ? "not traffic" : parsed.error().c_str());
    QCOMPARE(shortForm(traffic->frames), frames);
  }

  // Numbered commands walk units 1..16, then houses A..P in order; after 256 the On turns Off.
  void stormFrames_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("first");
    QTest::addColumn<QString>("frames");
    QTest::newRow("repeated traffic") << "storm 3 B3 On" << 0 << "AE2 FE2 AE2 FE2 AE2 FE2";
    QTest::newRow("numbered, start") << "storm 3" << 0 << "A66 F62 A6E F62 A62 F62";
    QTest::newRow("numbered, A16 then B1") << "storm 17" << 15 << "A6C F62 AE6 FE2";
    QTest::newRow("numbered, P16 then A1 Off") << "storm 257" << 255 << "ACC FC2 A66 F63";
  }
  void stormFrames() {
    QFETCH(QString, line);
    QFETCH(int, first);
    QFETCH(QString, frames);
    const auto parsed = parseCommand(line.toStdString());
    const auto *storm = as<cmd::Storm>(parsed);
    QVERIFY(storm);
    const std::vector<Frame> all = x10::sim::stormFrames(storm->count, storm->traffic);
    QCOMPARE(shortForm({all.begin() + 2 * first, all.end()}), frames);
  }

  void otherCommands() {
    QVERIFY(as<cmd::Blank>(parseCommand("   # nothing but a comment")));
    QVERIFY(as<cmd::ShowModules>(parseCommand("modules")));
    QVERIFY(as<cmd::PowerFail>(parseCommand("Power Fail")));
    QVERIFY(as<cmd::ChecksumIs5A>(parseCommand("fault checksum-5a")));
    QVERIFY(as<cmd::HangUp>(parseCommand("fault hangup")));
    QVERIFY(as<cmd::ClearFaults>(parseCommand("fault clear")));
    QVERIFY(as<cmd::Help>(parseCommand("help")));
    QVERIFY(as<cmd::Quit>(parseCommand("quit")));
    QCOMPARE(as<cmd::WrongChecksums>(parseCommand("fault checksum"))->count, 1);
    QCOMPARE(as<cmd::WrongChecksums>(parseCommand("fault checksum 3"))->count, 3);
    QCOMPARE(as<cmd::TruncateUpload>(parseCommand("fault truncate-upload"))->bytes, std::size_t(2));
    QCOMPARE(as<cmd::TruncateUpload>(parseCommand("fault truncate-upload 0"))->bytes,
             std::size_t(0));
    QCOMPARE(as<cmd::Wait>(parseCommand("wait 2.5"))->length, Duration(2500ms));
    QCOMPARE(as<cmd::Silence>(parseCommand("fault silence 4"))->length,
             std::optional<Duration>(4s));
    QVERIFY(!as<cmd::Silence>(parseCommand("fault silence"))->length);
    QCOMPARE(as<cmd::Garbage>(parseCommand("fault garbage 12 ff"))->bytes,
             (std::vector<std::uint8_t>{0x12, 0xFF}));
    QCOMPARE(shortForm(as<cmd::Collide>(parseCommand("fault collide B3 On"))->frames),
             QString("AE2 FE2"));
    const auto parsedModule = parseCommand("module c4 two-way");
    const auto *module = as<cmd::SetModule>(parsedModule);
    QVERIFY(module && module->house.letter() == 'C' && module->unit.number() == 4);
    QCOMPARE(module->kind, std::optional(ModuleKind::TwoWay));
    QVERIFY(!as<cmd::SetModule>(parseCommand("module C4 none"))->kind);
  }

  void badLinesSayWhatWasExpected_data() {
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("message");
    QTest::newRow("unknown word") << "frobnicate"
                                  << "'frobnicate' is not a command or traffic";
    QTest::newRow("unit 17") << "A17 On"
                             << "'A17' is not a command or traffic";
    QTest::newRow("house Q") << "Q On"
                             << "'Q' is not a command or traffic";
    QTest::newRow("function without house") << "On"
                                            << "'On' needs a house";
    QTest::newRow("house without function") << "A"
                                            << "expected a function after house A";
    QTest::newRow("house, unknown function") << "A Blink"
                                             << "'Blink' is not a function";
    QTest::newRow("dim without amount") << "A Dim"
                                        << "Dim needs an amount from 0% to 100%";
    QTest::newRow("dim too far") << "A Bright 120%"
                                 << "Bright needs an amount";
    QTest::newRow("extended without unit") << "A Extended 1F 31"
                                           << "Extended needs a unit before it";
    QTest::newRow("extended, one byte") << "A5 Extended 1F"
                                        << "Extended needs a unit before it";
    QTest::newRow("extended, bad hex") << "A5 Extended 1G 31"
                                       << "two hex bytes";
    QTest::newRow("wait without time") << "wait"
                                       << "wait needs a number of seconds";
    QTest::newRow("wait negative") << "wait -1"
                                   << "wait needs a number of seconds";
    QTest::newRow("power what") << "power on"
                                << "expected 'power fail'";
    QTest::newRow("fault alone") << "fault"
                                 << "fault needs one of: checksum [N]";
    QTest::newRow("unknown fault") << "fault fire"
                                   << "unknown fault 'fire'";
    QTest::newRow("no checksums") << "fault checksum 0"
                                  << "count of 1 or more";
    QTest::newRow("collide nothing") << "fault collide"
                                     << "needs the traffic";
    QTest::newRow("collide bad traffic") << "fault collide On"
                                         << "'On' needs a house";
    QTest::newRow("garbage not hex") << "fault garbage zz"
                                     << "needs hex bytes";
    QTest::newRow("silence word") << "fault silence long"
                                  << "number of seconds, or nothing";
    QTest::newRow("module kind") << "module A4 toaster"
                                 << "module A4 lamp|appliance|two-way|none";
    QTest::newRow("storm without count") << "storm B3 On"
                                         << "storm needs a count from 1 to 100000";
    QTest::newRow("storm of none") << "storm 0"
                                   << "storm needs a count";
    QTest::newRow("storm bad traffic") << "storm 5 On"
                                       << "'On' needs a house";
    QTest::newRow("help with words") << "help me"
                                     << "help takes nothing after it, but got 'me'";
  }

  void badLinesSayWhatWasExpected() {
    QFETCH(QString, line);
    QFETCH(QString, message);
    const auto parsed = parseCommand(line.toStdString());
    QVERIFY(!parsed);
    QVERIFY2(QString::fromStdString(parsed.error()).contains(message), parsed.error().c_str());
  }

  void scriptWaitsBetweenLines() {
    const TimePoint start = TimePoint{} + 1h;
    Cm11aDevice device(Timing::fast(), PowerLine::withDemoModules(), start);
    CommandRunner script("demo.x10", CommandRunner::Source::Script);
    for (const char *line : {"A1 On", "wait 2", "bogus", "A1 Off", "quit", "A1 On"})
      script.add(line);

    QVERIFY(!script.runDue(device, start).quit);
    const auto a1 = [&] {
      return device.powerLine().module(*HouseCode::fromLetter('A'), *UnitCode::fromNumber(1));
    };
    QVERIFY(a1()->on);
    QCOMPARE(script.nextDeadline(), std::optional(start + 2s));
    QVERIFY(script.runDue(device, start + 1999ms).lines.empty());

    const Outcome later = script.runDue(device, start + 2s);
    QVERIFY(later.quit);
    QVERIFY(!a1()->on);
    QVERIFY(later.lines.size() >= 2);
    QVERIFY2(QString::fromStdString(later.lines[0]).startsWith("demo.x10:3: 'bogus'"),
             later.lines[0].c_str());
    QVERIFY(!script.finished()); // the line after quit is left
  }

  // repeat starts a script over, for as long as it runs; the lines after it never run. Each
  // round numbers its lines from 1 again.
  void scriptRepeats() {
    const TimePoint start = TimePoint{} + 1h;
    Cm11aDevice device(Timing::fast(), PowerLine::withDemoModules(), start);
    const auto lamp = [&](char house, int unit) {
      return device.powerLine().module(*HouseCode::fromLetter(house), *UnitCode::fromNumber(unit));
    };
    CommandRunner script("demo.x10", CommandRunner::Source::Script);
    for (const char *line : {"bogus", "A1 On", "wait 2", "A1 Off", "repeat", "B3 On"})
      script.add(line);
    script.runDue(device, start);
    for (int round = 1; round <= 3; ++round) {
      QVERIFY(lamp('A', 1)->on);
      QVERIFY(script.runDue(device, start + round * 2s - 1ms).lines.empty());
      const auto lines = script.runDue(device, start + round * 2s).lines; // Off, then On again
      QVERIFY(std::ranges::any_of(
          lines, [](const std::string &line) { return line.starts_with("demo.x10:1: 'bogus'"); }));
      QCOMPARE(script.nextDeadline(), std::optional(start + (round + 1) * 2s));
    }
    QVERIFY(!lamp('B', 3)->on);

    CommandRunner flatOut("flat.x10", CommandRunner::Source::Script);
    flatOut.add("wait 0"); // no time either
    flatOut.add("repeat");
    QCOMPARE(flatOut.runDue(device, start).lines.back(),
             std::string("flat.x10:2: repeat needs a wait before it, or the script would run flat "
                         "out"));
    QVERIFY(flatOut.finished());
    CommandRunner typed("input", CommandRunner::Source::Terminal);
    typed.add("repeat");
    QCOMPARE(typed.runDue(device, start).lines.back(),
             std::string("input:1: repeat works in a script only"));
  }
};

QTEST_APPLESS_MAIN(TestCommands)
#include "test_commands.moc"

// "Send Exec" and "Send Wait" against a recording component.

#include "consoleundertest.h"
#include "eventlog.h"
#include "messageboxcatcher.h"

#include <QComboBox>
#include <QTest>

namespace {

// The six arguments of one send call, with the exact types the component received.
void compareSend(const RecordingController::Call &call, const QString &member,
                 const QString &houseCode, const QString &deviceCode, qint16 function,
                 double dimValue, double data1, double data2) {
  QCOMPARE(call.member, member);
  QCOMPARE(call.args.size(), 6);
  const QList<QMetaType> types = {QMetaType::fromType<QString>(), QMetaType::fromType<QString>(),
                                  QMetaType::fromType<qint16>(),  QMetaType::fromType<double>(),
                                  QMetaType::fromType<double>(),  QMetaType::fromType<double>()};
  for (int i = 0; i < 6; ++i)
    QCOMPARE(call.args[i].metaType(), types[i]);
  QCOMPARE(call.args[0].toString(), houseCode);
  QCOMPARE(call.args[1].toString(), deviceCode);
  QCOMPARE(call.args[2].value<qint16>(), function);
  QCOMPARE(call.args[3].toDouble(), dimValue);
  QCOMPARE(call.args[4].toDouble(), data1);
  QCOMPARE(call.args[5].toDouble(), data2);
}

} // namespace

class TestSendingHandlers : public QObject {
  Q_OBJECT
  std::unique_ptr<ConsoleUnderTest> console;

private slots:
  void init() { console = std::make_unique<ConsoleUnderTest>(); }
  void cleanup() { console.reset(); }

  void defaultsAreSent_data() {
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("member");
    QTest::newRow("Send Exec") << QByteArray("Command1") << "SendExec";
    QTest::newRow("Send Wait") << QByteArray("Command5") << "SendWait";
  }
  void defaultsAreSent() {
    QFETCH(QByteArray, button);
    QFETCH(QString, member);
    console->click(button.constData());
    QCOMPARE(console->fake->calls.size(), 1);
    compareSend(console->fake->calls[0], member, "A", "1", 0, 50.0, 50.0, 50.0);
  }

  void selectedPositionIsTheFunction_data() {
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("function");
    for (const char *button : {"Command1", "Command5"}) {
      QTest::addRow("%s On", button) << QByteArray(button) << 2 << 2;
      QTest::addRow("%s Dim", button) << QByteArray(button) << 4 << 4;
      QTest::addRow("%s Status Request", button) << QByteArray(button) << 15 << 15;
      QTest::addRow("%s last entry", button) << QByteArray(button) << 16 << -1;
    }
  }
  void selectedPositionIsTheFunction() {
    QFETCH(QByteArray, button);
    QFETCH(int, position);
    QFETCH(int, function);
    console->control<QComboBox>("Combo1")->setCurrentIndex(position);
    console->click(button.constData());
    QCOMPARE(console->fake->calls.size(), 1);
    QCOMPARE(console->fake->calls[0].args.value(2).value<qint16>(), qint16(function));
  }

  void fieldsGoAsTypedAndNumbersUnrounded_data() { defaultsAreSent_data(); }
  void fieldsGoAsTypedAndNumbersUnrounded() {
    QFETCH(QByteArray, button);
    QFETCH(QString, member);
    console->type("TxtHC", "");
    console->type("TxtDC", " 12 ");
    console->type("TxtDim", "12.5");
    console->type("TxtData1", "&H10");
    console->type("TxtData2", "-2.5E2");
    console->click(button.constData());
    QCOMPARE(console->fake->calls.size(), 1);
    compareSend(console->fake->calls[0], member, "", " 12 ", 0, 12.5, 16.0, -250.0);
  }

  void numberFieldWithoutNumberSendsZero() {
    console->type("TxtDim", "full");
    console->click("Command1");
    QCOMPARE(console->fake->calls.size(), 1);
    QCOMPARE(console->fake->calls[0].args.value(3).toDouble(), 0.0);
  }

  void failingSendIsReportedAndChangesNothing() {
    console->fake->onCall = [](const QString &) { throw DeviceError("checksum never confirmed"); };
    MessageBoxCatcher boxes;
    console->click("Command5");
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown[0].text, "checksum never confirmed");
    QCOMPARE(boxes.shown[0].icon, QMessageBox::Critical);
    QCOMPARE(boxes.shown[0].title, "X10 Test Console");
    QVERIFY(console->log()->text().isEmpty());
  }
};

QTEST_MAIN(TestSendingHandlers)
#include "test_sendinghandlers.moc"

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// The window itself: controls, defaults, geometry, stacking, keyboard order, keys that must do
// nothing, caption, icon, and captions that fit at 96 DPI with the application font.

#include "console/appidentity.h"
#include "console/eventlog.h"
#include "tests/console/consoleundertest.h"
#include "tests/support/messageboxcatcher.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMainWindow>
#include <QStyleOptionButton>
#include <QTest>

// Qt's accessible name of a combo box differs by platform, at its own build time.
#ifdef Q_OS_WIN
constexpr const char *kCommandListName = "Command:";
#else
constexpr const char *kCommandListName = "All Units Off";
#endif

class TestForm1Window : public QObject {
  Q_OBJECT
  std::unique_ptr<ConsoleUnderTest> console;

  QString focusName() const {
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
  }

  // Object names visited by pressing Tab from TxtHC until the focus comes back.
  QStringList tabRound() const {
    QStringList visited{focusName()};
    for (int step = 0; step < 40; ++step) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      if (focusName() == visited.first())
        return visited;
      visited << focusName();
    }
    return visited;
  }

private slots:
  void initTestCase() { appidentity::apply(*qApp); }
  void init() {
    console = std::make_unique<ConsoleUnderTest>();
    console->form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&console->form));
  }
  void cleanup() { console.reset(); }

  // A member call that blocks the window shows the busy cursor, and takes it away when it
  // ends, also by throwing: before the error report's box opens.
  void blockingCallsShowTheBusyCursorUntilTheyEnd_data() {
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<bool>("throws");
    QTest::newRow("Init") << QByteArray("ButInit") << false;
    QTest::newRow("Init throws") << QByteArray("ButInit") << true;
    QTest::newRow("Clear CM11A throws") << QByteArray("ButClrCM11") << true;
    QTest::newRow("Send Exec throws") << QByteArray("Command1") << true;
    QTest::newRow("Send Wait throws") << QByteArray("Command5") << true;
    QTest::newRow("GetEvent") << QByteArray("Command2") << false;
    QTest::newRow("GetEvent throws") << QByteArray("Command2") << true;
  }
  void blockingCallsShowTheBusyCursorUntilTheyEnd() {
    QFETCH(QByteArray, button);
    QFETCH(bool, throws);
    const auto cursor = [] {
      const QCursor *shown = QApplication::overrideCursor();
      return shown ? int(shown->shape()) : -1;
    };
    QList<int> duringCalls;
    console->fake->onCall = [&](const QString &member) {
      if (member == "ComPort")
        return;
      duringCalls << cursor();
      if (throws)
        throw DeviceError("no answer");
    };
    MessageBoxCatcher boxes;
    int duringBox = 0;
    boxes.whileOpen = [&] { duringBox = cursor(); };
    console->click(button.constData());
    QCOMPARE(duringCalls, QList<int>{Qt::WaitCursor});
    QCOMPARE(boxes.shown.size(), throws ? 1 : 0);
    QCOMPARE(duringBox, throws ? -1 : 0);
    QCOMPARE(cursor(), -1);
  }

  void isAPlainWindowCalledForm1() {
    QWidget &form = console->form;
    QVERIFY(form.isWindow());
    QVERIFY(!qobject_cast<QMainWindow *>(&form));
    QCOMPARE(form.objectName(), "Form1");
    QCOMPARE(form.windowTitle(), "Form1");
    QCOMPARE(form.size(), QSize(482, 319));
    QCOMPARE(form.windowIcon().availableSizes(), QList<QSize>({{16, 16}, {32, 32}, {48, 48}}));
    QVERIFY(form.layout() == nullptr);
  }

  // What the desktop matches the window to (its .desktop file and WM_CLASS), and the version
  // it reports.
  void applicationNamesItsDesktopEntryAndVersion() {
    QCOMPARE(QGuiApplication::desktopFileName(), "org.x10console.X10Console");
    QCOMPARE(QCoreApplication::applicationName(), "x10console");
    QCOMPARE(QCoreApplication::applicationVersion(), "1.00");
  }

  void controlsHaveTheirPlaceAndCaption_data() {
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry"); // pixels: the design's twips divided by 15
    const std::tuple<const char *, const char *, const char *, QRect> rows[] = {
        {"TxtHC", "Form1", "A", {16, 24, 49, 19}},
        {"Label1", "Form1", "Hosecode:", {16, 8, 121, 17}},
        {"Command1", "Form1", "Send Exec", {16, 152, 73, 25}},
        {"ButInit", "Form1", "Init", {168, 16, 89, 25}},
        {"Command3", "Form1", "Exit", {384, 288, 81, 25}},
        {"TxtDim", "Form1", "50", {152, 120, 65, 19}},
        {"TxtComPort", "Form1", "2", {168, 64, 57, 19}},
        {"Label2", "Form1", "Com Port:", {168, 48, 57, 17}},
        {"TxtDC", "Form1", "1", {16, 72, 113, 19}},
        {"Label3", "Form1", "DeviceCode:", {16, 56, 65, 17}},
        {"Combo1", "Form1", "All Units Off", {16, 120, 121, 21}},
        {"TxtEvent", "Form1", "", {272, 24, 201, 249}},
        {"Label4", "Form1", "X10 Events:", {272, 8, 65, 17}},
        {"Label5", "Form1", "Command:", {16, 104, 81, 17}},
        {"Label6", "Form1", "Dim Value (%) :", {152, 104, 113, 17}},
        {"Frame1", "Form1", "Polling", {16, 240, 249, 73}},
        {"Command2", "Frame1", "GetEvent", {152, 32, 81, 25}},
        {"TxtPoll", "Frame1", "10000", {16, 40, 121, 19}},
        {"Label7", "Frame1", "Timeout (ms):", {16, 24, 113, 17}},
        {"Command4", "Form1", "Clear", {288, 288, 81, 25}},
        {"TxtData2", "Form1", "50", {152, 200, 65, 19}},
        {"Label8", "Form1", "Data2:", {152, 184, 73, 17}},
        {"ButClrCM11", "Form1", "Clear CM11A", {88, 16, 73, 25}},
        {"Command5", "Form1", "Send Wait", {16, 192, 73, 25}},
        {"TxtData1", "Form1", "50", {152, 160, 65, 19}},
        {"Label9", "Form1", "Data1:", {152, 144, 73, 17}},
    };
    for (const auto &[name, container, caption, geometry] : rows)
      QTest::newRow(name) << QString(container) << QString(caption) << geometry;
  }
  void controlsHaveTheirPlaceAndCaption() {
    const QString name = QTest::currentDataTag();
    QFETCH(QString, container);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    auto *control = console->form.findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->parentWidget()->objectName(), container);
    QCOMPARE(control->geometry(), geometry);
    QVERIFY(control->isVisible());
    QVERIFY(control->isEnabled());
    QCOMPARE(control
                 ->property(control->inherits("QComboBox")   ? "currentText"
                            : control->inherits("QGroupBox") ? "title"
                            : control->inherits("EventLog")  ? "plainText"
                                                             : "text")
                 .toString(),
             caption);
  }

  void commandListHoldsTheSeventeenEntriesForSelectionOnly() {
    auto *list = console->control<QComboBox>("Combo1");
    QStringList entries;
    for (int i = 0; i < list->count(); ++i)
      entries << list->itemText(i);
    QCOMPARE(entries, QStringList({"All Units Off", "All Lights On", "On", "Off", "Dim", "Bright",
                                   "All Lights Off", "Extended", "Hail Request", "Hail Ack",
                                   "Pre-set dim1", "Pre-set dim2", "Extended Data", "Status On",
                                   "Status Off", "Status Request", "-1"}));
    QCOMPARE(list->currentIndex(), 0);
    QVERIFY(!list->isEditable());
  }

  void labelsLieBeneathEverythingElse() {
    for (QLabel *label : console->form.findChildren<QLabel *>()) {
      const QObjectList siblings = label->parent()->children();
      const qsizetype labelPlace = siblings.indexOf(label);
      for (qsizetype i = 0; i < labelPlace; ++i)
        QVERIFY2(qobject_cast<QLabel *>(siblings[i]) || !siblings[i]->isWidgetType(),
                 qPrintable(label->objectName() + " lies above " + siblings[i]->objectName()));
    }
  }

  void buttonOverLabel1TakesTheClick() {
    const QPoint overlap(100, 20); // inside both Label1 and ButClrCM11
    QVERIFY(console->control<QLabel>("Label1")->geometry().contains(overlap));
    QCOMPARE(console->form.childAt(overlap)->objectName(), "ButClrCM11");
    QTest::mouseClick(console->form.windowHandle(), Qt::LeftButton, {}, overlap);
    QCOMPARE(console->fake->calls, {"ClearInterface()"});
  }

  void tabVisitsTheControlsInKeyboardOrder() {
    QCOMPARE(focusName(), "TxtHC");
    QCOMPARE(tabRound(),
             QStringList({"TxtHC", "Command1", "ButInit", "Command3", "TxtDim", "TxtComPort",
                          "TxtDC", "Combo1", "TxtEvent", "Command2", "TxtPoll", "Command4",
                          "TxtData2", "ButClrCM11", "Command5", "TxtData1"}));
    console->click("ButInit"); // "Done" is disabled and no longer visited
    console->control<QLineEdit>("TxtHC")->setFocus();
    QVERIFY(!tabRound().contains("ButInit"));
  }

  void enterAndEscapePressNothing_data() {
    QTest::addColumn<QString>("field");
    for (const char *field :
         {"TxtHC", "TxtDim", "TxtComPort", "TxtDC", "TxtPoll", "TxtData2", "TxtData1", "Combo1"})
      QTest::newRow(field) << field;
  }
  void enterAndEscapePressNothing() {
    QFETCH(QString, field);
    auto *control = console->form.findChild<QWidget *>(field);
    control->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
      QTest::keyClick(control, key);
    QVERIFY(console->fake->calls.isEmpty());
    QVERIFY(console->log()->text().isEmpty());
    QVERIFY(console->form.isVisible());
  }

  // What a screen reader finds for each field through Qt's accessibility layer: its name, what
  // it says of the values it takes, and the caption that labels it. The command list's name is
  // its current entry where its caption travels as the label (AT-SPI); Qt for Windows names it
  // by the caption and gives the entry as its value.
  void fieldsAreNamedDescribedAndLabelled_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("label");
    const std::tuple<const char *, const char *, const char *, const char *> rows[] = {
        {"TxtHC", "House code", "one letter, A to P", "Label1"},
        {"TxtComPort", "Com Port", "the number of the port the interface is on, 1 to 32767",
         "Label2"},
        {"TxtDC", "Device code", "a unit from 1 to 16, a list such as 1,3,5-7, or empty", "Label3"},
        {"TxtEvent", "X10 Events", "the event log: one line for each event or poll", "Label4"},
        {"Combo1", kCommandListName, "", "Label5"},
        {"TxtDim", "Dim Value", "in per cent, 0 to 100", "Label6"},
        {"TxtPoll", "Timeout", "how long GetEvent waits, in milliseconds, 0 to 65535", "Label7"},
        {"TxtData2", "Data2", "command byte of an extended code, 0 to 255", "Label8"},
        {"TxtData1", "Data1", "data byte of an extended code, 0 to 255", "Label9"},
    };
    for (const auto &[field, name, description, label] : rows)
      QTest::newRow(field) << QString(name) << QString(description) << QString(label);
  }
  void fieldsAreNamedDescribedAndLabelled() {
    QFETCH(QString, name);
    QFETCH(QString, description);
    QFETCH(QString, label);
    auto *field = console->form.findChild<QWidget *>(QTest::currentDataTag());
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(field);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    QCOMPARE(accessible->text(QAccessible::Description), description);
    QStringList labels;
    for (const auto &[labelling, relation] : accessible->relations(QAccessible::Label))
      labels << labelling->object()->objectName();
    QVERIFY2(labels.contains(label), qPrintable(labels.join(' ')));
    QCOMPARE(console->control<QLabel>(qPrintable(label))->buddy(), field);
  }

  // Space pressed twice on Init: the second press lands on a text field, where it sends,
  // clears and closes nothing. A failed Init leaves the focus on the button, for a retry.
  void focusAfterInitPressedFromTheKeyboard_data() {
    QTest::addColumn<short>("result");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("dimValue");
    QTest::newRow("success") << short(0) << "TxtDim"
                             << "50 ";
    QTest::newRow("failure") << short(5) << "ButInit"
                             << "50";
  }
  void focusAfterInitPressedFromTheKeyboard() {
    QFETCH(short, result);
    QFETCH(QString, focus);
    QFETCH(QString, dimValue);
    console->fake->initResult = result;
    MessageBoxCatcher boxes;
    // The window's focus, kept while a box has it: the test platform does not give it back.
    const auto pressOnFocus = [this](Qt::Key key) {
      QTest::keyClick(console->form.focusWidget(), key);
      return console->form.focusWidget()->objectName();
    };
    QCOMPARE(pressOnFocus(Qt::Key_Tab), "Command1");
    QCOMPARE(pressOnFocus(Qt::Key_Tab), "ButInit");
    QCOMPARE(pressOnFocus(Qt::Key_Space), focus);
    QCOMPARE(boxes.shown.size(), result == 0 ? 0 : 1);
    console->fake->initResult = 0; // a retry succeeds
    pressOnFocus(Qt::Key_Space);
    QCOMPARE(pressOnFocus(Qt::Key_Return), "TxtDim");
    QVERIFY(console->form.isVisible());
    QCOMPARE(console->fake->calls.size(), result == 0 ? 2 : 4); // ComPort and Init, each time
    QCOMPARE(console->control<QLineEdit>("TxtDim")->text(), dimValue); // a blank is ignored
    QVERIFY(console->log()->text().isEmpty());
  }

  // With the application font at 96 DPI (the test platform's resolution), every caption fits.
  void noCaptionIsClipped() {
    for (const QLabel *label : console->form.findChildren<QLabel *>()) {
      const QFontMetrics metrics = label->fontMetrics();
      QVERIFY2(metrics.horizontalAdvance(label->text()) <= label->contentsRect().width() &&
                   metrics.height() <= label->contentsRect().height(),
               qPrintable(label->text()));
    }
    for (const QPushButton *button : console->form.findChildren<QPushButton *>()) {
      QStyleOptionButton option;
      option.initFrom(button);
      option.text = button->text();
      const QRect room =
          button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
      QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) <= room.width(),
               qPrintable(button->text()));
    }
  }
};

QTEST_MAIN(TestForm1Window)
#include "test_form1window.moc"

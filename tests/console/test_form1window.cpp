// The window itself: controls, defaults, geometry, stacking, keyboard order, keys that must do
// nothing, caption, icon, and captions that fit at 96 DPI with the application font.

#include "appidentity.h"
#include "consoleundertest.h"
#include "eventlog.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTest>

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

  void controlsHaveTheirPlaceAndCaption_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QRect>("geometry"); // pixels: the design's twips divided by 15
    QTest::newRow("TxtHC") << "TxtHC" << "Form1" << "A" << QRect(16, 24, 49, 19);
    QTest::newRow("Label1") << "Label1" << "Form1" << "Hosecode:" << QRect(16, 8, 121, 17);
    QTest::newRow("Command1") << "Command1" << "Form1" << "Send Exec" << QRect(16, 152, 73, 25);
    QTest::newRow("ButInit") << "ButInit" << "Form1" << "Init" << QRect(168, 16, 89, 25);
    QTest::newRow("Command3") << "Command3" << "Form1" << "Exit" << QRect(384, 288, 81, 25);
    QTest::newRow("TxtDim") << "TxtDim" << "Form1" << "50" << QRect(152, 120, 65, 19);
    QTest::newRow("TxtComPort") << "TxtComPort" << "Form1" << "2" << QRect(168, 64, 57, 19);
    QTest::newRow("Label2") << "Label2" << "Form1" << "Com Port:" << QRect(168, 48, 57, 17);
    QTest::newRow("TxtDC") << "TxtDC" << "Form1" << "1" << QRect(16, 72, 113, 19);
    QTest::newRow("Label3") << "Label3" << "Form1" << "DeviceCode:" << QRect(16, 56, 65, 17);
    QTest::newRow("Combo1") << "Combo1" << "Form1" << "All Units Off" << QRect(16, 120, 121, 21);
    QTest::newRow("TxtEvent") << "TxtEvent" << "Form1" << "" << QRect(272, 24, 201, 249);
    QTest::newRow("Label4") << "Label4" << "Form1" << "X10 Events:" << QRect(272, 8, 65, 17);
    QTest::newRow("Label5") << "Label5" << "Form1" << "Command:" << QRect(16, 104, 81, 17);
    QTest::newRow("Label6") << "Label6" << "Form1" << "Dim Value (%) :" << QRect(152, 104, 113, 17);
    QTest::newRow("Frame1") << "Frame1" << "Form1" << "Polling" << QRect(16, 240, 249, 73);
    QTest::newRow("Command2") << "Command2" << "Frame1" << "GetEvent" << QRect(152, 32, 81, 25);
    QTest::newRow("TxtPoll") << "TxtPoll" << "Frame1" << "10000" << QRect(16, 40, 121, 19);
    QTest::newRow("Label7") << "Label7" << "Frame1" << "Timeout (ms):" << QRect(16, 24, 113, 17);
    QTest::newRow("Command4") << "Command4" << "Form1" << "Clear" << QRect(288, 288, 81, 25);
    QTest::newRow("TxtData2") << "TxtData2" << "Form1" << "50" << QRect(152, 200, 65, 19);
    QTest::newRow("Label8") << "Label8" << "Form1" << "Data2:" << QRect(152, 184, 73, 17);
    QTest::newRow("ButClrCM11") << "ButClrCM11" << "Form1" << "Clear CM11A" << QRect(88, 16, 73, 25);
    QTest::newRow("Command5") << "Command5" << "Form1" << "Send Wait" << QRect(16, 192, 73, 25);
    QTest::newRow("TxtData1") << "TxtData1" << "Form1" << "50" << QRect(152, 160, 65, 19);
    QTest::newRow("Label9") << "Label9" << "Form1" << "Data1:" << QRect(152, 144, 73, 17);
  }
  void controlsHaveTheirPlaceAndCaption() {
    QFETCH(QString, name);
    QFETCH(QString, container);
    QFETCH(QString, caption);
    QFETCH(QRect, geometry);
    auto *control = console->form.findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->parentWidget()->objectName(), container);
    QCOMPARE(control->geometry(), geometry);
    QVERIFY(control->isVisible());
    QVERIFY(control->isEnabled());
    QCOMPARE(control->property(control->inherits("QComboBox")   ? "currentText"
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
    list->setFocus();
    QTest::keyClicks(list, "zz9");
    QVERIFY(entries.contains(list->currentText()));
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
    QCOMPARE(console->fake->members(), QStringList{"ClearInterface"});
  }

  void tabVisitsTheControlsInKeyboardOrder() {
    QCOMPARE(focusName(), "TxtHC");
    QCOMPARE(tabRound(), QStringList({"TxtHC", "Command1", "ButInit", "Command3", "TxtDim",
                                      "TxtComPort", "TxtDC", "Combo1", "TxtEvent", "Command2",
                                      "TxtPoll", "Command4", "TxtData2", "ButClrCM11", "Command5",
                                      "TxtData1"}));
  }

  void tabSkipsInitOnceDone() {
    console->click("ButInit");
    console->control<QLineEdit>("TxtHC")->setFocus();
    QVERIFY(!tabRound().contains("ButInit"));
  }

  void enterAndEscapePressNothing_data() {
    QTest::addColumn<QString>("field");
    for (const char *field : {"TxtHC", "TxtDim", "TxtComPort", "TxtDC", "TxtPoll", "TxtData2",
                              "TxtData1", "Combo1"})
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

  void resizingMovesNothing() {
    QList<QRect> before;
    const QList<QWidget *> controls = console->form.findChildren<QWidget *>();
    for (const QWidget *control : controls)
      before << control->geometry();
    console->form.resize(900, 700);
    QCoreApplication::processEvents();
    for (qsizetype i = 0; i < controls.size(); ++i)
      QCOMPARE(controls[i]->geometry(), before[i]);
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
      const QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &option,
                                                         button);
      QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) <= room.width(),
               qPrintable(button->text()));
    }
    auto *frame = console->control<QGroupBox>("Frame1");
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect title = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                       QStyle::SC_GroupBoxLabel, frame);
    QVERIFY(frame->fontMetrics().horizontalAdvance(frame->title()) <= title.width());
    QVERIFY(frame->rect().contains(title));
  }
};

QTEST_MAIN(TestForm1Window)
#include "test_form1window.moc"

#include "consoleundertest.h"

#include "eventlog.h"

ConsoleUnderTest::ConsoleUnderTest()
    : fake(new RecordingController), form(std::unique_ptr<controlcm>(fake)) {
  form.show();
  if (!QTest::qWaitForWindowExposed(&form))
    qFatal("Form1 was never shown");
}

void ConsoleUnderTest::click(const char *buttonName) const {
  QTest::mouseClick(control<QPushButton>(buttonName), Qt::LeftButton);
}

// Replaces the field's text the way an operator does: select all, then type.
void ConsoleUnderTest::type(const char *fieldName, const QString &text) const {
  auto *field = control<QLineEdit>(fieldName);
  field->selectAll();
  QTest::keyClick(field, Qt::Key_Delete);
  QTest::keyClicks(field, text);
}

EventLog *ConsoleUnderTest::log() const { return control<EventLog>("TxtEvent"); }

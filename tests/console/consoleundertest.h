#pragma once
// Form1 around a RecordingController, shown on the test platform, with its controls looked up
// by object name the way an operator would find them by their place on the window.

#include "form1.h"
#include "recordingcontroller.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

class EventLog;

struct ConsoleUnderTest {
  ConsoleUnderTest();

  // The control with that object name; aborts the test run when there is none.
  template <typename Control> Control *control(const char *name) const {
    auto *found = form.findChild<Control *>(QLatin1String(name));
    if (!found)
      qFatal("Form1 has no %s named %s", Control::staticMetaObject.className(), name);
    return found;
  }

  void click(const char *buttonName) const;
  void type(const char *fieldName, const QString &text) const;
  EventLog *log() const;

  RecordingController *fake; // owned by form
  Form1 form;
};

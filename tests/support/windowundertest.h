// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Form1 around a given controller component, shown on the test platform, with its controls
// looked up by object name the way an operator would find them by their place on the window.

#include "console/form1.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

class EventLog;
class controlcm;

struct WindowUnderTest {
  explicit WindowUnderTest(std::unique_ptr<controlcm> component);

  // The control with that object name; aborts the test run when there is none.
  template <typename Control>
  Control *control(const char *name) const {
    auto *found = form.findChild<Control *>(QLatin1String(name));
    if (!found)
      qFatal("Form1 has no %s named %s", Control::staticMetaObject.className(), name);
    return found;
  }

  void click(const char *buttonName) const;
  void type(const char *fieldName, const QString &text) const;
  // Picks the entry with that text in a drop-down list.
  void choose(const char *listName, const QString &entry) const;
  EventLog *log() const;

  Form1 form;
};

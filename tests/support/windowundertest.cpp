// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/support/windowundertest.h"

#include "console/eventlog.h"
#include "controller/contract/controlcm.h"

#include <QComboBox>

WindowUnderTest::WindowUnderTest(std::unique_ptr<controlcm> component)
    : form(std::move(component)) {
  form.show();
  if (!QTest::qWaitForWindowExposed(&form))
    qFatal("Form1 was never shown");
}

void WindowUnderTest::click(const char *buttonName) const {
  QTest::mouseClick(control<QPushButton>(buttonName), Qt::LeftButton);
}

// Replaces the field's text the way an operator does: select all, then type.
void WindowUnderTest::type(const char *fieldName, const QString &text) const {
  auto *field = control<QLineEdit>(fieldName);
  field->selectAll();
  QTest::keyClick(field, Qt::Key_Delete);
  QTest::keyClicks(field, text);
}

void WindowUnderTest::choose(const char *listName, const QString &entry) const {
  auto *list = control<QComboBox>(listName);
  const int index = list->findText(entry);
  if (index < 0)
    qFatal("%s has no entry %s", listName, qPrintable(entry));
  list->setCurrentIndex(index);
}

EventLog *WindowUnderTest::log() const { return control<EventLog>("TxtEvent"); }

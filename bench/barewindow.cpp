// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Start-up baselines, built with the same compiler, flags and Qt as x10console: a bare Qt
// Widgets window the size of the console's, and (X10_TEXT_WINDOW) the same window with one
// label and one line edit, the least a window showing text pays for (style, fonts, text layout,
// input method).

#include <QApplication>
#include <QWidget>
#ifdef X10_TEXT_WINDOW
#include <QLabel>
#include <QLineEdit>
#endif

int main(int argc, char *argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(482, 319);
#ifdef X10_TEXT_WINDOW
  (new QLabel(QStringLiteral("Label:"), &window))->setGeometry(16, 8, 60, 17);
  auto *field = new QLineEdit(QStringLiteral("A"), &window);
  field->setGeometry(16, 24, 49, 19);
  field->setFocus();
#endif
  window.show();
  return QApplication::exec();
}

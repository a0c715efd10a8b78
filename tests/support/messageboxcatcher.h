// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Answers the modal message boxes a handler opens: records each one as
// "<icon> | <title> | <text> | <buttons>", lets the test act while it is open, then presses OK.

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class MessageBoxCatcher : public QObject {
public:
  MessageBoxCatcher();

  QStringList shown;
  std::function<void()> whileOpen; // runs before each box is dismissed

private:
  void answerOpenBox();
  QTimer poll_;
};

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Keeps the console's handlers from running inside one another.
//
// Rule: at most one handler runs at a time, counting the message boxes it shows. A component
// event that arrives while a handler runs (raised synchronously from a member call, or from the
// nested event loop of a modal message box) is held back and replayed, in arrival order, once
// the outermost handler has ended. Every handler and replayed event runs inside the error
// report, so a failure ends only that handler.

#include <deque>
#include <functional>

class QWidget;

class HandlerGate {
public:
  // parent: the window the error report's message boxes belong to.
  explicit HandlerGate(QWidget *parent) : parent_(parent) {}

  // A click (or load) handler: runs now.
  void run(const std::function<void()> &handler);
  // A component event's handler: runs now when no handler is running, later otherwise.
  void deliver(std::function<void()> eventHandler);

private:
  void runGuarded(const std::function<void()> &handler);
  void replayDeferred();

  QWidget *parent_;
  int running_ = 0;
  std::deque<std::function<void()>> deferred_;
};

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/handlergate.h"

#include "console/errorreport.h"

void HandlerGate::run(const std::function<void()> &handler) {
  runGuarded(handler);
  if (running_ == 0)
    replayDeferred();
}

void HandlerGate::deliver(std::function<void()> eventHandler) {
  if (running_ > 0)
    deferred_.push_back(std::move(eventHandler));
  else
    run(eventHandler);
}

void HandlerGate::runGuarded(const std::function<void()> &handler) {
  ++running_;
  runWithErrorReport(parent_, handler);
  --running_;
}

// Events that arrive during a replayed one queue up behind the rest and are taken by this loop.
void HandlerGate::replayDeferred() {
  while (!deferred_.empty()) {
    const std::function<void()> next = std::move(deferred_.front());
    deferred_.pop_front();
    runGuarded(next);
  }
}

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Event log: the cost of appending one line to the window's log that already holds 1 000,
// 100 000 or 1 000 000 lines, with the window shown offscreen and the log scrolled to its end,
// where an operator watches new lines arrive. Measured twice: the append call alone, and the
// append with the event processing it causes (layout of the new block, scroll bar, repaint).

#include "console/eventlog.h"
#include "console/form1.h"
#include "controller/driver/cm11acontroller.h"

#include <QApplication>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

const QString loggedLine = QStringLiteral("Event: HC:A DC:1 Com: 2 dimval: 0D2: 0");

void appendLines(benchmark::State &state, bool paint) {
  Form1 form(std::make_unique<Cm11aController>());
  form.show();
  EventLog &log = *form.TxtEvent;
  const auto lines = static_cast<qsizetype>(state.range(0));
  QString filled;
  filled.reserve(lines * (loggedLine.size() + 1));
  for (qsizetype i = 0; i < lines; ++i)
    filled.append(loggedLine).append(u'\n');
  log.setPlainText(filled);
  log.verticalScrollBar()->setValue(log.verticalScrollBar()->maximum());
  QApplication::processEvents();

  for (auto _ : state) {
    log.appendLine(loggedLine);
    if (paint)
      QApplication::processEvents();
  }
  state.counters["lines"] = static_cast<double>(log.document()->blockCount());
}

void BM_EventLogAppend(benchmark::State &state) { appendLines(state, false); }
void BM_EventLogAppendAndPaint(benchmark::State &state) { appendLines(state, true); }

// A fixed number of appends, so each size grows by the same small amount while it is measured.
BENCHMARK(BM_EventLogAppend)
    ->Arg(1'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(2'000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EventLogAppendAndPaint)
    ->Arg(1'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Iterations(2'000)
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

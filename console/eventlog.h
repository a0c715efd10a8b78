// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// The event log field: a multi-line, wrapping, editable text with a vertical scroll bar always
// shown and no horizontal one. Tab moves the focus on, as in the other fields; Enter starts a
// new line.

#include <QPlainTextEdit>

class EventLog : public QPlainTextEdit {
  Q_OBJECT

public:
  explicit EventLog(QWidget *parent = nullptr);

  // Adds text and a line break at the very end, as one edit. The cost barely grows with the
  // log's length (tree lookups inside the text document), and neither the caret nor the scroll
  // position moves. A CR LF pair inside text is one break. Being an insertion, not a new
  // text, it reaches a screen reader as inserted text: the new line alone is announced.
  void appendLine(const QString &text);

  // The log as the operator's text, every line break written as CR LF.
  QString text() const;
};

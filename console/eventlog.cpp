// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "console/eventlog.h"

#include <QScrollBar>
#include <QTextCursor>

EventLog::EventLog(QWidget *parent) : QPlainTextEdit(parent) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setTabChangesFocus(true);
  // Programmatic appends would otherwise pile up on the undo stack without bound, and an
  // operator's undo could take logged lines back out.
  setUndoRedoEnabled(false);
}

void EventLog::appendLine(const QString &text) {
  const int caretAnchor = textCursor().anchor();
  const int caretPosition = textCursor().position();
  const int scrolled = verticalScrollBar()->value();

  QTextCursor end(document());
  end.movePosition(QTextCursor::End);
  end.beginEditBlock();
  end.insertText(QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")));
  end.insertBlock();
  end.endEditBlock();

  // A caret sitting at the very end is carried along by the insertion: put it back.
  if (textCursor().position() != caretPosition || textCursor().anchor() != caretAnchor) {
    QTextCursor restored(document());
    restored.setPosition(caretAnchor);
    restored.setPosition(caretPosition, QTextCursor::KeepAnchor);
    setTextCursor(restored);
  }
  verticalScrollBar()->setValue(scrolled);
}

QString EventLog::text() const {
  QString plain = toPlainText();
  plain.replace(QChar::LineSeparator, u'\n');
  return plain.replace(u'\n', QLatin1String("\r\n"));
}

#pragma once
// Answers the modal message boxes a handler opens: records what each one showed, lets the test
// act while it is open, then presses its OK button so the handler can go on.

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QTimer>

#include <functional>

class MessageBoxCatcher : public QObject {
  Q_OBJECT

public:
  struct Shown {
    QString text;
    QString title;
    QMessageBox::Icon icon;
    QList<QMessageBox::StandardButton> buttons;
  };

  MessageBoxCatcher();

  QList<Shown> shown;
  // Runs while each box is still open, before it is dismissed.
  std::function<void()> whileOpen;

private:
  void answerOpenBox();
  QTimer poll_;
};

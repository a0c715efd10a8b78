// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Where the program's messages go, with standard error a terminal, a file, closed, or the
// journal's own stream: what reaches the system log (at which priority) and what reaches
// standard error (Qt's handler before ours, stood in for by a recorder).
#include "console/posix/systemlog.h"

#include <QLoggingCategory>
#include <QTemporaryFile>
#include <QTest>

#include <fcntl.h>
#include <pty.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

Q_LOGGING_CATEGORY(lcRouting, "x10.routing")

QStringList logged;
QStringList standardError;

void recordLog(int priority, const char *line) {
  logged << QString::number(priority) + ' ' + QString::fromUtf8(line);
}

void recordStandardError(QtMsgType, const QMessageLogContext &, const QString &message) {
  standardError << message;
}

// Standard error as a row wants it, until destroyed.
class StandardError {
public:
  explicit StandardError(const QString &kind) : saved_(::dup(STDERR_FILENO)) {
    if (kind == "terminal") {
      ::openpty(&master_, &slave_, nullptr, nullptr, nullptr);
      ::dup2(slave_, STDERR_FILENO);
    } else if (kind == "closed") {
      ::close(STDERR_FILENO);
    } else {
      file_.open();
      ::dup2(file_.handle(), STDERR_FILENO);
      struct stat st {};
      ::fstat(STDERR_FILENO, &st);
      if (kind == "the journal")
        qputenv("JOURNAL_STREAM",
                QByteArray::number(st.st_dev) + ':' + QByteArray::number(st.st_ino));
      else if (kind == "a file, the journal elsewhere")
        qputenv("JOURNAL_STREAM",
                QByteArray::number(st.st_dev) + ':' + QByteArray::number(st.st_ino + 1));
    }
  }
  ~StandardError() {
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    for (int fd : {master_, slave_})
      if (fd >= 0)
        ::close(fd);
    qunsetenv("JOURNAL_STREAM");
  }

private:
  int saved_;
  int master_ = -1;
  int slave_ = -1;
  QTemporaryFile file_;
};

} // namespace

class TestSystemLog : public QObject {
  Q_OBJECT
private slots:
  void messagesAreRoutedByWhatStandardErrorIs_data() {
    QTest::addColumn<QString>("standardErrorIs");
    QTest::addColumn<QStringList>("toLog");
    QTest::addColumn<QStringList>("toStandardError");
    const QStringList log{"4 x10.routing: no answer", "6 x10.routing: interface ready"};
    const QStringList text{"no answer", "interface ready"};
    QTest::newRow("a terminal") << "terminal" << QStringList() << text;
    QTest::newRow("a file") << "file" << log << text;
    QTest::newRow("closed") << "closed" << log << text;
    QTest::newRow("the journal") << "the journal" << log << QStringList();
    QTest::newRow("a file, the journal elsewhere")
        << "a file, the journal elsewhere" << log << text;
  }
  void messagesAreRoutedByWhatStandardErrorIs() {
    QFETCH(QString, standardErrorIs);
    QFETCH(QStringList, toLog);
    QFETCH(QStringList, toStandardError);
    logged.clear();
    standardError.clear();
    const QtMessageHandler testLog = qInstallMessageHandler(recordStandardError);
    {
      StandardError redirected(standardErrorIs);
      copyMessagesToSystemLogWithoutTerminal(recordLog);
      qCWarning(lcRouting, "no answer");
      qCInfo(lcRouting, "interface ready");
    }
    qInstallMessageHandler(testLog);
    QCOMPARE(logged, toLog);
    QCOMPARE(standardError, toStandardError);
  }
};

QTEST_GUILESS_MAIN(TestSystemLog)
#include "test_systemlog.moc"

// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
// Host names looked up within a time-out: a resolver that does not come back does not hold
// the caller, and what it finds later is freed where it ends (the sanitizer run checks that).
#include "controller/links/hostlookup.h"
#include "controller/links/waitinterrupt.h"

#include <QElapsedTimer>
#include <QTest>

#include <future>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

using namespace x10;

class TestHostLookup : public QObject {
  Q_OBJECT

private slots:
  void aResolverThatHangsIsLeftBehind_data() {
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<bool>("interrupted");
    QTest::newRow("time-out") << 50 << false;
    QTest::newRow("waits interrupted, no time limit") << -1 << true;
  }
  void aResolverThatHangsIsLeftBehind() {
    QFETCH(int, timeoutMs);
    QFETCH(bool, interrupted);
    int closing[2];
    QVERIFY(::pipe(closing) == 0);
    if (interrupted) {
      QVERIFY(::write(closing[1], "x", 1) == 1);
      setWaitInterrupt(closing[0]);
    }
    std::promise<void> release, returned;
    std::shared_future<void> released = release.get_future().share();
    auto hangs = [released, &returned](const char *host, const char *service, const addrinfo *hints,
                                       addrinfo **found) {
      released.wait();
      const int error = ::getaddrinfo(host, service, hints, found);
      returned.set_value();
      return error;
    };
    QElapsedTimer timer;
    timer.start();
    const auto found = lookUpHost("127.0.0.1", "2217", timeoutMs, hangs);
    const qint64 took = timer.elapsed();
    setWaitInterrupt(-1);
    ::close(closing[0]);
    ::close(closing[1]);
    QVERIFY(!found);
    QVERIFY(found.error().timedOut);
    QVERIFY2(took < 400, qPrintable(QString::number(took))); // the bound, not the resolver
    release.set_value();
    returned.get_future().wait();
  }

  void answersAndRefusalsAreHandedBack() {
    const auto numeric = lookUpHost("127.0.0.1", "2217", 5000);
    QVERIFY(numeric);
    QCOMPARE(numeric->get()->ai_family, AF_INET);
    const auto *address = reinterpret_cast<const sockaddr_in *>(numeric->get()->ai_addr);
    QCOMPARE(ntohs(address->sin_port), 2217);
    QCOMPARE(ntohl(address->sin_addr.s_addr), 0x7F000001u);

    const auto unknown = lookUpHost(
        "pi", "2217", 5000,
        [](const char *, const char *, const addrinfo *, addrinfo **) { return EAI_NONAME; });
    QVERIFY(!unknown);
    QVERIFY(!unknown.error().timedOut);
    QCOMPARE(unknown.error().reason, std::string("Name or service not known"));
  }
};

QTEST_GUILESS_MAIN(TestHostLookup)
#include "test_hostlookup.moc"

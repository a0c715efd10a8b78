// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "tests/support/ser2netserver.h"

#include "tests/support/waituntil.h"

#include <QFile>
#include <QStandardPaths>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// A port no one listens on now: the kernel's pick for a socket bound to port 0.
quint16 freeLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof a;
  quint16 port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr *>(&a), &size) == 0)
    port = ntohs(a.sin_port);
  ::close(fd);
  return port;
}

QString program() { return QStandardPaths::findExecutable("ser2net", {"/usr/sbin", "/sbin"}); }

} // namespace

Ser2netServer::Ser2netServer(const std::filesystem::path &device, Mode mode, SecondClient second)
    : mode_(mode), port_(freeLoopbackPort()) {
  QFile yaml(dir_.filePath("ser2net.yaml"));
  if (!yaml.open(QIODevice::WriteOnly))
    return;
  const QString accepter = mode == Mode::Raw ? "tcp" : "telnet(rfc2217),tcp";
  yaml.write(QStringLiteral("connection: &cm11a\n"
                            "  accepter: %1,127.0.0.1,%2\n"
                            "  connector: serialdev,%3,4800n81,local\n"
                            "  options:\n"
                            "    kickolduser: %4\n")
                 .arg(accepter)
                 .arg(port_)
                 .arg(QString::fromStdString(device.string()),
                      second == SecondClient::Kicks ? "true" : "false")
                 .toUtf8());
}

Ser2netServer::~Ser2netServer() {
  if (process_.state() == QProcess::NotRunning)
    return;
  process_.terminate();
  if (!process_.waitForFinished(5000))
    kill();
}

bool Ser2netServer::installed() { return !program().isEmpty(); }

bool Ser2netServer::start() {
  process_.setStandardOutputFile(QProcess::nullDevice());
  process_.start(program(), {"-n", "-d", "-u", "-c", dir_.filePath("ser2net.yaml"), "-P",
                             dir_.filePath("ser2net.pid")});
  return port_ != 0 && process_.waitForStarted() && waitUntil([this] { return listening(); });
}

void Ser2netServer::kill() {
  process_.kill();
  process_.waitForFinished();
}

QString Ser2netServer::address() const {
  return QStringLiteral("%1://127.0.0.1:%2").arg(mode_ == Mode::Raw ? "tcp" : "rfc2217").arg(port_);
}

// The kernel's table of IPv4 sockets: local address 127.0.0.1:port in state 0A (listen).
bool Ser2netServer::listening() const {
  QFile table("/proc/net/tcp");
  if (!table.open(QIODevice::ReadOnly))
    return false;
  const QByteArray local =
      QStringLiteral("0100007F:%1").arg(port_, 4, 16, QChar('0')).toUpper().toLatin1();
  for (const QByteArray &line : table.readAll().split('\n')) {
    const QList<QByteArray> fields = line.simplified().split(' ');
    if (fields.size() > 3 && fields[1] == local && fields[3] == "0A")
      return true;
  }
  return false;
}

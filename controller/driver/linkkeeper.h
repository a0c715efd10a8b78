// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#pragma once
// Owns the link to the interface and takes it back when it is lost. The address decides the
// kind: a port file holding tcp:// or rfc2217:// makes a network link, anything else is a
// serial device. While down it tries again by itself: a serial device as soon as its node is
// back (looked for every half second), a network port after a pause that grows from one
// second to 30; such a retry waits at most half a second for the connection, as it blocks the
// window meanwhile (a name is still looked up without a bound of ours). reopened() says the link is
// open again; the owner then takes the interface up and says so with confirmed(). Until then
// the pause keeps growing across losses, so a server that accepts and closes at once (a tunnel
// to a stopped server) is retried as slowly as one that refuses. Knows nothing of the protocol.

#include "controller/links/link.h"
#include "vocabulary/result.h"

#include <QTimer>

#include <filesystem>
#include <memory>

class LinkKeeper : public QObject {
  Q_OBJECT
public:
  explicit LinkKeeper(QObject *parent = nullptr);

  // What COM n's path leads to: the first line of a port file (a regular file, not a link:
  // a network address), or the path itself (a serial device). The error names the file and says how
  // to write it.
  static x10::Result<QString, QString> addressOf(const std::filesystem::path &path);

  Link::OpenResult open(const QString &address);
  // Closes the link and stops trying to reopen it.
  void close();
  Link &link() { return *link_; }
  const Link &link() const { return *link_; }

  // Closes the lost link and keeps trying to reopen it until close() or open().
  void reconnect();
  // The reopened link carries the interface again: the next loss starts from the first pause.
  void confirmed() { pauseMs_ = 0; }
  // The pause before the next attempt, for tests.
  int pauseMs() const { return pauseMs_; }
  bool reconnecting() const { return retry_.isActive(); }

signals:
  void bytesArrived();
  void lost(const QString &reason);
  void reopened();

private:
  void attempt();
  void adopt(std::unique_ptr<Link> link);

  std::unique_ptr<Link> link_;
  bool network_ = false; // link_ connects to a server (a network port)
  QTimer retry_;
  int pauseMs_ = 0;
};

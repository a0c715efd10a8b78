// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/posix/hostlookup.h"

#include "controller/links/posix/interruptiblepoll.h"

#include <cerrno>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace x10 {
namespace {

// What the lookup's thread and its caller share; whichever lets go last frees the answer.
struct Lookup {
  std::mutex mutex;
  int error = 0;
  addrinfo *found = nullptr;
  int done[2] = {-1, -1}; // a pipe: the thread writes one byte once the answer is in

  ~Lookup() {
    if (found)
      ::freeaddrinfo(found);
    for (const int fd : done)
      if (fd >= 0)
        ::close(fd);
  }
};

void resolve(const std::shared_ptr<Lookup> &lookup, const std::string &host,
             const std::string &service, const Resolver &resolver) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo *found = nullptr;
  const int error = resolver(host.c_str(), service.c_str(), &hints, &found);
  {
    const std::lock_guard lock(lookup->mutex);
    lookup->error = error;
    lookup->found = error == 0 ? found : nullptr;
  }
  const char byte = 0;
  [[maybe_unused]] const ssize_t written = ::write(lookup->done[1], &byte, 1);
}

} // namespace

Result<Addresses, LookupFailure> lookUpHost(const std::string &host, const std::string &service,
                                            int timeoutMs, Resolver resolver) {
  auto lookup = std::make_shared<Lookup>();
  if (::pipe2(lookup->done, O_CLOEXEC) != 0)
    return Unexpected(LookupFailure{false, std::strerror(errno)});
  try {
    std::thread(resolve, lookup, host, service, std::move(resolver)).detach();
  } catch (const std::system_error &e) {
    return Unexpected(LookupFailure{false, e.what()});
  }
  const bool answered = pollUnlessInterrupted(lookup->done[0], POLLIN, timeoutMs) & POLLIN;
  const std::lock_guard lock(lookup->mutex);
  if (!answered)
    return Unexpected(LookupFailure{true, {}});
  if (lookup->error != 0)
    return Unexpected(LookupFailure{false, ::gai_strerror(lookup->error)});
  return Addresses(std::exchange(lookup->found, nullptr));
}

} // namespace x10

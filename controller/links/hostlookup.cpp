// SPDX-FileCopyrightText: 2026 The X10 Test Console authors
// SPDX-License-Identifier: MIT
#include "controller/links/hostlookup.h"

#include "controller/links/doorbell.h"

#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace x10 {
namespace {

// What the lookup's thread and its caller share; whichever lets go last frees the answer.
struct Lookup {
  std::mutex mutex;
  int error = 0;
  addrinfo *found = nullptr;
  Doorbell done; // rung once the answer is in

  ~Lookup() {
    if (found)
      freeAddresses(found);
  }
};

void resolve(const std::shared_ptr<Lookup> &lookup, const std::string &host,
             const std::string &service, const Resolver &resolver) {
  addrinfo *found = nullptr;
  const int error = resolver(host.c_str(), service.c_str(), streamHints(), &found);
  {
    const std::lock_guard lock(lookup->mutex);
    lookup->error = error;
    lookup->found = error == 0 ? found : nullptr;
  }
  lookup->done.ring();
}

} // namespace

Result<Addresses, LookupFailure> lookUpHost(const std::string &host, const std::string &service,
                                            int timeoutMs, Resolver resolver) {
  std::shared_ptr<Lookup> lookup;
  try {
    lookup = std::make_shared<Lookup>();
    std::thread(resolve, lookup, host, service, std::move(resolver)).detach();
  } catch (const std::system_error &e) {
    return Unexpected(LookupFailure{false, e.what()});
  }
  const bool answered = lookup->done.waitUnlessInterrupted(timeoutMs);
  const std::lock_guard lock(lookup->mutex);
  if (!answered)
    return Unexpected(LookupFailure{true, {}});
  if (lookup->error != 0)
    return Unexpected(LookupFailure{false, lookupErrorText(lookup->error)});
  return Addresses(std::exchange(lookup->found, nullptr));
}

} // namespace x10

// Host name look-ups that never block the event loop: each runs on a worker
// thread and its result is handed back on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumo {

struct LookupResult {
    int error = 0; // a WinSock error number, 0 for success
    std::vector<std::string>
        addresses; // dotted IPv4 addresses, or the host name of a reverse look-up
};

// Resolves one name on a worker thread. Tests install their own so that they
// never depend on the machine's resolver.
using HostResolver = std::function<LookupResult(const std::string& name)>;

// Installs a resolver for name look-ups; an empty one restores the system's.
void SetHostResolver(HostResolver resolver);

// Resolves a name now, on the calling thread, with the installed resolver
// or the system's.
LookupResult ResolveName(const std::string& name);

using LookupId = uint64_t;

// Starts a look-up of a host name (or, with reverse set, of the name of a
// dotted address). done runs later from the event loop, unless the look-up is
// cancelled first. Never returns 0.
LookupId StartNameLookup(const std::string& name, bool reverse,
                         std::function<void(const LookupResult&)> done);

// Forgets a pending look-up: its callback will not run. False when it was not pending.
bool CancelNameLookup(LookupId id);

} // namespace lumo

#include "platform/name_lookup.h"

#include "platform/message_loop.h"
#include "platform/socket_api.h"

#include <QCoreApplication>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <map>
#include <mutex>
#include <thread>

namespace lumo {

namespace {

int WinSockErrorFromLookup(int gaiError) {
    switch (gaiError) {
    case EAI_AGAIN: return WSATRY_AGAIN;
    case EAI_FAIL: return WSANO_RECOVERY;
#ifdef EAI_NODATA
    case EAI_NODATA: return WSANO_DATA;
#endif
    default: return WSAHOST_NOT_FOUND;
    }
}

LookupResult SystemLookup(const std::string& name) {
    LookupResult result;
    addrinfo hints{}, *list = nullptr;
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    if (const int error = getaddrinfo(name.c_str(), nullptr, &hints, &list); error != 0) {
        result.error = WinSockErrorFromLookup(error);
        return result;
    }
    for (const addrinfo* a = list; a; a = a->ai_next) {
        const auto* sa = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
        std::string dotted = DottedAddress(sa->sin_addr.s_addr);
        bool seen = false;
        for (const auto& d : result.addresses)
            seen = seen || d == dotted;
        if (!seen) result.addresses.push_back(std::move(dotted));
    }
    freeaddrinfo(list);
    if (result.addresses.empty()) result.error = WSANO_DATA;
    return result;
}

LookupResult SystemReverseLookup(const std::string& dotted) {
    LookupResult result;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    if (inet_pton(AF_INET, dotted.c_str(), &sa.sin_addr) != 1) {
        result.error = WSAEINVAL;
        return result;
    }
    char host[NI_MAXHOST] = {};
    const int error = getnameinfo(reinterpret_cast<const sockaddr*>(&sa), sizeof sa, host,
                                  sizeof host, nullptr, 0, NI_NAMEREQD);
    if (error != 0)
        result.error = WinSockErrorFromLookup(error);
    else
        result.addresses.emplace_back(host);
    return result;
}

std::mutex resolverMutex;
HostResolver installedResolver;

// Callbacks of pending look-ups; touched only on the user-interface thread.
std::map<LookupId, std::function<void(const LookupResult&)>> pending;
LookupId lastId = 0;

void Deliver(LookupId id, const LookupResult& result) {
    const auto it = pending.find(id);
    if (it == pending.end()) return; // cancelled meanwhile
    auto done = std::move(it->second);
    pending.erase(it);
    done(result);
}

} // namespace

void SetHostResolver(HostResolver resolver) {
    std::lock_guard lock(resolverMutex);
    installedResolver = std::move(resolver);
}

LookupResult ResolveName(const std::string& name) {
    HostResolver resolver;
    {
        std::lock_guard lock(resolverMutex);
        resolver = installedResolver;
    }
    return resolver ? resolver(name) : SystemLookup(name);
}

LookupId StartNameLookup(const std::string& name, bool reverse,
                         std::function<void(const LookupResult&)> done) {
    const LookupId id = ++lastId;
    pending.emplace(id, std::move(done));
    std::thread([id, name, reverse] {
        LookupResult result = reverse ? SystemReverseLookup(name) : ResolveName(name);
        // A program that is already ending takes no more results.
        if (QCoreApplication::instance())
            PostTask([id, result = std::move(result)] { Deliver(id, result); });
    }).detach();
    return id;
}

bool CancelNameLookup(LookupId id) {
    return pending.erase(id) > 0;
}

} // namespace lumo

// lumo_fetch: fetches one address through the URL connections and prints the
// status, the response header lines and the length of the document.
//   lumo_fetch [--proxy HOST:PORT] [--socks HOST:PORT[/LEVEL[/USER:PASSWORD]]] [--head] ADDRESS
#include "net/http_connection.h"
#include "net/url_connection.h"
#include "platform/lumo_application.h"
#include "platform/stream.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {
// "host:port/level/user:password", the last two optional.
lumo::TSocksSettings ParseSocks(const std::string& text) {
    lumo::TSocksSettings s;
    const size_t slash = text.find('/');
    const std::string server = text.substr(0, slash);
    s.Server = server.substr(0, server.find(':'));
    if (server.find(':') != std::string::npos) s.Port = server.substr(server.find(':') + 1);
    if (slash == std::string::npos) return s;
    const std::string rest = text.substr(slash + 1);
    s.Level = rest.substr(0, rest.find('/'));
    if (rest.find('/') == std::string::npos) return s;
    const std::string user = rest.substr(rest.find('/') + 1);
    s.Usercode = user.substr(0, user.find(':'));
    if (user.find(':') != std::string::npos) s.Password = user.substr(user.find(':') + 1);
    return s;
}
} // namespace

int main(int argc, char** argv) {
    std::string proxy, socks, address;
    bool headOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--proxy") && i + 1 < argc)
            proxy = argv[++i];
        else if (!std::strcmp(argv[i], "--socks") && i + 1 < argc)
            socks = argv[++i];
        else if (!std::strcmp(argv[i], "--head"))
            headOnly = true;
        else
            address = argv[i];
    }
    if (address.empty()) {
        std::fprintf(stderr, "usage: lumo_fetch [--proxy HOST:PORT] "
                             "[--socks HOST:PORT[/LEVEL[/USER:PASSWORD]]] [--head] ADDRESS\n");
        return 2;
    }
    lumo::LumoApplication app(argc, argv);
    auto connection = lumo::TURLConnection::CreateForURL(address);
    if (!connection) {
        std::fprintf(stderr, "Unsupported protocol\n");
        return 2;
    }
    lumo::TNullStream discard; // only the length is wanted
    connection->UseStream(&discard);
    if (!proxy.empty()) {
        connection->Proxy = proxy.substr(0, proxy.find(':'));
        if (proxy.find(':') != std::string::npos)
            connection->ProxyPort = proxy.substr(proxy.find(':') + 1);
    }
    if (!socks.empty()) connection->Socks = ParseSocks(socks);
    int result = 0;
    try {
        auto* http = dynamic_cast<lumo::THTTPConnection*>(connection.get());
        if (http && headOnly) {
            http->Client().URL = address;
            http->Client().Proxy = connection->Proxy;
            http->Client().ProxyPort = connection->ProxyPort.empty() ? "80" : connection->ProxyPort;
            http->Client().Socks = connection->Socks;
            http->Client().Head();
        } else {
            connection->Get(address);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        result = 1;
    }
    std::printf("status: %d %s\n", connection->StatusCode(), connection->ReasonPhrase().c_str());
    if (auto* http = dynamic_cast<lumo::THTTPConnection*>(connection.get()))
        for (const auto& line : http->Client().RcvdHeader())
            std::printf("header: %s\n", line.c_str());
    std::printf("kind: %d\n", static_cast<int>(connection->ContentKind()));
    std::printf("length: %lld\n", static_cast<long long>(discard.Size()));
    return result;
}

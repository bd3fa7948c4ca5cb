// The SOCKS server every connection of the program goes through, as the
// Proxy dialog sets it. An empty server means direct connections.
#pragma once

#include <string>

namespace lumo {

struct TSocksSettings {
    std::string Server;
    std::string Port = "1080";
    std::string Level = "5"; // "4", "4A" or "5"
    // A user code asks for user name and password (SOCKS 5) or is sent as
    // the user id (SOCKS 4 and 4A).
    std::string Usercode;
    std::string Password;

    bool operator==(const TSocksSettings&) const = default;
};

} // namespace lumo

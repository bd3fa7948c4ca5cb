// The bytes of SOCKS 4, 4A and 5: the requests a client sends and the
// reading of the server's replies. No sockets here, so every reply can be
// checked byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumo {

// Where the negotiation stands: the reply awaited.
enum class TSocksPhase : uint8_t { Done = 0, Greeting = 1, Authenticating = 2, Requesting = 3 };

// The longest reply: SOCKS 5 with a 255-byte domain name, 4 + 1 + 255 + 2.
inline constexpr size_t MaxSocksReply = 262;
// One length byte carries names, user codes and passwords.
inline constexpr size_t MaxSocksField = 255;

// Error numbers of a failed negotiation; TSocksReply carries the text.
enum : int {
    socksProtocolError = 20001,
    socksVersionError = 20002,
    socksAuthMethodError = 20003,
    socksGeneralFailure = 20004,
    socksConnectionNotAllowed = 20005,
    socksNetworkUnreachable = 20006,
    socksHostUnreachable = 20007,
    socksConnectionRefused = 20008,
    socksTtlExpired = 20009,
    socksUnknownCommand = 20010,
    socksUnknownAddressType = 20011,
    socksUnassignedError = 20012,
    socksInternalError = 20013,
    socksAuthenticationFailed = 20015,
    socksRejectedOrFailed = 20016,
};

struct TSocksReply {
    enum class Status : uint8_t { NeedMore, Complete, Failed };
    Status State = Status::NeedMore;
    // NeedMore: the whole reply's length as far as the bytes so far tell.
    size_t Needed = 0;
    // Failed.
    int Error = 0;
    std::string Message;
    // A complete greeting reply: the method the server chose.
    uint8_t Method = 0;
    // A complete SOCKS 5 connect reply: where the server bound, as text.
    std::string BoundAddr, BoundPort;
};

// Reads the reply awaited in phase from the bytes received so far (at most
// MaxSocksReply). Failures are told as soon as the first bytes show them.
TSocksReply ReadSocksReply(TSocksPhase phase, bool socks5, std::string_view bytes);

// Requests. Fields longer than MaxSocksField are the caller's to refuse.
std::string Socks5Greeting(bool usercode);
std::string Socks5Authentication(std::string_view usercode, std::string_view password);
std::string Socks5Request(std::string_view host, int port);
// SOCKS 4 sends the address (network order); 4A sends 0.0.0.1 and the host.
std::string Socks4Request(int port, uint32_t address, std::string_view usercode,
                          std::string_view host4a = {});

} // namespace lumo

#include "net/socks_protocol.h"

#include <array>

namespace lumo {

namespace {

struct ReplyCode {
    int error;
    const char* text;
};

// SOCKS 5 reply codes 1 to 8.
constexpr std::array<ReplyCode, 8> Socks5Failures = {{
    {socksGeneralFailure, "general SOCKS server failure"},
    {socksConnectionNotAllowed, "connection not allowed by ruleset"},
    {socksNetworkUnreachable, "network unreachable"},
    {socksHostUnreachable, "host unreachable"},
    {socksConnectionRefused, "connection refused"},
    {socksTtlExpired, "time to live expired"},
    {socksUnknownCommand, "command not supported"},
    {socksUnknownAddressType, "address type not supported"},
}};

constexpr uint8_t Socks4Granted = 90;
// SOCKS 4 results 91 to 93.
constexpr std::array<ReplyCode, 3> Socks4Failures = {{
    {socksRejectedOrFailed, "request rejected or failed"},
    {socksConnectionRefused, "connection refused"},
    {socksAuthenticationFailed, "authentification failed"},
}};

uint8_t Byte(std::string_view bytes, size_t i) {
    return static_cast<uint8_t>(bytes[i]);
}

TSocksReply More(size_t needed) {
    TSocksReply r;
    r.Needed = needed;
    return r;
}

TSocksReply Failed(int error, std::string message) {
    TSocksReply r;
    r.State = TSocksReply::Status::Failed;
    r.Error = error;
    r.Message = std::move(message);
    return r;
}

TSocksReply Complete() {
    TSocksReply r;
    r.State = TSocksReply::Status::Complete;
    return r;
}

TSocksReply Unassigned(unsigned value) {
    return Failed(socksUnassignedError, "unassigned error #" + std::to_string(value));
}

TSocksReply VersionError() {
    return Failed(socksVersionError, "socks version error");
}

TSocksReply ReadGreeting(bool socks5, std::string_view bytes) {
    if (!socks5) return Failed(socksProtocolError, "TSocket logic error");
    if (bytes.size() < 2) return More(2);
    if (Byte(bytes, 0) != 5) return VersionError();
    const uint8_t method = Byte(bytes, 1);
    if (method != 0 && method != 2)
        return Failed(socksAuthMethodError, "authentification method not acceptable");
    TSocksReply r = Complete();
    r.Method = method;
    return r;
}

TSocksReply ReadAuthentication(std::string_view bytes) {
    if (bytes.size() < 2) return More(2);
    if (Byte(bytes, 0) != 1) return VersionError();
    if (Byte(bytes, 1) != 0)
        return Failed(socksAuthenticationFailed, "socks authentication failed");
    return Complete();
}

TSocksReply ReadSocks4Answer(std::string_view bytes) {
    if (bytes.size() < 8) return More(8);
    if (Byte(bytes, 0) != 0) return VersionError();
    const uint8_t result = Byte(bytes, 1);
    if (result == Socks4Granted) return Complete();
    if (result > Socks4Granted && result <= Socks4Granted + Socks4Failures.size()) {
        const ReplyCode& f = Socks4Failures[result - Socks4Granted - 1];
        return Failed(f.error, f.text);
    }
    return Unassigned(result);
}

std::string HexGroup(std::string_view bytes, size_t at) {
    static constexpr char Digits[] = "0123456789abcdef";
    const unsigned v = Byte(bytes, at) << 8 | Byte(bytes, at + 1);
    std::string s;
    for (int shift = 12; shift >= 0; shift -= 4)
        if (!s.empty() || (v >> shift) != 0 || shift == 0) s += Digits[(v >> shift) & 15];
    return s;
}

// The bound address of a complete reply, as text: dotted, the name, or
// eight hexadecimal groups.
std::string BoundAddress(uint8_t type, std::string_view address) {
    std::string text;
    if (type == 3) return std::string(address);
    const size_t step = type == 1 ? 1 : 2;
    for (size_t i = 0; i < address.size(); i += step) {
        if (i > 0) text += type == 1 ? '.' : ':';
        text += type == 1 ? std::to_string(Byte(address, i)) : HexGroup(address, i);
    }
    return text;
}

TSocksReply ReadSocks5Answer(std::string_view bytes) {
    if (bytes.empty()) return More(5);
    if (Byte(bytes, 0) != 5) return VersionError();
    if (bytes.size() < 2) return More(5);
    if (const uint8_t code = Byte(bytes, 1); code != 0) {
        if (code <= Socks5Failures.size()) {
            const ReplyCode& f = Socks5Failures[code - 1];
            return Failed(f.error, f.text);
        }
        return Unassigned(code);
    }
    if (bytes.size() < 4) return More(5);
    const uint8_t type = Byte(bytes, 3);
    size_t addressLength = 0;
    switch (type) {
    case 1: addressLength = 4; break;
    case 3:
        if (bytes.size() < 5) return More(5);
        addressLength = 1 + Byte(bytes, 4);
        break;
    case 4: addressLength = 16; break;
    default: return Failed(socksUnknownAddressType, "address type not supported");
    }
    const size_t needed = 4 + addressLength + 2;
    if (bytes.size() < needed) return More(needed);
    const size_t skip = type == 3 ? 1 : 0;
    TSocksReply r = Complete();
    r.BoundAddr = BoundAddress(type, bytes.substr(4 + skip, addressLength - skip));
    r.BoundPort = std::to_string(Byte(bytes, needed - 2) << 8 | Byte(bytes, needed - 1));
    return r;
}

void AppendPort(std::string& s, int port) {
    s += static_cast<char>((port >> 8) & 0xFF);
    s += static_cast<char>(port & 0xFF);
}

void AppendCounted(std::string& s, std::string_view field) {
    s += static_cast<char>(field.size());
    s += field;
}

} // namespace

TSocksReply ReadSocksReply(TSocksPhase phase, bool socks5, std::string_view bytes) {
    switch (phase) {
    case TSocksPhase::Greeting: return ReadGreeting(socks5, bytes);
    case TSocksPhase::Authenticating: return ReadAuthentication(bytes);
    case TSocksPhase::Requesting: return socks5 ? ReadSocks5Answer(bytes) : ReadSocks4Answer(bytes);
    case TSocksPhase::Done: break;
    }
    return Failed(socksInternalError, "internal error");
}

std::string Socks5Greeting(bool usercode) {
    return {5, 1, static_cast<char>(usercode ? 2 : 0)};
}

std::string Socks5Authentication(std::string_view usercode, std::string_view password) {
    std::string s(1, 1);
    AppendCounted(s, usercode);
    AppendCounted(s, password);
    return s;
}

std::string Socks5Request(std::string_view host, int port) {
    std::string s{5, 1, 0, 3};
    AppendCounted(s, host);
    AppendPort(s, port);
    return s;
}

std::string Socks4Request(int port, uint32_t address, std::string_view usercode,
                          std::string_view host4a) {
    std::string s{4, 1};
    AppendPort(s, port);
    if (host4a.empty()) {
        // In network order the bytes in memory are the wire's.
        for (int i = 0; i < 4; ++i)
            s += static_cast<char>(reinterpret_cast<const uint8_t*>(&address)[i]);
    } else {
        s += std::string{0, 0, 0, 1}; // an address no host has: the name follows
    }
    s += usercode;
    s += '\0';
    if (!host4a.empty()) {
        s += host4a;
        s += '\0';
    }
    return s;
}

} // namespace lumo

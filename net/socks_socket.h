// The SOCKS layer of the socket: with SocksServer set, Connect reaches Addr
// and Port through a SOCKS 4, 4A or 5 server, and OnSessionConnected fires
// only when the server has granted the connection (or with the SOCKS error
// number when it has not). With SocksServer empty every call passes straight
// to the plain socket.
#pragma once

#include "net/async_socket.h"
#include "net/socks_protocol.h"

#include <array>

namespace lumo {

struct TSocksSettings;

enum TSocksAuthentication : uint8_t { socksNoAuthentication, socksAuthenticateUsercode };
enum TSocksAuthState : uint8_t { saStart = 0, saSuccess = 1, saFailure = 2, saNotRequired = 3 };

class TSocksSocket : public TAsyncSocket {
public:
    // "4", "4A" or "5"; settable, like the server and port, only while closed.
    const std::string& SocksLevel() const { return socksLevel_; }
    void SetSocksLevel(std::string_view value);
    const std::string& SocksServer() const { return socksServer_; }
    virtual void SetSocksServer(std::string_view value);
    const std::string& SocksPort() const { return socksPort_; }
    virtual void SetSocksPort(std::string_view value);
    std::string SocksUsercode, SocksPassword;
    TSocksAuthentication SocksAuthentication = socksNoAuthentication;
    // Sets server, port, level, user code and password together; a user code
    // asks for authentication.
    void SetSocks(const TSocksSettings& settings);

    // Where a SOCKS 5 server bound the connection: dotted, a name or IPv6 text.
    const std::string& SocksBoundAddr() const { return boundAddr_; }
    const std::string& SocksBoundPort() const { return boundPort_; }

    ErrorEvent OnSocksConnected;
    std::function<void(TAsyncSocket* Sender, int Error, const std::string& Msg)> OnSocksError;
    std::function<void(TAsyncSocket* Sender, TSocksAuthState AuthState)> OnSocksAuthState;

    void Connect() override;
    void Listen() override;

protected:
    bool SocksNegotiating() const { return phase_ != TSocksPhase::Done; }

    TEndpoint ConnectEndpoint() override;
    bool TriggerDataAvailable(uint16_t error) override;
    void TriggerSessionConnected(uint16_t error) override;
    void TriggerSessionClosed(uint16_t error) override;
    void TriggerDataSent(uint16_t error) override;
    // The connection is made (granted by the SOCKS server when there is one),
    // or failed with error: tells the owner.
    virtual void SessionConnected(uint16_t error);
    virtual void FireSocksConnected(uint16_t error);
    virtual void FireSocksError(int error, const std::string& msg);
    void FireSocksAuthState(TSocksAuthState state);

private:
    bool Socks5() const { return socksLevel_ == "5"; }
    bool CheckFields();
    void SendGreeting();
    void SendAuthentication();
    void SendRequest();
    void ReadReply(uint16_t error);
    void TakeReply(const TSocksReply& reply);
    void Granted();
    void Fail(int error, const std::string& msg);
    bool SendNegotiation(const std::string& bytes);

    std::string socksLevel_ = "5", socksServer_, socksPort_;
    TSocksPhase phase_ = TSocksPhase::Done;
    int destPort_ = 0;
    uint32_t destAddress_ = 0;
    std::array<char, MaxSocksReply> reply_{};
    size_t replyCount_ = 0;
    std::string boundAddr_, boundPort_;
};

} // namespace lumo

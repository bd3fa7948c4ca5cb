#include "net/socks_socket.h"

#include "net/socks_settings.h"
#include "platform/socket_api.h"
#include "platform/text.h"

#include <algorithm>

namespace lumo {

void TSocksSocket::SetSocksLevel(std::string_view value) {
    if (State() != wsClosed) return ReportError("Can't change socks level if not closed");
    const std::string level = UpperCase(Trim(value));
    if (level != "4" && level != "4A" && level != "5")
        return ReportError("Invalid socks level. Must be 4, 4A or 5.");
    socksLevel_ = level;
}

void TSocksSocket::SetSocksServer(std::string_view value) {
    if (State() != wsClosed) return ReportError("Can't change socks server if not closed");
    socksServer_ = Trim(value);
}

void TSocksSocket::SetSocksPort(std::string_view value) {
    if (State() != wsClosed) return ReportError("Can't change socks port if not closed");
    socksPort_ = Trim(value);
}

void TSocksSocket::SetSocks(const TSocksSettings& settings) {
    SetSocksServer(settings.Server);
    SetSocksPort(settings.Port);
    SetSocksLevel(settings.Level.empty() ? "5" : settings.Level);
    SocksUsercode = settings.Usercode;
    SocksPassword = settings.Password;
    SocksAuthentication =
        settings.Usercode.empty() ? socksNoAuthentication : socksAuthenticateUsercode;
}

void TSocksSocket::Connect() {
    if (socksServer_.empty() || (Handle() >= 0 && State() != wsClosed))
        return TAsyncSocket::Connect();
    if (!SameText(Trim(Proto()), "tcp"))
        return ReportError("tcp is the only protocol supported thru socks server");
    if (!CheckFields()) return;
    phase_ = TSocksPhase::Done;
    replyCount_ = 0;
    boundAddr_.clear();
    boundPort_.clear();
    TAsyncSocket::Connect();
    if (State() == wsConnecting) phase_ = TSocksPhase::Greeting;
}

// One length byte (or a terminating 0 for SOCKS 4) carries each field: one
// that does not fit is refused before anything is sent, never cut or wrapped.
bool TSocksSocket::CheckFields() {
    const bool socks4 = socksLevel_ != "5";
    const bool nameSent = socksLevel_ != "4";
    const std::string& host = Addr();
    if (nameSent && (host.size() > MaxSocksField || (socks4 && host.find('\0') != host.npos))) {
        SetLastError(WSAEINVAL);
        ReportError("WSocketResolveHost: '" + host + "' Invalid Hostname.");
        return false;
    }
    const auto unfit = [socks4](const std::string& field) {
        return field.size() > MaxSocksField || (socks4 && field.find('\0') != field.npos);
    };
    const bool credentialsSent = socks4 || SocksAuthentication == socksAuthenticateUsercode;
    if (credentialsSent && (unfit(SocksUsercode) || (!socks4 && unfit(SocksPassword)))) {
        SetLastError(socksAuthenticationFailed);
        ReportError("socks authentication failed");
        return false;
    }
    return true;
}

TAsyncSocket::TEndpoint TSocksSocket::ConnectEndpoint() {
    if (socksServer_.empty()) return TAsyncSocket::ConnectEndpoint();
    destPort_ = ResolvePortNumber(Port(), "tcp");
    if (socksLevel_ == "4") destAddress_ = ResolveHostAddress(Addr());
    return {ResolveHostAddress(socksServer_), ResolvePortNumber(socksPort_, "tcp")};
}

void TSocksSocket::Listen() {
    if (!socksServer_.empty()) return ReportError("listening is not supported thru socks server");
    TAsyncSocket::Listen();
}

void TSocksSocket::TriggerSessionConnected(uint16_t error) {
    if (phase_ == TSocksPhase::Done) return TAsyncSocket::TriggerSessionConnected(error);
    const SessionWatch watch(*this);
    FireSocksConnected(error);
    if (!watch.Same()) return;
    if (error != 0) {
        phase_ = TSocksPhase::Done;
        return TAsyncSocket::TriggerSessionConnected(error);
    }
    if (Socks5())
        SendGreeting();
    else
        SendRequest();
}

bool TSocksSocket::SendNegotiation(const std::string& bytes) {
    replyCount_ = 0;
    const SessionWatch watch(*this);
    Send(bytes.data(), static_cast<int>(bytes.size()));
    return watch.Same();
}

void TSocksSocket::SendGreeting() {
    phase_ = TSocksPhase::Greeting;
    SendNegotiation(Socks5Greeting(SocksAuthentication == socksAuthenticateUsercode));
}

void TSocksSocket::SendAuthentication() {
    phase_ = TSocksPhase::Authenticating;
    const SessionWatch watch(*this);
    FireSocksAuthState(saStart);
    if (!watch.Same()) return;
    SendNegotiation(Socks5Authentication(SocksUsercode, SocksPassword));
}

void TSocksSocket::SendRequest() {
    phase_ = TSocksPhase::Requesting;
    if (Socks5())
        SendNegotiation(Socks5Request(Addr(), destPort_));
    else
        SendNegotiation(Socks4Request(destPort_, destAddress_, SocksUsercode,
                                      socksLevel_ == "4A" ? Addr() : std::string()));
}

bool TSocksSocket::TriggerDataAvailable(uint16_t error) {
    if (phase_ == TSocksPhase::Done) return TAsyncSocket::TriggerDataAvailable(error);
    ReadReply(error);
    return true;
}

// Reads exactly what the awaited reply still lacks, so data that follows it
// stays in the socket for the owner and no read can pass the buffer's end.
void TSocksSocket::ReadReply(uint16_t error) {
    if (error != 0) return Fail(error, "data receive error");
    const std::string_view got(reply_.data(), replyCount_);
    const TSocksReply before = ReadSocksReply(phase_, Socks5(), got);
    const size_t wanted = before.State == TSocksReply::Status::NeedMore
                              ? std::min(before.Needed, reply_.size()) - replyCount_
                              : 1; // a reply that is wrong whatever comes: wait for any byte
    const int n = TAsyncSocket::Receive(reply_.data() + replyCount_, static_cast<int>(wanted));
    if (n <= 0) return; // nothing yet, or the close follows
    replyCount_ += static_cast<size_t>(n);
    TakeReply(ReadSocksReply(phase_, Socks5(), std::string_view(reply_.data(), replyCount_)));
}

void TSocksSocket::TakeReply(const TSocksReply& reply) {
    using Status = TSocksReply::Status;
    if (reply.State == Status::NeedMore) return;
    const SessionWatch watch(*this);
    if (reply.State == Status::Failed) {
        if (phase_ == TSocksPhase::Authenticating) {
            FireSocksAuthState(saFailure);
            if (!watch.Same()) return;
        }
        return Fail(reply.Error, reply.Message);
    }
    switch (phase_) {
    case TSocksPhase::Greeting:
        if (reply.Method == 2) return SendAuthentication();
        if (SocksAuthentication == socksAuthenticateUsercode) {
            FireSocksAuthState(saNotRequired);
            if (!watch.Same()) return;
        }
        return SendRequest();
    case TSocksPhase::Authenticating:
        FireSocksAuthState(saSuccess);
        if (!watch.Same()) return;
        return SendRequest();
    case TSocksPhase::Requesting:
        boundAddr_ = reply.BoundAddr;
        boundPort_ = reply.BoundPort;
        return Granted();
    case TSocksPhase::Done: return;
    }
}

void TSocksSocket::Granted() {
    phase_ = TSocksPhase::Done;
    TAsyncSocket::TriggerSessionConnected(0);
}

void TSocksSocket::Fail(int error, const std::string& msg) {
    phase_ = TSocksPhase::Done;
    const SessionWatch watch(*this);
    FireSocksError(error, msg);
    if (!watch.Same()) return;
    TAsyncSocket::TriggerSessionConnected(static_cast<uint16_t>(error));
    if (!watch.Same()) return;
    CloseAndNotify(true, error);
}

void TSocksSocket::TriggerSessionClosed(uint16_t error) {
    if (phase_ == TSocksPhase::Authenticating) {
        phase_ = TSocksPhase::Done;
        const SessionWatch watch(*this);
        FireSocksAuthState(saFailure);
        if (!watch.Alive()) return;
    }
    phase_ = TSocksPhase::Done;
    TAsyncSocket::TriggerSessionClosed(error);
}

void TSocksSocket::TriggerDataSent(uint16_t error) {
    if (phase_ == TSocksPhase::Done) TAsyncSocket::TriggerDataSent(error);
}

void TSocksSocket::FireSocksConnected(uint16_t error) {
    if (OnSocksConnected) OnSocksConnected(this, error);
}

void TSocksSocket::FireSocksError(int error, const std::string& msg) {
    if (OnSocksError) OnSocksError(this, error, msg);
}

void TSocksSocket::FireSocksAuthState(TSocksAuthState state) {
    if (OnSocksAuthState) OnSocksAuthState(this, state);
}

} // namespace lumo

#include "net/tls_socket.h"

#include "net/certificate_text.h"
#include "net/tls_library.h"
#include "platform/socket_api.h"
#include "platform/text.h"

#include <algorithm>
#include <climits>

namespace lumo {

namespace {
// As much as the network hands over at once on loopback.
constexpr size_t RecordsRead = 256 * 1024;
} // namespace

TTlsSocket::~TTlsSocket() {
    FreeConnection();
}

void TTlsSocket::SetTls(std::string_view host, std::string_view port) {
    if (State() != wsClosed) return ReportError("Can't change the TLS host if not closed");
    peer_.Host = Trim(host);
    peer_.Key = peer_.Host.empty() ? std::string() : peer_.Host + ":" + std::string(Trim(port));
}

void TTlsSocket::StartTls(std::string_view host, std::string_view port) {
    if (State() != wsConnected) return ReportError("StartTls: not connected");
    peer_.Host = Trim(host);
    peer_.Key = peer_.Host + ":" + std::string(Trim(port));
    BeginHandshake();
}

void TTlsSocket::Connect() {
    FreeConnection();
    TSocksSocket::Connect();
}

void TTlsSocket::FreeConnection() {
    // A connection that ended without a fault leaves its session to resume;
    // OpenSSL would otherwise take it for one cut short by an attacker.
    if (ssl_ && phase_ == Phase::Open && peer_.Failure.Reason.empty())
        Tls().SSL_set_shutdown(ssl_, SSL_SENT_SHUTDOWN | SSL_RECEIVED_SHUTDOWN);
    if (ssl_) Tls().SSL_free(ssl_); // frees both memory buffers
    ssl_ = nullptr;
    in_ = out_ = nullptr;
    phase_ = Phase::Plain;
    resumed_ = false;
    peerSubject_.clear();
    peer_.Failure = {};
}

void TTlsSocket::ResetDefaults() {
    FreeConnection();
    peer_.Host.clear();
    peer_.Key.clear();
    TSocksSocket::ResetDefaults();
}

void TTlsSocket::SessionConnected(uint16_t error) {
    if (error != 0 || peer_.Host.empty()) return TSocksSocket::SessionConnected(error);
    BeginHandshake();
}

void TTlsSocket::BeginHandshake() {
    FreeConnection();
    if (!LoadTls())
        return HandshakeFailed("The secure connection could not be set up: " + TlsLoadError() +
                               ".");
    ssl_ = TTlsContext::Shared().NewConnection(peer_);
    in_ = Tls().BIO_new(Tls().BIO_s_mem());
    out_ = Tls().BIO_new(Tls().BIO_s_mem());
    if (!ssl_ || !in_ || !out_) {
        Tls().BIO_free(in_);
        Tls().BIO_free(out_);
        in_ = out_ = nullptr;
        return HandshakeFailed("The secure connection could not be set up.");
    }
    Tls().SSL_set_bio(ssl_, in_, out_);
    phase_ = Phase::Handshake;
    ContinueHandshake();
}

void TTlsSocket::ContinueHandshake() {
    Tls().ERR_clear_error();
    const int result = Tls().SSL_do_handshake(ssl_);
    const int error = Tls().SSL_get_error(ssl_, result);
    if (!SendRecords()) return;
    if (result == 1) return HandshakeDone();
    if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) return;
    if (!peer_.Failure.Reason.empty()) return HandshakeFailed(peer_.Failure.Reason);
    const unsigned long reason = Tls().ERR_peek_last_error();
    HandshakeFailed(reason != 0 ? HandshakeFailureReason(reason)
                                : "The server ended the secure connection during the handshake.");
}

void TTlsSocket::HandshakeDone() {
    phase_ = Phase::Open;
    resumed_ = Tls().SSL_session_reused(ssl_) == 1;
    TTlsContext::Shared().CountHandshake(resumed_);
    peerSubject_ = CertificateSubject(Tls().SSL_get0_peer_certificate(ssl_));
    const SessionWatch watch(*this);
    TAsyncSocket::TriggerSessionConnected(0);
    // Application data may have come with the handshake's last records.
    if (watch.Same() && PlainWaiting()) OfferPlainData();
}

// The owner hears of the failure as a connection that failed; no byte of
// the server's reaches it.
void TTlsSocket::HandshakeFailed(const std::string& reason) {
    peer_.Failure.Reason = reason;
    phase_ = Phase::Plain;
    SetLastError(WSocketTlsFailed);
    const SessionWatch watch(*this);
    TAsyncSocket::TriggerSessionConnected(static_cast<uint16_t>(WSocketTlsFailed));
    if (watch.Same()) Abort();
}

bool TTlsSocket::ReadRecords() {
    if (records_.size() < RecordsRead) records_.resize(RecordsRead);
    const int n = TAsyncSocket::Receive(records_.data(), static_cast<int>(records_.size()));
    if (n <= 0) return false;
    Tls().BIO_write(in_, records_.data(), n);
    return true;
}

bool TTlsSocket::SendRecords() {
    char* data = nullptr;
    const long n = Tls().BIO_ctrl(out_, BIO_CTRL_INFO, 0, &data);
    if (n <= 0) return true;
    const SessionWatch watch(*this);
    TAsyncSocket::Send(data, static_cast<int>(std::min<long>(n, INT_MAX)));
    if (!watch.Same()) return false;
    Tls().BIO_ctrl(out_, BIO_CTRL_RESET, 0, nullptr);
    return true;
}

bool TTlsSocket::TriggerDataAvailable(uint16_t error) {
    if (phase_ == Phase::Plain || SocksNegotiating())
        return TSocksSocket::TriggerDataAvailable(error);
    if (!ReadRecords()) return true;
    if (phase_ == Phase::Handshake) {
        const SessionWatch watch(*this);
        ContinueHandshake();
        return true; // HandshakeDone offered what came with it
    }
    OfferPlainData();
    return true;
}

bool TTlsSocket::PlainWaiting() {
    return ssl_ && (Tls().BIO_ctrl_pending(in_) > 0 || Tls().SSL_has_pending(ssl_) == 1);
}

void TTlsSocket::OfferPlainData() {
    const SessionWatch watch(*this);
    while (phase_ == Phase::Open && PlainWaiting()) {
        readNothing_ = false;
        if (!TAsyncSocket::TriggerDataAvailable(0)) {
            char junk[4096]; // nobody listens: decrypted and dropped
            Receive(junk, sizeof junk);
        }
        if (!watch.Same() || readNothing_) return;
    }
}

int TTlsSocket::Receive(void* buffer, int len) {
    if (phase_ == Phase::Plain) return TSocksSocket::Receive(buffer, len);
    if (len <= 0) return 0;
    if (phase_ != Phase::Open) {
        readNothing_ = true;
        SocketSetLastError(WSAEWOULDBLOCK);
        SetLastError(WSAEWOULDBLOCK);
        return -1;
    }
    Tls().ERR_clear_error();
    const int n = Tls().SSL_read(ssl_, buffer, len);
    const int error = n > 0 ? SSL_ERROR_NONE : Tls().SSL_get_error(ssl_, n);
    if (!SendRecords()) return n > 0 ? n : -1;
    if (n > 0) return n;
    readNothing_ = true;
    if (error == SSL_ERROR_ZERO_RETURN) return 0; // the server's close_notify
    if (error == SSL_ERROR_WANT_READ || error == SSL_ERROR_WANT_WRITE) {
        SocketSetLastError(WSAEWOULDBLOCK);
        SetLastError(WSAEWOULDBLOCK);
        return -1;
    }
    peer_.Failure.Reason = HandshakeFailureReason(Tls().ERR_peek_last_error());
    SetLastError(WSocketTlsFailed);
    return -1;
}

int TTlsSocket::Send(const void* data, int len) {
    if (phase_ == Phase::Plain) return TSocksSocket::Send(data, len);
    if (len <= 0) return 0;
    if (phase_ != Phase::Open) {
        SocketSetLastError(WSAENOTCONN);
        SetLastError(WSAENOTCONN);
        return -1;
    }
    // Memory buffers take everything at once.
    if (Tls().SSL_write(ssl_, data, len) != len) {
        SetLastError(WSocketTlsFailed);
        return -1;
    }
    return SendRecords() ? len : -1;
}

long TTlsSocket::PendingByteCount() {
    if (phase_ == Phase::Plain) return TSocksSocket::PendingByteCount();
    return phase_ == Phase::Open ? static_cast<long>(Tls().SSL_pending(ssl_)) : 0;
}

void TTlsSocket::TriggerSessionClosed(uint16_t error) {
    if (phase_ == Phase::Handshake) {
        // Closed in the middle: what OpenSSL saw, or a plain close.
        const unsigned long reason = Tls().ERR_peek_last_error();
        peer_.Failure.Reason = !peer_.Failure.Reason.empty() ? peer_.Failure.Reason
                               : reason != 0                 ? HandshakeFailureReason(reason)
                                             : "The server closed the connection during the "
                                               "secure handshake.";
        phase_ = Phase::Plain;
        const SessionWatch watch(*this);
        TAsyncSocket::TriggerSessionConnected(static_cast<uint16_t>(WSocketTlsFailed));
        if (!watch.Alive()) return;
    }
    TSocksSocket::TriggerSessionClosed(error);
}

void TTlsSocket::TriggerDataSent(uint16_t error) {
    if (phase_ != Phase::Handshake) TSocksSocket::TriggerDataSent(error);
}

} // namespace lumo

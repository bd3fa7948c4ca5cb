// The TLS layer of the socket, above SOCKS: with a TLS host set before
// Connect, the connection, once made (and granted by the SOCKS server when
// there is one), first runs a TLS handshake with OpenSSL over memory buffers,
// and OnSessionConnected fires only when the server's certificate has been
// verified for the host, or with WSocketTlsFailed and TlsFailure saying why.
// StartTls begins the same on a connection already made (a tunnel through
// an HTTP proxy). Once secure, Receive gives the decrypted bytes and Send
// encrypts; without a TLS host every call passes straight through.
#pragma once

#include "net/socks_socket.h"
#include "net/tls_context.h"

#include <vector>

struct bio_st;

namespace lumo {

// What OnSessionConnected, Receive and Send report when TLS failed.
inline constexpr int WSocketTlsFailed = 12002;

class TTlsSocket : public TSocksSocket {
public:
    ~TTlsSocket() override;

    // The server's name or address and its port, checked and keyed by;
    // settable only while closed; empty for a plain connection.
    void SetTls(std::string_view host, std::string_view port);
    const std::string& TlsHost() const { return peer_.Host; }
    // Begins TLS with host on the connection already made.
    void StartTls(std::string_view host, std::string_view port);

    bool Secure() const { return phase_ == Phase::Open; }
    bool Resumed() const { return resumed_; }
    // The subject of the server's certificate, once secure.
    const std::string& PeerSubject() const { return peerSubject_; }
    const TTlsFailure& TlsFailure() const { return peer_.Failure; }

    void Connect() override;
    int Receive(void* buffer, int len) override;
    int Send(const void* data, int len) override;

protected:
    long PendingByteCount() override;
    bool TriggerDataAvailable(uint16_t error) override;
    void SessionConnected(uint16_t error) override;
    void TriggerSessionClosed(uint16_t error) override;
    void TriggerDataSent(uint16_t error) override;
    void ResetDefaults() override;

private:
    enum class Phase { Plain, Handshake, Open };

    void BeginHandshake();
    void ContinueHandshake();
    void HandshakeDone();
    void HandshakeFailed(const std::string& reason);
    // Takes what the network has into the connection; false when nothing came.
    bool ReadRecords();
    // Sends what the connection has written; false when the socket went.
    bool SendRecords();
    // Offers decrypted bytes while the owner takes them.
    void OfferPlainData();
    bool PlainWaiting();
    void FreeConnection();

    TTlsPeer peer_;
    Phase phase_ = Phase::Plain;
    ssl_st* ssl_ = nullptr;
    bio_st* in_ = nullptr;  // records from the network, owned by ssl_
    bio_st* out_ = nullptr; // records for the network, owned by ssl_
    std::vector<char> records_;
    std::string peerSubject_;
    bool resumed_ = false, readNothing_ = false;
};

} // namespace lumo

// The program's TLS settings and state shared by every secure connection:
// one client context that trusts the system's store (with SSL_CERT_FILE and
// SSL_CERT_DIR honoured as OpenSSL honours them) and an extra file of trusted
// certificates when one is set, speaks TLS 1.2 or later only and verifies
// every server. It keeps the last session of each server, so the next
// connection to it (a page's pictures, say) resumes it instead of paying a
// full handshake, and counts both kinds of handshake.
#pragma once

#include <cstdint>
#include <map>
#include <string>

struct ssl_st;
struct ssl_ctx_st;
struct ssl_session_st;

namespace lumo {

// Why a secure connection failed, in plain words, with the server's
// certificate when one was seen.
struct TTlsFailure {
    std::string Reason;      // empty when nothing failed
    std::string Subject;     // "CN=www.example.com,O=Example"
    std::string Fingerprint; // SHA-256, "AB:CD:..."
};

// A connection's view of its server: what it was meant to be and what the
// verification found. The connection object points at it while it lives.
struct TTlsPeer {
    std::string Host; // a name or an IP address, checked against the certificate
    std::string Key;  // "host:port", under which its session is kept
    TTlsFailure Failure;
};

class TTlsContext {
public:
    static TTlsContext& Shared();

    ~TTlsContext();
    TTlsContext(const TTlsContext&) = delete;
    TTlsContext& operator=(const TTlsContext&) = delete;

    // A PEM file of certificates trusted beside the system's; empty for
    // none. A change builds a new context and forgets the kept sessions.
    void SetExtraTrustFile(const std::string& path);
    const std::string& ExtraTrustFile() const { return extraTrustFile_; }

    // A new connection object for peer's server: it names the host (SNI,
    // for a name), verifies the certificate against it, records a refusal
    // in peer.Failure and resumes the session kept under peer.Key when there
    // is one. Null when OpenSSL fails; peer must outlive the object.
    ssl_st* NewConnection(TTlsPeer& peer);
    // Keeps a session of key's server, taking over the caller's reference.
    void KeepSession(const std::string& key, ssl_session_st* session);
    void ForgetSessions();
    void CountHandshake(bool resumed) { ++(resumed ? resumedHandshakes_ : fullHandshakes_); }

    int64_t FullHandshakes() const { return fullHandshakes_; }
    int64_t ResumedHandshakes() const { return resumedHandshakes_; }

private:
    TTlsContext() = default;
    // The context, made on first use after a change of the settings.
    ssl_ctx_st* Context();

    ssl_ctx_st* ctx_ = nullptr;
    std::string extraTrustFile_;
    std::map<std::string, ssl_session_st*> sessions_;
    int64_t fullHandshakes_ = 0, resumedHandshakes_ = 0;
};

} // namespace lumo

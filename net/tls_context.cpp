#include "net/tls_context.h"

#include "net/certificate_text.h"
#include "net/tls_library.h"
#include "platform/socket_api.h"

namespace lumo {

namespace {

TTlsPeer* PeerOf(SSL* ssl) {
    return static_cast<TTlsPeer*>(Tls().SSL_get_ex_data(ssl, 0));
}

// OpenSSL decides; this only keeps its first refusal for the user.
int VerifyCertificate(int ok, X509_STORE_CTX* store) {
    if (ok) return 1;
    auto* ssl = static_cast<SSL*>(
        Tls().X509_STORE_CTX_get_ex_data(store, Tls().SSL_get_ex_data_X509_STORE_CTX_idx()));
    TTlsPeer* peer = ssl ? PeerOf(ssl) : nullptr;
    if (peer && peer->Failure.Reason.empty()) {
        const X509* leaf = Tls().X509_STORE_CTX_get0_cert(store);
        const X509* cert = Tls().X509_STORE_CTX_get_current_cert(store);
        peer->Failure.Reason = RefusalReason(Tls().X509_STORE_CTX_get_error(store),
                                             cert ? cert : leaf, leaf, peer->Host);
        peer->Failure.Subject = CertificateSubject(leaf);
        peer->Failure.Fingerprint = CertificateFingerprint(leaf);
    }
    return 0;
}

int NewSession(SSL* ssl, SSL_SESSION* session) {
    const TTlsPeer* peer = PeerOf(ssl);
    if (!peer) return 0;
    TTlsContext::Shared().KeepSession(peer->Key, session);
    return 1;
}

} // namespace

TTlsContext& TTlsContext::Shared() {
    static TTlsContext context;
    return context;
}

TTlsContext::~TTlsContext() {
    ForgetSessions();
    if (ctx_) Tls().SSL_CTX_free(ctx_);
}

void TTlsContext::SetExtraTrustFile(const std::string& path) {
    if (path == extraTrustFile_) return;
    extraTrustFile_ = path;
    ForgetSessions();
    if (ctx_) Tls().SSL_CTX_free(ctx_);
    ctx_ = nullptr;
}

ssl_ctx_st* TTlsContext::Context() {
    if (ctx_) return ctx_;
    if (!LoadTls()) return nullptr;
    ctx_ = Tls().SSL_CTX_new(Tls().TLS_client_method());
    if (!ctx_) return nullptr;
    Tls().SSL_CTX_ctrl(ctx_, SSL_CTRL_SET_MIN_PROTO_VERSION, TLS1_2_VERSION, nullptr);
    Tls().SSL_CTX_set_default_verify_paths(ctx_);
    // A file that cannot be read adds nothing: its servers are refused.
    if (!extraTrustFile_.empty())
        Tls().SSL_CTX_load_verify_locations(ctx_, extraTrustFile_.c_str(), nullptr);
    Tls().SSL_CTX_set_verify(ctx_, SSL_VERIFY_PEER, VerifyCertificate);
    Tls().SSL_CTX_ctrl(ctx_, SSL_CTRL_SET_SESS_CACHE_MODE,
                       SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE, nullptr);
    Tls().SSL_CTX_sess_set_new_cb(ctx_, NewSession);
    return ctx_;
}

ssl_st* TTlsContext::NewConnection(TTlsPeer& peer) {
    SSL_CTX* ctx = Context();
    SSL* ssl = ctx ? Tls().SSL_new(ctx) : nullptr;
    if (!ssl) return nullptr;
    Tls().SSL_set_ex_data(ssl, 0, &peer);
    // A name goes to the server (SNI); an address is only checked.
    if (!ParseDottedAddress(peer.Host))
        Tls().SSL_ctrl(ssl, SSL_CTRL_SET_TLSEXT_HOSTNAME, TLSEXT_NAMETYPE_host_name,
                       const_cast<char*>(peer.Host.c_str()));
    if (Tls().SSL_set1_host(ssl, peer.Host.c_str()) != 1) {
        Tls().SSL_free(ssl);
        return nullptr;
    }
    if (const auto kept = sessions_.find(peer.Key); kept != sessions_.end())
        Tls().SSL_set_session(ssl, kept->second);
    Tls().SSL_set_connect_state(ssl);
    return ssl;
}

void TTlsContext::KeepSession(const std::string& key, ssl_session_st* session) {
    ssl_session_st*& kept = sessions_[key];
    if (kept) Tls().SSL_SESSION_free(kept);
    kept = session;
}

void TTlsContext::ForgetSessions() {
    for (auto& [key, session] : sessions_)
        Tls().SSL_SESSION_free(session);
    sessions_.clear();
}

} // namespace lumo

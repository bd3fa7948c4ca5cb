#include "net/tls_context.h"

#include "net/certificate_text.h"
#include "platform/socket_api.h"

#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509_vfy.h>

namespace lumo {

namespace {

TTlsPeer* PeerOf(SSL* ssl) {
    return static_cast<TTlsPeer*>(SSL_get_app_data(ssl));
}

// OpenSSL decides; this only keeps its first refusal for the user.
int VerifyCertificate(int ok, X509_STORE_CTX* store) {
    if (ok) return 1;
    auto* ssl =
        static_cast<SSL*>(X509_STORE_CTX_get_ex_data(store, SSL_get_ex_data_X509_STORE_CTX_idx()));
    TTlsPeer* peer = ssl ? PeerOf(ssl) : nullptr;
    if (peer && peer->Failure.Reason.empty()) {
        const X509* leaf = X509_STORE_CTX_get0_cert(store);
        const X509* cert = X509_STORE_CTX_get_current_cert(store);
        peer->Failure.Reason =
            RefusalReason(X509_STORE_CTX_get_error(store), cert ? cert : leaf, leaf, peer->Host);
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
    SSL_CTX_free(ctx_);
}

void TTlsContext::SetExtraTrustFile(const std::string& path) {
    if (path == extraTrustFile_) return;
    extraTrustFile_ = path;
    ForgetSessions();
    SSL_CTX_free(ctx_);
    ctx_ = nullptr;
}

ssl_ctx_st* TTlsContext::Context() {
    if (ctx_) return ctx_;
    ctx_ = SSL_CTX_new(TLS_client_method());
    if (!ctx_) return nullptr;
    SSL_CTX_set_min_proto_version(ctx_, TLS1_2_VERSION);
    SSL_CTX_set_default_verify_paths(ctx_);
    // A file that cannot be read adds nothing: its servers are refused.
    if (!extraTrustFile_.empty())
        SSL_CTX_load_verify_locations(ctx_, extraTrustFile_.c_str(), nullptr);
    SSL_CTX_set_verify(ctx_, SSL_VERIFY_PEER, VerifyCertificate);
    SSL_CTX_set_session_cache_mode(ctx_, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(ctx_, NewSession);
    return ctx_;
}

ssl_st* TTlsContext::NewConnection(TTlsPeer& peer) {
    SSL_CTX* ctx = Context();
    SSL* ssl = ctx ? SSL_new(ctx) : nullptr;
    if (!ssl) return nullptr;
    SSL_set_app_data(ssl, &peer);
    // A name goes to the server (SNI); an address is only checked.
    if (!ParseDottedAddress(peer.Host)) SSL_set_tlsext_host_name(ssl, peer.Host.c_str());
    if (SSL_set1_host(ssl, peer.Host.c_str()) != 1) {
        SSL_free(ssl);
        return nullptr;
    }
    if (const auto kept = sessions_.find(peer.Key); kept != sessions_.end())
        SSL_set_session(ssl, kept->second);
    SSL_set_connect_state(ssl);
    return ssl;
}

void TTlsContext::KeepSession(const std::string& key, ssl_session_st* session) {
    ssl_session_st*& kept = sessions_[key];
    if (kept) SSL_SESSION_free(kept);
    kept = session;
}

void TTlsContext::ForgetSessions() {
    for (auto& [key, session] : sessions_)
        SSL_SESSION_free(session);
    sessions_.clear();
}

} // namespace lumo

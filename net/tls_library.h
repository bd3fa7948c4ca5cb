// OpenSSL, loaded when the first secure connection needs it. A page over
// plain http, from a file or from an archive never maps or relocates the
// library: that was about 1.5 MiB and 6 ms of every start.
//
// The functions are the library's own, found by name and typed from its
// headers; the headers' macros that stand for them are written out where
// they are used.
#pragma once

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <string>

namespace lumo {

#define LUMO_TLS_FUNCTIONS(X)                                                                      \
    X(ASN1_STRING_get0_data)                                                                       \
    X(ASN1_STRING_length)                                                                          \
    X(ASN1_TIME_to_tm)                                                                             \
    X(BIO_ctrl)                                                                                    \
    X(BIO_ctrl_pending)                                                                            \
    X(BIO_free)                                                                                    \
    X(BIO_new)                                                                                     \
    X(BIO_s_mem)                                                                                   \
    X(BIO_write)                                                                                   \
    X(ERR_clear_error)                                                                             \
    X(ERR_peek_last_error)                                                                         \
    X(ERR_reason_error_string)                                                                     \
    X(EVP_sha256)                                                                                  \
    X(GENERAL_NAMES_free)                                                                          \
    X(OPENSSL_sk_num)                                                                              \
    X(OPENSSL_sk_value)                                                                            \
    X(SSL_CTX_ctrl)                                                                                \
    X(SSL_CTX_free)                                                                                \
    X(SSL_CTX_load_verify_locations)                                                               \
    X(SSL_CTX_new)                                                                                 \
    X(SSL_CTX_sess_set_new_cb)                                                                     \
    X(SSL_CTX_set_default_verify_paths)                                                            \
    X(SSL_CTX_set_verify)                                                                          \
    X(SSL_SESSION_free)                                                                            \
    X(SSL_ctrl)                                                                                    \
    X(SSL_do_handshake)                                                                            \
    X(SSL_free)                                                                                    \
    X(SSL_get0_peer_certificate)                                                                   \
    X(SSL_get_error)                                                                               \
    X(SSL_get_ex_data)                                                                             \
    X(SSL_get_ex_data_X509_STORE_CTX_idx)                                                          \
    X(SSL_has_pending)                                                                             \
    X(SSL_new)                                                                                     \
    X(SSL_pending)                                                                                 \
    X(SSL_read)                                                                                    \
    X(SSL_session_reused)                                                                          \
    X(SSL_set1_host)                                                                               \
    X(SSL_set_bio)                                                                                 \
    X(SSL_set_connect_state)                                                                       \
    X(SSL_set_ex_data)                                                                             \
    X(SSL_set_session)                                                                             \
    X(SSL_set_shutdown)                                                                            \
    X(SSL_write)                                                                                   \
    X(TLS_client_method)                                                                           \
    X(X509_NAME_ENTRY_get_data)                                                                    \
    X(X509_NAME_get_entry)                                                                         \
    X(X509_NAME_get_index_by_NID)                                                                  \
    X(X509_NAME_print_ex)                                                                          \
    X(X509_STORE_CTX_get0_cert)                                                                    \
    X(X509_STORE_CTX_get_current_cert)                                                             \
    X(X509_STORE_CTX_get_error)                                                                    \
    X(X509_STORE_CTX_get_ex_data)                                                                  \
    X(X509_digest)                                                                                 \
    X(X509_get0_notAfter)                                                                          \
    X(X509_get0_notBefore)                                                                         \
    X(X509_get_ext_d2i)                                                                            \
    X(X509_get_subject_name)                                                                       \
    X(X509_verify_cert_error_string)

struct TTlsLibrary {
#define LUMO_TLS_POINTER(name) decltype(&::name) name = nullptr;
    LUMO_TLS_FUNCTIONS(LUMO_TLS_POINTER)
#undef LUMO_TLS_POINTER
};

// Loads the library on the first call, once for the program; false when it
// cannot be loaded or lacks a function, and then ever after.
bool LoadTls();
// Why LoadTls failed ("libssl.so.3: cannot open shared object file"), or empty.
const std::string& TlsLoadError();
// The library's functions; only once LoadTls has returned true.
const TTlsLibrary& Tls();

} // namespace lumo

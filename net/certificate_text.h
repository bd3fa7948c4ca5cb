// What a user is told about a server's certificate: its subject, its SHA-256
// fingerprint, the names it was issued for, its dates, and the reason a
// verification refused it, in plain words.
#pragma once

#include <string>
#include <vector>

struct x509_st;
struct asn1_string_st;

namespace lumo {

// "CN=www.example.com,O=Example" (RFC 2253 order).
std::string CertificateSubject(const x509_st* cert);
// "AB:CD:...:EF", 32 bytes in upper-case hex.
std::string CertificateFingerprint(const x509_st* cert);
// The DNS names and IP addresses of its subjectAltName, or its common name
// when it has none.
std::vector<std::string> CertificateNames(const x509_st* cert);
// "27 Jul 1999" (UTC).
std::string CertificateDate(const asn1_string_st* time);

// The reason an X509_V_ERR_* error refused cert (the certificate the error
// is about) on a connection to host; leaf is the server's own certificate.
std::string RefusalReason(int error, const x509_st* cert, const x509_st* leaf,
                          const std::string& host);

// The reason of a handshake that failed without a refusal of the
// certificate: an old protocol, or OpenSSL's own words.
std::string HandshakeFailureReason(unsigned long error);

} // namespace lumo

#include "net/certificate_text.h"

#include "net/tls_library.h"

#include <cstdio>
#include <ctime>
#include <memory>

namespace lumo {

namespace {

struct BioFree {
    void operator()(BIO* b) const { Tls().BIO_free(b); }
};
struct NamesFree {
    void operator()(GENERAL_NAMES* n) const { Tls().GENERAL_NAMES_free(n); }
};

std::string BioText(BIO* bio) {
    char* data = nullptr;
    const long n = Tls().BIO_ctrl(bio, BIO_CTRL_INFO, 0, &data);
    return n > 0 ? std::string(data, static_cast<size_t>(n)) : std::string();
}

std::string IpText(const ASN1_OCTET_STRING* ip) {
    const unsigned char* b = Tls().ASN1_STRING_get0_data(ip);
    if (Tls().ASN1_STRING_length(ip) != 4) return "(an IPv6 address)";
    char text[16];
    std::snprintf(text, sizeof text, "%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
    return text;
}

std::string CommonName(const x509_st* cert) {
    const X509_NAME* subject = Tls().X509_get_subject_name(cert);
    const int i = Tls().X509_NAME_get_index_by_NID(subject, NID_commonName, -1);
    if (i < 0) return {};
    const ASN1_STRING* cn = Tls().X509_NAME_ENTRY_get_data(Tls().X509_NAME_get_entry(subject, i));
    return std::string(reinterpret_cast<const char*>(Tls().ASN1_STRING_get0_data(cn)),
                       static_cast<size_t>(Tls().ASN1_STRING_length(cn)));
}

std::string JoinedNames(const x509_st* cert) {
    std::string text;
    for (const std::string& name : CertificateNames(cert))
        text += (text.empty() ? "" : ", ") + name;
    return text.empty() ? "another server" : text;
}

} // namespace

std::string CertificateSubject(const x509_st* cert) {
    if (!cert) return {};
    const std::unique_ptr<BIO, BioFree> bio(Tls().BIO_new(Tls().BIO_s_mem()));
    Tls().X509_NAME_print_ex(bio.get(), Tls().X509_get_subject_name(cert), 0, XN_FLAG_RFC2253);
    return BioText(bio.get());
}

std::string CertificateFingerprint(const x509_st* cert) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (!cert || Tls().X509_digest(cert, Tls().EVP_sha256(), digest, &length) != 1) return {};
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : ":%02X", digest[i]);
        text += hex;
    }
    return text;
}

std::vector<std::string> CertificateNames(const x509_st* cert) {
    std::vector<std::string> names;
    if (!cert) return names;
    const std::unique_ptr<GENERAL_NAMES, NamesFree> alt(static_cast<GENERAL_NAMES*>(
        Tls().X509_get_ext_d2i(cert, NID_subject_alt_name, nullptr, nullptr)));
    const auto* stack = reinterpret_cast<const OPENSSL_STACK*>(alt.get());
    for (int i = 0; alt && i < Tls().OPENSSL_sk_num(stack) && names.size() < 10; ++i) {
        const auto* name = static_cast<const GENERAL_NAME*>(Tls().OPENSSL_sk_value(stack, i));
        if (name->type == GEN_DNS)
            names.emplace_back(
                reinterpret_cast<const char*>(Tls().ASN1_STRING_get0_data(name->d.dNSName)),
                static_cast<size_t>(Tls().ASN1_STRING_length(name->d.dNSName)));
        else if (name->type == GEN_IPADD)
            names.push_back(IpText(name->d.iPAddress));
    }
    if (names.empty())
        if (std::string cn = CommonName(cert); !cn.empty()) names.push_back(std::move(cn));
    return names;
}

std::string CertificateDate(const asn1_string_st* time) {
    std::tm tm{};
    if (!time || Tls().ASN1_TIME_to_tm(time, &tm) != 1) return "an unknown date";
    char text[32];
    std::strftime(text, sizeof text, "%d %b %Y", &tm);
    return text[0] == '0' ? text + 1 : text;
}

std::string RefusalReason(int error, const x509_st* cert, const x509_st* leaf,
                          const std::string& host) {
    switch (error) {
    case X509_V_ERR_CERT_HAS_EXPIRED:
        return "The server's certificate expired on " +
               CertificateDate(Tls().X509_get0_notAfter(cert)) + ".";
    case X509_V_ERR_CERT_NOT_YET_VALID:
        return "The server's certificate is not valid before " +
               CertificateDate(Tls().X509_get0_notBefore(cert)) + ".";
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return "The server's certificate was issued for " + JoinedNames(leaf) + ", not for " +
               host + ".";
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
        return "The server's certificate is self-signed: nobody known vouches for it.";
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        return "The server's certificate was issued by an unknown authority.";
    default:
        return std::string("The server's certificate was refused: ") +
               Tls().X509_verify_cert_error_string(error) + ".";
    }
}

std::string HandshakeFailureReason(unsigned long error) {
    const int reason = ERR_GET_REASON(error);
    if (reason == SSL_R_UNSUPPORTED_PROTOCOL || reason == SSL_R_TLSV1_ALERT_PROTOCOL_VERSION ||
        reason == SSL_R_NO_PROTOCOLS_AVAILABLE || reason == SSL_R_WRONG_SSL_VERSION)
        return "The server speaks only an old protocol (TLS 1.1 or older), which is not safe.";
    const char* text = Tls().ERR_reason_error_string(error);
    return std::string("The secure connection failed: ") + (text ? text : "no reason given") + ".";
}

} // namespace lumo

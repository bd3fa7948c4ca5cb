// Certificates for TLS tests, made once per test program by the openssl
// program in a temporary folder: a test authority and, for 127.0.0.1 (and
// localhost), a certificate it signed, one of it that expired in 2020, one
// it signed for other.example, and a self-signed one, all with one key.
#pragma once

#include "tests/support/temp_folder.h"

#include <string>

namespace lumo::test {

class TestCertificates {
public:
    enum class Kind { Good, Expired, OtherHost, SelfSigned };

    // Null when openssl is missing or failed; the test then skips.
    static const TestCertificates* Get();

    // The test authority's certificate, to be trusted.
    std::string Authority() const { return folder_ / "ca.pem"; }
    std::string Key() const { return folder_ / "server.key"; }
    std::string Certificate(Kind kind) const;

private:
    bool Make() const;

    TempFolder folder_;
};

} // namespace lumo::test

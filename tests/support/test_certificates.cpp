#include "tests/support/test_certificates.h"

#include <cstdlib>
#include <memory>

namespace lumo::test {

namespace {

bool Run(const std::string& folder, const std::string& command) {
    const std::string line = "cd '" + folder + "' && " + command + " >/dev/null 2>&1";
    return std::system(line.c_str()) == 0;
}

} // namespace

const TestCertificates* TestCertificates::Get() {
    static const std::unique_ptr<TestCertificates> made = [] {
        auto certificates = std::make_unique<TestCertificates>();
        if (!certificates->Make()) certificates.reset();
        return certificates;
    }();
    return made.get();
}

std::string TestCertificates::Certificate(Kind kind) const {
    switch (kind) {
    case Kind::Good: return folder_ / "good.pem";
    case Kind::Expired: return folder_ / "expired.pem";
    case Kind::OtherHost: return folder_ / "other.pem";
    case Kind::SelfSigned: return folder_ / "self.pem";
    }
    return {};
}

bool TestCertificates::Make() const {
    const std::string dir = folder_.Path();
    folder_.Write("good.ext", "subjectAltName=IP:127.0.0.1,DNS:localhost\n");
    folder_.Write("other.ext", "subjectAltName=DNS:other.example\n");
    folder_.Write("index.txt", "");
    folder_.Write("serial", "01\n");
    // The authority's own book-keeping for a certificate with chosen dates.
    folder_.Write("ca.cnf", "[ca]\ndefault_ca = test\n[test]\ndatabase = " + dir +
                                "index.txt\nnew_certs_dir = " + dir + "\nserial = " + dir +
                                "serial\ncertificate = " + dir + "ca.pem\nprivate_key = " + dir +
                                "ca.key\ndefault_md = sha256\npolicy = any\n"
                                "[any]\ncommonName = supplied\n");
    const char* const steps[] = {
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout ca.key "
        "-out ca.pem -days 30 -subj '/CN=Lumo Test CA'",
        "openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out server.key",
        "openssl req -new -key server.key -subj /CN=127.0.0.1 -out server.csr",
        "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 30 "
        "-extfile good.ext -out good.pem",
        "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -days 30 -extfile other.ext "
        "-out other.pem",
        "openssl req -x509 -key server.key -subj /CN=127.0.0.1 "
        "-addext subjectAltName=IP:127.0.0.1 -days 30 -out self.pem",
        "openssl ca -config ca.cnf -batch -notext -in server.csr -startdate 20200101000000Z "
        "-enddate 20200201000000Z -extfile good.ext -out expired.pem",
    };
    for (const char* step : steps)
        if (!Run(dir, step)) return false;
    return true;
}

} // namespace lumo::test

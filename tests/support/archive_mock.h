// A Wayback-compatible web archive on 127.0.0.1 for tests: a real nginx whose
// rules are generated from a list of captures. It serves a capture at
// BASE/YYYYMMDDhhmmssid_/ORIGINAL with its Memento-Datetime, redirects any
// other time of an address it holds to the capture nearest that time, and
// answers 404 for an address it holds no capture of. (It stands in for a
// full archive server, which cannot be installed on this system.)
#pragma once

#include "tests/support/local_servers.h"
#include "tests/support/temp_folder.h"

#include <memory>
#include <string>
#include <vector>

namespace lumo::test {

class TestCertificates;

struct TestCapture {
    std::string Original; // "http://www.period.example/"; a "/" at the end stands for index.html
    std::string Stamp;    // 14 digits, "19990720120000"
    std::string Body;
};

class ArchiveMock {
public:
    // Over https with the certificates' good certificate when they are
    // given; null when nginx does not start.
    static std::unique_ptr<ArchiveMock> Start(const std::vector<TestCapture>& captures,
                                              const TestCertificates* tls = nullptr);

    // "http://127.0.0.1:PORT/web/"
    std::string Base() const { return server_->Address("/web/"); }
    const LocalServer& Server() const { return *server_; }

private:
    TempFolder root_;
    std::unique_ptr<LocalServer> server_;
};

// A 40 by 20 GIF, for pictures of archived pages.
extern const std::string TestGif;

} // namespace lumo::test

#include "net/http_client.h"
#include "net/tls_context.h"
#include "platform/stream.h"
#include "tests/support/local_servers.h"
#include "tests/support/pump.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_certificates.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace lumo {
namespace {

using test::LocalServer;
using test::TempFolder;
using test::TestCertificates;
using Kind = TestCertificates::Kind;

std::string Pattern(size_t size) {
    std::string s(size, '\0');
    uint32_t x = 99;
    for (auto& c : s) {
        x = x * 1103515245 + 12345;
        c = static_cast<char>(x >> 16);
    }
    return s;
}

// Servers for every kind of certificate, one web root, and a plain server
// behind the https one that answers posts with what it was sent.
class TlsServers : public testing::Test {
protected:
    static void SetUpTestSuite() {
        certificates_ = TestCertificates::Get();
        if (!certificates_) return;
        TTlsContext::Shared().SetExtraTrustFile(certificates_->Authority());
        root_ = std::make_unique<TempFolder>();
        root_->Write("page.htm", "<p>secure page");
        root_->Write("big.bin", Pattern(3 << 20));
        root_->Write("plain.htm", "<p>plain page");
        plain_ = LocalServer::StartNginx(
            root_->Path(), "location = /to-https { return 302 $arg_to; }\n"
                           "    location = /posted { return 200 \"posted $http_x_body\"; }");
        const std::string posts =
            plain_ ? "location = /form { proxy_set_header X-Body $request_body; proxy_pass " +
                         plain_->Address("/posted") + "; }\n    "
                   : std::string();
        for (const Kind kind : {Kind::Good, Kind::Expired, Kind::OtherHost, Kind::SelfSigned})
            servers_[static_cast<int>(kind)] = LocalServer::StartNginxTls(
                root_->Path(), certificates_->Certificate(kind), certificates_->Key(),
                posts + "location = /to-http { return 302 " +
                    (plain_ ? plain_->Address("/plain.htm") : "") + "; }");
        old_ = LocalServer::StartNginxTls(root_->Path(), certificates_->Certificate(Kind::Good),
                                          certificates_->Key(), {}, {}, "TLSv1");
        proxy_ = LocalServer::StartTinyproxy();
        socks_ = LocalServer::StartDante();
    }
    static void TearDownTestSuite() {
        for (auto& server : servers_)
            server.reset();
        old_.reset();
        plain_.reset();
        proxy_.reset();
        socks_.reset();
        root_.reset();
        TTlsContext::Shared().SetExtraTrustFile({});
    }
    void SetUp() override {
        if (!certificates_) GTEST_SKIP() << "openssl could not make the test certificates";
        if (!Server(Kind::Good) || !plain_) GTEST_SKIP() << "nginx is not installed";
    }
    static LocalServer* Server(Kind kind) { return servers_[static_cast<int>(kind)].get(); }

    // Fetches the address; the reason phrase, empty on success.
    static std::string Get(THttpClient& cli, const std::string& address, TMemoryStream& out) {
        cli.ReceiveStream = &out;
        cli.URL = address;
        try {
            cli.Get();
            return {};
        } catch (const EHttpException& e) {
            return e.what();
        }
    }

    static const TestCertificates* certificates_;
    static std::unique_ptr<TempFolder> root_;
    static std::unique_ptr<LocalServer> servers_[4], old_, plain_, proxy_, socks_;
};
const TestCertificates* TlsServers::certificates_ = nullptr;
std::unique_ptr<TempFolder> TlsServers::root_;
std::unique_ptr<LocalServer> TlsServers::servers_[4], TlsServers::old_, TlsServers::plain_,
    TlsServers::proxy_, TlsServers::socks_;

TEST_F(TlsServers, PagesComeWholeFromATrustedServer) {
    THttpClient cli;
    TMemoryStream page, big;
    EXPECT_EQ(Get(cli, Server(Kind::Good)->Address("/page.htm"), page), "");
    EXPECT_EQ(page.Bytes(), "<p>secure page");
    EXPECT_TRUE(cli.Secure());
    EXPECT_EQ(cli.PeerSubject(), "CN=127.0.0.1");
    // Many records, each read where the network split it.
    EXPECT_EQ(Get(cli, Server(Kind::Good)->Address("/big.bin"), big), "");
    EXPECT_TRUE(big.Bytes() == Pattern(3 << 20));
}

TEST_F(TlsServers, BadCertificatesAreRefusedWithTheirReasonAndNoBody) {
    const struct {
        Kind kind;
        bool trusted;
        const char* reason;
    } rows[] = {
        {Kind::Expired, true, "The server's certificate expired on 1 Feb 2020."},
        {Kind::OtherHost, true,
         "The server's certificate was issued for other.example, not for 127.0.0.1."},
        {Kind::SelfSigned, true, "The server's certificate is self-signed"},
        {Kind::Good, false, "The server's certificate was issued by an unknown authority."},
    };
    for (const auto& r : rows) {
        TTlsContext::Shared().SetExtraTrustFile(r.trusted ? certificates_->Authority() : "");
        THttpClient cli;
        TMemoryStream out;
        const std::string reason = Get(cli, Server(r.kind)->Address("/page.htm"), out);
        EXPECT_EQ(reason.find(r.reason), 0u) << reason;
        EXPECT_EQ(cli.RequestDoneError(), httperrTls);
        EXPECT_EQ(out.Size(), 0);
        EXPECT_FALSE(cli.Secure());
        EXPECT_EQ(cli.TlsFailure().Subject, "CN=127.0.0.1");
        EXPECT_EQ(cli.TlsFailure().Fingerprint.size(), 32u * 3 - 1);
    }
    TTlsContext::Shared().SetExtraTrustFile(certificates_->Authority());
}

TEST_F(TlsServers, AServerOfAnOldProtocolIsRefused) {
    if (!old_) GTEST_SKIP() << "nginx does not start with TLS 1.0 only";
    THttpClient cli;
    TMemoryStream out;
    EXPECT_EQ(
        Get(cli, old_->Address("/page.htm"), out).find("The server speaks only an old protocol"),
        0u);
    EXPECT_EQ(out.Size(), 0);
}

TEST_F(TlsServers, RedirectionsCrossBetweenHttpAndHttps) {
    THttpClient cli;
    TMemoryStream toPlain, toSecure;
    EXPECT_EQ(Get(cli, Server(Kind::Good)->Address("/to-http"), toPlain), "");
    EXPECT_EQ(toPlain.Bytes(), "<p>plain page");
    EXPECT_FALSE(cli.Secure());
    EXPECT_EQ(Get(cli, plain_->Address("/to-https?to=") + Server(Kind::Good)->Address("/page.htm"),
                  toSecure),
              "");
    EXPECT_EQ(toSecure.Bytes(), "<p>secure page");
    EXPECT_TRUE(cli.Secure());
}

TEST_F(TlsServers, APostIsSentInsideTheSecureConnection) {
    THttpClient cli;
    TMemoryStream out, post;
    post.Write(std::string("name=lumo&x=1"));
    post.Seek(0);
    cli.PostStream = &post;
    cli.ReceiveStream = &out;
    cli.URL = Server(Kind::Good)->Address("/form");
    cli.Post();
    EXPECT_EQ(out.Bytes(), "posted name=lumo&x=1");
}

TEST_F(TlsServers, AProxyTunnelsHttpsWithConnect) {
    if (!proxy_) GTEST_SKIP() << "tinyproxy is not installed";
    THttpClient cli;
    cli.Proxy = proxy_->HostPort();
    TMemoryStream out;
    EXPECT_EQ(Get(cli, Server(Kind::Good)->Address("/page.htm"), out), "");
    EXPECT_EQ(out.Bytes(), "<p>secure page");
    EXPECT_EQ(cli.PeerSubject(), "CN=127.0.0.1");
    // The certificate is still the server's to prove, tunnel or not.
    TMemoryStream refused;
    EXPECT_EQ(Get(cli, Server(Kind::Expired)->Address("/page.htm"), refused)
                  .find("The server's certificate expired"),
              0u);
}

TEST_F(TlsServers, ASocksServerCarriesTheSecureConnection) {
    if (!socks_) GTEST_SKIP() << "dante is not installed";
    for (const char* level : {"5", "4"}) {
        THttpClient cli;
        cli.Socks = {"127.0.0.1", std::to_string(socks_->Port()), level, "", ""};
        TMemoryStream out;
        EXPECT_EQ(Get(cli, Server(Kind::Good)->Address("/page.htm"), out), "") << level;
        EXPECT_EQ(out.Bytes(), "<p>secure page") << level;
        EXPECT_TRUE(cli.Secure()) << level;
    }
}

TEST_F(TlsServers, TheNextConnectionToAServerResumesItsSession) {
    const int64_t full = TTlsContext::Shared().FullHandshakes();
    const int64_t resumed = TTlsContext::Shared().ResumedHandshakes();
    for (int i = 0; i < 3; ++i) {
        THttpClient cli;
        TMemoryStream out;
        EXPECT_EQ(Get(cli, Server(Kind::Good)->Address("/page.htm"), out), "");
    }
    EXPECT_LE(TTlsContext::Shared().FullHandshakes() - full, 1);
    EXPECT_GE(TTlsContext::Shared().ResumedHandshakes() - resumed, 2);
}

} // namespace
} // namespace lumo

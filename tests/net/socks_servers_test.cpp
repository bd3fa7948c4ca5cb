// Pages and images fetched through real SOCKS servers (dante for SOCKS 4 and
// 5, microsocks for SOCKS 5 with and without a password) from a real nginx,
// all on 127.0.0.1.
#include "net/http_connection.h"
#include "net/url_connection.h"
#include "platform/stream.h"
#include "tests/support/local_servers.h"
#include "tests/support/pump.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace lumo {
namespace {

using test::LocalServer;
using test::PumpUntil;
using test::TempFolder;

const std::string Page = "<html><body><p>through socks</body></html>";
const std::string Picture = std::string("GIF89a") + std::string(5000, '\x7f');

class SocksServers : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        root_ = std::make_unique<TempFolder>();
        root_->Write("page.htm", Page);
        root_->Write("pic.gif", Picture);
        nginx_ =
            LocalServer::StartNginx(root_->Path(), "location = /moved { return 302 /page.htm; }");
        dante_ = LocalServer::StartDante();
        microsocks_ = LocalServer::StartMicrosocks();
        guarded_ = LocalServer::StartMicrosocks("lumo", "s3cret");
        proxy_ = LocalServer::StartTinyproxy();
    }
    static void TearDownTestSuite() {
        nginx_.reset();
        dante_.reset();
        microsocks_.reset();
        guarded_.reset();
        proxy_.reset();
        root_.reset();
    }
    void SetUp() override {
        if (!nginx_) GTEST_SKIP() << "nginx is not installed";
    }

    static TSocksSettings Through(const LocalServer& server, const char* level,
                                  const std::string& user = {}, const std::string& pass = {}) {
        return {"127.0.0.1", std::to_string(server.Port()), level, user, pass};
    }

    // A page with Get, its redirection, and a picture with GetAsync.
    static void CheckFetches(const TSocksSettings& socks, const std::string& proxy = {}) {
        for (const char* path : {"/page.htm", "/moved"}) {
            auto c = TURLConnection::CreateForURL(nginx_->Address(path));
            c->Socks = socks;
            if (!proxy.empty()) {
                c->Proxy = "127.0.0.1";
                c->ProxyPort = proxy;
            }
            c->Get(nginx_->Address(path));
            EXPECT_EQ(static_cast<TMemoryStream*>(c->ContentStream())->Bytes(), Page) << path;
            EXPECT_EQ(c->ContentKind(), ckHTML);
        }
        THTTPConnection image;
        image.Socks = socks;
        int done = -1;
        image.OnRequestDone = [&](TURLConnection&, THttpRequest, uint16_t e) { done = e; };
        image.GetAsync(nginx_->Address("/pic.gif"));
        ASSERT_TRUE(PumpUntil([&] { return done >= 0; }));
        EXPECT_EQ(done, 0);
        EXPECT_EQ(static_cast<TMemoryStream*>(image.ContentStream())->Bytes(), Picture);
        EXPECT_EQ(image.ContentKind(), ckImage);
    }

    // The message a failed Get raises and the error OnRequestDone carries.
    static std::pair<std::string, int> Failure(const TSocksSettings& socks,
                                               const std::string& url) {
        THTTPConnection c;
        c.Socks = socks;
        int error = -1;
        c.OnRequestDone = [&](TURLConnection&, THttpRequest, uint16_t e) { error = e; };
        std::string message;
        try {
            c.Get(url);
        } catch (const EHttpException& e) {
            message = e.what();
        }
        PumpUntil([&] { return error >= 0; });
        return {message, error};
    }

    static std::unique_ptr<TempFolder> root_;
    static std::unique_ptr<LocalServer> nginx_, dante_, microsocks_, guarded_, proxy_;
};
std::unique_ptr<TempFolder> SocksServers::root_;
std::unique_ptr<LocalServer> SocksServers::nginx_, SocksServers::dante_, SocksServers::microsocks_,
    SocksServers::guarded_, SocksServers::proxy_;

// Dante: SOCKS 5 and 4, to the HTTP proxy too, and a refused destination.
TEST_F(SocksServers, Dante) {
    if (!dante_) GTEST_SKIP() << "dante-server is not installed";
    CheckFetches(Through(*dante_, "5"));
    CheckFetches(Through(*dante_, "4"));
    if (proxy_) CheckFetches(Through(*dante_, "5"), std::to_string(proxy_->Port()));
    const int closed = test::FreeLoopbackPort();
    const auto [message, error] =
        Failure(Through(*dante_, "5"), "http://127.0.0.1:" + std::to_string(closed) + "/");
    EXPECT_EQ(message, "connection refused (Error #20008)");
    EXPECT_EQ(error, 20008);
}

TEST_F(SocksServers, Microsocks) {
    if (!microsocks_ || !guarded_) GTEST_SKIP() << "microsocks is not installed";
    CheckFetches(Through(*microsocks_, "5"));
    CheckFetches(Through(*guarded_, "5", "lumo", "s3cret"));
}

TEST_F(SocksServers, AWrongPasswordIsAnAuthenticationFailure) {
    if (!guarded_) GTEST_SKIP() << "microsocks is not installed";
    for (const char* password : {"wrong", ""}) {
        const auto [message, error] =
            Failure(Through(*guarded_, "5", "lumo", password), nginx_->Address("/page.htm"));
        EXPECT_EQ(message, "socks authentication failed (Error #20015)") << password;
        EXPECT_EQ(error, 20015);
    }
    // Without a user name the server accepts no method we offer.
    const auto [message, error] = Failure(Through(*guarded_, "5"), nginx_->Address("/page.htm"));
    EXPECT_EQ(message, "authentification method not acceptable (Error #20003)");
    EXPECT_EQ(error, 20003);
}

TEST_F(SocksServers, ASocksServerThatIsNotThere) {
    const TSocksSettings socks{"127.0.0.1", std::to_string(test::FreeLoopbackPort()), "5", "", ""};
    const auto [message, error] = Failure(socks, nginx_->Address("/page.htm"));
    EXPECT_EQ(message, "Connection refused (Error #10061)");
    EXPECT_EQ(error, 10061);
}

} // namespace
} // namespace lumo

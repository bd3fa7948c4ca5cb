// The window over https: pages, frames and pictures from an nginx with a
// certificate of the test authority, which the Security setting trusts; the
// padlock; the page a refused certificate shows; a download; and cookies
// across redirections between http and https.
#include "tests/app/navigation_fixture.h"
#include "tests/support/archive_mock.h"
#include "tests/support/test_certificates.h"

#include <QTimer>

#include <filesystem>
#include <fstream>

namespace lumo::test {
namespace {

using Kind = TestCertificates::Kind;

const std::string& Gif = TestGif;

class HttpsNavigationTest : public WindowTest {
protected:
    static void SetUpTestSuite() {
        certificates_ = TestCertificates::Get();
        if (!certificates_) return;
        site_ = new TempFolder;
        site_->Write("page.htm", "<TITLE>Secure</TITLE><P><IMG SRC=\"pic.gif\">secure page");
        site_->Write("frames.htm", "<TITLE>Frames</TITLE><FRAMESET COLS=\"*,*\">"
                                   "<FRAME NAME=left SRC=\"page.htm\"><FRAME NAME=right "
                                   "SRC=\"other.htm\"></FRAMESET>");
        site_->Write("other.htm", "<P>other frame");
        site_->Write("pic.gif", Gif);
        site_->Write("pack.zip", std::string(100000, 'z'));
        plain_ =
            LocalServer::StartNginx(
                site_->Path(), "location = /cookie { default_type text/html;"
                               " return 200 \"<TITLE>Cookie</TITLE>cookie=[$http_cookie]\"; }\n"
                               "    location = /mixed.htm { default_type text/html; return 200 "
                               "\"<TITLE>Mixed</TITLE><IMG SRC=$arg_pic>\"; }")
                .release();
        const std::string cookies =
            "location = /cookie { default_type text/html;"
            " return 200 \"<TITLE>Cookie</TITLE>cookie=[$http_cookie]\"; }\n"
            "    location = /login { add_header Set-Cookie \"sid=secret; Secure\" always;"
            " add_header Set-Cookie \"lang=en\" always; return 302 " +
            (plain_ ? plain_->Address("/cookie") : "") + "; }";
        good_ = LocalServer::StartNginxTls(site_->Path(), certificates_->Certificate(Kind::Good),
                                           certificates_->Key(), cookies)
                    .release();
        expired_ =
            LocalServer::StartNginxTls(site_->Path(), certificates_->Certificate(Kind::Expired),
                                       certificates_->Key())
                .release();
    }
    static void TearDownTestSuite() {
        for (LocalServer* server : {good_, expired_, plain_})
            delete server;
        good_ = expired_ = plain_ = nullptr;
        delete site_;
    }
    void SetUp() override {
        if (!certificates_) GTEST_SKIP() << "openssl could not make the test certificates";
        if (!good_ || !expired_ || !plain_) GTEST_SKIP() << "nginx is not installed";
        // The Security setting, as the dialog leaves it in the settings file.
        home.Write("lumo.ini", "[Security]\nTrustFile=" + certificates_->Authority() + "\n");
        OpenWindow();
    }
    bool Padlocked() const { return form->Padlock->isVisibleTo(form.get()); }

    static inline const TestCertificates* certificates_ = nullptr;
    static inline TempFolder* site_ = nullptr;
    static inline LocalServer *good_ = nullptr, *expired_ = nullptr, *plain_ = nullptr;
};

TEST_F(HttpsNavigationTest, FramesAndPicturesComeOverHttpsUnderAPadlock) {
    Go(good_->Address("/frames.htm"));
    EXPECT_EQ(form->windowTitle(), "Frames");
    TFrame* left = form->FrameBrowser->ShownFrameSet()->FrameNamed("left");
    TFrame* right = form->FrameBrowser->ShownFrameSet()->FrameNamed("right");
    ASSERT_TRUE(left && left->Viewer && right && right->Viewer);
    EXPECT_NE(Text(left->Viewer).find("secure page"), std::string::npos);
    EXPECT_EQ(Text(right->Viewer), "other frame\r\n");
    EXPECT_TRUE(Padlocked());
    EXPECT_EQ(form->Padlock->toolTip().toStdString(), "CN=127.0.0.1");
    EXPECT_TRUE(boxes.shown.empty());

    // A plain page, and a secure page with a picture from a plain server.
    Go(plain_->Address("/page.htm"));
    EXPECT_FALSE(Padlocked());
    Go(good_->Address("/page.htm"));
    EXPECT_TRUE(Padlocked());
    Go(plain_->Address("/mixed.htm?pic=") + plain_->Address("/pic.gif"));
    EXPECT_FALSE(Padlocked());
}

TEST_F(HttpsNavigationTest, ARefusedCertificateShowsWhyAndNothingOfThePage) {
    Go(expired_->Address("/page.htm"));
    EXPECT_EQ(form->windowTitle(), "Secure connection failed");
    const std::string text = Text();
    EXPECT_NE(text.find("The server's certificate expired on 1 Feb 2020."), std::string::npos)
        << text;
    EXPECT_NE(text.find("Certificate: CN=127.0.0.1"), std::string::npos) << text;
    EXPECT_NE(text.find("SHA-256 fingerprint: "), std::string::npos) << text;
    EXPECT_EQ(text.find("secure page"), std::string::npos);
    EXPECT_FALSE(Padlocked());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(HttpsNavigationTest, SecureCookiesNeverFollowARedirectionToHttp) {
    Go(good_->Address("/login"));
    EXPECT_EQ(form->FrameBrowser->CurrentAddress(), plain_->Address("/cookie"));
    EXPECT_EQ(Text(), "cookie=[lang=en;]\r\n");
    Go(good_->Address("/cookie"));
    EXPECT_EQ(Text(), "cookie=[lang=en; sid=secret;]\r\n");
}

TEST_F(HttpsNavigationTest, ADownloadArrivesOverHttps) {
    TempFolder downloads;
    form->ChooseSaveFile = [&](const std::string&, const std::string&) {
        return std::optional<std::string>(downloads / "pack.zip");
    };
    bool handled = false;
    form->HotSpotTargetClick("", good_->Address("/pack.zip"), handled);
    EXPECT_TRUE(handled);
    QCoreApplication::processEvents();
    std::ifstream in(downloads / "pack.zip", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), std::string(100000, 'z'));
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
} // namespace lumo::test

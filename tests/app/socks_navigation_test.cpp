// Browsing through a SOCKS 5 server that a user sets in the Proxy dialog.
#include "app/proxy_dialog.h"

#include "tests/app/navigation_fixture.h"

#include <QTimer>

namespace lumo::test {
namespace {

TEST_F(NavigationTest, PagesGoThroughTheSocksServerSetInTheProxyDialog) {
    const auto socks = LocalServer::StartMicrosocks("ann", "right");
    if (!socks) GTEST_SKIP() << "microsocks is not installed";
    const auto setSocks = [&](const std::string& server, const std::string& password) {
        QTimer::singleShot(0, [&] {
            auto* dialog = dynamic_cast<TProxyDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->SocksServerEdit->setText(QString::fromStdString(server));
            dialog->SocksPortEdit->setText(QString::number(socks->Port()));
            dialog->SocksUserEdit->setText("ann");
            dialog->SocksPasswordEdit->setText(QString::fromStdString(password));
            dialog->accept();
        });
        form->Proxy1Click();
    };

    setSocks("127.0.0.1", "right");
    Type(Url("/frames.htm"));
    EXPECT_EQ(form->windowTitle(), "Frames");
    EXPECT_EQ(TextOf(FrameViewer("main")), "main frame\r\n");
    EXPECT_TRUE(boxes.shown.empty());

    // With a wrong password nothing reaches the server.
    setSocks("127.0.0.1", "wrong");
    Type(Url("/target.htm"));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].second, "socks authentication failed (Error #20015)");
    EXPECT_EQ(Hits("/target.htm"), 0);

    // Without a server, direct again.
    setSocks("", "");
    Type(Url("/target.htm"));
    EXPECT_EQ(form->windowTitle(), "Target");
}

} // namespace
} // namespace lumo::test

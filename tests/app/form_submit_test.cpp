// Forms submitted as a user submits them, against a real nginx: the exact
// query and body it receives, the result page, Back, and a form in a frame
// that sends its result to another.
#include "tests/app/navigation_fixture.h"
#include "tests/support/recording_shell.h"

#include "layout/section_list.h"
#include "net/disk_cache.h"
#include "viewer/form_widgets.h"

#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace lumo::test {
namespace {

class FormSubmitTest : public SiteTest {
protected:
    static void SetUpTestSuite() {
        // nginx reads a body only for a location that passes it on; the log
        // line then holds it.
        StartSite(WriteSite,
                  "location = /search { default_type text/html;"
                  " return 200 \"<TITLE>Results</TITLE>found [$arg_q]\"; }\n"
                  "location = /login { proxy_pass http://127.0.0.1:$server_port/welcome; }\n"
                  "location = /welcome { default_type text/html;"
                  " return 200 \"<TITLE>Welcome</TITLE>welcome\"; }\n",
                  "log_format forms '$request_method $request_uri [$request_body]';\n", "forms");
    }
    static void TearDownTestSuite() { StopSite(); }

    static void WriteSite(const TempFolder& site) {
        site.Write("search.htm", "<TITLE>Search</TITLE><FORM ACTION=\"/search\">"
                                 "<INPUT NAME=q VALUE=\"late web\"><INPUT TYPE=hidden NAME=t "
                                 "VALUE=\"~\xE9\"><INPUT TYPE=submit NAME=go VALUE=Search></FORM>");
        site.Write("login.htm", "<TITLE>Login</TITLE><FORM METHOD=POST ACTION=login>"
                                "<INPUT NAME=user><INPUT TYPE=password NAME=pw>"
                                "<TEXTAREA NAME=note>a\nb</TEXTAREA>"
                                "<INPUT TYPE=submit VALUE=\"Log in\"></FORM>");
        site.Write("frames.htm", "<TITLE>Frames</TITLE><FRAMESET COLS=\"50%,*\">"
                                 "<FRAME NAME=left SRC=\"left.htm\"><FRAME NAME=main "
                                 "SRC=\"main.htm\"></FRAMESET>");
        site.Write("left.htm", "<TABLE><TR><TD><FORM ACTION=\"/search\" TARGET=Main>"
                               "<INPUT NAME=q VALUE=framed></FORM></TABLE>");
        site.Write("main.htm", "<P>main frame");
        site.Write("blank.htm", "<FRAMESET COLS=\"50%,*\"><FRAME NAME=left SRC=\"sub/find.htm\">"
                                "<FRAME NAME=main SRC=\"main.htm\"></FRAMESET>");
        site.Write("sub/find.htm", "<FORM ACTION=\"search#hit\" TARGET=_blank>"
                                   "<INPUT NAME=q VALUE=new></FORM>");
    }
};

TEST_F(FormSubmitTest, SearchFormGetsItsQueryAndBackReturnsToIt) {
    Type(Url("/search.htm"));
    ASSERT_EQ(form->windowTitle(), "Search");
    THTMLViewer& viewer = Viewer();
    auto* go = dynamic_cast<QPushButton*>(Widget(viewer, "go"));
    ASSERT_NE(go, nullptr);
    QTest::mouseClick(go, Qt::LeftButton);
    ASSERT_TRUE(PumpUntil([&] { return form->windowTitle() == "Results"; }));
    EXPECT_TRUE(Logged("GET /search?q=late+web&t=%7E%E9&go=Search [-]")) << Log();
    EXPECT_EQ(TextOf(Viewer()), "found [late+web]\r\n");
    form->BackButton->click();
    EXPECT_EQ(form->windowTitle(), "Search");
}

TEST_F(FormSubmitTest, LoginFormPostsItsBodyAndIsNeverCachedAtTheAction) {
    Type(Url("/login.htm"));
    ASSERT_EQ(form->windowTitle(), "Login");
    THTMLViewer& viewer = Viewer();
    QTest::keyClicks(Widget(viewer, "user"), "ann smith");
    QTest::keyClicks(Widget(viewer, "pw"), "s&e=t");
    QTest::keyClick(Widget(viewer, "pw"), Qt::Key_Return);
    ASSERT_TRUE(PumpUntil([&] { return form->windowTitle() == "Welcome"; }));
    EXPECT_TRUE(Logged("POST /login [user=ann+smith&pw=s%26e=t&note=a%0D%0Ab]")) << Log();
    std::string file;
    int stored = 0;
    EXPECT_FALSE(form->DiskCache().Lookup(Url("/login"), file, stored));
    form->BackButton->click();
    EXPECT_EQ(form->windowTitle(), "Login");
}

TEST_F(FormSubmitTest, FormInATableCellOfAFrameLoadsItsTargetFrame) {
    Type(Url("/frames.htm"));
    THTMLViewer& left = FrameViewer("left");
    QWidget* q = Widget(left, "q");
    q->setFocus();
    QTest::keyClick(q, Qt::Key_Return);
    ASSERT_TRUE(PumpUntil([&] { return TextOf(FrameViewer("main")) == "found [framed]\r\n"; }));
    EXPECT_EQ(form->windowTitle(), "Frames");
    EXPECT_TRUE(Logged("GET /search?q=framed ")) << Log();
}

// A form for a new window sends an address resolved against its own
// frame's document, not against whatever the window fetched last.
TEST_F(FormSubmitTest, AFormForANewWindowResolvesItsActionInItsOwnFrame) {
    RecordingShell shell;
    Type(Url("/blank.htm"));
    QWidget* q = Widget(FrameViewer("left"), "q");
    q->setFocus();
    QTest::keyClick(q, Qt::Key_Return);
    ASSERT_TRUE(PumpUntil([&] { return !shell.calls.empty(); }));
    const std::string program = QCoreApplication::applicationFilePath().toStdString();
    EXPECT_EQ(shell.calls,
              std::vector<std::string>{"start " + program + "|" + Url("/sub/search?q=new#hit")});
}

} // namespace
} // namespace lumo::test

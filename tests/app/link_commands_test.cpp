// Links the main window hands to the desktop (mail, sounds, videos,
// programs, new windows) through a recording shell, with exact arguments.
#include "app/main_window.h"
#include "frames/frame_browser.h"
#include "platform/message_box.h"
#include "viewer/html_viewer.h"

#include "tests/support/pump.h"
#include "tests/support/recording_boxes.h"
#include "tests/support/recording_shell.h"
#include "tests/support/temp_folder.h"
#include "tests/support/viewer_input.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>

#include <gtest/gtest.h>

namespace lumo {
namespace {

class LinkCommandsTest : public testing::Test {
protected:
    LinkCommandsTest() {
        home.Write("links.htm", "<TITLE>Links</TITLE><P><A HREF=\"mailto:me@host.com\">mail</A> "
                                "<A HREF=\"ding.wav\">sound</A> <A HREF=\"tune.mid\">tune</A> "
                                "<A HREF=\"tool.exe?-a%20b\">program</A> "
                                "<A HREF=\"new.htm#part\" TARGET=_blank>window</A> "
                                "<A HREF=\"sub/next.htm\">next</A>");
        form.resize(800, 600);
        form.show();
        form.FormShow("file://" + (home / "links.htm"));
    }
    ~LinkCommandsTest() override { form.close(); }

    THTMLViewer& Viewer() { return *form.FrameBrowser->FocusedViewer(); }
    void Click(std::string_view text) {
        test::ClickText(Viewer(), text);
        QCoreApplication::processEvents();
    }
    std::string File(std::string_view name) { return home / name; }
    std::string Program() const { return QCoreApplication::applicationFilePath().toStdString(); }

    test::TempFolder home;
    test::ScopedHome scopedHome{home.Path()};
    test::RecordingBoxes boxes;
    test::RecordingShell shell;
    TMainWindow form;
};

TEST_F(LinkCommandsTest, MailSoundsAndVideosGoToTheDesktop) {
    Click("mail");
    Click("sound");
    Click("tune");
    EXPECT_EQ(shell.calls,
              (std::vector<std::string>{"open mailto:me@host.com", "sound " + File("ding.wav"),
                                        "open file://" + File("tune.mid")}));
    EXPECT_EQ(form.windowTitle(), "Links"); // the page stays
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(LinkCommandsTest, ALocalPageStartsAProgramOnlyWhenTheUserAgrees) {
    boxes.answer = MessageAnswer::No;
    Click("program");
    EXPECT_TRUE(shell.calls.empty());
    boxes.answer = MessageAnswer::Yes;
    Click("program");
    ASSERT_EQ(boxes.shown.size(), 2u);
    // The question names the whole command, parameters included.
    EXPECT_EQ(boxes.shown[1], std::make_pair(MessageKind::Question,
                                             "Start the program " + File("tool.exe") + " -a b?"));
    EXPECT_EQ(shell.calls, std::vector<std::string>{"start " + File("tool.exe") + "|-a|b"});
}

TEST_F(LinkCommandsTest, NewWindowsAreNewCopiesOfTheProgram) {
    Click("window");
    QWidget* panel = Viewer().PaintPanel();
    test::SendMouse(panel, QEvent::MouseButtonRelease, Qt::RightButton,
                    test::PointOfText(Viewer(), "next"));
    EXPECT_TRUE(form.OpenInNewWindow1->isEnabled());
    EXPECT_FALSE(form.SaveImageAs1->isEnabled());
    form.PopupMenu->hide();
    form.OpenInNewWindow1->trigger();
    form.CopyLink1->trigger();
    EXPECT_EQ(shell.calls,
              (std::vector<std::string>{"start " + Program() + "|file://" + File("new.htm#part"),
                                        "start " + Program() + "|file://" + File("sub/next.htm")}));
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), "file://" + File("sub/next.htm"));
    // A right click beside the links offers nothing to open.
    test::SendMouse(panel, QEvent::MouseButtonRelease, Qt::RightButton, {2, 2});
    EXPECT_FALSE(form.OpenInNewWindow1->isEnabled());
    form.PopupMenu->hide();
}

// The pop-up menu's addresses are those a click follows: a document's BASE
// counts for its links and pictures alike.
TEST_F(LinkCommandsTest, ThePopUpMenuResolvesAsAClickDoes) {
    const std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\x00\x00\x00\xff\xff\xff!\xf9\x04"
                          "\x01\x00\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02"
                          "D\x01\x00;",
                          42);
    home.Write("sub/pic.gif", gif);
    home.Write("sub/next.htm", "<TITLE>Next</TITLE>there");
    home.Write("based.htm", "<BASE HREF=\"file://" + File("sub/index.htm") +
                                "\"><IMG SRC=\"pic.gif\" WIDTH=60 HEIGHT=60><BR>"
                                "<A HREF=\"next.htm#n\">next</A>");
    form.FormShow("file://" + File("based.htm"));
    ASSERT_TRUE(test::PumpUntil([&] { return form.PageShown(); }));
    QWidget* panel = Viewer().PaintPanel();
    test::SendMouse(panel, QEvent::MouseButtonRelease, Qt::RightButton, {20, 20});
    form.PopupMenu->hide();
    EXPECT_TRUE(form.SaveImageAs1->isEnabled());
    EXPECT_EQ(form.ImageURL, "file://" + File("sub/pic.gif"));
    test::SendMouse(panel, QEvent::MouseButtonRelease, Qt::RightButton,
                    test::PointOfText(Viewer(), "next"));
    form.PopupMenu->hide();
    form.CopyLink1->trigger();
    form.OpenInNewWindow1->trigger();
    const std::string link = "file://" + File("sub/next.htm#n");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), link);
    EXPECT_EQ(shell.calls, std::vector<std::string>{"start " + Program() + "|" + link});
    Click("next");
    EXPECT_EQ(form.windowTitle(), "Next");
}

} // namespace
} // namespace lumo

// The main window's page area: local files and built-in pages in the frame
// browser, the status and caption that follow them, and the Edit and Help
// commands.
#include "app/app_exceptions.h"
#include "app/find_dialog.h"
#include "app/lookup_combo_box.h"
#include "app/main_window.h"
#include "frames/frame_browser.h"
#include "platform/message_box.h"
#include "tools/bookmark_manager.h"
#include "viewer/html_viewer.h"

#include "tests/support/recording_boxes.h"
#include "tests/support/temp_folder.h"
#include "tests/support/viewer_input.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace lumo {
namespace {

class PageAreaTest : public testing::Test {
protected:
    PageAreaTest() {
        home.Write("a.htm", "<TITLE>Page A</TITLE><P>Some text with a needle and "
                            "<A HREF=\"b.htm\">a link</A> and <A HREF=\"b.htm\" "
                            "TARGET=\"_top\">a target</A>.");
        home.Write("b.htm", "<TITLE>Page B</TITLE><P>Second page");
        form.resize(640, 480);
        form.show();
        QCoreApplication::processEvents();
    }
    ~PageAreaTest() override { form.close(); }

    std::string Address(std::string_view name) { return "file://" + (home / name); }
    // The page's one viewer.
    THTMLViewer& Viewer() {
        THTMLViewer* viewer = form.FrameBrowser->FocusedViewer();
        EXPECT_NE(viewer, nullptr);
        return *viewer;
    }
    // Types into the address box and presses Enter.
    void Enter(const std::string& text) {
        form.UrlCombobox->SetText(text);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(form.UrlCombobox->lineEdit(), &enter);
    }
    QPoint PointOf(std::string_view text) { return test::PointOfText(Viewer(), text); }
    void Mouse(QEvent::Type type, QPoint p, Qt::MouseButtons held = Qt::NoButton) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        test::SendMouse(Viewer().PaintPanel(), type, button, p, held);
    }

    test::TempFolder home;
    test::ScopedHome scopedHome{home.Path()};
    test::RecordingBoxes boxes;
    TMainWindow form;
};

TEST_F(PageAreaTest, ACommandLineFileIsShownAndTheStatusNamesTheLinkUnderTheMouse) {
    form.FormShow(Address("a.htm"));
    EXPECT_EQ(Viewer().DocumentFile(), Address("a.htm"));
    EXPECT_EQ(form.windowTitle(), "Page A");
    EXPECT_EQ(form.Status2->text(), "DONE");
    EXPECT_TRUE(boxes.shown.empty());
    Mouse(QEvent::MouseMove, PointOf("a link"));
    const QString b = QString::fromStdString(Address("b.htm"));
    EXPECT_EQ(form.Status3->text(), "URL: " + b);
    Mouse(QEvent::MouseMove, PointOf("a target"));
    EXPECT_EQ(form.Status3->text(), "Target: _top  URL: " + b);
    Mouse(QEvent::MouseMove, PointOf("Some"));
    EXPECT_EQ(form.Status3->text(), "");
}

TEST_F(PageAreaTest, FollowingALinkAndComingBackWithTheToolbar) {
    form.FormShow(Address("a.htm"));
    EXPECT_FALSE(form.BackButton->isEnabled());
    const QPoint link = PointOf("a link");
    Mouse(QEvent::MouseMove, link);
    Mouse(QEvent::MouseButtonPress, link, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, link);
    EXPECT_EQ(form.windowTitle(), "Page B");
    EXPECT_TRUE(form.BackButton->isEnabled());
    form.BackButton->click();
    EXPECT_EQ(form.windowTitle(), "Page A");
    EXPECT_TRUE(form.FwdButton->isEnabled());
    form.FwdButton->click();
    EXPECT_EQ(Viewer().DocumentFile(), Address("b.htm"));
}

TEST_F(PageAreaTest, EnterInTheAddressBoxOpensAPathAndRemembersIt) {
    Enter(home / "b.htm");
    EXPECT_EQ(form.windowTitle(), "Page B");
    EXPECT_EQ(form.UrlCombobox->Items(), std::vector<std::string>{home / "b.htm"});
    EXPECT_EQ(form.UrlCombobox->Text(), Address("b.htm")); // the page's own address
}

TEST_F(PageAreaTest, FindReportsWhenNothingFollows) {
    form.FormShow(Address("a.htm"));
    form.FindDialog->SetFindText("NEEDLE");
    form.FindDialogFind();
    EXPECT_EQ(Viewer().SelectedText(), "needle");
    form.FindDialog->SetMatchCase(true);
    form.FindDialogFind();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], std::make_pair(MessageKind::Information,
                                             std::string("No further occurances of \"NEEDLE\"")));
}

TEST_F(PageAreaTest, CopyAndSelectAll) {
    form.FormShow(Address("b.htm"));
    QGuiApplication::clipboard()->setText("before");
    form.Copy1Click(); // nothing selected: the clipboard keeps its text
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
    form.SelectAll1Click();
    form.Copy1Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Second page\r\n");

    std::string big = "<P>";
    for (int i = 0; i < 4000; ++i)
        big += "word word ";
    home.Write("big.htm", big);
    form.NavigateTo(Address("big.htm"));
    form.SelectAll1Click();
    EXPECT_THROW(form.Copy1Click(), EBufferTooSmall);
}

TEST_F(PageAreaTest, HelpContentsShowsTheBuiltInPage) {
    form.Contents1Click();
    EXPECT_EQ(Viewer().DocumentFile(), "res:///help.htm");
    EXPECT_EQ(form.windowTitle(), "Lumo 10 Help");
    EXPECT_GT(Viewer().DocHeight(), 300);
    // A second built-in page, and back to the first.
    form.SupportedTags1Click();
    EXPECT_EQ(Viewer().DocumentFile(), "res:///support.htm");
    form.BackButton->click();
    EXPECT_EQ(Viewer().DocumentFile(), "res:///help.htm");
    EXPECT_TRUE(boxes.shown.empty());
}

// The keys a user presses reach their commands through the window's
// shortcuts, and commands with nothing behind them yet do nothing.
TEST_F(PageAreaTest, KeysReachTheirCommands) {
    form.FormShow(Address("b.htm"));
    form.activateWindow();
    QApplication::setActiveWindow(&form);

    QTest::keyClick(&form, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(form.FindDialog->isVisible());
    form.FindDialog->hide();

    form.SelectAll1Click();
    QGuiApplication::clipboard()->setText("before");
    QTest::keyClick(&form, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Second page\r\n");

    bool dialogShown = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        dialogShown = dialog != nullptr;
        if (dialog) dialog->reject();
    });
    QTest::keyClick(&form, Qt::Key_F3);
    EXPECT_TRUE(dialogShown);
    EXPECT_EQ(Viewer().DocumentFile(), Address("b.htm")); // cancelled: the page stays

    QApplication::setActiveWindow(&form); // the dialog took the activation
    QWidget* manager = nullptr;
    QTimer::singleShot(0, [&] {
        manager = QApplication::activeModalWidget();
        if (manager) manager->close();
    });
    QTest::keyClick(&form, Qt::Key_F4);
    EXPECT_EQ(manager, form.BookmarkManager);

    QApplication::setActiveWindow(&form);

    QTest::keyClick(&form, Qt::Key_F1);
    EXPECT_EQ(Viewer().DocumentFile(), "res:///help.htm");
}

// The Edit items say whether they have something to act on when the menu
// opens; the keys reach the commands, which do nothing without a page.
TEST_F(PageAreaTest, EditItemsFollowThePage) {
    const auto open = [&] {
        QMenu* edit = form.findChild<QMenu*>("Edit1");
        emit edit->aboutToShow();
        std::vector<bool> enabled{form.Find1->isEnabled(), form.Copy1->isEnabled(),
                                  form.SelectAll1->isEnabled()};
        emit edit->aboutToHide();
        return enabled;
    };
    EXPECT_EQ(open(), (std::vector<bool>{false, false, false}));
    form.Find1Click();
    EXPECT_FALSE(form.FindDialog->isVisible());
    form.FormShow(Address("b.htm"));
    EXPECT_EQ(open(), (std::vector<bool>{true, false, true}));
    form.SelectAll1Click();
    EXPECT_EQ(open(), (std::vector<bool>{true, true, true}));
    EXPECT_TRUE(form.Copy1->isEnabled()); // closed again, the keys work
}

TEST_F(PageAreaTest, AFailedPageKeepsTheOneShownAndSaysWhy) {
    form.FormShow(Address("a.htm"));
    EXPECT_THROW(form.NavigateTo(Address("missing.htm")), ESpecialException);
    EXPECT_EQ(form.windowTitle(), "Page A");
    EXPECT_FALSE(form.FrameBrowser->Processing());
    // Typed, the failure reaches the window's handler of exceptions.
    Enter(Address("missing.htm"));
    EXPECT_EQ(form.windowTitle(), "Page A");
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].first, MessageKind::Plain);
    EXPECT_NE(boxes.shown[0].second.find("missing.htm"), std::string::npos);
    EXPECT_EQ(form.Status2->text(), "DONE");
    EXPECT_TRUE(form.UrlCombobox->isEnabled());
}

} // namespace
} // namespace lumo

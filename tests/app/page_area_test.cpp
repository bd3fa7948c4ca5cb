// The main window's page area: local files and built-in pages in its viewer,
// the status and caption that follow them, and the Edit and Help commands.
#include "app/app_exceptions.h"
#include "app/find_dialog.h"
#include "app/http_form.h"
#include "app/lookup_combo_box.h"
#include "platform/message_box.h"
#include "viewer/html_viewer.h"

#include "tests/support/layout_fixture.h"
#include "tests/support/recording_boxes.h"
#include "tests/support/temp_folder.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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
    // A panel point on the first character of text.
    QPoint PointOf(std::string_view text) {
        THTMLViewer& v = *form.Viewer;
        for (TSection* s : test::All<TSection>(v.SectionList())) {
            const size_t at = s->Text.find(text);
            if (at == std::string::npos) continue;
            int x = 0, y = 0;
            v.SectionList().CursorToPoint(&v.MeasureCanvas(), s->FirstPos + int(at), x, y);
            return {x + 1 - v.HScroll(), y + 6 - v.ScrollY()};
        }
        ADD_FAILURE() << text;
        return {};
    }
    void Mouse(QEvent::Type type, QPoint p, Qt::MouseButtons held = Qt::NoButton) {
        QWidget* panel = form.Viewer->PaintPanel();
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(p), QPointF(panel->mapToGlobal(p)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(panel, &event);
    }

    test::TempFolder home;
    test::ScopedHome scopedHome{home.Path()};
    test::RecordingBoxes boxes;
    THTTPForm form;
};

TEST_F(PageAreaTest, ACommandLineFileIsShownWithItsTitle) {
    form.FormShow(Address("a.htm"));
    EXPECT_EQ(form.Viewer->DocumentFile(), home / "a.htm");
    EXPECT_EQ(form.windowTitle(), "Page A");
    EXPECT_EQ(form.Status2->text(), "DONE");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PageAreaTest, TheStatusNamesTheLinkUnderTheMouse) {
    form.FormShow(Address("a.htm"));
    Mouse(QEvent::MouseMove, PointOf("a link"));
    EXPECT_EQ(form.Status3->text(), "URL: b.htm");
    Mouse(QEvent::MouseMove, PointOf("a target"));
    EXPECT_EQ(form.Status3->text(), "Target: _top  URL: b.htm");
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
    EXPECT_EQ(form.Viewer->DocumentFile(), home / "b.htm");
}

TEST_F(PageAreaTest, EnterInTheAddressBoxOpensAPathAndRemembersIt) {
    form.UrlCombobox->SetText(home / "b.htm");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(form.UrlCombobox->lineEdit(), &enter);
    EXPECT_EQ(form.windowTitle(), "Page B");
    EXPECT_EQ(form.UrlCombobox->Items(), std::vector<std::string>{home / "b.htm"});

    // Remembered once, in order without regard to case, the text left as typed.
    form.UrlCombobox->SetItems({"b", "D"});
    for (const char* typed : {"C", "b", "B", "a", "e"})
        form.UrlCombobox->AddItem(typed);
    EXPECT_EQ(form.UrlCombobox->Items(), (std::vector<std::string>{"a", "b", "B", "C", "D", "e"}));
    EXPECT_EQ(form.UrlCombobox->Text(), home / "b.htm");
}

TEST_F(PageAreaTest, FindReportsWhenNothingFollows) {
    form.FormShow(Address("a.htm"));
    form.FindDialog->SetFindText("NEEDLE");
    form.FindDialogFind();
    EXPECT_EQ(form.Viewer->SelectedText(), "needle");
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
    EXPECT_EQ(form.Viewer->DocumentFile(), "res:///help.htm");
    EXPECT_EQ(form.windowTitle(), "Lumo 10 Help");
    EXPECT_GT(form.Viewer->DocHeight(), 300);
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
    EXPECT_EQ(form.Viewer->DocumentFile(), home / "b.htm"); // cancelled: the page stays

    QApplication::setActiveWindow(&form); // the dialog took the activation
    QTest::keyClick(&form, Qt::Key_F4);   // bookmarks are not there yet
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    QTest::keyClick(&form, Qt::Key_F1);
    EXPECT_EQ(form.Viewer->DocumentFile(), "res:///help.htm");
}

TEST_F(PageAreaTest, WebAddressesWaitForTheNavigationDriver) {
    form.FormShow(Address("a.htm"));
    form.NavigateTo("http://127.0.0.1:9/x.htm");
    EXPECT_EQ(form.windowTitle(), "Page A");
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
} // namespace lumo

// The main window's user tools: bookmarks of pages and frames, the font and
// colour dialog, and the windows' language files.
#include "app/lookup_combo_box.h"
#include "app/main_window.h"
#include "frames/frame.h"
#include "frames/frame_browser.h"
#include "frames/page_frame_set.h"
#include "platform/ini_file.h"
#include "tools/bookmark_manager.h"
#include "tools/bookmark_tree.h"
#include "tools/font_color_dialog.h"
#include "tools/language_file.h"
#include "tools/unzip_window.h"
#include "viewer/html_viewer.h"

#include "tests/support/recording_boxes.h"
#include "tests/support/scripted_input.h"
#include "tests/support/temp_folder.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <set>

namespace lumo {
namespace {

class UserToolsTest : public testing::Test {
protected:
    UserToolsTest() {
        home.Write("frames.htm", "<TITLE>Both</TITLE><FRAMESET COLS=\"50%,50%\">"
                                 "<FRAME NAME=left SRC=\"a.htm\"><FRAME NAME=right SRC=\"b.htm\">"
                                 "</FRAMESET>");
        home.Write("a.htm", "<TITLE>Page A</TITLE>a");
        home.Write("b.htm", "<TITLE>Page B</TITLE>b");
    }

    // Runs the window's whole life around the action.
    void RunOnce(const std::function<void(TMainWindow&)>& action) {
        TMainWindow form;
        form.resize(800, 600);
        form.show();
        action(form);
        form.close();
    }
    void ShowFrames(TMainWindow& form) { form.FormShow(Address("frames.htm")); }
    std::string Address(const char* name) { return "file://" + (home / name); }
    // The menu as it opens.
    static QMenu& BookmarksMenu(TMainWindow& form) {
        QMenu& menu = *form.findChild<QMenu*>("Bookmarks1");
        emit menu.aboutToShow();
        return menu;
    }
    // Clicks a button of the modal dialog once it shows.
    static void AnswerDialog(const char* button) {
        QTimer::singleShot(0, [button] {
            QWidget* dialog = QApplication::activeModalWidget();
            ASSERT_NE(dialog, nullptr);
            dialog->findChild<QPushButton*>(button)->click();
        });
    }

    test::TempFolder home;
    test::ScopedHome scopedHome{home.Path()};
    test::RecordingBoxes boxes;
    test::ScriptedInput input;
};

TEST_F(UserToolsTest, PagesAndFramesAreBookmarkedKeptAndOpened) {
    RunOnce([&](TMainWindow& form) {
        ShowFrames(form);
        input.answers = {"The page", "Right frame"};
        form.SaveURLClick();
        form.BookmarkFrameClick(); // two frames and none entered: nothing
        THTMLViewer* right = form.FrameBrowser->ShownFrameSet()->FrameNamed("right")->Viewer;
        right->OnEnter(right);
        form.BookmarkFrameClick();
        EXPECT_EQ(input.asked,
                  (std::vector<std::string>{"Lumo Bookmarks|Enter Bookmark name:|Both",
                                            "Lumo Bookmarks|Enter Bookmark name:|Page B"}));
    });
    // Written at the end, into a bookmarks folder made for it.
    EXPECT_EQ(home.Read("bookmarks/LumoBookmarks.tip"),
              "The page=" + Address("frames.htm") + "\r\nRight frame=" + Address("b.htm") + "\r\n");
    RunOnce([&](TMainWindow& form) {
        const QList<QAction*> items = BookmarksMenu(form).actions();
        ASSERT_EQ(items.size(), 2);
        EXPECT_EQ(items[1]->text(), "Right frame");
        items[1]->trigger();
        EXPECT_EQ(form.windowTitle(), "Page B");
        EXPECT_EQ(form.UrlCombobox->Text(), Address("b.htm"));
    });
}

// A cancelled font dialog changes nothing; new defaults reach every frame
// and the settings file.
TEST_F(UserToolsTest, NewDefaultsReachEveryFrameAndTheSettingsFile) {
    RunOnce([&](TMainWindow& form) {
        ShowFrames(form);
        TBrowserDefaults values = form.BrowserDefaults();
        AnswerDialog("CancelBtn");
        form.Fontandcolor1Click();
        EXPECT_EQ(form.BrowserDefaults(), values);
        EXPECT_EQ(TIniFile(home / "lumo.ini").ReadString("Font", "Name", "none"), "none");

        values.DefFontName = "Arial";
        values.DefFontSize = 16;
        values.DefBackground = 0x996633;
        values.DefHotSpotColor = 0x00FF00;
        form.SetBrowserDefaults(values);
        ASSERT_EQ(form.FrameBrowser->GetViewerCount(), 2);
        for (int i = 0; i < 2; ++i) {
            const THTMLViewer& viewer = *form.FrameBrowser->GetViewer(i);
            EXPECT_EQ(viewer.DefBackground(), TColor{0x996633});
            EXPECT_EQ(viewer.DefFontName, "Arial");
            EXPECT_EQ(viewer.DefHotSpotColor, TColor{0x00FF00});
        }
        const TIniFile ini(home / "lumo.ini");
        EXPECT_EQ(ini.ReadString("Font", "Name", ""), "Arial");
        EXPECT_EQ(ini.ReadInteger("Font", "Size", 0), 16);
        EXPECT_EQ(ini.ReadInteger("Colors", "Background", 0), 0x996633);
    });
}

// Every key of the shipped translation names a text the windows export, so
// a renamed control shows up here rather than as an untranslated word.
TEST_F(UserToolsTest, TheShippedTranslationFitsTheWindows) {
    RunOnce([&](TMainWindow& form) {
        form.Unzip1Click(); // the unzip window writes its part of the template too
    });
    std::set<std::string> exported;
    for (const TTranslation& t : ReadTranslations(TIniFile(home / "Language.lng")))
        exported.insert(TranslationKey(t.Window, t.Component, t.Property));
    EXPECT_TRUE(exported.count("HTTPForm.ManageBookmarks1.Caption"));
    EXPECT_TRUE(exported.count("BookmarksF.LanguageBtn.Hint"));
    EXPECT_TRUE(exported.count("LumoUnzipF.UnzipButton.Caption"));
    const std::string german = std::string(LUMO_SOURCE_DIR) + "/res/languages/Deutsch.lng";
    const std::vector<TTranslation> translations = ReadTranslations(TIniFile(german));
    EXPECT_GT(translations.size(), 40u);
    for (const TTranslation& t : translations)
        EXPECT_TRUE(exported.count(TranslationKey(t.Window, t.Component, t.Property)))
            << TranslationKey(t.Window, t.Component, t.Property);
}

TEST_F(UserToolsTest, EachWindowKeepsItsOwnLanguage) {
    const std::string german = std::string(LUMO_SOURCE_DIR) + "/res/languages/Deutsch.lng";
    RunOnce([&](TMainWindow& form) {
        form.BookmarkManager->Language().ChooseLanguage(*form.BookmarkManager, german);
        EXPECT_EQ(form.BookmarkManager->NewFolderBtn->text(), "Neuer Ordner");
        EXPECT_EQ(form.findChild<QAction*>("ManageBookmarks1")->text(), "Manage &Bookmarks...");
    });
    RunOnce([&](TMainWindow& form) {
        EXPECT_EQ(form.BookmarkManager->NewFolderBtn->text(), "Neuer Ordner");
        form.Language().ChooseLanguage(form, german);
        EXPECT_EQ(form.findChild<QAction*>("ManageBookmarks1")->text(),
                  "&Lesezeichen verwalten...");
    });
}

} // namespace
} // namespace lumo

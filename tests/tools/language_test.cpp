// Translating a window from a language file and writing the template of its
// built-in texts.
#include "platform/ini_file.h"
#include "tests/support/temp_folder.h"
#include "tools/language_file.h"
#include "tools/window_translator.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

namespace lumo {
namespace {

// A window with one component of each kind a language file may reach, and
// an edit whose text it may not.
struct SampleWindow {
    SampleWindow() {
        window.setObjectName("SampleF");
        button->setObjectName("OKBtn");
        button->setToolTip("Close it");
        label->setObjectName("Label1");
        edit->setObjectName("PathEdit");
        edit->setText("/home/user/folder");
        menu->setObjectName("File1");
        item->setObjectName("Open1");
        separator->setObjectName("N1");
        separator->setSeparator(true);
        separator->setText("-");
    }
    QWidget window;
    QPushButton* button = new QPushButton("OK", &window);
    QLabel* label = new QLabel("First line\r\nSecond line", &window);
    QLineEdit* edit = new QLineEdit(&window);
    QMenu* menu = new QMenu("&File", &window);
    QAction* item = menu->addAction("&Open...");
    QAction* separator = menu->addAction("-");
};

class LanguageTest : public testing::Test {
protected:
    // A language file with the given Translations lines.
    std::string LanguageFile(const std::string& lines) {
        home.Write("test.lng", "[Translations]\r\n" + lines);
        return home / "test.lng";
    }

    test::TempFolder home;
    test::ScopedHome scopedHome{home.Path()};
    SampleWindow sample;
};

TEST_F(LanguageTest, TheTemplateHoldsCaptionsAndHintsOfTheComponents) {
    ASSERT_TRUE(TWindowTranslator::ExportStrings(sample.window, home / "Language.lng"));
    const TIniFile lng(home / "Language.lng");
    std::vector<std::pair<std::string, std::string>> expected = {
        {"SampleF.OKBtn.Caption", "OK"},
        {"SampleF.OKBtn.Hint", "Close it"},
        {"SampleF.Label1.Caption", "First line~~Second line"},
        {"SampleF.File1.Caption", "&File"},
        {"SampleF.Open1.Caption", "&Open..."},
    };
    // No edit's text, no separator, no Qt-made tool tip of a menu item.
    EXPECT_EQ(lng.ReadSectionValues("Translations"), expected);
}

TEST_F(LanguageTest, ATranslationSetsCaptionsAndHintsAndNothingElse) {
    TWindowTranslator::ApplyLanguage(sample.window,
                                     LanguageFile("SampleF.okbtn.CAPTION=Gut\r\n"
                                                  "SampleF.OKBtn.Hint=Schlie\xDF"
                                                  "en\r\n"
                                                  "SampleF.Label1.Caption=Erste~~Zweite\r\n"
                                                  "SampleF.Open1.Caption=\xD6&ffnen...\r\n"
                                                  "samplef.File1.Caption=window names are exact\r\n"
                                                  "SampleF.PathEdit.Text=/etc\r\n"
                                                  "SampleF.OKBtn.StyleSheet=background: red\r\n"
                                                  "SampleF.OKBtn.objectName=Renamed\r\n"
                                                  "SampleF.Missing.Caption=nobody\r\n"
                                                  "SampleF.OKBtn=too few dots\r\n"));
    EXPECT_EQ(sample.button->text(), "Gut");
    EXPECT_EQ(sample.button->toolTip(), QString::fromUtf8("Schließen"));
    EXPECT_EQ(sample.label->text(), "Erste\nZweite");
    EXPECT_EQ(sample.item->text(), QString::fromUtf8("Ö&ffnen..."));
    EXPECT_EQ(sample.menu->title(), "&File");
    EXPECT_EQ(sample.edit->text(), "/home/user/folder");
    EXPECT_EQ(sample.button->styleSheet(), "");
    EXPECT_EQ(sample.button->objectName(), "OKBtn");
}

TEST_F(LanguageTest, ACaptionWithALineBreakComesBackUnchanged) {
    TWindowTranslator::ExportStrings(sample.window, home / "Language.lng");
    sample.label->setText("changed");
    TWindowTranslator::ApplyLanguage(sample.window, home / "Language.lng");
    EXPECT_EQ(sample.label->text(), "First line\nSecond line");
}

TEST_F(LanguageTest, StartUpWritesTheTemplateAndAppliesTheWindowsChoice) {
    const std::string german = LanguageFile("SampleF.OKBtn.Caption=Gut\r\n");
    {
        TIniFile settings(home / "lumo.ini");
        settings.WriteString("Language", "SampleF", german);
        settings.WriteString("Language", "OtherF", home / "other.lng");
    }
    TWindowTranslator language;
    language.InitForm(sample.window);
    EXPECT_EQ(sample.button->text(), "Gut");
    EXPECT_EQ(language.CurrentFile(), german);
    // The template keeps the built-in text, not the translation.
    EXPECT_EQ(
        TIniFile(home / "Language.lng").ReadString("Translations", "SampleF.OKBtn.Caption", ""),
        "OK");
}

TEST_F(LanguageTest, AChoiceIsRememberedPerWindowAndAMissingFileIsIgnored) {
    TWindowTranslator language;
    language.InitForm(sample.window); // nothing chosen yet: the template
    EXPECT_EQ(language.CurrentFile(), home / "Language.lng");
    language.ChooseLanguage(sample.window, LanguageFile("SampleF.OKBtn.Caption=Gut\r\n"));
    EXPECT_EQ(TIniFile(home / "lumo.ini").ReadString("Language", "SampleF", ""), home / "test.lng");
    EXPECT_EQ(TIniFile(home / "lumo.ini").ReadString("Language", "OtherF", "none"), "none");

    SampleWindow again;
    std::remove((home / "test.lng").c_str());
    TWindowTranslator later;
    later.InitForm(again.window);
    EXPECT_EQ(again.button->text(), "OK");
}

TEST_F(LanguageTest, ATemplateThatCannotBeWrittenNeverStopsStartUp) {
    std::filesystem::create_directories(home / "Language.lng/in the way");
    EXPECT_FALSE(TWindowTranslator::ExportStrings(sample.window, home / "Language.lng"));
    const std::string german = LanguageFile("SampleF.OKBtn.Caption=Gut\r\n");
    TIniFile(home / "lumo.ini").WriteString("Language", "SampleF", german);
    TWindowTranslator language;
    language.InitForm(sample.window);
    EXPECT_EQ(sample.button->text(), "Gut");
}

} // namespace
} // namespace lumo

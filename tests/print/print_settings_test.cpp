// Header and footer templates, the date format, margins as text, and the
// settings dialog.
#include "platform/recording_canvas.h"
#include "print/margin_text.h"
#include "print/print_settings.h"
#include "print/print_settings_dialog.h"
#include "viewer/html_viewer.h"

#include <QApplication>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <clocale>

namespace lumo {
namespace {

TEST(PrintTemplates, MacrosAreReplacedOnceEach) {
    const TMacroValues values{"The Title", "http://host/a.htm", "05-Mar-2024", 3};
    const struct {
        const char* text;
        const char* expected;
    } rows[] = {
        {"[title]", "The Title"},
        {"Page [page] of [page]", "Page 3 of [page]"},
        {"[file] - [date]", "http://host/a.htm - 05-Mar-2024"},
        {"[date][title][page]", "05-Mar-2024The Title3"},
        {"[Title] [PAGE]", "[Title] [PAGE]"}, // letter case counts
        {"free text", "free text"},
        {"", ""},
        {"[page", "[page"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ExpandTemplate(row.text, values), row.expected) << row.text;
    // A value holding a macro's name is printed as it is.
    EXPECT_EQ(ExpandTemplate("[title] on [page]", {"Read [page] and [file]", "f", "d", 7}),
              "Read [page] and [file] on 7");
}

TEST(PrintTemplates, DatesFollowTheFormatLetters) {
    const TDateTime date{2024, 3, 5, 14, 7, 9}; // a Tuesday
    const struct {
        const char* format;
        const char* expected;
    } rows[] = {
        {"dd-mmm-yyyy", "05-Mar-2024"},
        {"d/m/yy", "5/3/24"},
        {"dddd d mmmm yyyy", "Tuesday 5 March 2024"},
        {"ddd, DD MMM", "Tue, 05 Mar"},
        {"hh:nn:ss", "14:07:09"},
        {"yyyy-mm-dd", "2024-03-05"},
        {"\"day\" d 'of' mmmm", "day 5 of March"},
        {"dd.mm.yyyy!", "05.03.2024!"},
        {"ddddd", "Tuesday5"},
        {"'open quote", "open quote"},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FormatDate(row.format, date), row.expected) << row.format;
    EXPECT_EQ(FormatDate("dd mmm yyyy", {1999, 12, 31}), "31 Dec 1999");
}

TEST(PrintTemplates, BandsDrawTheirThreePartsAtTheirPlaces) {
    TPrintSettings settings;
    settings.HeaderCenter = "middle [page]";
    const TMacroValues values{"Title", "/tmp/a.htm", "today", 4};
    RecordingCanvas canvas;
    canvas.LogState = true;
    DrawPageBand(canvas, TPageBand::Header, settings, values, 700);
    EXPECT_EQ(canvas.Log, "FONT \"arial\" 8 00000000\n"
                          "BKMODE transparent\n"
                          "ALIGN left top\n"
                          "TEXT 50 40 \"Title\"\n"
                          "ALIGN center top\n"
                          "TEXT 350 40 \"middle 4\"\n"
                          "ALIGN right top\n"
                          "TEXT 650 40 \"/tmp/a.htm\"\n");
    // The footer keeps the canvas's background mode; empty parts draw nothing.
    settings.FooterLeft.clear();
    settings.FooterFont = {"courier new", 10};
    canvas.Log.clear();
    DrawPageBand(canvas, TPageBand::Footer, settings, values, 701);
    EXPECT_EQ(canvas.Log, "FONT \"courier new\" 10 00000000\n"
                          "ALIGN right top\n"
                          "TEXT 651 40 \"4\"\n");
}

TEST(PrintMargins, ShortestTextAndBackWhateverTheLocale) {
    for (const auto& [value, text] : {std::pair{2.0, "2"},
                                      {3.0, "3"},
                                      {2.5, "2.5"},
                                      {0.1, "0.1"},
                                      {0.0, "0"},
                                      {12.25, "12.25"}})
        EXPECT_EQ(FormatMargin(value), text);
    // A locale that writes decimal commas changes nothing.
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    QLocale::setDefault(QLocale(QLocale::German));
    const struct {
        const char* text;
        double value; // -1: refused
    } rows[] = {
        {"2.0", 2.0}, {" 2.5 ", 2.5}, {"0", 0.0},  {"+1.5", 1.5}, {"1e1", 10.0}, {"2,0", -1},
        {"abc", -1},  {"", -1},       {"inf", -1}, {"nan", -1},   {"2.0cm", -1}, {"+-2", -1},
    };
    for (const auto& row : rows) {
        if (row.value >= 0) {
            EXPECT_EQ(ParseMargin(row.text), row.value) << row.text;
            continue;
        }
        try {
            ParseMargin(row.text);
            ADD_FAILURE() << row.text << " was taken";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "'" + std::string(row.text) + "' is not a valid floating point value");
        }
    }
    QLocale::setDefault(QLocale::c());
    std::setlocale(LC_ALL, previous.c_str());
}

TEST(PrintSettingsDialog, ShowsTheSettingsAndCopiesThemBackInOrder) {
    TPrintSettingsDialog dialog;
    TPrintSettings settings;
    dialog.SetValues(settings);
    EXPECT_EQ(dialog.HeaderLeftEdit->text(), "[title]");
    EXPECT_EQ(dialog.FooterRightEdit->text(), "[page]");
    EXPECT_EQ(dialog.DateFormatEdit->text(), "dd-mmm-yyyy");
    EXPECT_EQ(dialog.MarginBottomEdit->text(), "3");
    EXPECT_EQ(dialog.HeaderFontButton->font().pointSize(), 8);

    dialog.ChooseFont = [](QWidget*, const TPrintFont& font) {
        EXPECT_EQ(font, (TPrintFont{"arial", 8}));
        return std::optional<TPrintFont>(TPrintFont{"courier new", 11});
    };
    dialog.FooterFontClick();
    EXPECT_EQ(dialog.FooterFontButton->font().pointSize(), 11);
    dialog.HeaderCenterEdit->setText("Centre [page]");
    dialog.MarginLeftEdit->setText("1.5");
    dialog.MarginRightEdit->setText(" 2.25 ");
    dialog.MarginTopEdit->setText("abc");
    dialog.MarginBottomEdit->setText("4");
    try {
        dialog.CopyTo(settings);
        ADD_FAILURE() << "abc was taken";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
    // What comes before the bad margin is kept, what comes after it is not.
    EXPECT_EQ(settings.HeaderCenter, "Centre [page]");
    EXPECT_EQ(settings.FooterFont, (TPrintFont{"courier new", 11}));
    EXPECT_EQ(settings.Margins.Left, 1.5);
    EXPECT_EQ(settings.Margins.Right, 2.25);
    EXPECT_EQ(settings.Margins.Top, 2.0);
    EXPECT_EQ(settings.Margins.Bottom, 3.0);
}

TEST(PrintSettingsDialog, HelpShowsTheBuiltInPage) {
    TPrintSettingsDialog dialog;
    std::string title;
    QTimer::singleShot(0, [&] {
        QWidget* help = QApplication::activeModalWidget();
        ASSERT_NE(help, nullptr);
        if (auto* viewer = help->findChild<THTMLViewer*>())
            title = viewer->PageTitle().toStdString();
        help->close();
    });
    dialog.HelpClick();
    EXPECT_EQ(title, "Print Settings");
}

} // namespace
} // namespace lumo

// The font and colour dialog with its sample, and the web-safe chooser.
#include "tests/support/temp_folder.h"
#include "tools/color_chooser_dialog.h"
#include "tools/font_color_dialog.h"
#include "tools/web_safe_colors.h"
#include "viewer/html_viewer.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace lumo {
namespace {

// Clicks the chooser's button once it shows.
void AnswerChooser(TFontColorDialog& form, QPushButton* TColorChooserDialog::*button) {
    QTimer::singleShot(0, &form, [&form, button] { (form.WebSafe1.Window()->*button)->click(); });
}

TEST(ColorChooser, ClicksOnTheGridFillTheCheckedSlot) {
    TColorChooserDialog chooser;
    EXPECT_EQ(chooser.SlotEdits[0]->text(), "#000000");
    chooser.GridRelease(3 * 16 + 4, 2 * 16 + 4); // cell 35
    EXPECT_EQ(chooser.SlotEdits[0]->text(), "#00ffff");
    EXPECT_EQ(chooser.ChosenColor(), TColor{0xFFFF00});
    chooser.SlotRadios[2]->setChecked(true);
    chooser.GridRelease(200, 220); // the empty part of the last row: cell 215
    EXPECT_EQ(chooser.SlotEdits[2]->text(), "#ffffff");
    chooser.GridRelease(-5, 10); // a release outside the grid picks nothing
    chooser.GridRelease(300, 10);
    EXPECT_EQ(chooser.SlotEdits[2]->text(), "#ffffff");
    EXPECT_EQ(chooser.SlotEdits[0]->text(), "#00ffff");

    chooser.GridHover(0, 0);
    EXPECT_EQ(chooser.HoverLabel->text(), "#000000");
    chooser.GridHover(1000, 1000);
    EXPECT_EQ(chooser.HoverLabel->text(), "#000000");
}

TEST(FontColorDialog, ShowsTheValuesAndAnUnknownFaceSelectsSystem) {
    TFontColorDialog form;
    TBrowserDefaults values;
    values.DefFontName = "No Such Face 1234";
    values.DefFontSize = 30; // beyond the spin edit
    values.DefBackground = 0x336699;
    form.SetValues(values);
    EXPECT_EQ(form.Values().DefFontName, "No Such Face 1234");
    EXPECT_EQ(form.Sample->DefFontName, "No Such Face 1234");
    EXPECT_EQ(form.Values().DefFontSize, 24);
    EXPECT_EQ(form.Sample->DefBackground(), TColor{0x336699});
    // "System" when installed, else nothing.
    const QListWidgetItem* selected = form.FontListBox->currentItem();
    EXPECT_TRUE(!selected || selected->text().toLower() == "system");
}

TEST(FontColorDialog, AColourFromTheChooserGoesIntoTheSampleAndCancelKeepsIt) {
    TFontColorDialog form;
    form.SetValues({});
    TColorChooserDialog& chooser = *form.WebSafe1.Window();
    chooser.GridRelease(5, 5 + 16); // cell 16: #0066cc

    AnswerChooser(form, &TColorChooserDialog::CancelBtn);
    form.HotSpotBtn->click();
    EXPECT_EQ(form.Values().DefHotSpotColor, TBrowserDefaults{}.DefHotSpotColor);

    AnswerChooser(form, &TColorChooserDialog::OKBtn);
    form.HotSpotBtn->click();
    EXPECT_EQ(form.Values().DefHotSpotColor, TColor{0xCC6600});
    EXPECT_EQ(form.Sample->DefHotSpotColor, TColor{0xCC6600});
    EXPECT_EQ(form.WebSafe1.ColorText, "#0066cc");
    // The chooser keeps its slots for the next colour.
    AnswerChooser(form, &TColorChooserDialog::OKBtn);
    form.BackgroundBtn->click();
    EXPECT_EQ(form.Values().DefBackground, TColor{0xCC6600});
}

} // namespace
} // namespace lumo

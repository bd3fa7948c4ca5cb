// The "Print Settings" dialog: the header and footer templates, their
// fonts, the date format and the four margins.
#pragma once

#include "print/print_settings.h"

#include <QDialog>

#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

namespace lumo {

class TPrintSettingsDialog : public QDialog {
public:
    explicit TPrintSettingsDialog(QWidget* parent = nullptr);

    // Fills the fields before the dialog is shown.
    void SetValues(const TPrintSettings& settings);
    // Copies the fields into settings in this order: the header templates
    // and font, the footer templates and font, the date format, then the
    // margins left, right, top and bottom. A margin that is not a number
    // raises EConvertError, and what comes after it is not copied.
    void CopyTo(TPrintSettings& settings) const;

    void HeaderFontClick();
    void FooterFontClick();
    // Shows the built-in page that describes the templates and the date
    // format (also F1).
    void HelpClick();

    // The font dialog, replaceable by tests: the font chosen, or nothing.
    std::function<std::optional<TPrintFont>(QWidget* parent, const TPrintFont& font)> ChooseFont;

    QLineEdit *HeaderLeftEdit, *HeaderCenterEdit, *HeaderRightEdit;
    QLineEdit *FooterLeftEdit, *FooterCenterEdit, *FooterRightEdit;
    QLineEdit* DateFormatEdit;
    QLineEdit *MarginLeftEdit, *MarginRightEdit, *MarginTopEdit, *MarginBottomEdit;
    QPushButton *HeaderFontButton, *FooterFontButton;
    QPushButton *OKButton, *CancelButton, *HelpButton;

private:
    void ShowFont(QPushButton* button, const TPrintFont& font);
    void PickFont(QPushButton* button, TPrintFont& font);

    TPrintFont headerFont_, footerFont_;
};

} // namespace lumo

// "Edit Default Font and Colors": the default font face and size and the
// five default colours of pages, with a small sample page that shows every
// change at once. Colours are picked in the web-safe chooser.
#pragma once

#include "tools/browser_defaults.h"
#include "tools/color_chooser.h"

#include <QDialog>

class QListWidget;
class QPushButton;
class QSpinBox;

namespace lumo {

class THTMLViewer;

class TFontColorDialog : public QDialog {
public:
    static constexpr const char* SampleText =
        "<center><h1>Heading</h1></center><ul>Some normal text.<li><a href=NoWhere>HotSpot "
        "Item</a><li><b>Bold Text</b><li><i>Italicized Text</i><li><code>Code "
        "Text</code></ul> <hr>";

    explicit TFontColorDialog(QWidget* parent = nullptr);

    const TBrowserDefaults& Values() const { return values_; }
    void SetValues(const TBrowserDefaults& values);

    // The face is selected in the list when it is there, else "System" (or
    // nothing); the sample takes the face given either way.
    void SetDefFontName(const std::string& name);
    void SetDefFontSize(int size); // through the spin edit: 6 to 24

    // A colour button: the chooser's colour, when one is chosen, becomes the value.
    void PickColor(TColor TBrowserDefaults::*value);

    // Controls, named as the language files name them.
    QListWidget* FontListBox = nullptr;
    QSpinBox* FontSizeEdit = nullptr;
    QPushButton* FontColorBtn = nullptr;
    QPushButton* HotSpotBtn = nullptr;
    QPushButton* BackgroundBtn = nullptr;
    QPushButton* OverLinkBtn = nullptr;
    QPushButton* VisitedBtn = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;
    THTMLViewer* Sample = nullptr;
    TColorChooser WebSafe1{this};

private:
    void CreateControls();
    void ShowSample();

    TBrowserDefaults values_;
};

} // namespace lumo

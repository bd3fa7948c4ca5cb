#include "print/print_settings_dialog.h"

#include "platform/qt_text.h"
#include "print/margin_text.h"
#include "print/print_help.h"

#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace lumo {

namespace {

QLineEdit* Edit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

std::string Text(const QLineEdit* edit) {
    return FromQString(edit->text());
}

// A group of three template fields with its font button and hints.
QGroupBox* TemplateGroup(QWidget* parent, const char* title, QLineEdit* (&edits)[3],
                         const char* const (&names)[3], QPushButton*& fontButton,
                         const char* fontName, const char* fontCaption) {
    auto* group = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(group);
    const char* const captions[] = {"Left", "Center", "Right"};
    for (int i = 0; i < 3; ++i) {
        grid->addWidget(new QLabel(captions[i], group), i, 0);
        edits[i] = Edit(group, names[i]);
        grid->addWidget(edits[i], i, 1);
    }
    grid->addWidget(new QLabel("[title] [file] [date] [page]", group), 0, 2);
    grid->addWidget(new QLabel("free text", group), 1, 2);
    fontButton = new QPushButton(fontCaption, group);
    fontButton->setObjectName(fontName);
    grid->addWidget(fontButton, 2, 2);
    return group;
}

} // namespace

TPrintSettingsDialog::TPrintSettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("PrintSettingsF");
    setWindowTitle("Print Settings");
    auto* column = new QVBoxLayout(this);

    QLineEdit* header[3];
    column->addWidget(TemplateGroup(this, "Header", header,
                                    {"HeaderLeftEdit", "HeaderCenterEdit", "HeaderRightEdit"},
                                    HeaderFontButton, "HeaderFontButton", "Header Font"));
    QLineEdit* footer[3];
    column->addWidget(TemplateGroup(this, "Footer", footer,
                                    {"FooterLeftEdit", "FooterCenterEdit", "FooterRightEdit"},
                                    FooterFontButton, "FooterFontButton", "Footer Font"));
    HeaderLeftEdit = header[0];
    HeaderCenterEdit = header[1];
    HeaderRightEdit = header[2];
    FooterLeftEdit = footer[0];
    FooterCenterEdit = footer[1];
    FooterRightEdit = footer[2];

    auto* dateRow = new QHBoxLayout;
    dateRow->addWidget(new QLabel("Date format", this));
    DateFormatEdit = Edit(this, "DateFormatEdit");
    dateRow->addWidget(DateFormatEdit, 1);
    dateRow->addWidget(new QLabel("Press F1 for syntax", this));
    column->addLayout(dateRow);

    auto* margins = new QGroupBox("Margins (cm)", this);
    auto* grid = new QGridLayout(margins);
    const std::pair<const char*, QLineEdit**> fields[] = {{"Left", &MarginLeftEdit},
                                                          {"Right", &MarginRightEdit},
                                                          {"Top", &MarginTopEdit},
                                                          {"Bottom", &MarginBottomEdit}};
    int i = 0;
    for (const auto& [caption, edit] : fields) {
        grid->addWidget(new QLabel(caption, margins), i / 2, (i % 2) * 2);
        *edit = Edit(margins, (std::string("Margin") + caption + "Edit").c_str());
        grid->addWidget(*edit, i / 2, (i % 2) * 2 + 1);
        ++i;
    }
    column->addWidget(margins);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    CancelButton = new QPushButton("Cancel", this);
    CancelButton->setObjectName("CancelButton");
    HelpButton = new QPushButton("Help", this);
    HelpButton->setObjectName("HelpButton");
    for (QPushButton* b : {OKButton, CancelButton, HelpButton})
        buttons->addWidget(b);
    column->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [this] { HelpClick(); });
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { HelpClick(); });
    connect(HeaderFontButton, &QPushButton::clicked, this, [this] { HeaderFontClick(); });
    connect(FooterFontButton, &QPushButton::clicked, this, [this] { FooterFontClick(); });
}

void TPrintSettingsDialog::SetValues(const TPrintSettings& s) {
    const std::pair<QLineEdit*, const std::string*> texts[] = {
        {HeaderLeftEdit, &s.HeaderLeft},     {HeaderCenterEdit, &s.HeaderCenter},
        {HeaderRightEdit, &s.HeaderRight},   {FooterLeftEdit, &s.FooterLeft},
        {FooterCenterEdit, &s.FooterCenter}, {FooterRightEdit, &s.FooterRight},
        {DateFormatEdit, &s.DateFormat}};
    for (const auto& [edit, text] : texts)
        edit->setText(ToQString(*text));
    const std::pair<QLineEdit*, double> margins[] = {{MarginLeftEdit, s.Margins.Left},
                                                     {MarginRightEdit, s.Margins.Right},
                                                     {MarginTopEdit, s.Margins.Top},
                                                     {MarginBottomEdit, s.Margins.Bottom}};
    for (const auto& [edit, value] : margins)
        edit->setText(ToQString(FormatMargin(value)));
    headerFont_ = s.HeaderFont;
    footerFont_ = s.FooterFont;
    ShowFont(HeaderFontButton, headerFont_);
    ShowFont(FooterFontButton, footerFont_);
}

void TPrintSettingsDialog::CopyTo(TPrintSettings& s) const {
    s.HeaderLeft = Text(HeaderLeftEdit);
    s.HeaderCenter = Text(HeaderCenterEdit);
    s.HeaderRight = Text(HeaderRightEdit);
    s.HeaderFont = headerFont_;
    s.FooterLeft = Text(FooterLeftEdit);
    s.FooterCenter = Text(FooterCenterEdit);
    s.FooterRight = Text(FooterRightEdit);
    s.FooterFont = footerFont_;
    s.DateFormat = Text(DateFormatEdit);
    s.Margins.Left = ParseMargin(Text(MarginLeftEdit));
    s.Margins.Right = ParseMargin(Text(MarginRightEdit));
    s.Margins.Top = ParseMargin(Text(MarginTopEdit));
    s.Margins.Bottom = ParseMargin(Text(MarginBottomEdit));
}

void TPrintSettingsDialog::ShowFont(QPushButton* button, const TPrintFont& font) {
    QFont shown(ToQString(font.Name));
    shown.setPointSize(std::max(1, font.Size));
    button->setFont(shown);
}

void TPrintSettingsDialog::PickFont(QPushButton* button, TPrintFont& font) {
    std::optional<TPrintFont> chosen;
    if (ChooseFont) {
        chosen = ChooseFont(this, font);
    } else {
        bool ok = false;
        QFont initial(ToQString(font.Name));
        initial.setPointSize(std::max(1, font.Size));
        const QFont picked = QFontDialog::getFont(&ok, initial, this);
        if (ok) chosen = TPrintFont{FromQString(picked.family()), std::max(1, picked.pointSize())};
    }
    if (!chosen) return;
    font = *chosen;
    ShowFont(button, font);
}

void TPrintSettingsDialog::HeaderFontClick() {
    PickFont(HeaderFontButton, headerFont_);
}

void TPrintSettingsDialog::FooterFontClick() {
    PickFont(FooterFontButton, footerFont_);
}

void TPrintSettingsDialog::HelpClick() {
    ShowPrintHelp(this);
}

} // namespace lumo

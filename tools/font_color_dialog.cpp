#include "tools/font_color_dialog.h"

#include "platform/qt_text.h"
#include "tools/named_controls.h"
#include "viewer/html_viewer.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace lumo {
TFontColorDialog::TFontColorDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("FontColorDialog");
    setWindowTitle("Edit Default Font and Colors");
    CreateControls();
    SetValues(values_);
}

void TFontColorDialog::CreateControls() {
    FontListBox = Named(new QListWidget(this), "FontListBox");
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    FontListBox->addItems(families);
    FontSizeEdit = Named(new QSpinBox(this), "FontSizeEdit");
    FontSizeEdit->setRange(6, 24);
    FontSizeEdit->setValue(12);
    FontColorBtn = NamedButton(this, "FontColorBtn", "Font color");
    HotSpotBtn = NamedButton(this, "HotSpotBtn", "Link");
    BackgroundBtn = NamedButton(this, "BackgroundBtn", "Background");
    OverLinkBtn = NamedButton(this, "OverLinkBtn", "Overlink");
    VisitedBtn = NamedButton(this, "VisitedBtn", "Visited link");
    OKBtn = NamedButton(this, "OKBtn", "OK");
    OKBtn->setDefault(true);
    CancelBtn = NamedButton(this, "CancelBtn", "Cancel");
    Sample = Named(new THTMLViewer(this), "Sample");
    Sample->SetViewImages(false);
    Sample->SetNoSelect(true);
    Sample->SetScrollBars(TScrollStyle::ssVertical);
    Sample->setMinimumSize(280, 180);

    auto* colors = new QVBoxLayout;
    colors->addWidget(Named(new QLabel("Size", this), "SizeLabel"));
    colors->addWidget(FontSizeEdit);
    for (QPushButton* b : {FontColorBtn, HotSpotBtn, BackgroundBtn, OverLinkBtn, VisitedBtn})
        colors->addWidget(b);
    colors->addStretch();
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    auto* grid = new QGridLayout(this);
    grid->addWidget(Named(new QLabel("Font", this), "FontLabel"), 0, 0);
    grid->addWidget(FontListBox, 1, 0);
    grid->addLayout(colors, 1, 1);
    grid->addWidget(Sample, 1, 2);
    grid->addLayout(buttons, 2, 0, 1, 3);
    grid->setColumnStretch(2, 1);

    connect(FontListBox, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        values_.DefFontName = FromQString(item->text());
        ShowSample();
    });
    connect(FontSizeEdit, &QSpinBox::valueChanged, this, [this](int size) {
        values_.DefFontSize = size;
        ShowSample();
    });
    const std::pair<QPushButton*, TColor TBrowserDefaults::*> colorButtons[] = {
        {FontColorBtn, &TBrowserDefaults::DefFontColor},
        {HotSpotBtn, &TBrowserDefaults::DefHotSpotColor},
        {BackgroundBtn, &TBrowserDefaults::DefBackground},
        {OverLinkBtn, &TBrowserDefaults::DefOverLinkColor},
        {VisitedBtn, &TBrowserDefaults::DefVisitedLinkColor}};
    for (const auto& [button, value] : colorButtons)
        connect(button, &QPushButton::clicked, this, [this, value = value] { PickColor(value); });
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TFontColorDialog::SetValues(const TBrowserDefaults& values) {
    values_ = values;
    SetDefFontName(values.DefFontName);
    SetDefFontSize(values.DefFontSize);
    ShowSample();
}

void TFontColorDialog::SetDefFontName(const std::string& name) {
    QList<QListWidgetItem*> found = FontListBox->findItems(ToQString(name), Qt::MatchFixedString);
    if (found.isEmpty()) found = FontListBox->findItems("System", Qt::MatchFixedString);
    FontListBox->setCurrentItem(found.isEmpty() ? nullptr : found.first());
    if (found.isEmpty()) FontListBox->clearSelection();
    values_.DefFontName = name;
    ShowSample();
}

void TFontColorDialog::SetDefFontSize(int size) {
    FontSizeEdit->setValue(size);
    values_.DefFontSize = FontSizeEdit->value();
    ShowSample();
}

void TFontColorDialog::PickColor(TColor TBrowserDefaults::*value) {
    if (!WebSafe1.Execute()) return;
    values_.*value = WebSafe1.Color;
    ShowSample();
}

void TFontColorDialog::ShowSample() {
    Sample->DefFontName = values_.DefFontName;
    Sample->SetDefFontSize(values_.DefFontSize);
    Sample->DefFontColor = values_.DefFontColor;
    Sample->SetDefBackground(values_.DefBackground);
    Sample->DefHotSpotColor = values_.DefHotSpotColor;
    Sample->DefOverLinkColor = values_.DefOverLinkColor;
    Sample->DefVisitedLinkColor = values_.DefVisitedLinkColor;
    // The defaults are read when a document is loaded.
    Sample->OpenText(SampleText);
}

} // namespace lumo

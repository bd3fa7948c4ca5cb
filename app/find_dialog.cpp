#include "app/find_dialog.h"

#include "platform/qt_text.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumo {

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("FindDialog");
    setWindowTitle("Find");
    auto* column = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel("Fi&nd what:", this);
    text_ = new QLineEdit(this);
    text_->setObjectName("FindText");
    label->setBuddy(text_);
    row->addWidget(label);
    row->addWidget(text_, 1);
    column->addLayout(row);
    matchCase_ = new QCheckBox("Match &case", this);
    matchCase_->setObjectName("MatchCase");
    column->addWidget(matchCase_);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* findNext = buttons->addButton("&Find Next", QDialogButtonBox::AcceptRole);
    findNext->setObjectName("FindNext");
    findNext->setDefault(true);
    buttons->addButton(QDialogButtonBox::Cancel);
    column->addWidget(buttons);
    connect(findNext, &QPushButton::clicked, this, [this] {
        if (OnFind && !text_->text().isEmpty()) OnFind();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
}

QString TFindDialog::FindText() const {
    return text_->text();
}

void TFindDialog::SetFindText(const std::string& text) {
    text_->setText(ToQString(text));
}

bool TFindDialog::MatchCase() const {
    return matchCase_->isChecked();
}

void TFindDialog::SetMatchCase(bool match) {
    matchCase_->setChecked(match);
}

} // namespace lumo

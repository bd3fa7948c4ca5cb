#include "tools/color_chooser_dialog.h"

#include "platform/qt_text.h"
#include "tools/named_controls.h"
#include "tools/web_safe_colors.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lumo {
namespace {

QColor ToQColor(TColor color) {
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>(color >> 8 & 0xFF),
                  static_cast<int>(color >> 16 & 0xFF));
}

// The grid is drawn once into a picture; the pointer's moves and releases
// go to the chooser in grid pixels.
class TWebSafeGrid : public QWidget {
public:
    explicit TWebSafeGrid(TColorChooserDialog* chooser)
        : QWidget(chooser), chooser_(chooser), picture_(WebSafeGridWidth, WebSafeGridHeight) {
        setFixedSize(WebSafeGridWidth, WebSafeGridHeight);
        setMouseTracking(true);
        picture_.fill(Qt::white);
        QPainter painter(&picture_);
        for (int cell = 0; cell < WebSafeCellCount; ++cell)
            painter.fillRect(cell % WebSafeColumns * WebSafeCellSize,
                             cell / WebSafeColumns * WebSafeCellSize, WebSafeCellSize,
                             WebSafeCellSize, ToQColor(WebSafeColor(cell)));
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawPixmap(0, 0, picture_); }
    void mouseMoveEvent(QMouseEvent* event) override {
        const QPoint p = event->position().toPoint();
        chooser_->GridHover(p.x(), p.y());
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        const QPoint p = event->position().toPoint();
        chooser_->GridRelease(p.x(), p.y());
    }

private:
    TColorChooserDialog* chooser_;
    QPixmap picture_;
};

} // namespace

void PaintSwatch(QLabel& swatch, TColor color) {
    swatch.setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;")
                             .arg(ToQColor(color).name()));
}

TColorChooserDialog::TColorChooserDialog(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName("websafeF");
    setWindowTitle("Websafe Colors");
    CreateControls();
    SlotRadios[0]->setChecked(true);
    for (int slot = 0; slot < SlotCount; ++slot)
        SetSlot(slot, 0);
}

void TColorChooserDialog::CreateControls() {
    Grid = Named(new TWebSafeGrid(this), "Grid");
    auto* slotGrid = new QGridLayout;
    for (int slot = 0; slot < SlotCount; ++slot) {
        const QString n = QString::number(slot + 1);
        auto* radio = Named(new QRadioButton(this), "SlotRadio" + n);
        auto* swatch = Named(new QLabel(this), "SlotSwatch" + n);
        swatch->setFixedSize(32, 20);
        auto* edit = Named(new QLineEdit(this), "SlotEdit" + n);
        edit->setMaxLength(7);
        edit->setFixedWidth(72);
        SlotRadios[static_cast<size_t>(slot)] = radio;
        SlotSwatches[static_cast<size_t>(slot)] = swatch;
        SlotEdits[static_cast<size_t>(slot)] = edit;
        slotGrid->addWidget(radio, slot, 0);
        slotGrid->addWidget(swatch, slot, 1);
        slotGrid->addWidget(edit, slot, 2);
        connect(edit, &QLineEdit::textEdited, this, [this, slot] { SlotEdited(slot); });
    }
    HoverLabel = Named(new QLabel(this), "HoverLabel");
    HoverSwatch = Named(new QLabel(this), "HoverSwatch");
    HoverSwatch->setFixedSize(72, 48);
    OKBtn = Named(new QPushButton("OK", this), "OKBtn");
    CancelBtn = Named(new QPushButton("Cancel", this), "CancelBtn");
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* side = new QVBoxLayout;
    side->addLayout(slotGrid);
    side->addWidget(HoverLabel);
    side->addWidget(HoverSwatch);
    side->addStretch();
    side->addWidget(OKBtn);
    side->addWidget(CancelBtn);
    auto* row = new QHBoxLayout(this);
    row->addWidget(Grid, 0, Qt::AlignTop);
    row->addLayout(side);
    setFixedSize(sizeHint());
}

int TColorChooserDialog::CheckedSlot() const {
    for (int slot = 0; slot < SlotCount; ++slot)
        if (SlotRadios[static_cast<size_t>(slot)]->isChecked()) return slot;
    return 0;
}

TColor TColorChooserDialog::ChosenColor() const {
    return SlotColor(CheckedSlot());
}

void TColorChooserDialog::GridHover(int x, int y) {
    const std::optional<int> cell = WebSafeCellAt(x, y);
    if (!cell) return;
    const TColor color = WebSafeColor(*cell);
    HoverLabel->setText(ToQString(WebColorText(color)));
    PaintSwatch(*HoverSwatch, color);
}

void TColorChooserDialog::GridRelease(int x, int y) {
    // A press that ends outside the grid picks nothing.
    if (const std::optional<int> cell = WebSafeCellAt(x, y))
        SetSlot(CheckedSlot(), WebSafeColor(*cell));
}

void TColorChooserDialog::SetSlot(int slot, TColor color) {
    const auto i = static_cast<size_t>(slot);
    slotColors_[i] = color;
    SlotEdits[i]->setText(ToQString(WebColorText(color)));
    PaintSwatch(*SlotSwatches[i], color);
}

void TColorChooserDialog::SlotEdited(int slot) {
    const auto i = static_cast<size_t>(slot);
    if (const std::optional<TColor> color = WebColorOfText(FromQString(SlotEdits[i]->text()))) {
        slotColors_[i] = *color;
        PaintSwatch(*SlotSwatches[i], *color);
    }
}

} // namespace lumo

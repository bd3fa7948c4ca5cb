// The web-safe colour chooser, "Websafe Colors": a grid of the 216 web-safe
// colours, three pick slots (a radio button, a swatch and the colour as
// "#rrggbb" each) and the colour under the pointer. A click on the grid puts
// the cell's colour into the checked slot; typing "#rrggbb" into a slot's
// field sets the slot too. The slots are kept from one use to the next.
#pragma once

#include "platform/types.h"

#include <QDialog>

#include <array>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lumo {

class TColorChooserDialog : public QDialog {
public:
    static constexpr int SlotCount = 3;

    explicit TColorChooserDialog(QWidget* parent = nullptr);

    // The checked slot's colour.
    TColor ChosenColor() const;
    int CheckedSlot() const;
    TColor SlotColor(int slot) const { return slotColors_[static_cast<size_t>(slot)]; }

    // What the pointer does on the grid at pixel (x, y).
    void GridHover(int x, int y);
    void GridRelease(int x, int y);

    // Controls, named as the language files name them.
    QWidget* Grid = nullptr;
    std::array<QRadioButton*, SlotCount> SlotRadios{};
    std::array<QLabel*, SlotCount> SlotSwatches{};
    std::array<QLineEdit*, SlotCount> SlotEdits{};
    QLabel* HoverLabel = nullptr;
    QLabel* HoverSwatch = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

private:
    void CreateControls();
    void SetSlot(int slot, TColor color);
    void SlotEdited(int slot);

    std::array<TColor, SlotCount> slotColors_{};
};

// Shows a colour as a swatch's background.
void PaintSwatch(QLabel& swatch, TColor color);

} // namespace lumo

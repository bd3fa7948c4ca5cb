#include "tools/color_chooser.h"

#include "tools/color_chooser_dialog.h"
#include "tools/web_safe_colors.h"

namespace lumo {

TColorChooser::TColorChooser(QWidget* parent) : window_(new TColorChooserDialog(parent)) {}

TColorChooser::~TColorChooser() {
    delete window_.data();
}

TColorChooserDialog* TColorChooser::Window() const {
    return window_.data();
}

bool TColorChooser::Execute() {
    if (!window_ || window_->exec() != QDialog::Accepted) return false;
    Color = window_->ChosenColor();
    ColorText = WebColorText(Color);
    return true;
}

} // namespace lumo

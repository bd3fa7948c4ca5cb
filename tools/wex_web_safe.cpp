#include "tools/wex_web_safe.h"

#include "tools/web_safe_colors.h"
#include "tools/websafe_form.h"

namespace lumo {

TwexWebSafe::TwexWebSafe(QWidget* parent) : window_(new TwebsafeF(parent)) {}

TwexWebSafe::~TwexWebSafe() {
    delete window_.data();
}

TwebsafeF* TwexWebSafe::Window() const {
    return window_.data();
}

bool TwexWebSafe::Execute() {
    if (!window_ || window_->exec() != QDialog::Accepted) return false;
    Color = window_->ChosenColor();
    ColorText = WebColorText(Color);
    return true;
}

} // namespace lumo

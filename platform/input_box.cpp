#include "platform/input_box.h"

#include "platform/qt_text.h"

#include <QApplication>
#include <QInputDialog>

namespace lumo {
namespace {

class QtInputBoxes : public InputBoxes {
public:
    std::optional<std::string> Ask(const std::string& caption, const std::string& prompt,
                                   const std::string& initial) override {
        bool ok = false;
        const QString text =
            QInputDialog::getText(QApplication::activeWindow(), ToQString(caption),
                                  ToQString(prompt), QLineEdit::Normal, ToQString(initial), &ok);
        if (!ok) return std::nullopt;
        return FromQString(text);
    }
};

QtInputBoxes qtBoxes;
InputBoxes* current = &qtBoxes;

} // namespace

InputBoxes& TheInputBoxes() {
    return *current;
}

InputBoxes* SetInputBoxes(InputBoxes* boxes) {
    InputBoxes* previous = current;
    current = boxes ? boxes : &qtBoxes;
    return previous;
}

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
    std::optional<std::string> answer = current->Ask(caption, prompt, value);
    if (!answer) return false;
    value = std::move(*answer);
    return true;
}

} // namespace lumo

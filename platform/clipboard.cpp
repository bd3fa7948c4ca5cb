#include "platform/clipboard.h"

#include "platform/qt_text.h"

#include <QClipboard>
#include <QGuiApplication>

namespace lumo {

void SetClipboardText(std::string_view ansi) {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(ToQString(ansi));
}

} // namespace lumo

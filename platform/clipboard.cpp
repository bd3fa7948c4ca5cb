#include "platform/clipboard.h"

#include "platform/qt_text.h"

#include <QClipboard>
#include <QGuiApplication>

namespace lumo {

void SetClipboardText(std::string_view text, TCodePage page) {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(DecodeText(text, page));
}

} // namespace lumo

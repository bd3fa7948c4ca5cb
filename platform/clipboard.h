// The desktop clipboard, for text copied out of documents.
#pragma once

#include <string_view>

namespace lumo {

// Puts ANSI text on the clipboard as text.
void SetClipboardText(std::string_view ansi);

} // namespace lumo

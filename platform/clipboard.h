// The desktop clipboard, for text copied out of documents.
#pragma once

#include "platform/code_page.h"

#include <string_view>

namespace lumo {

// Puts text, bytes in a code page, on the clipboard as text.
void SetClipboardText(std::string_view text, TCodePage page = TCodePage::Windows1252);

} // namespace lumo

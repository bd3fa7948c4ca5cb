// A font made from style properties: what the canvas is asked for, plus the
// background colour drawn behind the text.
#pragma once

#include "platform/canvas.h"

namespace lumo {

// How letters are drawn and measured (text-transform); the text itself,
// which find and copy read, keeps the case it was written in.
enum class TextCase : uint8_t { AsWritten, Upper, Lower, Capitalize };

struct TFont : FontSpec {
    TColor bgColor = clNone;
    TextCase Case = TextCase::AsWritten;
};

} // namespace lumo

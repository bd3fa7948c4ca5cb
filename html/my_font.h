// A font made from style properties: what the canvas is asked for, plus the
// background colour drawn behind the text.
#pragma once

#include "platform/canvas.h"

namespace lumo {

struct TMyFont : FontSpec {
    TColor bgColor = clNone;
};

} // namespace lumo

// Colours as documents write them: names, #RRGGBB, #RGB and rgb(r, g, b).
#pragma once

#include "platform/types.h"

#include <string_view>

namespace lumo {

// Whether a hexadecimal colour must start with "#".
enum class TPound { Optional, Required };

// Names give their plain colour ("transparent" gives clNone); hexadecimal and
// rgb() colours carry the palette-relative flag. False when the text is no
// colour.
bool ParseColor(std::string_view s, TPound pound, TColor& color);

// The colour of a name of the colour table, without the flag.
bool ColorFromName(std::string_view lowerName, TColor& color);

} // namespace lumo

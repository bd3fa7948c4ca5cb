// The page defaults the browser shows documents with, as the settings file
// keeps them and the font and colour dialog edits them.
#pragma once

#include "platform/color_names.h"

#include <string>

namespace lumo {

struct TBrowserDefaults {
    std::string DefFontName = "Times New Roman";
    int DefFontSize = 12;
    TColor DefFontColor = clBtnText;
    TColor DefBackground = clWhite;
    TColor DefHotSpotColor = clBlue;
    TColor DefOverLinkColor = clRed;
    TColor DefVisitedLinkColor = clPurple;

    bool operator==(const TBrowserDefaults&) const = default;
};

} // namespace lumo

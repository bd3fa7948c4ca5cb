#include "layout/inline_object.h"

#include "html/attributes.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdlib>

namespace lumo {

namespace {

struct TAlignName {
    const char* Name;
    TAlignCode Code;
};
constexpr TAlignName AlignNames[] = {
    {"TOP", TAlignCode::Top},          {"MIDDLE", TAlignCode::Middle},
    {"ABSMIDDLE", TAlignCode::Middle}, {"BOTTOM", TAlignCode::Bottom},
    {"LEFT", TAlignCode::FloatLeft},   {"RIGHT", TAlignCode::FloatRight},
};

TAlignCode AlignOf(std::string_view value, TAlignCode fallback) {
    const std::string upper = UpperCase(Trim(value));
    for (const TAlignName& a : AlignNames)
        if (upper == a.Name) return a.Code;
    return fallback;
}

int Spacing(int value) {
    return std::min(MaxObjectSpacing, std::abs(std::max(value, -MaxObjectSpacing)));
}

} // namespace

FontSpec AltTextFont() {
    FontSpec font;
    font.Name = "Arial";
    font.Size = 8;
    return font;
}

std::string TInlineObject::DumpPlace() const {
    static constexpr const char* AlignText[] = {"",         "top",  "middle", "bottom",
                                                "baseline", "left", "right"};
    return "at (" + std::to_string(LeftX) + "," + std::to_string(PaintTop) + ") size " +
           std::to_string(BoxWidth) + "x" + std::to_string(BoxHeight) + " " +
           AlignText[static_cast<int>(AlignCode)];
}

bool TInlineObject::TakePlacement(const TAttribute& a) {
    switch (a.Which) {
    case HSpaceTok: SpaceLeft = SpaceRight = Spacing(a.Value); return true;
    case VSpaceTok: SpaceTop = SpaceBottom = Spacing(a.Value); return true;
    case AlignTok: AlignCode = AlignOf(a.Name, AlignCode); return true;
    default: return false;
    }
}

} // namespace lumo

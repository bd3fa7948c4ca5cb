#include "layout/inline_object.h"

#include "html/attributes.h"
#include "html/properties.h"
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

// A style's side margin counts up to this many pixels; a negative one would
// pull the object over the text before it, so it counts 0.
constexpr int MaxStyleMargin = 1000;

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
                                                "baseline", "left", "right",  "line-bottom"};
    return "at (" + std::to_string(LeftX) + "," + std::to_string(PaintTop) + ") size " +
           std::to_string(BoxWidth) + "x" + std::to_string(BoxHeight) + " " +
           AlignText[static_cast<int>(AlignCode)];
}

std::optional<TStyleLength> StyleLength(const TProperties& props, int index) {
    if (const int* n = props.Int(index)) {
        if (*n == IntNull) return std::nullopt;
        return TStyleLength{*n, false};
    }
    const std::string* text = props.Text(index);
    if (!text || text->empty() || *text == "auto") return std::nullopt;
    const bool percent = text->back() == '%';
    // A percentage converts against a base of 100, which gives its number.
    return TStyleLength{
        ConvertLength(*text, TPlainNumber::Pixels, 100, props.EmSize, props.ExSize, 0), percent};
}

void TInlineObject::TakeStylePlacement(const TProperties& props) {
    if (auto left = StyleLength(props, Prop::MarginLeft); left && !left->Percent)
        SpaceLeft = std::clamp(left->Value, 0, MaxStyleMargin);
    if (auto right = StyleLength(props, Prop::MarginRight); right && !right->Percent)
        SpaceRight = std::clamp(right->Value, 0, MaxStyleMargin);
    AlignmentType align = ANone;
    if (!props.GetVertAlign(align)) return;
    switch (align) {
    case ATop: AlignCode = TAlignCode::Top; break;
    case AMiddle: AlignCode = TAlignCode::Middle; break;
    case ABottom: AlignCode = TAlignCode::LineBottom; break;
    case ABaseline: AlignCode = TAlignCode::Baseline; break;
    default: break;
    }
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

#include "platform/color_names.h"

#include "platform/text.h"

#include <charconv>
#include <cstdint>

namespace lumo {

namespace {

struct NamedColor {
    std::string_view name;
    TColor color;
};

constexpr NamedColor ColorNames[] = {
    {"clBlack", 0x000000},
    {"clMaroon", 0x000080},
    {"clGreen", 0x008000},
    {"clOlive", 0x008080},
    {"clNavy", 0x800000},
    {"clPurple", 0x800080},
    {"clTeal", 0x808000},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0x0000FF},
    {"clLime", 0x00FF00},
    {"clYellow", 0x00FFFF},
    {"clBlue", 0xFF0000},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0xFFFF00},
    {"clWhite", 0xFFFFFF},
    {"clMoneyGreen", 0xC0DCC0},
    {"clSkyBlue", 0xF0CAA6},
    {"clCream", 0xF0FBFF},
    {"clMedGray", 0xA4A0A0},
    {"clNone", clNone},
    {"clDefault", 0x20000000},
    {"clScrollBar", SystemColorFlag | 0},
    {"clBackground", SystemColorFlag | 1},
    {"clActiveCaption", SystemColorFlag | 2},
    {"clInactiveCaption", SystemColorFlag | 3},
    {"clMenu", SystemColorFlag | 4},
    {"clWindow", SystemColorFlag | 5},
    {"clWindowFrame", SystemColorFlag | 6},
    {"clMenuText", SystemColorFlag | 7},
    {"clWindowText", SystemColorFlag | 8},
    {"clCaptionText", SystemColorFlag | 9},
    {"clActiveBorder", SystemColorFlag | 10},
    {"clInactiveBorder", SystemColorFlag | 11},
    {"clAppWorkSpace", SystemColorFlag | 12},
    {"clHighlight", SystemColorFlag | 13},
    {"clHighlightText", SystemColorFlag | 14},
    {"clBtnFace", SystemColorFlag | 15},
    {"clBtnShadow", SystemColorFlag | 16},
    {"clGrayText", SystemColorFlag | 17},
    {"clBtnText", SystemColorFlag | 18},
    {"clInactiveCaptionText", SystemColorFlag | 19},
    {"clBtnHighlight", SystemColorFlag | 20},
    {"cl3DDkShadow", SystemColorFlag | 21},
    {"cl3DLight", SystemColorFlag | 22},
    {"clInfoText", SystemColorFlag | 23},
    {"clInfoBk", SystemColorFlag | 24},
};

// Decimal, hexadecimal after "0x", or hexadecimal after "$".
bool ParseNumber(std::string_view text, int64_t& value) {
    if (!text.starts_with('$')) return ParseInteger(text, value);
    text.remove_prefix(1);
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto [p, ec] = std::from_chars(text.data(), end, value, 16);
    return ec == std::errc() && p == end;
}

} // namespace

bool IdentToColor(std::string_view name, TColor& color) {
    for (const auto& c : ColorNames) {
        if (SameText(c.name, name)) {
            color = c.color;
            return true;
        }
    }
    return false;
}

TColor StringToColor(std::string_view text, TColor defaultColor) {
    text = Trim(text);
    TColor color;
    if (IdentToColor(text, color)) return color;
    int64_t value = 0;
    if (!ParseNumber(text, value) || value < INT32_MIN || value > UINT32_MAX) return defaultColor;
    return static_cast<TColor>(static_cast<uint32_t>(value));
}

std::string ColorToString(TColor color) {
    return std::to_string(static_cast<int32_t>(color));
}

} // namespace lumo

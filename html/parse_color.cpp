#include "html/parse_color.h"

#include "html/name_table.h"
#include "platform/text.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <string>

namespace lumo {

namespace {

struct ColorEntry {
    std::string_view Name;
    uint32_t RGB; // 0xRRGGBB as written in style sheets
};

constexpr uint32_t TransparentRGB = 0xFFFFFFFF;

constexpr ColorEntry ColorTable[] = {
    {"transparent", TransparentRGB},
    {"black", 0x000000},
    {"maroon", 0x800000},
    {"green", 0x008000},
    {"olive", 0x808000},
    {"navy", 0x000080},
    {"purple", 0x800080},
    {"teal", 0x008080},
    {"gray", 0x808080},
    {"silver", 0xC0C0C0},
    {"red", 0xFF0000},
    {"lime", 0x00FF00},
    {"yellow", 0xFFFF00},
    {"blue", 0x0000FF},
    {"fuchsia", 0xFF00FF},
    {"aqua", 0x00FFFF},
    {"white", 0xFFFFFF},
    {"aliceblue", 0xF0F8FF},
    {"antiquewhite", 0xFAEBD7},
    {"aquamarine", 0x7FFFD4},
    {"azure", 0xF0FFFF},
    {"beige", 0xF5F5DC},
    {"bisque", 0xFFE4C4},
    {"blanchedalmond", 0xFFEBCD},
    {"blueviolet", 0x8A2BE2},
    {"brown", 0xA52A2A},
    {"burlywood", 0xDEB887},
    {"cadetblue", 0x5F9EA0},
    {"chartreuse", 0x7FFF00},
    {"chocolate", 0xD2691E},
    {"coral", 0xFF7F50},
    {"cornflowerblue", 0x6495ED},
    {"cornsilk", 0xFFF8DC},
    {"crimson", 0xDC143C},
    {"cyan", 0x00FFFF},
    {"darkblue", 0x00008B},
    {"darkcyan", 0x008B8B},
    {"darkgoldenrod", 0xB8860B},
    {"darkgray", 0xA9A9A9},
    {"darkgreen", 0x006400},
    {"darkkhaki", 0xBDB76B},
    {"darkmagenta", 0x8B008B},
    {"darkolivegreen", 0x556B2F},
    {"darkorange", 0xFF8C00},
    {"darkorchid", 0x9932CC},
    {"darkred", 0x8B0000},
    {"darksalmon", 0xE9967A},
    {"darkseagreen", 0x8FBC8F},
    {"darkslateblue", 0x483D8B},
    {"darkslategray", 0x2F4F4F},
    {"darkturquoise", 0x00CED1},
    {"darkviolet", 0x9400D3},
    {"deeppink", 0xFF1493},
    {"deepskyblue", 0x00BFFF},
    {"dimgray", 0x696969},
    {"dodgerblue", 0x1E90FF},
    {"firebrick", 0xB22222},
    {"floralwhite", 0xFFFAF0},
    {"forestgreen", 0x228B22},
    {"gainsboro", 0xDCDCDC},
    {"ghostwhite", 0xF8F8FF},
    {"gold", 0xFFD700},
    {"goldenrod", 0xDAA520},
    {"greenyellow", 0xADFF2F},
    {"honeydew", 0xF0FFF0},
    {"hotpink", 0xFF69B4},
    {"indianred", 0xCD5C5C},
    {"indigo", 0x4B0082},
    {"ivory", 0xFFFFF0},
    {"khaki", 0xF0E68C},
    {"lavender", 0xE6E6FA},
    {"lavenderblush", 0xFFF0F5},
    {"lawngreen", 0x7CFC00},
    {"lemonchiffon", 0xFFFACD},
    {"lightblue", 0xADD8E6},
    {"lightcoral", 0xF08080},
    {"lightcyan", 0xE0FFFF},
    {"lightgoldenrodyellow", 0xFAFAD2},
    {"lightgreen", 0x90EE90},
    {"lightgrey", 0xD3D3D3},
    {"lightpink", 0xFFB6C1},
    {"lightsalmon", 0xFFA07A},
    {"lightseagreen", 0x20B2AA},
    {"lightskyblue", 0x87CEFA},
    {"lightslategray", 0x778899},
    {"lightsteelblue", 0xB0C4DE},
    {"lightyellow", 0xFFFFE0},
    {"limegreen", 0x32CD32},
    {"linen", 0xFAF0E6},
    {"magenta", 0xFF00FF},
    {"mediumaquamarine", 0x66CDAA},
    {"mediumblue", 0x0000CD},
    {"mediumorchid", 0xBA55D3},
    {"mediumpurple", 0x9370DB},
    {"mediumseagreen", 0x3CB371},
    {"mediumslateblue", 0x7B68EE},
    {"mediumspringgreen", 0x00FA9A},
    {"mediumturquoise", 0x48D1CC},
    {"mediumvioletred", 0xC71585},
    {"midnightblue", 0x191970},
    {"mintcream", 0xF5FFFA},
    {"mistyrose", 0xFFE4E1},
    {"moccasin", 0xFFE4B5},
    {"navajowhite", 0xFFDEAD},
    {"oldlace", 0xFDF5E6},
    {"olivedrab", 0x6B8E23},
    {"orange", 0xFFA500},
    {"orangered", 0xFF4500},
    {"orchid", 0xDA70D6},
    {"palegoldenrod", 0xEEE8AA},
    {"palegreen", 0x98FB98},
    {"paleturquoise", 0xAFEEEE},
    {"palevioletred", 0xDB7093},
    {"papayawhip", 0xFFEFD5},
    {"peachpuff", 0xFFDAB9},
    {"peru", 0xCD853F},
    {"pink", 0xFFC0CB},
    {"plum", 0xDDA0DD},
    {"powderblue", 0xB0E0E6},
    {"rosybrown", 0xBC8F8F},
    {"royalblue", 0x4169E1},
    {"saddlebrown", 0x8B4513},
    {"salmon", 0xFA8072},
    {"sandybrown", 0xF4A460},
    {"seagreen", 0x2E8B57},
    {"seashell", 0xFFF5EE},
    {"sienna", 0xA0522D},
    {"skyblue", 0x87CEEB},
    {"slateblue", 0x6A5ACD},
    {"slategray", 0x708090},
    {"snow", 0xFFFAFA},
    {"springgreen", 0x00FF7F},
    {"steelblue", 0x4682B4},
    {"tan", 0xD2B48C},
    {"thistle", 0xD8BFD8},
    {"tomato", 0xFF6347},
    {"turquoise", 0x40E0D0},
    {"violet", 0xEE82EE},
    {"wheat", 0xF5DEB3},
    {"whitesmoke", 0xF5F5F5},
    {"yellowgreen", 0x9ACD32},
};
static_assert(std::size(ColorTable) == 141);

TColor Swap(uint32_t rgb) {
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

// One component of rgb(): a number or a percentage of 255, clamped.
bool ReadComponent(std::string_view text, int& value) {
    text = Trim(text);
    bool percent = !text.empty() && text.back() == '%';
    if (percent) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    double n = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ptr != text.data() + text.size()) return false;
    if (ec == std::errc::result_out_of_range) n = text.front() == '-' ? -1 : 1e9;
    if (percent) n = std::round(n * 255 / 100);
    value = n < 0 ? 0 : n > 255 ? 255 : static_cast<int>(n);
    return true;
}

bool ParseRgb(std::string_view s, TColor& color) {
    size_t open = s.find('('), close = s.find(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open)
        return false;
    std::string_view inner = s.substr(open + 1, close - open - 1);
    int rgb[3];
    for (int i = 0; i < 3; ++i) {
        size_t comma = inner.find(',');
        if ((i < 2) != (comma != std::string_view::npos)) return false; // exactly three
        if (!ReadComponent(inner.substr(0, comma), rgb[i])) return false;
        inner = comma == std::string_view::npos ? std::string_view() : inner.substr(comma + 1);
    }
    color = (rgb[2] << 16 | rgb[1] << 8 | rgb[0]) + PaletteRelative;
    return true;
}

bool ParseHex(std::string_view s, bool needPound, TColor& color) {
    size_t pound = s.find('#');
    if (pound == std::string_view::npos) {
        if (needPound) return false;
    } else {
        s.remove_prefix(pound + 1);
    }
    s = Trim(s);
    std::string digits;
    if (s.size() < 4)
        for (char c : s)
            digits.append(2, c); // f80 is ff8800
    else
        digits = s;
    if (digits.empty() || digits.size() > 6) return false;
    uint32_t rgb = 0;
    auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), rgb, 16);
    if (ec != std::errc() || ptr != digits.data() + digits.size()) return false;
    color = Swap(rgb) + PaletteRelative;
    return true;
}

// The last colour converted; keyed on the text and whether "#" was required.
struct ColorCache {
    bool Valid = false;
    std::string Text;
    bool NeedPound = false;
    TColor Color = 0;
};
ColorCache gCache;

} // namespace

bool ColorFromName(std::string_view lowerName, TColor& color) {
    const ColorEntry* entry = FindByName(ColorTable, lowerName);
    if (!entry) return false;
    color = entry->RGB == TransparentRGB ? clNone : Swap(entry->RGB);
    return true;
}

bool ParseColor(std::string_view text, TPound pound, TColor& color) {
    const bool needPound = pound == TPound::Required;
    std::string s = LowerCase(Trim(text));
    if (gCache.Valid && gCache.NeedPound == needPound && gCache.Text == s) {
        color = gCache.Color;
        return true;
    }
    bool ok;
    if (!s.empty() && s[0] != '#' && s.find("rgb(") == std::string::npos && ColorFromName(s, color))
        ok = true;
    else if (s.find("rgb") != std::string::npos)
        ok = ParseRgb(s.substr(s.find("rgb") + 3), color);
    else
        ok = ParseHex(s, needPound, color);
    if (ok) gCache = {true, s, needPound, color};
    return ok;
}

} // namespace lumo

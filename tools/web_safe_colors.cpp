#include "tools/web_safe_colors.h"

#include <algorithm>
#include <charconv>

namespace lumo {

TColor WebSafeColor(int cell) {
    const auto red = static_cast<TColor>(cell / 36 * 51);
    const auto green = static_cast<TColor>(cell % 36 / 6 * 51);
    const auto blue = static_cast<TColor>(cell % 6 * 51);
    return red | green << 8 | blue << 16;
}

std::optional<int> WebSafeCellAt(int x, int y) {
    if (x < 0 || y < 0 || x >= WebSafeGridWidth || y >= WebSafeGridHeight) return std::nullopt;
    const int cell = y / WebSafeCellSize * WebSafeColumns + x / WebSafeCellSize;
    return std::min(cell, WebSafeCellCount - 1);
}

std::string WebColorText(TColor color) {
    static constexpr char Digits[] = "0123456789abcdef";
    std::string text = "#";
    for (int shift : {0, 8, 16}) {
        const unsigned byte = color >> shift & 0xFF;
        text += Digits[byte >> 4];
        text += Digits[byte & 0xF];
    }
    return text;
}

std::optional<TColor> WebColorOfText(std::string_view text) {
    if (text.size() != 7 || text[0] != '#') return std::nullopt;
    TColor color = 0;
    for (int i = 0; i < 3; ++i) {
        const char* first = text.data() + 1 + 2 * i;
        unsigned byte = 0;
        const auto [end, ec] = std::from_chars(first, first + 2, byte, 16);
        if (ec != std::errc() || end != first + 2) return std::nullopt;
        color |= static_cast<TColor>(byte) << (8 * i);
    }
    return color;
}

} // namespace lumo

#include "platform/canvas.h"

#include "platform/color_names.h"
#include "platform/utf8.h"

#include <array>
#include <cmath>

namespace lumo {

int PointsToPixels(double points) {
    return static_cast<int>(std::lround(points * ScreenPixelsPerInch / 72));
}

Bitmap::Bitmap(int width, int height, uint32_t fill)
    : Width(width > 0 ? width : 0), Height(height > 0 ? height : 0),
      Pixels(static_cast<size_t>(Width) * Height, fill) {}

int Canvas::FitCount(std::string_view text, int maxWidth) {
    // Counts inside a character stand for the boundary before it, so the
    // search stays monotonic and never measures half a character.
    const auto boundary = [&](int n) {
        return CharBoundaryAtOrBefore(text, static_cast<size_t>(n), font_.CodePage);
    };
    auto fits = [&](int n) { return TextWidth(text.substr(0, boundary(n))) <= maxWidth; };
    const int len = static_cast<int>(text.size());
    if (len == 0 || maxWidth < 0) return 0;
    // Grow the probe geometrically first, so the cost follows what fits and
    // never the length of the whole text.
    int lo = 0, hi = 1;
    while (hi < len && fits(hi)) {
        lo = hi;
        hi = hi > len / 2 ? len : hi * 2;
    }
    if (hi == len && fits(len)) return len;
    // fits(lo) holds and fits(hi) does not.
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        if (fits(mid))
            lo = mid;
        else
            hi = mid;
    }
    return static_cast<int>(boundary(lo));
}

TColor ColorToRGB(TColor color) {
    // The classic desktop scheme, as 0x00BBGGRR, by system colour index.
    static constexpr std::array<TColor, 25> system = {
        0xC0C0C0, 0x808000, 0x800000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x000000, 0x000000, 0x000000,
        0xFFFFFF, 0xC0C0C0, 0xC0C0C0, 0x808080, 0x800000, 0xFFFFFF, 0xC0C0C0, 0x808080, 0x808080,
        0x000000, 0xC0C0C0, 0xFFFFFF, 0x000000, 0xDFDFDF, 0x000000, 0xE1FFFF};
    if (color & SystemColorFlag) {
        unsigned index = color & 0xFF;
        return index < system.size() ? system[index] : 0;
    }
    return color & 0x00FFFFFF;
}

} // namespace lumo

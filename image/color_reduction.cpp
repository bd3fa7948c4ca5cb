#include "image/color_reduction.h"

#include "image/display_palette.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace lumo {

namespace {
int Red(uint32_t c) {
    return c >> 16 & 0xFF;
}
int Green(uint32_t c) {
    return c >> 8 & 0xFF;
}
int Blue(uint32_t c) {
    return c & 0xFF;
}
} // namespace

TFastColorLookup::TFastColorLookup(std::vector<uint32_t> palette)
    : palette_(std::move(palette)), cache_(32768, Unknown) {
    for (size_t i = palette_.size(); i-- > 0;) // so the first entry of a key wins
        cache_[Key(Red(palette_[i]), Green(palette_[i]), Blue(palette_[i]))] =
            static_cast<uint16_t>(i);
}

int TFastColorLookup::Nearest(int r, int g, int b) const {
    int best = 0, bestDistance = std::numeric_limits<int>::max();
    for (size_t i = 0; i < palette_.size(); ++i) {
        const uint32_t c = palette_[i];
        const int distance = std::abs(r - Red(c)) + std::abs(g - Green(c)) + std::abs(b - Blue(c));
        if (distance < bestDistance) {
            best = static_cast<int>(i);
            bestDistance = distance;
        }
    }
    return best;
}

int TFastColorLookup::Lookup(int r, int g, int b) {
    uint16_t& cached = cache_[Key(r, g, b)];
    if (cached == Unknown) cached = static_cast<uint16_t>(Nearest(r, g, b));
    return cached;
}

TFloydSteinbergEngine::TFloydSteinbergEngine(TFastColorLookup& lookup, int width)
    : lookup_(lookup), width_(width) {
    for (Channel& c : channels_)
        c.Errors.assign(static_cast<size_t>(width) + 2, 0);
}

// Errors[i] belongs to column i - 1. The pixel takes the error stored for its
// own column (one step ahead of position_) and the one carried along the row;
// its own error goes 7/16 ahead, and 3/16, 5/16 and 1/16 to the row below,
// behind, under and ahead of it.
void TFloydSteinbergEngine::Spread(Channel& c, int value, int paletteValue) {
    const int e = value - paletteValue;
    c.Errors[size_t(position_)] = c.BelowBehind + 3 * e;
    c.BelowBehind = c.Below + 5 * e;
    c.Below = e;
    c.Carried = 7 * e;
}

int TFloydSteinbergEngine::Dither(int r, int g, int b) {
    const int own = position_ + direction_;
    int value[3] = {r, g, b};
    for (int i = 0; i < 3; ++i) {
        Channel& c = channels_[i];
        value[i] = std::clamp(value[i] + (c.Errors[size_t(own)] + c.Carried + 8) / 16, 0, 255);
    }
    const int index = lookup_.Lookup(value[0], value[1], value[2]);
    const uint32_t chosen = lookup_.Color(index);
    Spread(channels_[0], value[0], Red(chosen));
    Spread(channels_[1], value[1], Green(chosen));
    Spread(channels_[2], value[2], Blue(chosen));
    position_ = own;
    return index;
}

void TFloydSteinbergEngine::NextLine() {
    for (Channel& c : channels_) {
        c.Errors[size_t(position_)] = c.BelowBehind;
        c.Carried = c.Below = c.BelowBehind = 0;
    }
    direction_ = -direction_;
    position_ = direction_ > 0 ? 0 : width_ + 1;
}

QImage ReduceColors(const QImage& source, const std::vector<uint32_t>& palette) {
    if (source.isNull() || palette.empty() || palette.size() > 256) return {};
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    QImage reduced(source.size(), QImage::Format_Indexed8);
    if (rgb.isNull() || reduced.isNull()) return {};
    reduced.setColorTable(QList<QRgb>(palette.begin(), palette.end()));
    TFastColorLookup lookup(palette);
    const int width = source.width();
    TFloydSteinbergEngine engine(lookup, width);
    for (int y = 0; y < source.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        uchar* to = reduced.scanLine(y);
        const int step = engine.Direction();
        for (int x = step > 0 ? 0 : width - 1; x >= 0 && x < width; x += step)
            to[x] =
                static_cast<uchar>(engine.Dither(qRed(from[x]), qGreen(from[x]), qBlue(from[x])));
        engine.NextLine();
    }
    return reduced;
}

QImage ReduceToDisplay(const QImage& source) {
    if (source.isNull()) return {};
    if (DisplayBitsPerPixel() > 8 || source.format() == QImage::Format_Indexed8)
        return source.copy();
    return ReduceColors(source, DisplayPalette());
}

} // namespace lumo

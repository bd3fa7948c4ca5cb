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
    : palette_(std::move(palette)), cache_(32768, 0), known_(32768 / 64, 0) {
    for (size_t i = palette_.size(); i-- > 0;) { // so the first entry of a key wins
        const size_t key = Key(Red(palette_[i]), Green(palette_[i]), Blue(palette_[i]));
        cache_[key] = static_cast<uint8_t>(i);
        known_[key >> 6] |= uint64_t{1} << (key & 63);
    }
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

TFloydSteinbergEngine::TFloydSteinbergEngine(TFastColorLookup& lookup, int width)
    : lookup_(lookup), width_(width), errors_((static_cast<size_t>(width) + 2) * 3, 0) {}

// Column x keeps its errors at 3 * (x + 1). A pixel takes the error stored
// for its own column and the one carried along the row; its own error goes
// 7/16 ahead, and 3/16, 5/16 and 1/16 to the row below, behind, under and
// ahead of it. The store behind the pixel is the column the previous pixel
// read, so one row of errors serves both rows.
void TFloydSteinbergEngine::DitherRow(const uint32_t* pixels, uint8_t* indices) {
    const int step = direction_;
    int carried[3] = {}, below[3] = {}, behind[3] = {};
    int x = step > 0 ? 0 : width_ - 1;
    int* back = &errors_[size_t(x + 1 - step) * 3];
    for (int i = 0; i < width_; ++i, x += step) {
        int* own = back + step * 3;
        const uint32_t c = pixels[x];
        int value[3] = {Red(c), Green(c), Blue(c)};
        for (int k = 0; k < 3; ++k)
            value[k] = std::clamp(value[k] + (own[k] + carried[k] + 8) / 16, 0, 255);
        const int index = lookup_.Lookup(value[0], value[1], value[2]);
        const uint32_t chosen = lookup_.Color(index);
        const int palette[3] = {Red(chosen), Green(chosen), Blue(chosen)};
        for (int k = 0; k < 3; ++k) {
            const int e = value[k] - palette[k];
            back[k] = behind[k] + 3 * e;
            behind[k] = below[k] + 5 * e;
            below[k] = e;
            carried[k] = 7 * e;
        }
        indices[x] = static_cast<uint8_t>(index);
        back = own;
    }
    for (int k = 0; k < 3; ++k)
        back[k] = behind[k];
    direction_ = -direction_;
}

QImage ReduceColors(const QImage& source, const std::vector<uint32_t>& palette) {
    if (source.isNull() || palette.empty() || palette.size() > 256) return {};
    const QImage rgb = source.convertToFormat(QImage::Format_RGB32);
    QImage reduced(source.size(), QImage::Format_Indexed8);
    if (rgb.isNull() || reduced.isNull()) return {};
    reduced.setColorTable(QList<QRgb>(palette.begin(), palette.end()));
    TFastColorLookup lookup(palette);
    TFloydSteinbergEngine engine(lookup, source.width());
    for (int y = 0; y < source.height(); ++y)
        engine.DitherRow(reinterpret_cast<const uint32_t*>(rgb.constScanLine(y)),
                         reduced.scanLine(y));
    return reduced;
}

QImage ReduceToDisplay(const QImage& source) {
    if (source.isNull()) return {};
    if (DisplayBitsPerPixel() > 8 || source.format() == QImage::Format_Indexed8)
        return source.copy();
    return ReduceColors(source, DisplayPalette());
}

} // namespace lumo

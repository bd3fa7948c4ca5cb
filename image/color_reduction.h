// Reducing a full-colour picture to a palette with Floyd-Steinberg error
// diffusion, for palette displays. Colours are 0xAARRGGBB (QRgb); channel
// values 0..255.
//
// The one image/ header with Qt in it: include it only from code that links
// Qt Gui.
#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace lumo {

// Nearest palette entries (of at most 256), cached per colour reduced to 5
// bits a channel.
class TFastColorLookup {
public:
    explicit TFastColorLookup(std::vector<uint32_t> palette);

    // The index of the entry with the smallest sum of channel differences
    // (the first on a tie). Colours that agree in the top 5 bits of every
    // channel share the answer found for the first of them.
    int Lookup(int r, int g, int b) {
        const size_t key = Key(r, g, b);
        uint64_t& known = known_[key >> 6];
        const uint64_t bit = uint64_t{1} << (key & 63);
        if (!(known & bit)) {
            cache_[key] = static_cast<uint8_t>(Nearest(r, g, b));
            known |= bit;
        }
        return cache_[key];
    }
    uint32_t Color(int index) const { return palette_[index]; }

private:
    static size_t Key(int r, int g, int b) { return r >> 3 | (g & 248) << 2 | (b & 248) << 7; }
    int Nearest(int r, int g, int b) const;

    // One byte a key and a bit saying it is known: small enough to stay in
    // the processor's nearest cache, which the dithering loop waits on.
    std::vector<uint32_t> palette_;
    std::vector<uint8_t> cache_;
    std::vector<uint64_t> known_;
};

// Serpentine Floyd-Steinberg over rows of a given width: the first row runs
// left to right, the next right to left, and so on. Errors are kept in
// sixteenths and divided (toward zero) only when used.
class TFloydSteinbergEngine {
public:
    TFloydSteinbergEngine(TFastColorLookup& lookup, int width);

    // Gives each pixel of a row (0xAARRGGBB, alpha ignored) its palette
    // index, visiting them in the row's direction, then reverses the
    // direction for the next row.
    void DitherRow(const uint32_t* pixels, uint8_t* indices);
    int Direction() const { return direction_; }

private:
    TFastColorLookup& lookup_;
    int width_;
    int direction_ = 1;
    // Three per column, red, green and blue, with a spare column at each end:
    // the errors (x 16) waiting for the next row.
    std::vector<int> errors_;
};

// An Indexed8 copy of a 24- or 32-bit picture in the palette's colours
// (alpha is ignored); null when the source is null or the palette empty or
// larger than 256 colours.
QImage ReduceColors(const QImage& source, const std::vector<uint32_t>& palette);

// For the display: a plain copy at 24 bits per pixel or for an Indexed8
// picture, else the picture reduced to DisplayPalette(). Null for null.
QImage ReduceToDisplay(const QImage& source);

} // namespace lumo

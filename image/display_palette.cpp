#include "image/display_palette.h"

namespace lumo {

namespace {

int displayBits = 24;

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
    return 0xFF000000u | r << 16 | g << 8 | b;
}

// The first ten and the last ten stand at both ends of the shared palette.
constexpr uint32_t SystemColors[20] = {
    Rgb(0, 0, 0),       Rgb(128, 0, 0),     Rgb(0, 128, 0),     Rgb(128, 128, 0),
    Rgb(0, 0, 128),     Rgb(128, 0, 128),   Rgb(0, 128, 128),   Rgb(192, 192, 192),
    Rgb(192, 220, 192), Rgb(166, 202, 240), Rgb(255, 251, 240), Rgb(160, 160, 164),
    Rgb(128, 128, 128), Rgb(255, 0, 0),     Rgb(0, 255, 0),     Rgb(255, 255, 0),
    Rgb(0, 0, 255),     Rgb(255, 0, 255),   Rgb(0, 255, 255),   Rgb(255, 255, 255),
};

std::vector<uint32_t> MakeSharedPalette() {
    std::vector<uint32_t> palette(SystemColors, SystemColors + 10);
    for (uint32_t r = 0; r < 6; ++r)
        for (uint32_t g = 0; g < 6; ++g)
            for (uint32_t b = 0; b < 6; ++b)
                palette.push_back(Rgb(r * 51, g * 51, b * 51));
    for (uint32_t i = 0; i < 20; ++i) { // the cube's greys are 51 apart: four between each
        const uint32_t level = (i / 4) * 51 + (i % 4 + 1) * 51 / 5;
        palette.push_back(Rgb(level, level, level));
    }
    palette.insert(palette.end(), SystemColors + 10, SystemColors + 20);
    return palette;
}

} // namespace

int DisplayBitsPerPixel() {
    return displayBits;
}

void SetDisplayBitsPerPixel(int bits) {
    displayBits = bits < 5 ? 4 : bits <= 8 ? 8 : 24;
}

const std::vector<uint32_t>& DefaultPalette() {
    static const std::vector<uint32_t> palette(SystemColors, SystemColors + 20);
    return palette;
}

const std::vector<uint32_t>& SharedPalette() {
    static const std::vector<uint32_t> palette = MakeSharedPalette();
    return palette;
}

const std::vector<uint32_t>& DisplayPalette() {
    static const std::vector<uint32_t> none;
    return displayBits == 4 ? DefaultPalette() : displayBits == 8 ? SharedPalette() : none;
}

} // namespace lumo

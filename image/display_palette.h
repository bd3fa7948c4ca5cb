// The colours of the display. Qt always offers full colour, so the palette
// displays of the past (4 and 8 bits per pixel) exist only when a test or a
// setting forces one; pictures are then reduced to the display's palette.
#pragma once

#include <cstdint>
#include <vector>

namespace lumo {

// 24 unless forced; always 4, 8 or 24.
int DisplayBitsPerPixel();
// Forces a depth: below 5 bits gives 4, 5 to 8 gives 8, above 8 gives 24.
void SetDisplayBitsPerPixel(int bits);

// The 20 colours every palette display has (used below 8 bits per pixel).
const std::vector<uint32_t>& DefaultPalette();
// The shared 256 colours of 8-bit displays: the 20 above, a 6 x 6 x 6 colour
// cube and 20 greys between the cube's.
const std::vector<uint32_t>& SharedPalette();
// The palette pictures are reduced to; empty at 24 bits.
const std::vector<uint32_t>& DisplayPalette();

} // namespace lumo

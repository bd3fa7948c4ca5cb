// The LZW data of one GIF frame turned into palette indices.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace lumo {

inline constexpr const char* CorruptGifText = "Corrupt GIF Image";

// Decodes a frame's LZW data into width x height
// palette indices, row by row from the top; interlaced rows are put back in
// order. Data that ends early leaves the rest of the pixels 0, and pixels
// beyond width x height are dropped. Throws Exception(CorruptGifText) for a
// minimum code size outside 1..11 or a code that names no entry yet.
// Literal codes above 255 (code sizes 9 to 11) keep their low 8 bits.
// subBlocks are the frame's data sub-blocks as they stand in the file, each
// with its length byte, without the terminator (they may be cut short).
std::vector<uint8_t> DecodeGifPixels(std::string_view subBlocks, int minCodeSize, int width,
                                     int height, bool interlaced);

} // namespace lumo

// The block structure of GIF87a and GIF89a data read into frames.
#pragma once

#include "image/gif_frame.h"
#include "image/image_limits.h"

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace lumo {

struct TGifContents {
    int Width = 0, Height = 0; // the logical screen, enlarged to hold every frame
    int LoopCount = 1;         // the NETSCAPE 2.0 loop count; 1 without one; 0 without end
    int BitsPerPixel = 0;      // the largest colour table's bits
    bool HasTransparency = false;
    std::vector<std::shared_ptr<TGifFrame>> Frames; // at most 256; none of zero size
};

inline constexpr int MaxGifFrames = 256;
inline constexpr const char* NotGifText = "Not a GIF image";

// Reads the data. Missing bytes end it, keeping the frames read so far; an
// unknown block or extension ends it the same way. Throws Exception with the
// reason when the data does not begin with "GIF" and a whole screen
// descriptor, is corrupt (CorruptGifText) or does not fit the image budget
// or limit bytes (the frames, a work picture and a restore area).
TGifContents ReadGifContents(std::string_view data, TGifRead mode, int64_t limit = MaxImageBytes);

} // namespace lumo

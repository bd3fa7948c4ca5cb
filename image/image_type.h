// Recognising image files by their first bytes.
#pragma once

#include "platform/types.h"

#include <string_view>

namespace lumo {

enum class TImageType { Unknown, Gif89, Gif87, Bmp, Png, Jpeg };

TImageType DetectImageType(std::string_view header);
// Reads at most the first 11 bytes of the file; Unknown when it cannot be read.
TImageType FileImageType(std::string_view fileName);

// Whether GIF 89 data has a graphic control extension with the transparency
// flag set before its first image; color is the colour of the palette entry
// it names (clNone when the file has no global palette holding it).
bool IsTransparentGifData(std::string_view data, TColor& color);
bool IsTransparentGif(std::string_view fileName, TColor& color);

} // namespace lumo

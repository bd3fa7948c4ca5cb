// Pictures Qt's own image reader decodes for us: Windows bitmaps and PNG.
#pragma once

#include "image/image_limits.h"
#include "platform/canvas.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lumo {

// Decodes data of the given Qt format name ("bmp", "png"). False, with Qt's
// message in error, when Qt cannot read it; a picture whose header asks for
// more than the image budget or limit bytes is refused before it is decoded.
bool ReadWithQt(std::string_view data, const char* format, Bitmap& picture, std::string& error,
                int64_t limit = MaxImageBytes);

} // namespace lumo

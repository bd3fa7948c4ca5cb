// JPEG pictures through the IJG library interface (libjpeg-turbo).
#pragma once

#include "image/image_limits.h"
#include "platform/canvas.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lumo {

// Decodes baseline and progressive JPEG data (greyscale, YCbCr, RGB, CMYK and
// YCCK) into an opaque picture. False, with the library's message in error,
// when the data is not a JPEG or breaks before its first rows; a picture
// whose header asks for more than the image budget or limit bytes is
// refused before any pixel is decoded. Data cut inside the pixels gives the rows that arrived
// (the library fills the rest grey). The library's errors unwind back here;
// nothing is printed and the process never exits.
bool ReadJpeg(std::string_view data, Bitmap& picture, std::string& error,
              int64_t limit = MaxImageBytes);

} // namespace lumo

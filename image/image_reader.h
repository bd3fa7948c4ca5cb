// Reading image data of every kind the browser shows. DecodeImage tells what
// the data is and whether it is accepted (what `lumo --image-info` prints);
// ReadImageStream and ReadImageFile give the page code its picture.
#pragma once

#include "image/gif_image.h"
#include "image/image_cache.h"
#include "image/image_limits.h"
#include "image/image_type.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace lumo {

class TStream;

inline constexpr const char* UnknownImageText = "Unknown image format";

struct TDecodedImage {
    TImageType Kind = TImageType::Unknown; // from the first bytes
    std::string Error;                     // why the data was refused; empty when accepted
    std::unique_ptr<TGIFImage> Gif;        // the GIF kinds, when accepted
    Bitmap Picture;                        // the other kinds, when accepted; opaque for JPEG
    bool Accepted() const { return Error.empty(); }
};

// Decodes the data by the kind its first bytes show: GIF with our decoder,
// JPEG with libjpeg, BMP and PNG with Qt's reader. Every reader keeps to the
// image budget (image_limits.h) and to limit bytes, judged from the header
// before the pixels are allocated.
TDecodedImage DecodeImage(std::string_view data, int64_t limit = MaxImageBytes);

// The picture for a page, or null when there is none to show (refused data,
// or a GIF without frames). An animated GIF stays a TGIFImage, whose copies
// share its frames and whose work picture carries its transparency; every
// other picture becomes a TBitmapImage whose transparent pixels have alpha 0
// and, when it has any, transp is TrMask and mask is white where they are
// (else NotTransp and no mask). On a forced palette display the colours are
// reduced to the display's palette. The stream is read whole from its start.
// A picture whose pixels would pass limit bytes is refused as DecodeImage
// refuses it.
std::unique_ptr<TCachedImage> ReadImageStream(TStream& stream, uint8_t& transp,
                                              std::unique_ptr<Bitmap>& mask,
                                              int64_t limit = MaxImageBytes);
std::unique_ptr<TCachedImage> ReadImageFile(std::string_view fileName, uint8_t& transp,
                                            std::unique_ptr<Bitmap>& mask,
                                            int64_t limit = MaxImageBytes);

} // namespace lumo

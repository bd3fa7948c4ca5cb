#include "image/image_type.h"

#include "platform/file_system.h"

#include <fstream>
#include <string>

namespace lumo {

TImageType DetectImageType(std::string_view h) {
    if (h.substr(0, 4) == "GIF8")
        return h.size() > 4 && h[4] == '9' ? TImageType::Gif89 : TImageType::Gif87;
    if (h.substr(0, 2) == "BM") return TImageType::Bmp;
    if (h.substr(0, 4) == "\x89PNG") return TImageType::Png;
    // The start of image and any marker: JFIF, Exif and Adobe files alike.
    if (h.substr(0, 3) == "\xFF\xD8\xFF" && h.size() > 3) return TImageType::Jpeg;
    return TImageType::Unknown;
}

namespace {
std::string ReadHead(std::string_view fileName, size_t count) {
    std::ifstream in(NativePath(fileName), std::ios::binary);
    std::string head(count, '\0');
    in.read(head.data(), static_cast<std::streamsize>(count));
    head.resize(in ? count : static_cast<size_t>(in.gcount()));
    return head;
}
} // namespace

TImageType FileImageType(std::string_view fileName) {
    return DetectImageType(ReadHead(fileName, 11));
}

bool IsTransparentGifData(std::string_view d, TColor& color) {
    color = clNone;
    if (DetectImageType(d) != TImageType::Gif89 || d.size() < 13) return false;
    auto byte = [&](size_t i) { return static_cast<unsigned char>(d[i]); };
    size_t palette = 13, paletteSize = 0;
    if (byte(10) & 0x80) paletteSize = size_t{3} << ((byte(10) & 7) + 1);
    size_t p = palette + paletteSize;
    while (p + 1 < d.size() && byte(p) == 0x21) {
        unsigned label = byte(p + 1);
        p += 2;
        if (label == 0xF9 && p + 5 < d.size() && byte(p) >= 4) {
            if (byte(p + 1) & 1) {
                size_t index = byte(p + 4);
                if (index * 3 + 2 < paletteSize && palette + index * 3 + 2 < d.size())
                    color = byte(palette + index * 3) | byte(palette + index * 3 + 1) << 8 |
                            byte(palette + index * 3 + 2) << 16;
                return true;
            }
        }
        // Skip the extension's sub-blocks up to the zero-length one.
        while (p < d.size() && byte(p) != 0)
            p += byte(p) + 1;
        ++p;
    }
    return false;
}

bool IsTransparentGif(std::string_view fileName, TColor& color) {
    // The extension comes before the first image, near the start of the file.
    return IsTransparentGifData(ReadHead(fileName, 65536), color);
}

} // namespace lumo

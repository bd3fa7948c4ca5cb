// Picture files made in memory for the reader tests: Windows bitmaps by
// hand, PNG and JPEG through Qt's writers, and a JPEG whose header claims
// another size than its data holds.
#pragma once

#include "tests/image/gif_builder.h"

#include <QBuffer>
#include <QImage>

#include <cstdint>
#include <string>
#include <vector>

namespace lumo::test {

inline std::string Le32(uint32_t v) {
    return Le16(v & 0xFFFF) + Le16(v >> 16);
}

// A Windows bitmap: height below 0 stores the rows top first.
inline std::string Bmp(int width, int height, int bits, int compression,
                       const std::vector<uint32_t>& palette, const std::string& pixels) {
    std::string info = Le32(40) + Le32(width) + Le32(static_cast<uint32_t>(height)) + Le16(1) +
                       Le16(bits) + Le32(compression) + Le32(pixels.size()) + Le32(2835) +
                       Le32(2835) + Le32(palette.size()) + Le32(0);
    for (uint32_t c : palette)
        info += Le32(c);
    const uint32_t offset = 14 + info.size();
    return "BM" + Le32(offset + pixels.size()) + Le32(0) + Le32(offset) + info + pixels;
}

// The picture as Qt writes it in a format ("PNG", "JPEG").
inline std::string Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}

inline std::string Png(const QImage& image) {
    return Encoded(image, "PNG");
}

// The PNG with its header saying width x height, its checksum made right.
inline std::string PngClaiming(std::string png, uint32_t width, uint32_t height) {
    const auto be32 = [&png](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            png[at + i] = static_cast<char>(v >> (24 - 8 * i));
    };
    be32(16, width);
    be32(20, height);
    uint32_t crc = 0xFFFFFFFF; // over the chunk's type and data
    for (size_t i = 12; i < 29; ++i) {
        crc ^= static_cast<uint8_t>(png[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = crc >> 1 ^ (crc & 1 ? 0xEDB88320 : 0);
    }
    be32(29, ~crc);
    return png;
}

// A small grey JPEG whose frame header says width x height: the data runs
// out early and the decoder fills the rest.
inline std::string JpegClaiming(int width, int height) {
    QImage grey(16, 16, QImage::Format_Grayscale8);
    grey.fill(128);
    std::string jpeg = Encoded(grey, "JPEG");
    const size_t sof = jpeg.find("\xFF\xC0");
    if (sof == std::string::npos) return {};
    jpeg[sof + 5] = static_cast<char>(height >> 8);
    jpeg[sof + 6] = static_cast<char>(height & 0xFF);
    jpeg[sof + 7] = static_cast<char>(width >> 8);
    jpeg[sof + 8] = static_cast<char>(width & 0xFF);
    return jpeg;
}

} // namespace lumo::test

// PNG files written by the program read back, through another reader, as
// the very pixels they were made from.
#include "image/png_writer.h"

#include <QImage>

#include <gtest/gtest.h>

#include <vector>

namespace lumo {
namespace {

QImage Decoded(const std::string& png) {
    return QImage::fromData(reinterpret_cast<const uchar*>(png.data()), int(png.size()), "PNG");
}

// Rows of distinct colours, runs of one colour and a stride wider than
// the picture, whose padding must not show.
TEST(PngWriter, PixelsComeBackExactly) {
    for (const auto& [width, height, stride] : {std::tuple{1, 1, 1}, {7, 5, 9}, {640, 3, 640}}) {
        std::vector<uint32_t> pixels(size_t(stride) * height, 0xff0000ffu);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[size_t(y) * stride + x] = 0xff000000u | uint32_t(x * 37 % 256) << 16 |
                                                 uint32_t(y * 91 % 256) << 8 |
                                                 uint32_t(x < width / 2 ? 0x20 : (x * y) % 256);
        const QImage image = Decoded(EncodePng({pixels.data(), width, height, stride}));
        ASSERT_EQ(image.size(), QSize(width, height)) << width;
        EXPECT_FALSE(image.hasAlphaChannel());
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(image.pixel(x, y), pixels[size_t(y) * stride + x]) << x << "," << y;
    }
}

// Noise does not compress: its deflated data comes out in many pieces,
// which must join into one stream and one chunk.
TEST(PngWriter, NoiseComesBackExactly) {
    constexpr int width = 300, height = 400;
    std::vector<uint32_t> pixels(size_t(width) * height);
    uint32_t seed = 12345;
    for (uint32_t& pixel : pixels) {
        seed = seed * 1664525u + 1013904223u;
        pixel = 0xff000000u | seed >> 8;
    }
    const QImage image = Decoded(EncodePng({pixels.data(), width, height, width}));
    ASSERT_EQ(image.size(), QSize(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(image.pixel(x, y), pixels[size_t(y) * width + x]) << x << "," << y;
}

TEST(PngWriter, RefusesWhatItCannotWrite) {
    const uint32_t pixel = 0xffffffffu;
    EXPECT_EQ(EncodePng({&pixel, 0, 1, 1}), "");
    EXPECT_EQ(EncodePng({&pixel, 1, 0, 1}), "");
    EXPECT_EQ(EncodePng({&pixel, 2, 1, 1}), "") << "a stride shorter than a row";
    EXPECT_EQ(EncodePng({nullptr, 1, 1, 1}), "");
    EXPECT_EQ(EncodePng({&pixel, 1 << 16, 1 << 14, 1 << 16}), "") << "rows of 3 GiB";
}

} // namespace
} // namespace lumo

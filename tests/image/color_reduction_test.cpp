// Reducing pictures to a palette with serpentine Floyd-Steinberg dithering.
#include "image/color_reduction.h"
#include "image/display_palette.h"

#include <gtest/gtest.h>

#include <random>

namespace lumo {
namespace {

uint32_t Grey(uint32_t level) {
    return 0xFF000000u | level << 16 | level << 8 | level;
}

TEST(ColorReduction, PicturesInThePaletteComeBackUnchanged) {
    const std::vector<uint32_t>& palette = SharedPalette();
    QImage picture(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            picture.setPixel(x, y, palette[(x * 37 + y * 11) % palette.size()]);
    const QImage reduced = ReduceColors(picture, palette);
    ASSERT_EQ(reduced.format(), QImage::Format_Indexed8);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(reduced.pixel(x, y), picture.pixel(x, y)) << x << "," << y;
}

TEST(ColorReduction, ColoursThatDifferInTheirLowBitsShareAnIndex) {
    TFastColorLookup lookup({Grey(96), Grey(104)});
    EXPECT_EQ(lookup.Lookup(100, 100, 100), 0); // a tie: the first entry
    // 103 is nearer 104, but shares the cached answer of its 5-bit colour.
    EXPECT_EQ(lookup.Lookup(103, 101, 102), 0);
    EXPECT_EQ(lookup.Lookup(104, 104, 104), 1);
    TFastColorLookup fresh({Grey(96), Grey(104)});
    EXPECT_EQ(fresh.Lookup(103, 103, 103), 0); // the entry 96 already holds that key
}

TEST(ColorReduction, MidGreyDithersToBothNeighbours) {
    QImage grey(8, 8, QImage::Format_RGB32);
    grey.fill(Grey(128));
    const QImage reduced = ReduceColors(grey, {Grey(0), Grey(255)});
    int white = 0;
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            white += reduced.pixelIndex(x, y);
    EXPECT_GE(white, 28);
    EXPECT_LE(white, 36);
    // Rows alternate their direction: the error of the first pixel reached
    // pushes the next one the other way.
    TFastColorLookup lookup({Grey(0), Grey(255)});
    TFloydSteinbergEngine engine(lookup, 2);
    const uint32_t row[2] = {Grey(128), Grey(128)};
    uint8_t indices[2];
    for (int direction : {1, -1, 1}) {
        EXPECT_EQ(engine.Direction(), direction);
        engine.DitherRow(row, indices);
        EXPECT_NE(indices[0], indices[1]);
    }
}

TEST(ColorReduction, ErrorsAreDividedTowardZero) {
    // 54 becomes 79 (error -25, 7/16 of it carried: -175). 50 then adjusts by
    // (-175 + 8) / 16 = -10 to 40, nearer 79 than 0; rounding down to -11
    // would give 39 and black.
    TFastColorLookup lookup({Grey(0), Grey(79)});
    TFloydSteinbergEngine engine(lookup, 2);
    const uint32_t row[2] = {Grey(54), Grey(50)};
    uint8_t indices[2];
    engine.DitherRow(row, indices);
    EXPECT_EQ(indices[0], 1);
    EXPECT_EQ(indices[1], 1);
}

TEST(ColorReduction, NarrowAndOddPictures) {
    std::mt19937 random(7);
    for (int width : {1, 2, 3}) {
        QImage picture(width, 9, QImage::Format_ARGB32);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < width; ++x)
                picture.setPixel(x, y, random());
        const QImage reduced = ReduceColors(picture, DefaultPalette());
        ASSERT_EQ(reduced.size(), picture.size());
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < width; ++x)
                EXPECT_LT(reduced.pixelIndex(x, y), 20);
    }
    EXPECT_TRUE(ReduceColors(QImage(), DefaultPalette()).isNull());
    EXPECT_TRUE(ReduceColors(QImage(2, 2, QImage::Format_RGB32), {}).isNull());
}

TEST(ColorReduction, OnlyPaletteDisplaysReduce) {
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    EXPECT_EQ(DisplayBitsPerPixel(), 24);
    EXPECT_EQ(ReduceToDisplay(picture), picture); // a plain copy
    EXPECT_TRUE(ReduceToDisplay(QImage()).isNull());
    SetDisplayBitsPerPixel(8);
    const QImage reduced = ReduceToDisplay(picture);
    SetDisplayBitsPerPixel(24);
    ASSERT_EQ(reduced.format(), QImage::Format_Indexed8);
    ASSERT_EQ(reduced.colorCount(), 256);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(reduced.color(i), SharedPalette()[i]);
    EXPECT_EQ(SharedPalette().size(), 256u);
    SetDisplayBitsPerPixel(1);
    EXPECT_EQ(DisplayBitsPerPixel(), 4);
    EXPECT_EQ(ReduceToDisplay(picture).colorCount(), 20);
    SetDisplayBitsPerPixel(32);
    EXPECT_EQ(DisplayBitsPerPixel(), 24);
}

} // namespace
} // namespace lumo

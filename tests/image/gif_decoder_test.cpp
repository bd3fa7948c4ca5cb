// Reading GIF data: the block structure, LZW, interlacing, limits and the
// ways data can be cut or broken.
#include "image/gif_image.h"
#include "image/image_limits.h"
#include "tests/image/gif_builder.h"
#include "tests/support/cut_input.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

using namespace test;
using namespace std::string_literals;

constexpr uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF,
                   Black = 0xFF000000;
const std::vector<uint32_t> Colors = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

std::vector<uint32_t> Row(TGIFImage& gif, int y) {
    const Bitmap& work = gif.WorkBitmap();
    return {work.Pixels.begin() + y * work.Width, work.Pixels.begin() + (y + 1) * work.Width};
}

TEST(GifDecoder, CodeSizes) {
    const struct {
        int codeSize;
        std::string error;
    } rows[] = {
        {0, "Corrupt GIF Image"}, // no room for a clear code and an end code
        {1, ""},                  // its first free code needs 3 bits at once
        {2, ""},
        {8, ""},
        {9, ""}, // legal though no table has 512 colours: literals are still indices
        {11, ""},
        {12, "Corrupt GIF Image"}, // the clear code would be the 4096th entry
    };
    for (const auto& row : rows) {
        const std::string gif =
            GifHeader(4, 1, Colors) + GifImage(0, 0, 4, 1, {0, 1, 2, 3}, row.codeSize) + ";";
        TGIFImage image;
        EXPECT_EQ(image.LoadFromData(gif), row.error.empty()) << row.codeSize;
        EXPECT_EQ(image.Error(), row.error) << row.codeSize;
        if (row.error.empty() && row.codeSize > 1) {
            EXPECT_EQ(Row(image, 0), (std::vector<uint32_t>{Red, Green, Blue, White}));
        }
    }
    // One bit a pixel: indices 0 and 1 only, across several widenings of the code.
    std::vector<int> bits;
    for (int i = 0; i < 40; ++i)
        bits.push_back(i % 3 == 0);
    TGIFImage image;
    ASSERT_TRUE(image.LoadFromData(GifHeader(40, 1, Colors) + GifImage(0, 0, 40, 1, bits, 1)));
    for (int x = 0; x < 40; ++x)
        EXPECT_EQ(image.WorkBitmap().At(x, 0), bits[x] ? Green : Red) << x;
}

// The codes of a frame of code size 2: clear 4, end 5, first free entry 6.
std::string Codes(std::initializer_list<int> codes) {
    CodeWriter w;
    for (int c : codes)
        w.Put(c, 3);
    return GifHeader(3, 1, Colors) + ",\0\0\0\0\3\0\1\0\0\2"s + SubBlocks(w.Finish()) + ";";
}

TEST(GifDecoder, LzwCodes) {
    const struct {
        std::string gif;
        std::string error;
        std::vector<uint32_t> row;
    } rows[] = {
        {Codes({4, 1, 6, 5}), "", {Green, Green, Green}}, // 6 is being made: 1 then its first byte
        {Codes({4, 4, 4, 2, 0, 6, 5}), "", {Blue, Red, Blue}}, // leading clears; 6 = "2 0"
        {Codes({4, 1, 7}), "Corrupt GIF Image", {}},           // beyond the next free entry
        {Codes({4, 6}), "Corrupt GIF Image", {}},              // no string to build 6 from
        {Codes({4, 2, 5, 1}), "", {Blue, Red, Red}},           // the end code ends the pixels
        {Codes({4, 3}), "", {White, Red, Red}},                // data without an end code
        {Codes({4, 1, 2, 3, 0, 1}), "", {Green, Blue, White}}, // pixels past the frame dropped
    };
    for (const auto& row : rows) {
        TGIFImage image;
        EXPECT_EQ(image.LoadFromData(row.gif), row.error.empty());
        EXPECT_EQ(image.Error(), row.error);
        if (row.error.empty()) {
            EXPECT_EQ(Row(image, 0), row.row);
        }
    }
}

TEST(GifDecoder, InterlacedRowsGoBackInOrder) {
    // Rows arrive by pass: 0 (every 8th), 4, 2 (every 4th), then the odd ones.
    // A pass that starts past the last row of a short frame is skipped.
    const struct {
        int height;
        std::vector<int> sent; // the row each arriving line belongs to
    } rows[] = {{1, {0}},
                {2, {0, 1}},
                {3, {0, 2, 1}},
                {5, {0, 4, 2, 1, 3}},
                {9, {0, 8, 4, 2, 6, 1, 3, 5, 7}}};
    for (const auto& row : rows) {
        std::vector<int> pixels;
        for (int y : row.sent)
            pixels.push_back(y % 4);
        TGIFImage image;
        ASSERT_TRUE(image.LoadFromData(GifHeader(1, row.height, Colors) +
                                       GifImage(0, 0, 1, row.height, pixels, 2, true)));
        const uint32_t byRow[] = {Red, Green, Blue, White};
        for (int y = 0; y < row.height; ++y)
            EXPECT_EQ(image.WorkBitmap().At(0, y), byRow[y % 4]) << row.height << " " << y;
    }
}

TEST(GifDecoder, ThePictureGrowsToHoldEveryFrame) {
    TGIFImage image;
    // Bigger than the screen, and beside it: Left 10 on a 10-pixel screen.
    ASSERT_TRUE(image.LoadFromData(GifHeader(10, 10, Colors) + SolidImage(0, 0, 4, 12, 1) +
                                   SolidImage(10, 2, 5, 1, 2) + ";"));
    EXPECT_EQ(image.Width(), 15);
    EXPECT_EQ(image.Height(), 12);
    EXPECT_EQ(image.WorkBitmap().At(0, 11), Green);
    image.SelectFrame(2);
    EXPECT_EQ(image.WorkBitmap().At(14, 2), Blue);
    EXPECT_EQ(image.WorkBitmap().At(9, 2), Black); // never covered
}

TEST(GifDecoder, BlocksAndExtensions) {
    const std::string header = GifHeader(1, 1, Colors);
    const std::string frame = SolidImage(0, 0, 1, 1, 1);
    const struct {
        std::string name;
        std::string gif;
        int frames;
        int loops;
    } rows[] = {
        {"plain", header + frame + frame + ";", 2, 1},
        {"87a", GifHeader(1, 1, Colors, "GIF87a") + frame, 1, 1},
        // Only the first three bytes are looked at.
        {"90a", GifHeader(1, 1, Colors, "GIF90a") + frame, 1, 1},
        {"loop", header + GifLoop(3) + frame + frame, 2, 3},
        {"loop forever", header + GifLoop(0) + frame, 1, 0},
        // A sub-block too short for a count, and one that is not sub-block 1
        // (a buffer size), leave the count alone.
        {"short loop", header + "\x21\xFF\x0BNETSCAPE2.0\x02\x01\x05\x00"s + frame, 1, 1},
        {"buffer size", header + "\x21\xFF\x0BNETSCAPE2.0\x05\x02\x00\x04\x00\x00\x00"s + frame, 1,
         1},
        {"look-alike",
         header +
             "\x21\xFF\x0B"
             "ANIMEXTS1.0\x03\x01\x05\x00\x00"s +
             frame,
         1, 1},
        {"empty application", header + "\x21\xFF\x00"s + frame, 1, 1},
        // Data that ends inside a sub-block keeps what arrived of it.
        {"cut loop", header + "\x21\xFF\x0BNETSCAPE2.0\x05\x01\x04\x00"s, 0, 4},
        {"comment and text",
         header +
             "\x21\xFE\x02hi\x00\x21\x01\x03"
             "abc\x00"s +
             frame,
         1, 1},
        // An unknown label or block ends the data with the frames read so far.
        {"unknown extension", header + frame + "\x21\x2A\x01x\x00"s + frame, 1, 1},
        {"unknown first", header + "\x21\x2A\x01x\x00"s + frame, 0, 1},
        {"stray byte", header + frame + "\x00"s + frame, 1, 1},
        {"trailer", header + frame + ";" + frame, 1, 1},
        // Frames without width or height are passed over.
        {"empty frames", header + SolidImage(0, 0, 0, 5, 1) + frame + SolidImage(0, 0, 3, 0, 1), 1,
         1},
    };
    for (const auto& row : rows) {
        TGIFImage image;
        ASSERT_TRUE(image.LoadFromData(row.gif)) << row.name << ": " << image.Error();
        EXPECT_EQ(image.FrameCount(), row.frames) << row.name;
        EXPECT_EQ(image.LoopCount(), row.loops) << row.name;
        EXPECT_EQ(image.Animated(), row.frames > 1) << row.name;
    }
    TGIFImage image;
    EXPECT_FALSE(image.LoadFromData("\x89PNG\r\n\x1A\n" + header.substr(8)));
    EXPECT_EQ(image.Error(), "Not a GIF image");
    EXPECT_TRUE(image.Empty());
}

TEST(GifDecoder, ControlExtensionsBelongToTheNextFrameOnly) {
    const std::string gif = GifHeader(2, 2, Colors) + "\x21\xFE\x04note\x00"s +
                            GifControl(10, 5, 3) + SolidImage(0, 0, 1, 1, 1) +
                            SolidImage(0, 0, 1, 1, 2) + GifControl(0, 3) +
                            SolidImage(0, 0, 0, 1, 1) + SolidImage(1, 1, 1, 1, 3);
    TGIFImage image;
    ASSERT_TRUE(image.LoadFromData(gif));
    ASSERT_EQ(image.FrameCount(), 3);
    const TGifFrame& first = image.Frame(1);
    EXPECT_EQ(first.Delay, 100);
    EXPECT_EQ(first.Disposal, 2); // reserved values restore to background
    EXPECT_TRUE(first.Transparent);
    EXPECT_EQ(first.TransparentIndex, 3);
    EXPECT_EQ(first.TransparentColor(), White);
    EXPECT_EQ(first.Comment, "note");
    // A frame without its own extension gets nothing from the one before,
    // nor from the extension of a frame that was passed over.
    for (int n : {2, 3}) {
        EXPECT_EQ(image.Frame(n).Delay, 0);
        EXPECT_EQ(image.Frame(n).Disposal, 0);
        EXPECT_FALSE(image.Frame(n).Transparent);
        EXPECT_EQ(image.Frame(n).Comment, "");
    }
    EXPECT_TRUE(image.HasTransparency());
}

TEST(GifDecoder, TablesArePaddedWithBlack) {
    // A two-colour table used with index 3, and a file without any table.
    TGIFImage image;
    ASSERT_TRUE(
        image.LoadFromData(GifHeader(2, 1, {0xFF0000, 0x00FF00}) + GifImage(0, 0, 2, 1, {1, 3})));
    EXPECT_EQ(Row(image, 0), (std::vector<uint32_t>{Green, Black}));
    ASSERT_TRUE(image.LoadFromData(GifHeader(2, 1) + GifImage(0, 0, 2, 1, {1, 2})));
    EXPECT_EQ(Row(image, 0), (std::vector<uint32_t>{Black, Black}));
    // A local table replaces the global one for its frame alone.
    ASSERT_TRUE(image.LoadFromData(GifHeader(2, 1, Colors) +
                                   GifImage(0, 0, 2, 1, {0, 1}, 2, false, {0x0000FF, 0xFFFFFF}) +
                                   GifImage(0, 0, 1, 1, {0})));
    EXPECT_EQ(Row(image, 0), (std::vector<uint32_t>{Blue, White}));
    EXPECT_EQ(image.Frame(1).Bits, 1);
    EXPECT_EQ(image.BitsPerPixel(), 2);
    image.SelectFrame(2);
    EXPECT_EQ(Row(image, 0), (std::vector<uint32_t>{Red, White}));
}

TEST(GifDecoder, CutDataKeepsWhatArrived) {
    const std::string header = GifHeader(4, 1, Colors);
    const std::string first = GifControl(5) + GifImage(0, 0, 4, 1, {1, 2, 3, 1});
    const std::string gif = header + first + SolidImage(0, 0, 2, 1, 0) + ";";
    // Every cut point of every kind of block reads without harm and without
    // looking past the cut.
    const std::string comment = "\x21\xFE"s + SubBlocks("made by hand");
    const std::string blocks = header + GifLoop(3) + comment + first +
                               GifImage(1, 0, 2, 1, {0, 1}, 2, true, {0x123456, 0x654321}) + ";";
    ForEachPrefix(blocks, [](std::string_view cut, size_t length) {
        TGIFImage image;
        const bool read = image.LoadFromData(cut);
        EXPECT_EQ(read, length >= 13) << length;
        if (!read) {
            EXPECT_EQ(image.Error(), "Not a GIF image");
        }
        EXPECT_LE(image.FrameCount(), 2);
    });
    const struct {
        size_t cut;
        int frames;
        std::vector<uint32_t> row;
    } rows[] = {
        {header.size() - 2, 0, {}}, // inside the colour table: no frame, no picture
        // Inside the pixels: what never arrived takes colour 0.
        {header.size() + first.size() - 3, 1, {Green, Red, Red, Red}},
        {header.size() + first.size() + 5, 1, {Green, Blue, White, Green}}, // inside a descriptor
    };
    for (const auto& row : rows) {
        TGIFImage image;
        ASSERT_TRUE(image.LoadFromData(gif.substr(0, row.cut)));
        EXPECT_EQ(image.FrameCount(), row.frames) << row.cut;
        EXPECT_EQ(Row(image, 0), row.row) << row.cut;
    }
}

TEST(GifDecoder, AtMost256Frames) {
    std::string gif = GifHeader(1, 1, Colors);
    for (int i = 0; i < 257; ++i)
        gif += GifControl(1) + SolidImage(0, 0, 1, 1, i % 4);
    TGIFImage image;
    ASSERT_TRUE(image.LoadFromData(gif + ";"));
    EXPECT_EQ(image.FrameCount(), 256);
}

TEST(GifDecoder, PicturesBeyondTheBudgetAreRefused) {
    // A frame's pixel data may be empty: the frame is still allocated whole.
    const auto emptyFrame = [](int left, int top, int w, int h) {
        return "," + Le16(left) + Le16(top) + Le16(w) + Le16(h) + std::string("\0\2\0", 3);
    };
    const struct {
        std::string name;
        std::string gif;
        bool fits;
    } rows[] = {
        {"widest", GifHeader(16384, 1) + emptyFrame(0, 0, 1, 1), true},
        {"too wide", GifHeader(16385, 1) + emptyFrame(0, 0, 1, 1), false},
        {"too tall", GifHeader(1, 65535), false},
        {"frame beyond", GifHeader(1, 1) + emptyFrame(16000, 0, 385, 1), false},
        {"screen over 256 MB", GifHeader(16384, 4097), false},
        {"frames over 256 MB",
         GifHeader(4096, 4096) +
             [&] {
                 std::string frames;
                 for (int i = 0; i < 13; ++i) // 64 MB of work picture and 13 x 16 MB of frames
                     frames += emptyFrame(0, 0, 4096, 4096);
                 return frames;
             }(),
         false},
    };
    for (const auto& row : rows) {
        TGIFImage image;
        EXPECT_EQ(image.LoadFromData(row.gif), row.fits) << row.name;
        EXPECT_EQ(image.Error(), row.fits ? "" : ImageTooLargeText) << row.name;
    }
}

TEST(GifDecoder, StructureOnlyReadsMakeNoPixels) {
    const std::string gif = GifHeader(3, 3, Colors) + GifLoop(0) + GifControl(7, 1, 0) +
                            SolidImage(1, 1, 2, 2, 1) + SolidImage(0, 0, 3, 3, 2) + ";";
    TGIFImage full, structure;
    ASSERT_TRUE(full.LoadFromData(gif));
    ASSERT_TRUE(structure.LoadFromData(gif, TGifRead::StructureOnly));
    ASSERT_EQ(structure.FrameCount(), full.FrameCount());
    EXPECT_EQ(structure.Frame(1).Delay, full.Frame(1).Delay);
    EXPECT_EQ(structure.LoopCount(), 0);
    EXPECT_TRUE(structure.Frame(1).Pixels.empty());
    EXPECT_TRUE(structure.WorkBitmap().Pixels.empty());
    structure.SetAnimating(true);
    EXPECT_FALSE(structure.StepAnimation());
    // The same limits hold without pixels.
    EXPECT_FALSE(structure.LoadFromData(GifHeader(3, 1, Colors) + GifImage(0, 0, 3, 1, {}, 12),
                                        TGifRead::StructureOnly));
}

} // namespace
} // namespace lumo

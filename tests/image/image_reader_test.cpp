// Reading pictures of every kind: JPEG through libjpeg, BMP and PNG through
// Qt's reader, and the picture the page code gets from ReadImageStream.
// Files are made by ImageMagick, Qt or by hand at test time.
#include "image/display_palette.h"
#include "image/image_limits.h"
#include "image/image_reader.h"
#include "platform/stream.h"
#include "tests/image/gif_builder.h"
#include "tests/image/image_tools.h"
#include "tests/image/picture_files.h"
#include "tests/support/temp_folder.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace lumo {
namespace {

using namespace test;
using namespace std::string_literals;

constexpr uint32_t Red = 0xFFFF0000, Green = 0xFF00FF00, Blue = 0xFF0000FF, White = 0xFFFFFFFF;

bool Near(uint32_t a, uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16, 24})
        if (std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)) > tolerance) return false;
    return true;
}

// A 32 x 32 picture in four quarters: red, green above blue, white.
std::string Quarters(const TempFolder& folder, const QStringList& options, const char* out) {
    QStringList args = {"-size",   "16x16", "xc:#FF0000", "xc:#00FF00", "+append",
                        "(",       "-size", "16x16",      "xc:#0000FF", "xc:#FFFFFF",
                        "+append", ")",     "-append"};
    args << options << out;
    return RunTool("convert", args, folder.Path()) ? folder.Read(out) : "";
}

void ExpectQuarters(const Bitmap& p, int tolerance, const std::string& what) {
    ASSERT_EQ(p.Width, 32) << what;
    ASSERT_EQ(p.Height, 32) << what;
    EXPECT_TRUE(Near(p.At(4, 4), Red, tolerance)) << what << std::hex << p.At(4, 4);
    EXPECT_TRUE(Near(p.At(27, 4), Green, tolerance)) << what << std::hex << p.At(27, 4);
    EXPECT_TRUE(Near(p.At(4, 27), Blue, tolerance)) << what << std::hex << p.At(4, 27);
    EXPECT_TRUE(Near(p.At(27, 27), White, tolerance)) << what << std::hex << p.At(27, 27);
}

TEST(JpegReader, DecodesEveryKindOfJpeg) {
    LUMO_NEED_TOOL("convert");
    TempFolder folder;
    const struct {
        QStringList options;
        int tolerance;
    } rows[] = {
        {{"-quality", "95"}, 12},
        {{"-quality", "95", "-interlace", "Plane"}, 12}, // progressive
        {{"-quality", "95", "-colorspace", "CMYK"}, 24}, // Adobe's inverted CMYK
    };
    for (const auto& row : rows) {
        const std::string jpeg = Quarters(folder, row.options, "q.jpg");
        const TDecodedImage decoded = DecodeImage(jpeg);
        ASSERT_EQ(decoded.Kind, TImageType::Jpeg);
        ASSERT_TRUE(decoded.Accepted()) << decoded.Error;
        ExpectQuarters(decoded.Picture, row.tolerance, row.options.join(' ').toStdString());
    }
    const TDecodedImage grey =
        DecodeImage(Quarters(folder, {"-quality", "95", "-colorspace", "Gray"}, "g.jpg"));
    ASSERT_TRUE(grey.Accepted()) << grey.Error;
    const uint32_t p = grey.Picture.At(27, 27);
    EXPECT_TRUE(Near(p, White, 12)) << std::hex << p;
    EXPECT_EQ(p & 0xFF, p >> 8 & 0xFF); // grey: equal channels
}

TEST(JpegReader, CutAndBrokenFilesFailCleanly) {
    LUMO_NEED_TOOL("convert");
    TempFolder folder;
    const std::string jpeg = Quarters(folder, {"-quality", "95"}, "q.jpg");
    // Cut inside the pixels: the rows that arrived are kept.
    const size_t scan = jpeg.find("\xFF\xDA"s);
    ASSERT_NE(scan, std::string::npos);
    const TDecodedImage half = DecodeImage(jpeg.substr(0, scan + (jpeg.size() - scan) / 2));
    ASSERT_TRUE(half.Accepted()) << half.Error;
    EXPECT_TRUE(Near(half.Picture.At(4, 4), Red, 12));
    // Every shorter cut and a run of broken bytes: refused or read, never a crash or an exit.
    for (size_t cut = 0; cut < jpeg.size(); cut += 7)
        DecodeImage(jpeg.substr(0, cut));
    for (size_t at = 2; at < jpeg.size(); at += 11) {
        std::string broken = jpeg;
        broken[at] = static_cast<char>(~broken[at]);
        DecodeImage(broken);
    }
    const TDecodedImage header = DecodeImage(jpeg.substr(0, 30));
    EXPECT_FALSE(header.Accepted());
    EXPECT_FALSE(header.Error.empty());
    EXPECT_EQ(DecodeImage("\xFF\xD8\xFF\xE0garbage garbage garbage"s).Kind, TImageType::Jpeg);
    EXPECT_FALSE(DecodeImage("\xFF\xD8\xFF\xE0garbage garbage garbage"s).Accepted());
}

TEST(JpegReader, SizesBeyondTheBudgetAreRefusedBeforeDecoding) {
    LUMO_NEED_TOOL("convert");
    TempFolder folder;
    std::string jpeg = Quarters(folder, {"-quality", "95"}, "q.jpg");
    const size_t sof = jpeg.find("\xFF\xC0"s);
    ASSERT_NE(sof, std::string::npos);
    for (int side : {20000, 16000}) { // too tall; then within the sides but 1 GB
        jpeg[sof + 5] = jpeg[sof + 7] = static_cast<char>(side >> 8);
        jpeg[sof + 6] = jpeg[sof + 8] = static_cast<char>(side & 0xFF);
        EXPECT_EQ(DecodeImage(jpeg).Error, ImageTooLargeText) << side;
    }
}

TEST(BmpReader, EveryDepthAndEncoding) {
    const std::vector<uint32_t> palette = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    const struct {
        std::string name;
        std::string bmp;
        std::vector<uint32_t> pixels; // rows from the top
    } rows[] = {
        {"1 bit",
         Bmp(9, 1, 1, 0, {0x000000, 0xFFFFFF}, "\xAA\x80\0\0"s),
         {White, 0xFF000000, White, 0xFF000000, White, 0xFF000000, White, 0xFF000000, White}},
        {"4 bits", Bmp(3, 1, 4, 0, palette, "\x12\x30\0\0"s), {Green, Blue, White}},
        {"8 bits, bottom row first",
         Bmp(2, 2, 8, 0, palette, "\2\3\0\0\0\1\0\0"s),
         {Red, Green, Blue, White}},
        {"24 bits, top row first",
         Bmp(2, -2, 24, 0, {}, "\0\0\xFF\0\xFF\0\0\0\xFF\0\0\xFF\xFF\xFF\0\0"s),
         {Red, Green, Blue, White}},
        {"32 bits", Bmp(1, 1, 32, 0, {}, "\x10\x20\x30\0"s), {0xFF302010}},
        // RLE8: a run of four 1s (the bottom row), end of line; 2, 2, 3, 3; end.
        {"RLE8",
         Bmp(4, 2, 8, 1, palette, "\4\1\0\0\2\2\2\3\0\1"s),
         {Blue, Blue, White, White, Green, Green, Green, Green}},
        // RLE4: a run alternating 1 and 2; then four pixels given one by one.
        {"RLE4",
         Bmp(4, 2, 4, 2, palette, "\4\x12\0\0\0\4\x33\x21\0\1"s),
         {White, White, Blue, Green, Green, Blue, Green, Blue}},
    };
    for (const auto& row : rows) {
        const TDecodedImage decoded = DecodeImage(row.bmp);
        ASSERT_EQ(decoded.Kind, TImageType::Bmp) << row.name;
        ASSERT_TRUE(decoded.Accepted()) << row.name << ": " << decoded.Error;
        EXPECT_EQ(decoded.Picture.Pixels, row.pixels) << row.name;
    }
}

TEST(BmpReader, BrokenFilesFailCleanly) {
    const std::string bmp = Bmp(64, 64, 24, 0, {}, std::string(64 * 64 * 3, '\x40'));
    for (size_t cut = 0; cut < bmp.size(); cut += 97)
        DecodeImage(bmp.substr(0, cut));
    EXPECT_FALSE(DecodeImage(bmp.substr(0, 40)).Accepted());
    EXPECT_EQ(DecodeImage(Bmp(20000, 1, 24, 0, {}, "")).Error, ImageTooLargeText);
    EXPECT_EQ(DecodeImage(Bmp(16000, 16000, 24, 0, {}, "")).Error, ImageTooLargeText);
    DecodeImage(Bmp(4, 4, 8, 1, {0}, "\0\2\xFF\xFF\0\0"s)); // an RLE jump far past the picture
}

// What Qt said while f ran.
std::vector<std::string> QtMessagesDuring(const std::function<void()>& f) {
    static std::vector<std::string>* said = nullptr;
    std::vector<std::string> messages;
    said = &messages;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            said->push_back(text.toStdString());
        });
    f();
    qInstallMessageHandler(previous);
    said = nullptr;
    return messages;
}

// Qt's reader seeks to where the header says the pixels start and complains
// of a place past the end; such a file is refused before it gets there.
TEST(BmpReader, PixelsMustStartInsideTheFile) {
    const std::string bmp = Bmp(2, 2, 24, 0, {}, std::string(16, '\x40'));
    const auto end = static_cast<uint32_t>(bmp.size());
    const struct {
        uint32_t offset;
        bool accepted;
    } rows[] = {{end, true}, {end + 1, false}, {0xFFFFFFFF, false}};
    for (const auto& row : rows) {
        std::string moved = bmp;
        moved.replace(10, 4, Le32(row.offset));
        TDecodedImage decoded;
        const std::vector<std::string> said =
            QtMessagesDuring([&] { decoded = DecodeImage(moved); });
        EXPECT_EQ(decoded.Accepted(), row.accepted) << row.offset << ": " << decoded.Error;
        EXPECT_EQ(said, std::vector<std::string>{}) << row.offset;
    }
}

TEST(PngReader, PixelsAndTransparency) {
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(qRgb(10, 20, 30));
    picture.setPixel(1, 0, qRgba(0, 0, 0, 0));
    picture.setPixel(2, 1, qRgb(200, 100, 0));
    const TDecodedImage decoded = DecodeImage(Png(picture));
    ASSERT_EQ(decoded.Kind, TImageType::Png);
    ASSERT_TRUE(decoded.Accepted()) << decoded.Error;
    EXPECT_EQ(decoded.Picture.At(0, 0), 0xFF0A141Eu);
    EXPECT_EQ(decoded.Picture.At(1, 0) >> 24, 0u);
    EXPECT_EQ(decoded.Picture.At(2, 1), 0xFFC86400u);
    // The page gets the picture with a mask of its transparent pixels.
    TMemoryStream stream;
    stream.Write(Png(picture));
    uint8_t transp = NotTransp;
    std::unique_ptr<Bitmap> mask;
    const auto image = ReadImageStream(stream, transp, mask);
    ASSERT_TRUE(image);
    EXPECT_EQ(transp, TrMask);
    ASSERT_TRUE(mask);
    EXPECT_EQ(mask->Pixels, (std::vector<uint32_t>{0xFF000000, White, 0xFF000000, 0xFF000000,
                                                   0xFF000000, 0xFF000000}));
}

TEST(PngReader, BrokenFilesFailCleanly) {
    QImage picture(40, 40, QImage::Format_RGB32);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x)
            picture.setPixel(x, y, qRgb(x * 6, y * 6, 77));
    const std::string png = Png(picture);
    for (size_t cut = 0; cut < png.size(); cut += 13)
        DecodeImage(png.substr(0, cut));
    for (size_t at = 8; at < png.size(); at += 17) {
        std::string broken = png;
        broken[at] = static_cast<char>(~broken[at]);
        DecodeImage(broken);
    }
    EXPECT_FALSE(DecodeImage(png.substr(0, 30)).Accepted());
    // A header that asks for 20000 x 40 pixels, with its checksum made right.
    const std::string huge = PngClaiming(png, 20000, 40);
    EXPECT_EQ(DecodeImage(huge).Error, ImageTooLargeText);
}

// Every reader weighs a picture by its header against the bytes it may
// take (a page's pictures share a budget): at the limit it is read, a byte
// below it is refused as too large.
TEST(ImageBudget, EveryReaderKeepsToTheBytesItMayTake) {
    QImage rgb(40, 30, QImage::Format_RGB32);
    rgb.fill(Qt::darkCyan);
    const struct {
        const char* kind;
        std::string data;
        int64_t bytes; // what the decoded picture takes
    } rows[] = {
        // The frames' palette indices beside the picture they make.
        {"GIF", GifHeader(40, 30, {0xFF0000, 0x00FF00}) + SolidImage(0, 0, 40, 30, 1), 40 * 30 * 5},
        {"JPEG", Encoded(rgb, "JPEG"), 40 * 30 * 4},
        {"BMP", Bmp(40, 30, 24, 0, {}, std::string(40 * 30 * 3, '\x40')), 40 * 30 * 4},
        {"PNG", Png(rgb), 40 * 30 * 4},
    };
    for (const auto& row : rows) {
        const TDecodedImage fits = DecodeImage(row.data, row.bytes);
        EXPECT_TRUE(fits.Accepted()) << row.kind << ": " << fits.Error;
        EXPECT_EQ(DecodeImage(row.data, row.bytes - 1).Error, ImageTooLargeText) << row.kind;
    }
}

TEST(ImageStream, WhatThePageGets) {
    const std::vector<uint32_t> colors = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    const struct {
        std::string name;
        std::string data;
        bool picture, animated;
        uint8_t transp;
    } rows[] = {
        {"still", GifHeader(2, 1, colors) + GifImage(0, 0, 2, 1, {0, 1}), true, false, NotTransp},
        {"transparent still",
         GifHeader(2, 1, colors) + GifControl(0, 0, 1) + GifImage(0, 0, 2, 1, {0, 1}), true, false,
         TrMask},
        {"animated",
         GifHeader(1, 1, colors) + SolidImage(0, 0, 1, 1, 0) + SolidImage(0, 0, 1, 1, 1), true,
         true, NotTransp},
        {"no frames", GifHeader(1, 1, colors) + ";", false, false, NotTransp},
        {"corrupt", GifHeader(1, 1, colors) + GifImage(0, 0, 1, 1, {0}, 12), false, false,
         NotTransp},
        {"unknown", "hello, this is not a picture", false, false, NotTransp},
    };
    for (const auto& row : rows) {
        TMemoryStream stream;
        stream.Write(row.data);
        uint8_t transp = 99;
        auto mask = std::make_unique<Bitmap>();
        for (int read = 0; read < 2; ++read) { // a second read starts again from the start
            const std::unique_ptr<TCachedImage> image = ReadImageStream(stream, transp, mask);
            EXPECT_EQ(image != nullptr, row.picture) << row.name;
            EXPECT_EQ(dynamic_cast<TGIFImage*>(image.get()) != nullptr, row.animated) << row.name;
            EXPECT_EQ(transp, row.transp) << row.name;
            EXPECT_EQ(mask != nullptr, row.transp == TrMask && !row.animated) << row.name;
        }
    }
    uint8_t transp = 0;
    std::unique_ptr<Bitmap> mask;
    EXPECT_FALSE(ReadImageFile("/no/such/picture.gif", transp, mask));
    TempFolder folder;
    folder.Write("a.gif", rows[0].data);
    const auto still = ReadImageFile(folder / "a.gif", transp, mask);
    ASSERT_TRUE(still);
    EXPECT_EQ(static_cast<TBitmapImage*>(still.get())->Picture.Pixels,
              (std::vector<uint32_t>{Red, Green}));
}

TEST(ImageStream, PaletteDisplaysGetThePaletteColours) {
    QImage picture(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            picture.setPixel(x, y, qRgb(x * 16, y * 16, 100));
    const std::vector<uint32_t> colors = {0x123456, 0x00FF00};
    const std::string animated =
        GifHeader(1, 1, colors) + SolidImage(0, 0, 1, 1, 0) + SolidImage(0, 0, 1, 1, 1);
    SetDisplayBitsPerPixel(8);
    uint8_t transp = 0;
    std::unique_ptr<Bitmap> mask;
    TMemoryStream png, gif;
    png.Write(Png(picture));
    gif.Write(animated);
    const auto still = ReadImageStream(png, transp, mask);
    const auto moving = ReadImageStream(gif, transp, mask);
    SetDisplayBitsPerPixel(24);
    const std::vector<uint32_t>& shared = SharedPalette();
    ASSERT_TRUE(still);
    for (uint32_t pixel : static_cast<TBitmapImage*>(still.get())->Picture.Pixels)
        ASSERT_NE(std::find(shared.begin(), shared.end(), pixel), shared.end())
            << std::hex << pixel;
    ASSERT_TRUE(dynamic_cast<TGIFImage*>(moving.get()));
    EXPECT_EQ(static_cast<TGIFImage*>(moving.get())->WorkBitmap().At(0, 0), 0xFF003366u);
}

} // namespace
} // namespace lumo

// `lumo --image-info FILE`, run as its own process: one exact JSON line.
#include "image/image_limits.h"

#include "tests/app/run_lumo.h"
#include "tests/image/gif_builder.h"
#include "tests/image/picture_files.h"
#include "tests/support/temp_folder.h"

#include <QImage>

#include <gtest/gtest.h>

#include <zlib.h>

namespace lumo {
namespace {

using namespace test;

// The program's standard output and exit status for --image-info on the file.
std::pair<std::string, int> ImageInfo(const std::string& file, const QStringList& more = {}) {
    const LumoRun run = RunLumo({}, QStringList{"--image-info", Q(file)} + more);
    return {run.output, run.exitCode};
}

TEST(ImageInfo, DescribesEveryKindOfFile) {
    TempFolder folder;
    const std::vector<uint32_t> colors = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};
    folder.Write("anim.gif", GifHeader(3, 2, colors) + GifLoop(3) + GifControl(10, 2, 1) +
                                 SolidImage(0, 0, 3, 2, 0) + SolidImage(1, 1, 4, 1, 2) + ";");
    folder.Write("corrupt.gif", GifHeader(1, 1, colors) + GifImage(0, 0, 1, 1, {0}, 0));
    QImage png(5, 4, QImage::Format_RGB32);
    png.fill(Qt::red);
    png.save(QString::fromStdString(folder / "red.png"));
    folder.Write("text.gif", "not a picture at all");

    const std::string refused =
        R"(,"width":0,"height":0,"frame_count":0,"loop_count":0,"frames":[]})";
    const struct {
        std::string file;
        std::string json;
        int status;
    } rows[] = {
        {"anim.gif",
         R"({"kind":"gif89","accepted":true,"error":"","width":5,"height":2,"frame_count":2,)"
         R"("loop_count":3,"frames":[{"left":0,"top":0,"width":3,"height":2,"delay_ms":100,)"
         R"("disposal":2,"transparent_index":1},{"left":1,"top":1,"width":4,"height":1,)"
         R"("delay_ms":0,"disposal":0,"transparent_index":-1}]})",
         0},
        {"corrupt.gif", R"({"kind":"gif89","accepted":false,"error":"Corrupt GIF Image")" + refused,
         1},
        {"red.png",
         R"({"kind":"png","accepted":true,"error":"","width":5,"height":4,"frame_count":1,)"
         R"("loop_count":1,"frames":[{"left":0,"top":0,"width":5,"height":4,"delay_ms":0,)"
         R"("disposal":0,"transparent_index":-1}]})",
         0},
        {"text.gif",
         R"({"kind":"unknown","accepted":false,"error":"Unknown image format")" + refused, 1},
        {"missing.gif",
         R"({"kind":"unknown","accepted":false,"error":"Cannot open file )" + folder.Path() +
             R"(missing.gif")" + refused,
         1},
    };
    for (const auto& row : rows) {
        const auto [output, status] = ImageInfo(folder / row.file);
        EXPECT_EQ(output, row.json + "\n") << row.file;
        EXPECT_EQ(status, row.status) << row.file;
    }
    EXPECT_EQ(ImageInfo(folder / "anim.gif", {"page.htm"}).second, 2); // one file and nothing else
}

std::string Be32(uint32_t v) {
    return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
            static_cast<char>(v)};
}

std::string PngChunk(const std::string& type, const std::string& data) {
    const std::string body = type + data;
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size());
    return Be32(static_cast<uint32_t>(data.size())) + body + Be32(static_cast<uint32_t>(crc));
}

// A whole PNG of a clear picture in grey and alpha, which Qt reads into 4
// bytes a pixel. Its rows are compressed one at a time, so the picture is
// never held in memory here.
std::string ClearPng(uint32_t width, uint32_t height) {
    const std::string row(1 + size_t{width} * 2, '\0'); // no filter, then the pixels
    z_stream z{};
    deflateInit(&z, Z_BEST_SPEED);
    std::string compressed;
    char out[1 << 16];
    for (uint32_t y = 0; y < height; ++y) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(row.data()));
        z.avail_in = static_cast<uInt>(row.size());
        do {
            z.next_out = reinterpret_cast<Bytef*>(out);
            z.avail_out = sizeof out;
            deflate(&z, y + 1 == height ? Z_FINISH : Z_NO_FLUSH);
            compressed.append(out, sizeof out - z.avail_out);
        } while (z.avail_out == 0);
    }
    deflateEnd(&z);
    const std::string header = Be32(width) + Be32(height) + std::string("\x08\x04\0\0\0", 5);
    return "\x89PNG\r\n\x1A\n" + PngChunk("IHDR", header) + PngChunk("IDAT", compressed) +
           PngChunk("IEND", "");
}

// One rule for every kind: a picture whose pixels take the whole budget is
// read, one row more is too large, whichever reader decodes it (Qt's own
// limit for bitmaps and PNG lay lower). The BMP and JPEG files hold little
// more than their headers (the rest of the picture is filled in); the PNG
// at the budget is whole.
TEST(ImageInfo, EveryKindIsReadUpToTheBudget) {
    constexpr int Wide = 16384, Tall = 4096; // 4 bytes a pixel: 256 MB
    static_assert(int64_t{Wide} * Tall * 4 == MaxImageBytes);
    TempFolder folder;
    const std::string png = ClearPng(Wide, Tall);
    folder.Write("at.png", png);
    folder.Write("past.png", PngClaiming(png, Wide, Tall + 1));
    folder.Write("at.bmp", Bmp(Wide, Tall, 24, 0, {}, "pixel"));
    folder.Write("past.bmp", Bmp(Wide, Tall + 1, 24, 0, {}, "pixel"));
    folder.Write("at.jpg", JpegClaiming(Wide, Tall));
    folder.Write("past.jpg", JpegClaiming(Wide, Tall + 1));
    const std::string read = R"(","accepted":true,"error":"","width":16384,"height":4096,)"
                             R"("frame_count":1,"loop_count":1,"frames":[{"left":0,"top":0,)"
                             R"("width":16384,"height":4096,"delay_ms":0,"disposal":0,)"
                             R"("transparent_index":-1}]})";
    const std::string tooLarge =
        R"(","accepted":false,"error":"Image too large","width":0,"height":0,"frame_count":0,)"
        R"("loop_count":0,"frames":[]})";
    for (const char* kind : {"png", "bmp", "jpeg"}) {
        const std::string extension = kind == std::string("jpeg") ? "jpg" : kind;
        const auto [at, atStatus] = ImageInfo(folder / ("at." + extension));
        EXPECT_EQ(at, R"({"kind":")" + std::string(kind) + read + "\n");
        EXPECT_EQ(atStatus, 0) << kind;
        const auto [past, pastStatus] = ImageInfo(folder / ("past." + extension));
        EXPECT_EQ(past, R"({"kind":")" + std::string(kind) + tooLarge + "\n");
        EXPECT_EQ(pastStatus, 1) << kind;
    }
}

} // namespace
} // namespace lumo

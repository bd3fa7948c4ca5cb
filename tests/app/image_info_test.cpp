// `lumo --image-info FILE`, run as its own process: one exact JSON line.
#include "tests/app/run_lumo.h"
#include "tests/image/gif_builder.h"
#include "tests/support/temp_folder.h"

#include <QImage>

#include <gtest/gtest.h>

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

} // namespace
} // namespace lumo

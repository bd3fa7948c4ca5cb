// The four GIF suites of the outside corpus. Their own expectations were
// written for other decoders; where our rules differ, the rows below say
// what ours are and why.
#include "image/gif_image.h"
#include "image/image_reader.h"
#include "tests/support/corpus.h"

#include <QImage>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace lumo {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> CorpusGifs() {
    std::vector<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(test::CorpusPath("gif")))
        if (entry.path().extension() == ".gif") files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

TEST(GifCorpus, EveryFileReadsOrIsRefusedCleanly) {
    LUMO_NEED_CORPUS(test::CorpusPath("gif"));
    const std::vector<std::string> files = CorpusGifs();
    EXPECT_GE(files.size(), 160u);
    for (const std::string& file : files) {
        const std::string data = ReadBytes(file);
        TDecodedImage decoded = DecodeImage(data);
        if (!decoded.Accepted()) continue;
        ASSERT_TRUE(decoded.Gif) << file;
        TGIFImage& gif = *decoded.Gif;
        // The block structure alone agrees with the full read.
        TGIFImage structure;
        ASSERT_TRUE(structure.LoadFromData(data, TGifRead::StructureOnly)) << file;
        EXPECT_EQ(structure.FrameCount(), gif.FrameCount()) << file;
        EXPECT_EQ(structure.Width(), gif.Width()) << file;
        // Every frame composes and disposes, twice round.
        for (int n = 1; n <= 2 * gif.FrameCount(); ++n)
            gif.SelectFrame(n);
        const size_t pixels = gif.FrameCount() ? size_t(gif.Width()) * gif.Height() : 0;
        EXPECT_EQ(gif.WorkBitmap().Pixels.size(), pixels) << file; // none to show without frames
    }
}

// What our rules make of the files the suites treat differently, and of a
// few that show a rule at work. Error "" means accepted.
TEST(GifCorpus, WhatOurRulesSay) {
    LUMO_NEED_CORPUS(test::CorpusPath("gif"));
    const struct {
        const char* file;
        const char* error;
        int frames, loops, width, height;
    } rows[] = {
        // An unknown extension label ends the data, even before the first
        // image: the file is read, with no frame to show.
        {"pygif-test-suite/unknown-extension.gif", "", 0, 1, 1, 1},
        {"image-gif/regression/issue-209-extension-block-type.gif", "", 0, 1, 1, 1},
        // Only "GIF" is checked by the decoder, but the kind is recognised by
        // "GIF8", so "GIF90a" is not taken for a picture at all.
        {"libgd/gif-conformance/invalid/bad_magic.gif", "Unknown image format", 0, 0, 0, 0},
        // Only NETSCAPE 2.0 sub-block 1 carries a loop count: look-alikes
        // (ANIMEXTS1.0, NETSCAPE2.1) leave the default of playing once.
        {"pygif-test-suite/loop-animexts.gif", "", 1, 1, 1, 1},
        {"pygif-test-suite/loop-buffer.gif", "", 1, 0, 1, 1},
        // The count is how many times it plays, not how many repeats.
        {"libgd/gif-conformance/valid/loop_once.gif", "", 2, 1, 4, 4},
        {"libgd/gif-conformance/valid/loop_3.gif", "", 2, 3, 4, 4},
        {"libgd/gif-conformance/valid/no_loop_ext.gif", "", 2, 1, 4, 4},
        {"pygif-test-suite/loop-max.gif", "", 1, 65535, 1, 1},
        // At most 256 frames are read.
        {"image-gif/samples/gifplayer-muybridge.gif", "", 256, 0, 472, 298},
        {"image-gif/samples/sample_big.gif", "", 256, 1, 1000, 175},
        // Images without a control extension are frames of their own, with
        // no delay, rather than parts of the frame before them.
        {"pygif-test-suite/animation-multi-image.gif", "", 7, 0, 2, 2},
        {"pygif-test-suite/images-combine.gif", "", 4, 1, 2, 2},
        {"pygif-test-suite/gif87a-animation.gif", "", 4, 1, 2, 2},
        // The picture grows to hold every frame.
        {"pygif-test-suite/image-outside-bg.gif", "", 1, 1, 4, 4},
        {"peterdn-gif-test-suite/animated_transparent_loop_frames_out_of_bounds.gif", "", 4, 0, 300,
         110},
        // Beyond 16384 pixels a side or 256 MB of pixels.
        {"pygif-test-suite/max-width.gif", "Image too large", 0, 0, 0, 0},
        {"pygif-test-suite/max-size.gif", "Image too large", 0, 0, 0, 0},
        {"libgd/regression/ossfuzz5700.gif", "Image too large", 0, 0, 0, 0},
        {"libgd/regression/bug00005_2.gif", "Image too large", 0, 0, 0, 0}, // 65535 x 65535 frames
        {"image-gif/stall/issue-101-infinite-empty-loop.gif", "Image too large", 0, 0, 0, 0},
        // Codes beyond the table.
        {"libgd/gif-conformance/invalid/bad_lzw_code.gif", "Corrupt GIF Image", 0, 0, 0, 0},
        {"pygif-test-suite/invalid-code.gif", "Corrupt GIF Image", 0, 0, 0, 0},
        {"pygif-test-suite/overflow-codes.gif", "Corrupt GIF Image", 0, 0, 0, 0},
        // Missing bytes end the data and keep what arrived.
        {"libgd/gif-conformance/invalid/truncated_lzw.gif", "", 1, 1, 8, 8},
        {"libgd/gif-conformance/invalid/no_trailer.gif", "", 1, 1, 4, 4},
        {"libgd/gif-conformance/invalid/truncated_header.gif", "Not a GIF image", 0, 0, 0, 0},
        {"libgd/gif-conformance/invalid/empty.gif", "Unknown image format", 0, 0, 0, 0},
        // Frames without width or height are passed over; an empty screen
        // with no frame is an empty picture, not an error.
        {"libgd/gif-conformance/invalid/zero_dimensions.gif", "", 0, 1, 0, 0},
        {"pygif-test-suite/image-zero-width.gif", "", 0, 1, 1, 1},
        {"libgd/regression/bug00005_0.gif", "", 0, 1, 384, 246}, // a stray byte first
    };
    for (const auto& row : rows) {
        const std::string path = test::CorpusPath("gif") + "/" + row.file;
        ASSERT_TRUE(fs::exists(path)) << path;
        const TDecodedImage decoded = DecodeImage(ReadBytes(path));
        EXPECT_EQ(decoded.Error, row.error) << row.file;
        if (!decoded.Gif) continue;
        EXPECT_EQ(decoded.Gif->FrameCount(), row.frames) << row.file;
        EXPECT_EQ(decoded.Gif->LoopCount(), row.loops) << row.file;
        EXPECT_EQ(decoded.Gif->Width(), row.width) << row.file;
        EXPECT_EQ(decoded.Gif->Height(), row.height) << row.file;
    }
}

// Where the suite leaves a pixel transparent, ours is transparent, or black
// in a picture without transparency (which restores to black).
bool SamePixel(uint32_t ours, QRgb theirs) {
    if (qAlpha(theirs) == 0) return ours >> 24 == 0 || ours == 0xFF000000;
    return qAlpha(theirs) == 255 && ours == theirs;
}

// Counts the pixels of the suite's picture that ours shows otherwise. Our
// picture grows to hold frames outside the screen, where the suites cut
// them off: the screen's part is compared.
int Differences(TGIFImage& gif, const QImage& expected) {
    const QImage argb = expected.convertToFormat(QImage::Format_ARGB32);
    if (argb.width() > gif.Width() || argb.height() > gif.Height()) return -1;
    int differences = 0;
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            differences += !SamePixel(gif.WorkBitmap().At(x, y), argb.pixel(x, y));
    return differences;
}

TEST(GifCorpus, PeterdnFramesComposeAsExpected) {
    const std::string suite = test::CorpusPath("gif") + "/peterdn-gif-test-suite";
    LUMO_NEED_CORPUS(suite);
    for (const auto& entry : fs::directory_iterator(suite)) {
        if (entry.path().extension() != ".gif") continue;
        const std::string name = entry.path().stem().string();
        TGIFImage gif;
        ASSERT_TRUE(gif.LoadFromData(ReadBytes(entry.path().string()))) << name;
        for (int n = 1; n <= gif.FrameCount(); ++n) {
            gif.SelectFrame(n);
            const std::string frame =
                gif.FrameCount() == 1 ? name : name + "-" + std::to_string(n - 1);
            const QImage expected(QString::fromStdString(suite + "/frames/" + frame + ".png"));
            ASSERT_FALSE(expected.isNull()) << frame;
            EXPECT_EQ(Differences(gif, expected), 0) << frame;
        }
    }
}

TEST(GifCorpus, LibgdPicturesComposeAsExpected) {
    const std::string suite = test::CorpusPath("gif") + "/libgd/regression";
    LUMO_NEED_CORPUS(suite);
    for (const char* name : {"bug000498", "bug00066"}) {
        TGIFImage gif; // its first frame
        ASSERT_TRUE(gif.LoadFromData(ReadBytes(suite + "/" + name + ".gif"))) << name;
        const QImage expected(QString::fromStdString(suite + "/" + name + "_exp.png"));
        ASSERT_FALSE(expected.isNull()) << name;
        EXPECT_EQ(Differences(gif, expected), 0) << name;
    }
    // Indices beyond a two-colour table come out black.
    TGIFImage gif;
    ASSERT_TRUE(gif.LoadFromData(ReadBytes(suite + "/unitialized_memory_read.gif")));
    const TGifFrame& frame = gif.Frame(1);
    ASSERT_EQ(frame.Bits ? frame.Bits : gif.BitsPerPixel(), 1);
    int beyond = 0;
    for (size_t i = 0; i < frame.Pixels.size(); ++i) {
        if (frame.Pixels[i] < 2) continue;
        ++beyond;
        ASSERT_EQ(gif.WorkBitmap().Pixels[i], 0xFF000000u) << i;
    }
    EXPECT_GT(beyond, 0);
}

// A .conf file of the pygif suite: "key = value" lines under [sections].
std::map<std::string, std::string> ReadConf(const std::string& path) {
    std::map<std::string, std::string> values;
    std::ifstream in(path);
    std::string line, section;
    while (std::getline(in, line)) {
        if (line.starts_with("[")) section = line.substr(1, line.find(']') - 1);
        const size_t eq = line.find(" = ");
        if (eq != std::string::npos)
            values[section + "." + line.substr(0, eq)] = line.substr(eq + 3);
    }
    return values;
}

QImage ExpectedImage(const std::string& folder, std::map<std::string, std::string>& conf,
                     const std::string& frame) {
    if (conf.count(frame + ".image"))
        return QImage(QString::fromStdString(folder + "/" + conf[frame + ".image"]));
    const std::string rgba = ReadBytes(folder + "/" + conf[frame + ".pixels"]);
    const int width = std::stoi(conf["config.width"]), height = std::stoi(conf["config.height"]);
    if (rgba.size() != size_t(width) * height * 4) return {};
    return QImage(reinterpret_cast<const uchar*>(rgba.data()), width, height, width * 4,
                  QImage::Format_RGBA8888)
        .copy();
}

TEST(GifCorpus, PygifLastFramesComposeAsExpected) {
    const std::string suite = test::CorpusPath("gif") + "/pygif-test-suite";
    LUMO_NEED_CORPUS(suite);
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(suite)) {
        if (entry.path().extension() != ".conf") continue;
        auto conf = ReadConf(entry.path().string());
        const std::string frames = conf["config.frames"];
        if (frames.empty()) continue; // the suite expects a failure
        TGIFImage gif;
        if (!gif.LoadFromData(ReadBytes(suite + "/" + conf["config.input"])) ||
            gif.FrameCount() == 0)
            continue;
        for (int n = 1; n <= gif.FrameCount(); ++n)
            gif.SelectFrame(n);
        const std::string last = frames.substr(frames.rfind(',') + 1);
        const QImage expected = ExpectedImage(suite, conf, last);
        ASSERT_FALSE(expected.isNull()) << entry.path();
        EXPECT_EQ(Differences(gif, expected), 0) << entry.path().stem();
        ++compared;
    }
    EXPECT_GE(compared, 50);
}

} // namespace
} // namespace lumo

// The row deflater's streams inflate, through zlib, to the very rows given,
// whatever the rows hold and however wide they are.
#include "image/row_deflater.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace lumo {
namespace {

using TRows = std::vector<unsigned char>;

std::string Deflated(const TRows& rows, size_t rowBytes, int pixelBytes) {
    std::string stream;
    TRowDeflater deflater(rowBytes, pixelBytes, stream);
    for (size_t at = 0; at < rows.size(); at += rowBytes)
        deflater.AddRow(rows.data() + at);
    deflater.Finish();
    return stream;
}

// The rows back from zlib, or nothing when zlib finds the stream wrong.
TRows Inflated(const std::string& stream, size_t size) {
    TRows rows(size + 1);
    uLongf length = rows.size();
    if (uncompress(rows.data(), &length, reinterpret_cast<const Bytef*>(stream.data()),
                   stream.size()) != Z_OK)
        return {};
    rows.resize(length);
    return rows;
}

// Rows of pixels of three bytes after a filter byte of 0, each byte made
// by byteAt(x, y) for the byte's place in its row.
TRows MakeRows(size_t pixels, size_t height, const std::function<int(size_t, size_t)>& byteAt) {
    const size_t rowBytes = 1 + pixels * 3;
    TRows rows(rowBytes * height, 0);
    for (size_t y = 0; y < height; ++y)
        for (size_t x = 1; x < rowBytes; ++x)
            rows[y * rowBytes + x] = static_cast<unsigned char>(byteAt(x, y));
    return rows;
}

uint32_t Noise(size_t x, size_t y) {
    uint32_t seed = uint32_t(x * 2654435761u) ^ uint32_t(y * 40503u + 12345u);
    seed = seed * 1664525u + 1013904223u;
    return seed >> 13;
}

// What the deflater must get right: copies one pixel back and one row up,
// copies longer than deflate allows, rows with nothing to copy (one
// symbol in a code, or none), blocks of literals one after another, rows
// farther apart than deflate's window reaches, and the checksum over rows
// long enough to need its sums reduced on the way (zlib checks it).
TEST(RowDeflater, StreamsInflateToTheirRows) {
    struct TCase {
        const char* Name;
        size_t Pixels, Height;
        std::function<int(size_t, size_t)> ByteAt;
    };
    const std::vector<TCase> cases = {
        {"one pixel", 1, 1, [](size_t, size_t) { return 7; }},
        {"one colour", 800, 600, [](size_t, size_t) { return 0xc0; }},
        {"stripes down", 640, 40, [](size_t x, size_t) { return int(x * 7 % 256); }},
        {"stripes across", 640, 40, [](size_t, size_t y) { return int(y * 31 % 256); }},
        {"runs of pixels", 500, 30,
         [](size_t x, size_t y) { return int(((x - 1) / 3 / 17 + y) % 5 * 50); }},
        {"noise", 300, 400, [](size_t x, size_t y) { return int(Noise(x, y) % 256); }},
        {"page", 800, 200,
         [](size_t x, size_t y) {
             const bool text = y % 20 > 4 && y % 20 < 16 && x > 60 && x < 2000;
             return text ? int(Noise(x / 3, y) % 256) : 0xff;
         }},
        {"rows past the window", 10923, 3, [](size_t x, size_t) { return int(x / 300 % 256); }},
        {"white rows past the window", 12000, 2, [](size_t, size_t) { return 0xff; }},
        {"rows just within the window", 10922, 3,
         [](size_t x, size_t) { return int(x / 300 % 256); }},
    };
    for (const TCase& c : cases) {
        const TRows rows = MakeRows(c.Pixels, c.Height, c.ByteAt);
        const std::string stream = Deflated(rows, 1 + c.Pixels * 3, 3);
        EXPECT_EQ(Inflated(stream, rows.size()), rows) << c.Name;
    }
}

// Pictures of every kind mixed, their sizes drawn at random: patches of one
// colour, of noise and of a few grey levels, rows that repeat and rows that
// do not. The room the deflater makes for each block must always suffice;
// a byte written past it is lost and the stream comes back wrong.
TEST(RowDeflater, MixedPicturesInflateToTheirRows) {
    uint32_t seed = 2024;
    const auto next = [&seed](uint32_t below) {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) % below;
    };
    for (int picture = 0; picture < 150; ++picture) {
        const size_t pixels = 1 + next(picture % 10 == 0 ? 12000 : 700);
        const size_t height = 1 + next(40);
        const uint32_t patch = 1 + next(64), kinds = 1 + next(4), salt = next(1000);
        const TRows rows = MakeRows(pixels, height, [&](size_t x, size_t y) {
            const uint32_t kind = Noise(x / 3 / patch + salt, y / patch) % kinds;
            if (kind == 0) return 0xff;
            if (kind == 1) return int(Noise(x, y + salt) % 256);
            if (kind == 2) return int(Noise(x / 3, y) % 4 * 70);
            return int(Noise(x, 0) % 256); // the same in every row
        });
        EXPECT_EQ(Inflated(Deflated(rows, 1 + pixels * 3, 3), rows.size()), rows)
            << pixels << "x" << height << ", picture " << picture;
    }
}

// Screenshots are what it is for: a blank page takes almost nothing, and a
// page with lines of text in it comes out at most half as large again as
// a general deflater's fastest level makes it.
TEST(RowDeflater, PagesComeOutSmall) {
    const TRows blank = MakeRows(800, 600, [](size_t, size_t) { return 0xff; });
    EXPECT_LT(Deflated(blank, 2401, 3).size(), blank.size() / 200);

    const TRows page = MakeRows(800, 600, [](size_t x, size_t y) {
        const bool letter = y % 20 > 4 && y % 20 < 16 && (x / 3) % 9 < 6 && x < 1500;
        return letter ? int(Noise(x / 12, y) % 4 * 60) : 0xff;
    });
    std::vector<Bytef> general(compressBound(page.size()));
    uLongf generalSize = general.size();
    ASSERT_EQ(compress2(general.data(), &generalSize, page.data(), page.size(), 1), Z_OK);
    const std::string stream = Deflated(page, 2401, 3);
    EXPECT_EQ(Inflated(stream, page.size()), page);
    EXPECT_LT(stream.size(), generalSize * 3 / 2);
}

} // namespace
} // namespace lumo

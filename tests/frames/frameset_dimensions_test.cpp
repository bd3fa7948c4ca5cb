#include "frames/frameset_dimensions.h"

#include "tests/support/cut_input.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumo {
namespace {

std::vector<int> Parse(std::string_view text) {
    TDimArray specs{};
    const int count = ParseDimensionList(text, specs);
    return {specs.begin(), specs.begin() + count};
}

TEST(FramesetDimensions, ListsReadAsPixelsSharesAndPercentages) {
    struct Row {
        const char* text;
        std::vector<int> specs;
    };
    const Row rows[] = {
        {"100,*,2*", {100, -1, -2}},
        {"25%,*", {-125, -1}},
        {"", {-1}},
        {"*", {-1}},
        {"100,200,", {100, 200, -1}}, // an empty entry is one share
        {"0,0*,0%", {1, -1, -101}},   // numbers are at least 1
        {"abc50px , 3 * ,x", {50, -3, -1}},
        {"5000*%", {-99}}, // the first of "*" and "%" decides
        {"99*", {-99}},    // caps, each at and past it: 99 shares,
        {"100*", {-99}},
        {"200*", {-99}},
        {"900%", {-1000}}, // 900 per cent,
        {"901%", {-1000}},
        {"899%", {-999}},
        {"950%", {-1000}},
        {"5000", {5000}}, // 5000 pixels,
        {"5001", {5000}},
        {"99999999999999999999999", {5000}}, // 5000 pixels, however many digits
        {"12345678901234567890123%", {-1000}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Parse(row.text), row.specs) << row.text;
    // The first 20 entries count.
    for (const size_t entries : {20u, 21u, 25u}) {
        std::string many = "1";
        for (size_t i = 1; i < entries; ++i)
            many += ",1";
        EXPECT_EQ(Parse(many).size(), 20u) << entries;
    }
}

// A list cut anywhere reads as the text it was cut to, and nothing past it.
TEST(FramesetDimensions, ListsCutAtEveryLengthReadOnlyWhatTheyHold) {
    test::ForEachPrefix("25%, 3*,100 ,*,7%x", [](std::string_view cut, size_t length) {
        EXPECT_EQ(Parse(cut), Parse(std::string(cut))) << length;
    });
}

TEST(FramesetDimensions, SizesShareTheRoom) {
    struct Row {
        std::vector<int> specs;
        int total;
        std::vector<int> sizes;
    };
    const Row rows[] = {
        {{100, -1, -2}, 400, {100, 100, 200}},     // 300 left: 1 and 2 shares of 100
        {{-125, -1}, 800, {200, 600}},             // 25% of 800, the rest to the share
        {{-150, -150, 100}, 300, {100, 100, 100}}, // 200 left, all of it to the 100%
        {{300, 300}, 400, {200, 200}},             // too little room: pixels shrink alike
        {{-1, -1, -1}, 800, {266, 266, 266}},      // 800 div 3; placement stretches it
        {{100, 200}, 800, {100, 200}},             // room to spare stays unassigned
        {{-130, -130, -140}, 1000, {300, 300, 400}},
        {{-180, -180}, 500, {250, 250}},         // 160% of 500 is capped at the 500 left
        {{100, -150, -1}, 600, {100, 300, 200}}, // 50% of 600, the last 200 to the share
        {{100, -1}, 0, {0, 0}},                  // a set of no area
        {{-1}, 0, {0}},                          // no area and no pixels: nothing to divide
        {{100, -1}, -5, {0, 0}},                 // a negative area counts as none
        {{-101, 400}, 300, {0, 300}},            // pixels over the room: the percentage gets 0
    };
    for (const Row& row : rows) {
        std::vector<int> sizes(row.specs.size());
        const int total = ComputeDimensionSizes(row.specs, row.total, sizes);
        EXPECT_EQ(sizes, row.sizes) << row.total;
        int sum = 0;
        for (int s : sizes)
            sum += s;
        EXPECT_EQ(total, sum);
    }
}

TEST(FramesetDimensions, PlacementStretchesWithoutLosingPixels) {
    struct Row {
        std::vector<int> sizes;
        int extent;
        std::vector<int> ends;
    };
    const Row rows[] = {
        {{100, 100, 200}, 400, {100, 200, 400}},
        {{266, 266, 266}, 800, {266, 533, 800}}, // 798 over 800: the last ends at the edge
        {{100, 200}, 800, {266, 800}},
        {{0, 0, 0}, 600, {200, 400, 600}}, // nothing to go by: even shares
        {{50, 50}, 0, {0, 0}},
    };
    for (const Row& row : rows) {
        int total = 0;
        for (int s : row.sizes)
            total += s;
        std::vector<int> ends(row.sizes.size());
        PlaceDimensions(row.sizes, total, row.extent, ends);
        EXPECT_EQ(ends, row.ends) << row.extent;
    }
}

TEST(FramesetDimensions, ADraggedBoundaryStaysWhereItWasDropped) {
    const std::vector<int> ends{300, 533, 800};
    std::vector<int> sizes(3);
    EXPECT_EQ(SizesFromEnds(ends, sizes), 800);
    EXPECT_EQ(sizes, (std::vector<int>{300, 233, 267}));
    std::vector<int> again(3);
    PlaceDimensions(sizes, 800, 800, again);
    EXPECT_EQ(again, ends);
}

TEST(FramesetDimensions, SpecificationsPrintAsWritten) {
    EXPECT_EQ(DimensionText(100), "100");
    EXPECT_EQ(DimensionText(-1), "*");
    EXPECT_EQ(DimensionText(-3), "3*");
    EXPECT_EQ(DimensionText(-125), "25%");
}

} // namespace
} // namespace lumo

// The web-safe colour grid and the "#rrggbb" form of colours.
#include "tools/web_safe_colors.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(WebSafeColors, CellsRunRedThenGreenThenBlue) {
    struct Row {
        int cell;
        TColor expected; // 0x00BBGGRR
    } rows[] = {
        {0, 0x000000},  {1, 0x330000},  {5, 0xFF0000},   {6, 0x003300},
        {35, 0xFFFF00}, {36, 0x000033}, {215, 0xFFFFFF},
    };
    for (const auto& row : rows)
        EXPECT_EQ(WebSafeColor(row.cell), row.expected) << row.cell;
}

TEST(WebSafeColors, PointsMapToCellsAndNothingOutsideTheGrid) {
    struct Row {
        int x, y;
        std::optional<int> expected;
    } rows[] = {
        {0, 0, 0},
        {15, 15, 0},
        {16, 0, 1},
        {3 * 16, 2 * 16, 35},
        {255, 0, 15},
        {0, 16, 16},
        {7 * 16, 13 * 16, 215},
        {8 * 16, 13 * 16, 215},
        {255, 223, 215}, // empty part of the last row
        {-1, 0, std::nullopt},
        {0, -1, std::nullopt},
        {256, 0, std::nullopt},
        {0, 224, std::nullopt},
        {-300, -300, std::nullopt},
        {100000, 5, std::nullopt},
    };
    for (const auto& row : rows)
        EXPECT_EQ(WebSafeCellAt(row.x, row.y), row.expected) << row.x << "," << row.y;
}

TEST(WebSafeColors, TextAndValueSwapTheOuterPairs) {
    struct Row {
        const char* text;
        TColor color;
    } rows[] = {{"#000000", 0x000000}, {"#ff0000", 0x0000FF}, {"#00ff00", 0x00FF00},
                {"#0000ff", 0xFF0000}, {"#123456", 0x563412}, {"#ffffff", 0xFFFFFF}};
    for (const auto& row : rows) {
        EXPECT_EQ(WebColorText(row.color), row.text);
        EXPECT_EQ(WebColorOfText(row.text), row.color);
    }
    EXPECT_EQ(WebColorOfText("#ABCDEF"), TColor{0xEFCDAB});
    for (const char* bad :
         {"", "#", "123456", "#12345", "#1234567", "#12 456", "#-12345", "#gg0000"})
        EXPECT_EQ(WebColorOfText(bad), std::nullopt) << bad;
}

} // namespace
} // namespace lumo

// Column widths from cell measures, worked out by hand.
#include "layout/table_columns.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TColumnCell Cell(int col, int span, int min, int max, int percent = 0, int pixels = 0) {
    TColumnCell c;
    c.Col = col;
    c.Span = span;
    c.Min = min;
    c.Max = max;
    c.Percent = percent;
    c.PixelWidth = pixels;
    return c;
}

using Widths = std::vector<int>;

TEST(TableColumns, DistributeForRoom) {
    const struct {
        const char* what;
        std::vector<TColumnCell> cells;
        int room;
        Widths expected;
    } rows[] = {
        // 30 % + 30 % of 1000 where the minima allow; the free column takes
        // the remaining 390 on top of its minimum 10.
        {"30+30+auto",
         {Cell(0, 1, 10, 20, 300), Cell(1, 1, 10, 20, 300), Cell(2, 1, 10, 100)},
         1000,
         {300, 300, 400}},
        // 10 % of 1000 is 100, below the cell's minimum 150: the minimum wins;
        // the free column takes the rest.
        {"minimum beats percent",
         {Cell(0, 1, 150, 200, 100), Cell(1, 1, 10, 20)},
         1000,
         {150, 850}},
        // 60 % + 60 % of 500: the second column's 300 is below its minimum
        // 350 and stays there; the first gives up the excess 150.
        {"percents over room",
         {Cell(0, 1, 100, 100, 600), Cell(1, 1, 350, 350, 600)},
         500,
         {150, 350}},
        // Room 100 over minima 10 + 20; slack (50-10) + (80-20) = 100 is at
        // least half the room 70, so it goes by slack: 28 and 42.
        {"by slack", {Cell(0, 1, 10, 50), Cell(1, 1, 20, 80)}, 100, {38, 62}},
        // Slack 10 is less than half the room 200: equal shares.
        {"equal shares", {Cell(0, 1, 10, 15), Cell(1, 1, 10, 15)}, 220, {110, 110}},
        // Nothing measured and a room of one pixel: no division by zero.
        {"room of 1", {Cell(0, 1, 0, 0), Cell(1, 1, 0, 0)}, 1, {1, 0}},
        // Minima over the room: the minima.
        {"too narrow", {Cell(0, 1, 300, 400), Cell(1, 1, 300, 400)}, 500, {300, 300}},
        // Only percentage columns, 20 % + 30 % of 1000: the remaining 500 goes
        // by percentage, 200 and 300 more.
        {"percents below room",
         {Cell(0, 1, 10, 10, 200), Cell(1, 1, 10, 10, 300)},
         1000,
         {400, 600}},
    };
    for (const auto& row : rows) {
        const int n = static_cast<int>(row.expected.size());
        const TColumnMeasures m = MeasurePercentColumns(n, row.cells, 0);
        EXPECT_EQ(DistributeColumns(m, row.room), row.expected) << row.what;
    }
}

TEST(TableColumns, SpansOverColumnsWithoutSingleCells) {
    // A span of 2 over columns no single cell measures: equal halves.
    TColumnMeasures m = MeasurePercentColumns(2, {Cell(0, 2, 41, 101)}, 0);
    EXPECT_EQ(m.MinW, (Widths{20, 21}));
    EXPECT_EQ(m.MaxW, (Widths{50, 51}));
    // Pixel widths only: the excess goes to the first column.
    m = MeasurePixelColumns(3, {Cell(0, 3, 30, 60)});
    EXPECT_EQ(m.MinW, (Widths{30, 0, 0}));
    // Over measured columns: in proportion to what they hold, the
    // remainder to the last; 10 + 30 grow to 40 + 60 minus rounding.
    m = MeasurePercentColumns(2, {Cell(0, 1, 10, 10), Cell(1, 1, 30, 30), Cell(0, 2, 100, 100)}, 0);
    EXPECT_EQ(m.MinW, (Widths{25, 75}));
    EXPECT_EQ(m.TotalMin, 100);
}

TEST(TableColumns, SpanWithPercentShares) {
    // A 50 % cell over a 20 % column and a free one: the free column takes
    // the 30 % left.
    TColumnMeasures m = MeasurePercentColumns(
        2, {Cell(0, 1, 10, 10, 200), Cell(1, 1, 10, 10), Cell(0, 2, 10, 10, 500)}, 0);
    EXPECT_EQ(m.Percents, (Widths{200, 300}));
    // A 60 % cell over 10 % + 20 %: both scaled by 60 / 30.
    m = MeasurePercentColumns(
        2, {Cell(0, 1, 10, 10, 100), Cell(1, 1, 10, 10, 200), Cell(0, 2, 10, 10, 600)}, 0);
    EXPECT_EQ(m.Percents, (Widths{200, 400}));
}

TEST(TableColumns, PixelWidths) {
    // WIDTH=100 with 7 pixels of padding and spacing fixes min and max at
    // 107 unless the content needs more.
    TColumnCell c = Cell(0, 1, 37, 207, 0, 100);
    c.Extra = 7;
    TColumnMeasures m = MeasurePixelColumns(1, {c});
    EXPECT_EQ(m.MinW[0], 107);
    EXPECT_EQ(m.MaxW[0], 107);
    c.Min = 157;
    m = MeasurePixelColumns(1, {c});
    EXPECT_EQ(m.MaxW[0], 157);
    // With a known table width the pixel width counts as its share: 100 of
    // 400 is 25 %.
    m = MeasurePercentColumns(1, {c}, 400);
    EXPECT_EQ(m.Percents[0], 250);
}

TEST(TableColumns, ShareExtra) {
    Widths h{10, 10, 10, 10};
    ShareExtra(h, 1, 3, 10);
    EXPECT_EQ(h, (Widths{10, 13, 13, 14}));
    ShareExtra(h, 0, 0, 10); // no rows: nothing
    ShareExtra(h, 0, 2, -5); // nothing to share
    EXPECT_EQ(h, (Widths{10, 13, 13, 14}));
}

} // namespace
} // namespace lumo

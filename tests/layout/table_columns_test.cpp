// Column widths from cell measures, worked out by hand. Each row is a table
// as a page author wrote it; the widths are what browsers of the time gave
// its cells (outer widths, without the spacing between cells).
#include "layout/table_columns.h"

#include <gtest/gtest.h>

#include <numeric>

namespace lumo {
namespace {

TColumnCell Cell(int col, int span, int min, int max) {
    TColumnCell c;
    c.Col = col;
    c.Span = span;
    c.Min = min;
    c.Max = max;
    return c;
}

TColumnCell Percent(TColumnCell c, int tenths) {
    c.Percent = tenths;
    return c;
}

TColumnCell Fixed(TColumnCell c, int pixels) {
    c.Fixed = pixels;
    return c;
}

using Widths = std::vector<int>;

// width 0: a table without WIDTH, as wide as its columns want to be.
struct TWorkedCase {
    const char* what;
    int numCols;
    std::vector<TColumnCell> cells;
    int spacing;
    int width;
    Widths expected;
};

const TWorkedCase WorkedCases[] = {
    // Three 50 % cells in 492 pixels: the first two are honoured, the third
    // keeps its minimum, and the first two give up what does not fit.
    {"percents past 100 %",
     3,
     {Percent(Cell(0, 1, 30, 40), 500), Percent(Cell(1, 1, 30, 40), 500),
      Percent(Cell(2, 1, 30, 40), 500)},
     2,
     492,
     {231, 231, 30}},
    // 20 %, 20 % and 100 %: the last gets the 60 % left (the lost pixel of
    // rounding goes to the percentages by their size).
    {"100 % after 40 %",
     3,
     {Percent(Cell(0, 1, 10, 10), 200), Percent(Cell(1, 1, 10, 10), 200),
      Percent(Cell(2, 1, 10, 10), 1000)},
     2,
     776,
     {155, 155, 466}},
    // 30 % + 30 % and a free column in 1000: the free one takes the rest.
    {"spare width to the auto column",
     3,
     {Percent(Cell(0, 1, 10, 20), 300), Percent(Cell(1, 1, 10, 20), 300), Cell(2, 1, 10, 100)},
     2,
     1000,
     {300, 300, 400}},
    // A percentage below the column's minimum: the minimum.
    {"minimum beats percent",
     2,
     {Percent(Cell(0, 1, 150, 200), 100), Cell(1, 1, 10, 20)},
     2,
     1000,
     {150, 850}},
    // A nested table (117 wide at most) beside a line of words in 392: the
    // words take all that is left above the table's minimum.
    {"nested table beside text",
     2,
     {Cell(0, 1, 117, 117), Cell(1, 1, 50, 1000)},
     2,
     392,
     {117, 275}},
    // Auto columns between their minimum and widest grow by the difference.
    {"auto columns by their slack", 2, {Cell(0, 1, 10, 50), Cell(1, 1, 20, 80)}, 2, 80, {30, 50}},
    // Pixel widths are the cells' widths in a table without WIDTH.
    {"pixel widths in an auto table",
     2,
     {Fixed(Cell(0, 1, 20, 40), 112), Fixed(Cell(1, 1, 20, 40), 212)},
     3,
     0,
     {112, 212}},
    // A WIDTH narrower than the column's other content: the WIDTH holds and
    // the content wraps.
    {"pixel width over longer text",
     2,
     {Fixed(Cell(0, 1, 10, 10), 102), Cell(1, 1, 10, 10), Cell(0, 1, 40, 300), Cell(1, 1, 10, 10)},
     2,
     0,
     {102, 10}},
    // In a wider table the auto column takes the spare width, not the
    // fixed one.
    {"spare width passes fixed columns",
     2,
     {Fixed(Cell(0, 1, 10, 10), 100), Cell(1, 1, 10, 20)},
     2,
     700,
     {100, 600}},
    // Only fixed columns: they share the spare width by their widths.
    {"fixed columns only",
     2,
     {Fixed(Cell(0, 1, 10, 10), 100), Fixed(Cell(1, 1, 10, 10), 300)},
     2,
     800,
     {200, 600}},
    // Two 50 % cells in a table without WIDTH: wide enough that the first
    // cell's text fits on one line.
    {"percents widen an auto table",
     2,
     {Percent(Cell(0, 1, 40, 90), 500), Percent(Cell(1, 1, 10, 10), 500)},
     2,
     0,
     {90, 90}},
    // A 20 % column beside 600 unbreakable pixels: the table grows until
    // the 600 are 80 % of it.
    {"percent beside a wide cell",
     2,
     {Percent(Cell(0, 1, 10, 10), 200), Cell(1, 1, 600, 600)},
     2,
     0,
     {150, 600}},
    // A cell of WIDTH=500 over 100 | auto | 30 %: the table is 500 wide, the
    // 30 % get 150 and the auto column the rest.
    {"span with a pixel width over mixed columns",
     3,
     {Fixed(Cell(0, 1, 10, 10), 100), Cell(1, 1, 10, 10), Percent(Cell(2, 1, 10, 10), 300),
      Fixed(Cell(0, 3, 10, 10), 500)},
     0,
     0,
     {100, 250, 150}},
    // WIDTH=50 beside a span of WIDTH=300 (3 pixels between the columns):
    // the 50 hold and the auto column gets the rest of the span.
    {"pixel width beside a wider span",
     2,
     {Fixed(Cell(0, 1, 10, 10), 50), Cell(1, 1, 10, 10), Fixed(Cell(0, 2, 10, 10), 300)},
     3,
     0,
     {50, 247}},
    // A span over columns no single cell measures: equal halves; its
    // minimum beyond theirs goes to them by their widest.
    {"span over empty columns", 2, {Cell(0, 2, 41, 101)}, 0, 0, {50, 51}},
    {"span over measured columns",
     2,
     {Cell(0, 1, 10, 10), Cell(1, 1, 30, 30), Cell(0, 2, 100, 100)},
     0,
     0,
     {25, 75}},
    // A 50 % span over a 20 % column and a free one: the free one holds
    // the 30 % left.
    {"span percent shared",
     2,
     {Percent(Cell(0, 1, 10, 10), 200), Cell(1, 1, 10, 10), Percent(Cell(0, 2, 10, 10), 500)},
     0,
     1000,
     {400, 600}},
    // Minima wider than the table: the minima.
    {"too narrow", 2, {Cell(0, 1, 300, 400), Cell(1, 1, 300, 400)}, 2, 500, {300, 300}},
    // Nothing measured and a width of one pixel: no division by zero.
    {"width of one", 2, {Cell(0, 1, 0, 0), Cell(1, 1, 0, 0)}, 2, 1, {0, 1}},
};

TEST(TableColumns, WorkedCases) {
    for (const TWorkedCase& row : WorkedCases) {
        const TColumnMeasures m = MeasureColumns(row.numCols, row.cells, row.spacing);
        const int width = row.width > 0 ? row.width : m.TotalMax;
        EXPECT_EQ(DistributeColumns(m.Cols, width), row.expected) << row.what;
    }
}

TEST(TableColumns, Measures) {
    // Percentages reaching 100 % beside a column that holds something: the
    // table wants all the width it can get, but no more than the limit.
    TColumnMeasures m =
        MeasureColumns(2, {Percent(Cell(0, 1, 10, 10), 1000), Cell(1, 1, 20, 30)}, 0);
    EXPECT_EQ(m.TotalMin, 30);
    EXPECT_EQ(m.TotalMax, 1 << 20);
    EXPECT_EQ(m.Cols[0].Kind, TColumnKind::Percent);
    // 60 % + 60 %: the second keeps the 40 % left, a third column nothing.
    m = MeasureColumns(3,
                       {Percent(Cell(0, 1, 0, 0), 600), Percent(Cell(1, 1, 0, 0), 600),
                        Percent(Cell(2, 1, 0, 0), 100)},
                       0);
    EXPECT_EQ(m.Cols[1].Percent, 400);
    EXPECT_EQ(m.Cols[2].Percent, 0);
    // A table that may not widen for its percentages wants only its
    // columns' widest: a 20 % column beside 600 pixels.
    const std::vector<TColumnCell> beside = {Percent(Cell(0, 1, 10, 10), 200),
                                             Cell(1, 1, 600, 600)};
    EXPECT_EQ(MeasureColumns(2, beside, 0, TWidenForPercents::Yes).TotalMax, 750);
    EXPECT_EQ(MeasureColumns(2, beside, 0, TWidenForPercents::No).TotalMax, 610);
    // A pixel width never makes a column narrower than its content's
    // minimum.
    m = MeasureColumns(1, {Fixed(Cell(0, 1, 157, 300), 107)}, 0);
    EXPECT_EQ(m.Cols[0].Max, 157);
    EXPECT_EQ(m.Cols[0].Kind, TColumnKind::Fixed);
    // Whatever the width, the columns add up to it once it is above the
    // minima.
    for (int width : {31, 99, 250, 1001}) {
        const Widths w = DistributeColumns(m.Cols, width);
        EXPECT_EQ(std::accumulate(w.begin(), w.end(), 0), std::max(width, 157)) << width;
    }
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

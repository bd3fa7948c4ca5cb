// Column widths of a table, worked out from its cells' measured minimum and
// maximum widths. Pure arithmetic on pixel counts, so it is tested without
// any layout. Percentages are in tenths of a percent (1000 = 100 %).
#pragma once

#include <vector>

namespace lumo {

// A table never has more columns than this; cells beyond are dropped.
inline constexpr int MaxTableColumns = 200;

// What one cell asks of the columns it covers.
struct TColumnCell {
    int Col = 0;  // first column
    int Span = 1; // columns covered, at least 1
    // Content widths with the cell's padding and the cell spacing added.
    int Min = 0;
    int Max = 0;
    int Extra = 0;      // the padding and spacing included in Min and Max
    int PixelWidth = 0; // WIDTH in pixels, 0 for none
    int Percent = 0;    // WIDTH in tenths of a percent, 0 for none
};

struct TColumnMeasures {
    std::vector<int> MinW, MaxW, Percents;
    int TotalMin = 0;
    int TotalMax = 0;
};

// Pixel widths only: a cell's pixel width fixes both its minimum and its
// maximum (never below its content's minimum); percentages play no part.
// Used to measure a table that has cells with pixel widths.
TColumnMeasures MeasurePixelColumns(int numCols, const std::vector<TColumnCell>& cells);

// With percentages: a pixel width counts as its share of tableWidth when that
// is known (above 0), and is passed over otherwise.
TColumnMeasures MeasurePercentColumns(int numCols, const std::vector<TColumnCell>& cells,
                                      int tableWidth);

// The widths of the columns for room pixels (the table's width less one
// cell spacing): at least each column's minimum; percentage columns take
// their share of room where their minimum allows, and the others share what
// is left.
std::vector<int> DistributeColumns(const TColumnMeasures& m, int room);

// Shares extra pixels over the entries of heights (rows spanned by a cell):
// an equal part each, the remainder to the last.
void ShareExtra(std::vector<int>& heights, int first, int count, int extra);

} // namespace lumo

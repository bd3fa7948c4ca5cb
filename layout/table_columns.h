// Column widths of a table, worked out from its cells' measured minimum and
// maximum widths: first what each column needs and could use (MeasureColumns),
// then how a table width is shared among them (DistributeColumns). Pure
// arithmetic on pixel counts, so it is tested without any layout.
//
// Widths here are the cells' outer widths: content, padding and the cell's
// own frame, without the spacing between cells. Percentages are in tenths of
// a percent (1000 = 100 %).
#pragma once

#include <cstdint>
#include <vector>

namespace lumo {

// A table never has more columns than this; cells beyond are dropped.
inline constexpr int MaxTableColumns = 200;

// What one cell asks of the columns it covers.
struct TColumnCell {
    int Col = 0;     // first column
    int Span = 1;    // columns covered, at least 1
    int Min = 0;     // the narrowest the cell can be without overflowing
    int Max = 0;     // the width it takes with no line broken
    int Fixed = 0;   // WIDTH in pixels made an outer width, 0 for none
    int Percent = 0; // WIDTH in tenths of a percent, 0 for none
};

// How a column's width is decided beyond its minimum.
enum class TColumnKind : uint8_t {
    Auto,    // by its content
    Fixed,   // a cell gave a width in pixels: Max holds it
    Percent, // a share of the table's width
};

struct TColumn {
    int Min = 0;
    int Max = 0;
    TColumnKind Kind = TColumnKind::Auto;
    int Percent = 0; // with Kind Percent; what is left of 100 % in column order
};

struct TColumnMeasures {
    std::vector<TColumn> Cols;
    // The narrowest and widest the columns want to be together, without the
    // spacing; TotalMax is widened so that each percentage can be honoured.
    int TotalMin = 0;
    int TotalMax = 0;
};

// Whether a table without WIDTH grows until each percentage column gets its
// widest content as its share. A table in a cell sized by its content does
// not: the cell would take the whole room.
enum class TWidenForPercents : uint8_t { No, Yes };

// The columns' needs from their cells. spacing is the gap between two
// columns, which a cell spanning them covers too.
TColumnMeasures MeasureColumns(int numCols, const std::vector<TColumnCell>& cells, int spacing,
                               TWidenForPercents widen = TWidenForPercents::Yes);

// The widths of the columns for a table whose columns together take width
// (the table's width less frame and spacing). Never below each column's
// minimum: percentages are honoured first, in column order, then pixel
// widths, then the content's widest; what is left over goes to the auto
// columns, or else to the fixed ones, or else to the percentages.
std::vector<int> DistributeColumns(const std::vector<TColumn>& cols, int width);

// Shares extra pixels over the entries of heights (rows spanned by a cell):
// an equal part each, the remainder to the last.
void ShareExtra(std::vector<int>& heights, int first, int count, int extra);

} // namespace lumo

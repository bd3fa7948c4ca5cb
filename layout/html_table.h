// A table: the grid of cells in rows, its column widths, row heights and
// borders. The block around it (TTableBlock) gives it margins, float and the
// width it must take; the builder adds rows and cells in document order and
// the grid is put right once, before the first layout.
//
// Geometry is in document pixels like every item: a cell's content is laid
// out once, at the top of the table body, and then moved down to its row.
#pragma once

#include "html/properties.h"
#include "layout/background_image.h"
#include "layout/box_border.h"
#include "layout/cell.h"
#include "layout/paint_index.h"
#include "layout/table_columns.h"

#include <array>
#include <memory>
#include <vector>

namespace lumo {

class TAttributeList;

// Where a cell's content sits between its top and bottom.
enum class TCellVAlign { Top = 1, Middle = 2, Bottom = 3, Baseline = 4 };

// Spans beyond these are cut: the grid never grows without bound.
inline constexpr int MaxColSpan = MaxTableColumns;
inline constexpr int MaxRowSpan = 1000;
// The rows of one table reach at most this far down.
inline constexpr int MaxTableHeight = 1 << 28;
// A BORDER wider than this is drawn this wide.
inline constexpr int MaxTableBorder = 50;

class TTableCell {
public:
    TTableCell(TSectionList& root, const TAttributeList& attributes, TCellVAlign vAlign);
    // A copy for another document, its content copied too.
    TTableCell(TSectionList& root, const TTableCell& source);

    // Takes what the cell's style sheet rules and STYLE attribute give: its
    // paddings, border, width, height, background colour and picture, each
    // in place of what the cell's attributes said.
    void TakeStyle(const TProperties& props);

    int ColSpan = 1;
    int RowSpan = 1;
    int Col = 0;    // first column, set when the grid is repaired
    int SpecWd = 0; // WIDTH: pixels, or tenths of a percent with SpecWdPercent
    bool SpecWdPercent = false;
    int SpecHt = 0; // HEIGHT in pixels
    TCellVAlign VAlign = TCellVAlign::Middle;
    // Paddings from the cell's style; those it leaves unset (-1) take the
    // table's CELLPADDING when the grid is repaired.
    int PadTop = -1, PadRight = -1, PadBottom = -1, PadLeft = -1;
    TColor BgColor = clNone;
    // The border the cell's style draws around its padding, in place of the
    // sunken frame of a table with BORDER, and its widths by side.
    TBoxBorder Border;
    std::array<int, 4> BorderWidths{};
    // The two sides of the cell's sunken frame; unset ones take the table's.
    TColor BorderColorLight = clNone;
    TColor BorderColorDark = clNone;
    TCell Cell;
    // BACKGROUND, or the row's; none for a cell without a picture, as most are.
    std::unique_ptr<TBackgroundImage> CellImage;
    // Takes another address for the picture, with the tiling of props when
    // a style gives it.
    void SetImage(std::string source, const TProperties* props = nullptr);

    // Results of the last layout, document pixels.
    int Wd = 0;       // sum of the widths of its columns
    int Ht = 0;       // sum of the heights of its rows
    int VSize = 0;    // height of the content
    int YIndent = 0;  // content offset below the padding
    int CellX = 0;    // left of its first column (the spacing before it included)
    int CellY = 0;    // top of its first row (the spacing above it included)
    int LaidOutY = 0; // where the content's top was laid out, before it was placed

    // The unset paddings become padding.
    void DefaultPaddings(int padding);
    // Padding and border between the cell's rectangle, after the spacing,
    // and its content.
    int InsetTop() const { return PadTop + BorderWidths[TBoxBorder::Top]; }
    int InsetRight() const { return PadRight + BorderWidths[TBoxBorder::Right]; }
    int InsetBottom() const { return PadBottom + BorderWidths[TBoxBorder::Bottom]; }
    int InsetLeft() const { return PadLeft + BorderWidths[TBoxBorder::Left]; }
    // The width left for the content inside the insets, after spacing.
    int ContentWidth(int spacing) const;

    // Whether the point lies in the cell's rectangle.
    bool Holds(int X, int Y) const {
        return X >= CellX && X < CellX + Wd && Y >= CellY && Y < CellY + Ht;
    }
};

// A row of cells.
class TTableRow {
public:
    TTableRow() = default;
    explicit TTableRow(const TAttributeList& attributes);
    // The background colour and picture of the row's style, in place of its
    // attributes'.
    void TakeStyle(const TProperties& props);

    std::vector<std::unique_ptr<TTableCell>> Cells;
    TColor RowBgColor = clNone;
    std::string RowImage; // given to the cells without a picture of their own
    int RowHeight = 0;
    // The rows the row's cells paint in, for the paint index.
    int PaintTopY = 0;
    int PaintBottomY = 0;
};

class THtmlTable : public TSectionBase {
public:
    THtmlTable(TSectionList& root, const TAttributeList& attributes);
    THtmlTable(TSectionList& root, const THtmlTable& source);
    ~THtmlTable() override;

    std::vector<std::unique_ptr<TTableRow>> Rows;
    TCell Caption;
    bool CaptionOnTop = true;
    bool HasBorder = false;
    int BorderWidth = 0; // of the raised frame around the body, when HasBorder
    int CellPadding = 1;
    int CellSpacing = 2;
    TColor BorderColor = clNone;
    // The lit and shaded sides of the 3-D frames; clNone for the system's.
    TColor BorderColorLight = clNone;
    TColor BorderColorDark = clNone;
    TColor TableBgColor = clNone; // given to cells that have none
    int NumCols = 0;
    TWidenForPercents WidenForPercents = TWidenForPercents::Yes;
    std::vector<int> Widths; // column widths in pixels
    // Set by the block: the width the table must take (0 for none) and the
    // height it should reach.
    int RequestedWidth = 0;
    int RequestedHeight = 0;
    // Results of the last layout.
    int TableWidth = 0; // CellSpacing plus the column widths
    int TotalWidth = 0; // the table or its caption, whichever is wider
    int CaptionHeight = 0;
    int BodyHeight = 0;
    int BodyTopY = 0;     // document Y of the rows part
    int CenterOffset = 0; // rows shifted right when the caption is wider

    // Building: a cell joins the open row; a row joins the table.
    static void AddCell(TTableRow& row, std::unique_ptr<TTableCell> cell);
    void AddRow(std::unique_ptr<TTableRow> row);

    int LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int HeightBase,
               int& WidestOut) override;
    int Paint(Canvas& canvas, const TRect& clip, int X) override;
    void MeasureWidths(Canvas& canvas, int& Min, int& Max) override;
    void MoveY(int dy) override;
    bool LinkAt(Canvas& canvas, int X, int Y, const TUrlTarget*& target,
                TFormControl*& control) override;
    bool ObjectAt(int X, int Y, TInlineImage*& object, int& IX, int& IY) override;
    int CursorAt(Canvas& canvas, int X, int Y, int& XR, int& YR, int& CaretHt,
                 bool& InText) override;
    int FindText(int from, std::string_view text, bool matchCase) override;
    int SourceOfDocPos(int docPos) override;
    int DocPosOfSource(int sourcePos, TBetween between) override;
    bool CursorToPoint(Canvas* canvas, int cursor, int& X, int& Y) override;
    bool CharAt(int pos, char& ch, TSectionBase*& obj) override;
    void CopySelection() override;
    std::unique_ptr<TSectionBase> Clone(TSectionList& root, TCellBasic& container) const override;
    void Dump(std::string& out, int depth) const override;
    const char* KindName() const override { return "ThtmlTable"; }

    // Puts the grid right: spans cut, columns assigned, backgrounds and
    // paddings handed down. Once; later calls do nothing.
    void Initialize();
    // How far a frame wider than one pixel reaches beyond the cell spacing
    // on each side of the body.
    int FrameExtra() const { return HasBorder ? BorderWidth - 1 : 0; }

private:
    // The steps of LayOut.
    // The columns' needs, once per layout pass.
    const TColumnMeasures& MeasureColumns(Canvas& canvas);
    // A cell's own frame: the sunken border drawn in the spacing.
    int CellFrame() const;
    // The spacing between two cells beyond their frames.
    int Gap() const;
    // The part of the table's width that is not its cells: the frame and
    // the spacing before, between and after the columns.
    int OutsideColumns() const;
    void LayOutCells(const TLayoutContext& context, int X);
    // The top of the row after one at rowTop of rowHeight pixels.
    int NextRowTop(int rowTop, int rowHeight) const;
    // The height a cell asks of the rows it spans, the spacing below included.
    int NeededHeight(const TTableCell& cell) const;
    std::vector<int> RowHeights() const;
    void StretchToHeight(std::vector<int>& heights) const;
    void PlaceCells(const std::vector<int>& heights);
    int LayOutCaption(const TLayoutContext& context, int X, int Y);

    void PaintRow(Canvas& canvas, const TRect& clip, TTableRow& row, int X);
    void PaintTableCell(Canvas& canvas, const TRect& clip, TTableCell& cell, int X);
    void PaintBorderColor(Canvas& canvas, const TRect& clip, int X);
    void PaintFrame(Canvas& canvas, int X);
    // While printing: a table or row that would be cut by the page end and
    // fits on a page starts the next page. True when nothing more is drawn.
    bool MovesToNextPage(int top, int bottom, const TRect& clip) const;

    // Calls f for every cell in document order.
    template <class F>
    void ForEachCell(F&& f) const {
        for (const auto& row : Rows)
            for (const auto& cell : row->Cells)
                f(*cell);
    }
    // The cells whose rows meet [top, bottom), in document order.
    template <class F>
    void ForCellsMeeting(int top, int bottom, F&& f) const {
        rowIndex_.ForEachMeeting(top, bottom, [&](TTableRow* row) {
            for (const auto& cell : row->Cells)
                f(*cell);
        });
    }

    bool initialized_ = false;
    TPaintIndex<TTableRow> rowIndex_;
    // MeasureWidths of the last pass, kept: nested tables are measured once.
    int measuredPass_ = -1;
    const Canvas* measuredOn_ = nullptr;
    TColumnMeasures measured_;
};

} // namespace lumo

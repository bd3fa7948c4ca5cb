#include "layout/html_table.h"

#include "html/attributes.h"
#include "html/parse_color.h"
#include "layout/first_line_report.h"
#include "layout/section_list.h"
#include "platform/text.h"

#include <algorithm>
#include <cstdint>
#include <numeric>

namespace lumo {

namespace {

TColor ColorAttribute(const TAttributeList& attributes, TokenKind which) {
    TColor c;
    if (const TAttribute* a = attributes.Find(which); a && ParseColor(a->Name, TPound::Optional, c))
        return c | PaletteRelative;
    return clNone;
}

} // namespace

TTableCell::TTableCell(TSectionList& root, const TAttributeList& attributes, TCellVAlign vAlign)
    : VAlign(vAlign), Cell(root) {
    Cell.OwnerTag = "td";
    if (const TAttribute* a = attributes.Find(BackgroundTok)) SetImage(a->Name);
    if (const TAttribute* a = attributes.Find(ColSpanTok); a && a->Value > 1)
        ColSpan = std::min(a->Value, MaxColSpan);
    if (const TAttribute* a = attributes.Find(RowSpanTok); a && a->Value > 1)
        RowSpan = std::min(a->Value, MaxRowSpan);
    if (const TAttribute* a = attributes.Find(WidthTok); a && a->Value > 0) {
        SpecWdPercent = a->Name.find('%') != std::string::npos;
        SpecWd = SpecWdPercent ? std::min(a->Value, 100) * 10 : std::min(a->Value, MaxLength);
    }
    if (const TAttribute* a = attributes.Find(HeightTok);
        a && a->Value > 0 && a->Name.find('%') == std::string::npos)
        SpecHt = std::min(a->Value, MaxLength);
    BgColor = ColorAttribute(attributes, BGColorTok);
    BorderColorLight = ColorAttribute(attributes, BorderColorLightTok);
    BorderColorDark = ColorAttribute(attributes, BorderColorDarkTok);
}

TTableCell::TTableCell(TSectionList& root, const TTableCell& source)
    : ColSpan(source.ColSpan), RowSpan(source.RowSpan), Col(source.Col), SpecWd(source.SpecWd),
      SpecWdPercent(source.SpecWdPercent), SpecHt(source.SpecHt), VAlign(source.VAlign),
      PadTop(source.PadTop), PadRight(source.PadRight), PadBottom(source.PadBottom),
      PadLeft(source.PadLeft), BgColor(source.BgColor), Border(source.Border),
      BorderWidths(source.BorderWidths), BorderColorLight(source.BorderColorLight),
      BorderColorDark(source.BorderColorDark), Cell(root) {
    if (source.CellImage) CellImage = std::make_unique<TBackgroundImage>(root, *source.CellImage);
    Cell.OwnerTag = source.Cell.OwnerTag;
    Cell.CloneItems(source.Cell);
}

void TTableCell::TakeStyle(const TProperties& props) {
    // Percentages of the column, which the cell helps decide, count as
    // nothing for paddings and borders.
    TBoxValues box{};
    int autos = 0;
    ResolveBoxValues(props, 0, 0, props.EmSize, props.ExSize, box, autos);
    int* pads[] = {&PadTop, &PadRight, &PadBottom, &PadLeft};
    for (int side = 0; side < 4; ++side) {
        if (props.Props[Prop::PaddingTop + side] != TPropValue(IntNull))
            *pads[side] = std::max(0, box[Prop::PaddingTop + side]);
        BorderWidths[side] = std::clamp(box[Prop::BorderTopWidth + side], 0, MaxTableBorder);
    }
    Border = TBoxBorder::Of(props);
    if (const std::string* width = props.Text(Prop::Width)) {
        // A percentage of the table, in tenths as WIDTH gives it.
        const bool percent = width->find('%') != std::string::npos;
        const int w =
            ConvertLength(*width, TPlainNumber::Pixels, 1000, props.EmSize, props.ExSize, 0);
        if (w > 0) {
            SpecWdPercent = percent;
            SpecWd = std::min(w, percent ? 1000 : MaxLength);
        }
    }
    if (const std::string* height = props.Text(Prop::Height);
        height && height->find('%') == std::string::npos)
        if (const int h =
                ConvertLength(*height, TPlainNumber::Pixels, 0, props.EmSize, props.ExSize, 0);
            h > 0)
            SpecHt = std::min(h, MaxLength);
    if (const TColor back = props.GetBackgroundColor(); back != clNone) BgColor = back;
    if (std::string url; props.GetBackgroundImage(url)) SetImage(std::move(url), &props);
}

void TTableCell::SetImage(std::string source, const TProperties* props) {
    if (!CellImage) {
        if (source.empty()) return;
        CellImage = std::make_unique<TBackgroundImage>(*Cell.Root);
    }
    if (props)
        CellImage->SetFrom(std::move(source), *props);
    else
        CellImage->SetSource(std::move(source));
}

void TTableCell::DefaultPaddings(int padding) {
    for (int* pad : {&PadTop, &PadRight, &PadBottom, &PadLeft})
        if (*pad < 0) *pad = padding;
}

int TTableCell::ContentWidth(int spacing) const {
    return std::max(0, Wd - InsetLeft() - InsetRight() - spacing);
}

TTableRow::TTableRow(const TAttributeList& attributes)
    : RowBgColor(ColorAttribute(attributes, BGColorTok)) {
    if (const TAttribute* a = attributes.Find(BackgroundTok)) RowImage = Trim(a->Name);
}

void TTableRow::TakeStyle(const TProperties& props) {
    if (const TColor back = props.GetBackgroundColor(); back != clNone) RowBgColor = back;
    if (std::string url; props.GetBackgroundImage(url)) RowImage = url;
}

THtmlTable::THtmlTable(TSectionList& root, const TAttributeList& attributes)
    : TSectionBase(root), Caption(root) {
    Caption.OwnerTag = "caption";
    if (const TAttribute* a = attributes.Find(BorderTok); a && a->Value > 0) {
        HasBorder = true;
        BorderWidth = std::min(a->Value, MaxTableBorder);
    }
    if (const TAttribute* a = attributes.Find(CellPaddingTok); a && a->Value >= 0)
        CellPadding = std::min(a->Value, 50);
    if (const TAttribute* a = attributes.Find(CellSpacingTok); a && a->Value >= 0)
        CellSpacing = std::min(a->Value, 40);
    if (HasBorder) CellSpacing = std::max(1, CellSpacing + 2);
    BorderColor = ColorAttribute(attributes, BorderColorTok);
    BorderColorLight = ColorAttribute(attributes, BorderColorLightTok);
    BorderColorDark = ColorAttribute(attributes, BorderColorDarkTok);
}

THtmlTable::THtmlTable(TSectionList& root, const THtmlTable& source)
    : TSectionBase(root, source), Caption(root), CaptionOnTop(source.CaptionOnTop),
      HasBorder(source.HasBorder), BorderWidth(source.BorderWidth), CellPadding(source.CellPadding),
      CellSpacing(source.CellSpacing), BorderColor(source.BorderColor),
      BorderColorLight(source.BorderColorLight), BorderColorDark(source.BorderColorDark),
      TableBgColor(source.TableBgColor), WidenForPercents(source.WidenForPercents) {
    Caption.OwnerTag = source.Caption.OwnerTag;
    Caption.CloneItems(source.Caption);
    for (const auto& row : source.Rows) {
        auto copy = std::make_unique<TTableRow>();
        copy->RowBgColor = row->RowBgColor;
        copy->RowImage = row->RowImage;
        for (const auto& cell : row->Cells)
            copy->Cells.push_back(std::make_unique<TTableCell>(root, *cell));
        Rows.push_back(std::move(copy));
    }
}

THtmlTable::~THtmlTable() = default;

std::unique_ptr<TSectionBase> THtmlTable::Clone(TSectionList& root, TCellBasic&) const {
    return std::make_unique<THtmlTable>(root, *this);
}

void THtmlTable::AddCell(TTableRow& row, std::unique_ptr<TTableCell> cell) {
    if (cell) row.Cells.push_back(std::move(cell));
}

void THtmlTable::AddRow(std::unique_ptr<TTableRow> row) {
    if (row) Rows.push_back(std::move(row));
}

void THtmlTable::Initialize() {
    if (initialized_) return;
    initialized_ = true;
    // The first row each column is free again from, below the row spans
    // reaching down into it.
    std::vector<int> freeFrom(MaxTableColumns, 0);
    const int rows = static_cast<int>(Rows.size());
    for (int r = 0; r < rows; ++r) {
        TTableRow& row = *Rows[r];
        int col = 0;
        for (auto& cell : row.Cells) {
            while (col < MaxTableColumns && freeFrom[col] > r)
                ++col;
            if (col >= MaxTableColumns) {
                cell.reset(); // past the last column: dropped
                continue;
            }
            cell->Col = col;
            cell->ColSpan = std::min(cell->ColSpan, MaxTableColumns - col);
            cell->RowSpan = std::min(cell->RowSpan, rows - r);
            for (int c = col; c < col + cell->ColSpan; ++c)
                freeFrom[c] = std::max(freeFrom[c], r + cell->RowSpan);
            col += cell->ColSpan;
            NumCols = std::max(NumCols, col);
        }
        std::erase(row.Cells, nullptr);
        for (auto& cell : row.Cells) {
            cell->DefaultPaddings(CellPadding);
            if (cell->BgColor == clNone) cell->BgColor = row.RowBgColor;
            if (cell->BgColor == clNone) cell->BgColor = TableBgColor;
            if (!cell->CellImage || cell->CellImage->Empty()) cell->SetImage(row.RowImage);
        }
    }
}

int THtmlTable::CellFrame() const {
    return HasBorder ? 2 : 0;
}

int THtmlTable::Gap() const {
    return std::max(0, CellSpacing - CellFrame());
}

int THtmlTable::OutsideColumns() const {
    return NumCols * Gap() + CellSpacing + 2 * FrameExtra();
}

const TColumnMeasures& THtmlTable::MeasureColumns(Canvas& canvas) {
    if (measuredPass_ == Root->LayoutPass && measuredOn_ == &canvas) return measured_;
    std::vector<TColumnCell> cells;
    ForEachCell([&](TTableCell& cell) {
        TColumnCell c;
        cell.Cell.MeasureWidths(canvas, c.Min, c.Max);
        c.Col = cell.Col;
        c.Span = cell.ColSpan;
        const int around = cell.InsetLeft() + cell.InsetRight() + CellFrame();
        c.Min += around;
        c.Max += around;
        (cell.SpecWdPercent ? c.Percent : c.Fixed) = cell.SpecWd;
        if (c.Fixed > 0) c.Fixed += around;
        cells.push_back(c);
    });
    measuredPass_ = Root->LayoutPass;
    measuredOn_ = &canvas;
    measured_ = lumo::MeasureColumns(NumCols, cells, Gap(), WidenForPercents);
    return measured_;
}

void THtmlTable::MeasureWidths(Canvas& canvas, int& Min, int& Max) {
    Initialize();
    const TColumnMeasures& m = MeasureColumns(canvas);
    Min = m.TotalMin + OutsideColumns();
    Max = m.TotalMax + OutsideColumns();
    Min = std::max(Min, RequestedWidth);
    Max = std::max(Max, RequestedWidth);
    int captionMin = 0, captionMax = 0;
    Caption.MeasureWidths(canvas, captionMin, captionMax);
    Min = std::max(Min, captionMin);
    Max = std::max(Max, captionMin);
}

int THtmlTable::LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int,
                       int& WidestOut) {
    FirstPos = context.PosCounter;
    LayoutY = TopY = PaintTopY = Y;
    LeftX = X;
    // The cells' lines are no list item's first line.
    TFirstLineReport* hook = Root->FirstLineHook;
    Root->FirstLineHook = nullptr;

    Initialize();
    const int extra = FrameExtra();
    const int columnsWidth =
        std::max((RequestedWidth > 0 ? RequestedWidth : RoomWidth) - OutsideColumns(), 0);
    Widths = DistributeColumns(MeasureColumns(context.Measure).Cols, columnsWidth);
    // Each column holds the gap before it, so a cell's rectangle starts
    // with the spacing.
    for (int& w : Widths)
        w += Gap();
    TableWidth = CellSpacing + 2 * extra + std::accumulate(Widths.begin(), Widths.end(), 0);
    int captionMin = 0, captionMax = 0;
    Caption.MeasureWidths(context.Measure, captionMin, captionMax);
    TotalWidth = std::max(TableWidth, captionMin);
    CenterOffset =
        TotalWidth > TableWidth && TotalWidth <= RoomWidth ? (TotalWidth - TableWidth) / 2 : 0;

    int y = Y;
    CaptionHeight = 0;
    if (CaptionOnTop) y += LayOutCaption(context, X, y);
    BodyTopY = y;
    LayOutCells(context, X);
    std::vector<int> heights = RowHeights();
    StretchToHeight(heights);
    PlaceCells(heights);
    BodyHeight = Rows.empty() ? CellSpacing + 2 * extra
                              : Rows.back()->PaintTopY + Rows.back()->RowHeight - BodyTopY +
                                    CellSpacing + extra;
    y += BodyHeight;
    if (!CaptionOnTop) y += LayOutCaption(context, X, y);

    FlowHeight = PaintHeight = y - Y;
    BottomY = y;
    PaintBottomY = y;
    std::vector<TTableRow*> rows;
    rows.reserve(Rows.size());
    for (auto& row : Rows) {
        rows.push_back(row.get());
        PaintBottomY = std::max(PaintBottomY, row->PaintBottomY);
    }
    rowIndex_.Rebuild(rows);
    PosCount = context.PosCounter - FirstPos;
    WidestOut = TotalWidth;
    Root->FirstLineHook = hook;
    if (hook && hook->Baseline == 0) {
        hook->Baseline = LayoutY + FlowHeight;
        hook->MarkerX = LeftX;
    }
    return FlowHeight;
}

int THtmlTable::LayOutCaption(const TLayoutContext& context, int X, int Y) {
    if (Caption.empty()) return 0;
    int widest = 0;
    CaptionHeight = Caption.LayOutCellAt(context, X, Y, TotalWidth, 0, widest);
    return CaptionHeight;
}

void THtmlTable::LayOutCells(const TLayoutContext& context, int X) {
    std::vector<int> colX(NumCols + 1, X + CenterOffset + FrameExtra());
    for (int c = 0; c < NumCols; ++c)
        colX[c + 1] = colX[c] + Widths[c];
    // Each row is laid out where the rows above end as far as their own cells
    // tell, so PlaceCells seldom moves a cell: moving what a cell holds at
    // every level of nested tables would cost the square of the depth.
    int rowTop = BodyTopY + FrameExtra();
    for (const auto& row : Rows) {
        int rowHeight = 0;
        for (const auto& c : row->Cells) {
            TTableCell& cell = *c;
            const int last = std::min(cell.Col + cell.ColSpan, NumCols);
            cell.CellX = colX[cell.Col];
            cell.Wd = colX[last] - colX[cell.Col];
            int widest = 0;
            cell.LaidOutY = rowTop + CellSpacing + cell.InsetTop();
            cell.VSize = cell.Cell.LayOutCellAt(
                context, cell.CellX + CellSpacing + cell.InsetLeft(), cell.LaidOutY,
                cell.ContentWidth(CellSpacing), cell.SpecHt, widest);
            if (cell.RowSpan == 1) rowHeight = std::max(rowHeight, NeededHeight(cell));
        }
        rowTop = NextRowTop(rowTop, rowHeight);
    }
}

int THtmlTable::NextRowTop(int rowTop, int rowHeight) const {
    // Rows stop growing at MaxTableHeight: thousands of tall rows must not
    // run past what a document coordinate holds.
    return rowTop + std::min(rowHeight, std::max(0, BodyTopY + MaxTableHeight - rowTop));
}

int THtmlTable::NeededHeight(const TTableCell& cell) const {
    return std::max(cell.VSize + cell.InsetTop() + cell.InsetBottom(), cell.SpecHt) + CellSpacing;
}

std::vector<int> THtmlTable::RowHeights() const {
    std::vector<int> heights(Rows.size(), 0);
    struct TSpanned {
        const TTableCell* Cell;
        int Row;
    };
    std::vector<TSpanned> spanned;
    for (size_t r = 0; r < Rows.size(); ++r)
        for (const auto& cell : Rows[r]->Cells) {
            if (cell->RowSpan == 1)
                heights[r] = std::max(heights[r], NeededHeight(*cell));
            else
                spanned.push_back({cell.get(), static_cast<int>(r)});
        }
    // Narrower spans first, so wider ones see what the narrower gave.
    std::stable_sort(spanned.begin(), spanned.end(), [](const TSpanned& a, const TSpanned& b) {
        return a.Cell->RowSpan < b.Cell->RowSpan;
    });
    for (const TSpanned& s : spanned) {
        const int span = s.Cell->RowSpan;
        const int sum = std::accumulate(heights.begin() + s.Row, heights.begin() + s.Row + span, 0);
        ShareExtra(heights, s.Row, span, NeededHeight(*s.Cell) - sum);
    }
    return heights;
}

void THtmlTable::StretchToHeight(std::vector<int>& heights) const {
    const int n = static_cast<int>(heights.size());
    const int64_t sum = std::accumulate(heights.begin(), heights.end(), int64_t{0});
    const int body = RequestedHeight - CellSpacing - 2 * FrameExtra();
    if (n == 0 || sum >= body) return;
    const int extra = body - static_cast<int>(sum);
    for (int r = 0; r + 1 < n; ++r)
        heights[r] += extra / n;
    heights[n - 1] += extra - (n - 1) * (extra / n);
}

void THtmlTable::PlaceCells(const std::vector<int>& heights) {
    const size_t n = Rows.size();
    std::vector<int> rowY(n + 1, BodyTopY + FrameExtra());
    for (size_t r = 0; r < n; ++r)
        rowY[r + 1] = NextRowTop(rowY[r], heights[r]);
    for (size_t r = 0; r < n; ++r) {
        TTableRow& row = *Rows[r];
        row.RowHeight = rowY[r + 1] - rowY[r];
        row.PaintTopY = rowY[r];
        row.PaintBottomY = rowY[r + 1];
        for (auto& cell : row.Cells) {
            cell->CellY = rowY[r];
            cell->Ht = rowY[r + cell->RowSpan] - rowY[r];
            const int free = std::max(0, cell->Ht - cell->VSize - cell->InsetTop() -
                                             cell->InsetBottom() - CellSpacing);
            switch (cell->VAlign) {
            case TCellVAlign::Top: cell->YIndent = 0; break;
            case TCellVAlign::Middle: cell->YIndent = free / 2; break;
            default: cell->YIndent = free; break;
            }
            if (cell->CellImage) cell->CellImage->Load();
            const int top = cell->CellY + CellSpacing + cell->InsetTop() + cell->YIndent;
            if (top != cell->LaidOutY) cell->Cell.MoveCellY(top - cell->LaidOutY);
            row.PaintBottomY =
                std::max({row.PaintBottomY, cell->CellY + cell->Ht, cell->Cell.CellPaintBottomY});
        }
    }
}

void THtmlTable::MoveY(int dy) {
    TSectionBase::MoveY(dy);
    BodyTopY += dy;
    Caption.MoveCellY(dy);
    std::vector<TTableRow*> rows;
    rows.reserve(Rows.size());
    for (auto& row : Rows) {
        row->PaintTopY += dy;
        row->PaintBottomY += dy;
        for (auto& cell : row->Cells) {
            cell->CellY += dy;
            cell->Cell.MoveCellY(dy);
        }
        rows.push_back(row.get());
    }
    rowIndex_.Rebuild(rows);
}

bool THtmlTable::LinkAt(Canvas& canvas, int X, int Y, const TUrlTarget*& target,
                        TFormControl*& control) {
    bool found = false;
    ForCellsMeeting(Y, Y + 1, [&](TTableCell& cell) {
        if (!found && cell.Holds(X, Y)) found = cell.Cell.LinkAt(canvas, X, Y, target, control);
    });
    return found || Caption.LinkAt(canvas, X, Y, target, control);
}

bool THtmlTable::ObjectAt(int X, int Y, TInlineImage*& object, int& IX, int& IY) {
    bool found = false;
    ForCellsMeeting(Y, Y + 1, [&](TTableCell& cell) {
        if (!found && cell.Holds(X, Y)) found = cell.Cell.ObjectAt(X, Y, object, IX, IY);
    });
    return found || Caption.ObjectAt(X, Y, object, IX, IY);
}

int THtmlTable::CursorAt(Canvas& canvas, int X, int Y, int& XR, int& YR, int& CaretHt,
                         bool& InText) {
    int pos = -1;
    ForCellsMeeting(Y, Y + 1, [&](TTableCell& cell) {
        if (pos < 0 && cell.Holds(X, Y))
            pos = cell.Cell.CursorAt(canvas, X, Y, XR, YR, CaretHt, InText);
    });
    return pos >= 0 ? pos : Caption.CursorAt(canvas, X, Y, XR, YR, CaretHt, InText);
}

// The position queries visit the cells in document order: the caption
// first when it is on top.
int THtmlTable::FindText(int from, std::string_view text, bool matchCase) {
    if (CaptionOnTop)
        if (int pos = Caption.FindText(from, text, matchCase); pos >= 0) return pos;
    for (auto& row : Rows)
        for (auto& cell : row->Cells) {
            if (cell->Cell.FirstPos + cell->Cell.PosCount <= from) continue;
            if (int pos = cell->Cell.FindText(from, text, matchCase); pos >= 0) return pos;
        }
    return CaptionOnTop ? -1 : Caption.FindText(from, text, matchCase);
}

int THtmlTable::SourceOfDocPos(int docPos) {
    int pos = Caption.SourceOfDocPos(docPos);
    ForEachCell([&](TTableCell& cell) {
        if (pos < 0) pos = cell.Cell.SourceOfDocPos(docPos);
    });
    return pos;
}

int THtmlTable::DocPosOfSource(int sourcePos, TBetween between) {
    int pos = Caption.DocPosOfSource(sourcePos, between);
    ForEachCell([&](TTableCell& cell) {
        if (pos < 0) pos = cell.Cell.DocPosOfSource(sourcePos, between);
    });
    return pos;
}

bool THtmlTable::CursorToPoint(Canvas* canvas, int cursor, int& X, int& Y) {
    bool found = Caption.CursorToPoint(canvas, cursor, X, Y);
    ForEachCell([&](TTableCell& cell) {
        if (!found) found = cell.Cell.CursorToPoint(canvas, cursor, X, Y);
    });
    return found;
}

bool THtmlTable::CharAt(int pos, char& ch, TSectionBase*& obj) {
    bool found = Caption.CharAt(pos, ch, obj);
    ForEachCell([&](TTableCell& cell) {
        if (!found) found = cell.Cell.CharAt(pos, ch, obj);
    });
    return found;
}

void THtmlTable::CopySelection() {
    if (CaptionOnTop) Caption.CopySelection();
    ForEachCell([](TTableCell& cell) { cell.Cell.CopySelection(); });
    if (!CaptionOnTop) Caption.CopySelection();
}

void THtmlTable::Dump(std::string& out, int depth) const {
    DumpIndent(out, depth);
    out += "ThtmlTable at (" + std::to_string(LeftX) + "," + std::to_string(TopY) + ") size " +
           std::to_string(TotalWidth) + "x" + std::to_string(FlowHeight) + " cols";
    for (int w : Widths)
        out += " " + std::to_string(w);
    out += " rows";
    for (const auto& row : Rows)
        out += " " + std::to_string(row->RowHeight);
    out += "\n";
    if (!Caption.empty()) {
        DumpIndent(out, depth + 1);
        out += "caption " + std::string(CaptionOnTop ? "top" : "bottom") + " height " +
               std::to_string(CaptionHeight) + "\n";
        Caption.Dump(out, depth + 2);
    }
    for (size_t r = 0; r < Rows.size(); ++r)
        for (const auto& cell : Rows[r]->Cells) {
            DumpIndent(out, depth + 1);
            out += "cell " + std::to_string(r) + "," + std::to_string(cell->Col) + " at (" +
                   std::to_string(cell->CellX) + "," + std::to_string(cell->CellY) + ") size " +
                   std::to_string(cell->Wd) + "x" + std::to_string(cell->Ht);
            if (cell->ColSpan > 1) out += " colspan " + std::to_string(cell->ColSpan);
            if (cell->RowSpan > 1) out += " rowspan " + std::to_string(cell->RowSpan);
            if (cell->YIndent) out += " indent " + std::to_string(cell->YIndent);
            if (cell->CellImage) cell->CellImage->Dump(out);
            out += "\n";
            cell->Cell.Dump(out, depth + 2);
        }
}

} // namespace lumo

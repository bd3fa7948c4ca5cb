// Painting a table: caption, the border colour between the cells, the cells
// with their backgrounds and 3-D frames, and the table's own frame.
#include "layout/html_table.h"

#include "layout/section_list.h"
#include "platform/color_names.h"

#include <algorithm>

namespace lumo {

namespace {

constexpr TColor FrameLight = SystemColorFlag | 20; // the button highlight
constexpr TColor FrameDark = SystemColorFlag | 16;  // the button shadow

// A one-pixel frame on the edges of r (its right and bottom edge included):
// topLeft on the top and left, bottomRight on the others.
void Frame3D(Canvas& canvas, const TRect& r, TColor topLeft, TColor bottomRight) {
    canvas.SetPen(topLeft, 1, PenStyle::Solid);
    canvas.MoveTo(r.Left, r.Bottom);
    canvas.LineTo(r.Left, r.Top);
    canvas.LineTo(r.Right, r.Top);
    canvas.SetPen(bottomRight, 1, PenStyle::Solid);
    canvas.LineTo(r.Right, r.Bottom);
    canvas.LineTo(r.Left, r.Bottom);
}

TColor Either(TColor own, TColor fallback) {
    return own != clNone ? own : fallback;
}

} // namespace

void THtmlTable::PaintFrame(Canvas& canvas, int X) {
    // BORDER=n: n nested one-pixel frames, lit above and left.
    const int left = LeftX + CenterOffset + X, top = BodyTopY - Root->ScrollY;
    const TColor light = Either(BorderColorLight, FrameLight);
    const TColor dark = Either(BorderColorDark, FrameDark);
    for (int i = 0; i < BorderWidth; ++i)
        Frame3D(canvas, {left + i, top + i, left + TableWidth - 1 - i, top + BodyHeight - 1 - i},
                light, dark);
}

bool THtmlTable::MovesToNextPage(int top, int bottom, const TRect& clip) const {
    const int pageHeight = Root->PageHeight > 0 ? Root->PageHeight : clip.Bottom - clip.Top;
    const int pageEnd = Root->PageEndY;
    if (!Root->IsPrinting || top >= pageEnd || bottom <= pageEnd) return false;
    if (top < pageEnd - pageHeight / 3 || bottom - top >= pageHeight) return false;
    Root->PageEndY = top;
    return true;
}

int THtmlTable::Paint(Canvas& canvas, const TRect& clip, int X) {
    const int end = LayoutY + FlowHeight;
    if (PaintTopY >= clip.Bottom || PaintBottomY <= clip.Top) return end;
    if (Root->IsPrinting && (LayoutY >= Root->PageEndY || MovesToNextPage(LayoutY, end, clip)))
        return end;
    if (CaptionOnTop) Caption.PaintCell(canvas, clip, TotalWidth, X, 0);
    if (BorderColor != clNone) PaintBorderColor(canvas, clip, X);
    bool first = true;
    rowIndex_.ForEachMeeting(clip.Top, clip.Bottom, [&](TTableRow* row) {
        if (Root->IsPrinting) {
            if (row->PaintTopY >= Root->PageEndY) return;
            const int top = row->PaintTopY + (first ? 0 : CellSpacing / 2);
            if (MovesToNextPage(top, row->PaintBottomY, clip)) return;
        }
        first = false;
        for (auto& cell : row->Cells)
            PaintTableCell(canvas, clip, *cell, X);
    });
    if (HasBorder) PaintFrame(canvas, X);
    if (!CaptionOnTop) Caption.PaintCell(canvas, clip, TotalWidth, X, 0);
    return end;
}

void THtmlTable::PaintBorderColor(Canvas& canvas, const TRect& clip, int X) {
    const int sy = Root->ScrollY;
    const TRect device{clip.Left + X, clip.Top - sy, clip.Right + X, clip.Bottom - sy};
    const int left = LeftX + CenterOffset + X, top = BodyTopY - sy;
    const TRect body = Intersect({left, top, left + TableWidth, top + BodyHeight}, device);
    if (body.IsEmpty()) return;
    // The spacing between the cells shows the colour: every cell keeps its
    // own rectangle out of the fill.
    canvas.SaveState();
    ForCellsMeeting(clip.Top, clip.Bottom, [&](TTableCell& cell) {
        if (cell.Cell.empty()) return;
        canvas.ExcludeClipRect({cell.CellX + CellSpacing + X, cell.CellY + CellSpacing - sy,
                                cell.CellX + cell.Wd + X, cell.CellY + cell.Ht - sy});
    });
    canvas.SetBrush(BorderColor, BrushStyle::Solid);
    canvas.FillRect(body);
    canvas.RestoreState();
}

void THtmlTable::PaintTableCell(Canvas& canvas, const TRect& clip, TTableCell& cell, int X) {
    if (cell.Cell.empty()) return;
    const int sy = Root->ScrollY;
    const TRect box{cell.CellX + CellSpacing + X, cell.CellY + CellSpacing - sy,
                    cell.CellX + cell.Wd + X, cell.CellY + cell.Ht - sy};
    const TRect device{clip.Left + X, clip.Top - sy, clip.Right + X, clip.Bottom - sy};
    // The background fills the padding, inside the border of the cell's style.
    const auto& border = cell.BorderWidths;
    const TRect padding{box.Left + border[TBoxBorder::Left], box.Top + border[TBoxBorder::Top],
                        box.Right - border[TBoxBorder::Right],
                        box.Bottom - border[TBoxBorder::Bottom]};
    if (!Root->IsPrinting || Root->PrintBackgrounds) {
        // Only what shows is filled, however tall the cell.
        const TRect fill = Intersect(padding, device);
        if (cell.BgColor != clNone && !fill.IsEmpty()) {
            canvas.SetBrush(cell.BgColor, BrushStyle::Solid);
            canvas.FillRect(fill);
        }
        if (cell.CellImage) cell.CellImage->Paint(canvas, padding, device);
    }
    cell.Cell.PaintCell(canvas, clip, cell.ContentWidth(CellSpacing), X, 0);
    if (cell.Border.Any()) {
        cell.Border.Paint(canvas, box, padding);
    } else if (HasBorder) {
        // Sunken: the shaded side above and left.
        const TColor light = Either(cell.BorderColorLight, Either(BorderColorLight, FrameLight));
        const TColor dark = Either(cell.BorderColorDark, Either(BorderColorDark, FrameDark));
        Frame3D(canvas, {box.Left - 1, box.Top - 1, box.Right, box.Bottom}, dark, light);
    }
}

} // namespace lumo

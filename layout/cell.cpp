#include "layout/cell.h"

#include "layout/block.h"
#include "layout/section_list.h"
#include "layout/text_section.h"

#include <algorithm>
#include <climits>

namespace lumo {

TSectionBase* TCellBasic::AddItem(std::unique_ptr<TSectionBase> item) {
    if (!item) return nullptr;
    if (auto* section = dynamic_cast<TSection*>(item.get()); section && section->Droppable())
        return nullptr; // freed here; the section unregisters its names as it goes
    return Add(std::move(item));
}

void TCellBasic::CloneItems(const TCellBasic& source) {
    for (const auto& item : source)
        Add(item->Clone(*Root, *this));
}

void TCellBasic::CheckLastBottomMargin() {
    if (empty()) return;
    if (auto* block = dynamic_cast<TBlock*>(back().get()); block && block->BottomMarginFlag)
        block->MarginBottom = {};
}

namespace {

// A float met in the middle of a line: a floated block (not a table, which
// goes below the line as pictures do) that clears nothing.
TBlock* FloatWithinLine(TSectionBase& item) {
    auto* block = dynamic_cast<TBlock*>(&item);
    if (!block || block->FloatSide == ANone || block->IsTableBlock()) return nullptr;
    if (block->ClearSide != clrNone || block->Placement != posStatic) return nullptr;
    return block;
}

} // namespace

// A float met mid-line goes at the top of that line when it fits beside the
// text already there, else below it; the text after it runs on along the line.
int TCellBasic::LayOutBesideLine(const TLayoutContext& context, TSection& before, TBlock& block,
                                 int X, int Y, int Width, int HeightBase, int& lineEnd,
                                 int& widest) {
    const TTextLine& line = before.LineList.back();
    const TIndentManager& indents = context.Indents;
    int Min = 0, Max = 0;
    block.MeasureWidths(context.Measure, Min, Max);
    const int left = indents.LeftEdgeAt(line.LineY);
    if (lineEnd - left + Max > indents.RightEdgeAt(line.LineY) - left)
        return block.LayOut(context, X, Y, Width, HeightBase, widest);
    const int h = block.LayOut(context, X, line.LineY, Width, HeightBase, widest);
    const int shift = indents.LeftEdgeAt(line.LineY) - left;
    before.ShiftLastLine(shift);
    lineEnd += shift;
    return h;
}

int TCellBasic::DoLayout(const TLayoutContext& context, int X, int Y, int Width, int HeightBase,
                         int& WidestOut) {
    CellTopY = Y;
    FirstPos = context.PosCounter;
    CellBottomY = Y;
    CellPaintTopY = INT_MAX;
    CellPaintBottomY = Y;
    CellFlowHeight = 0;
    WidestOut = 0;
    int y = Y;
    TSection* openText = nullptr; // text whose last line floats may interrupt
    int lineEnd = -1;             // the X after that line's content
    bool afterFloat = false;
    for (auto& item : *this) {
        int widest = 0, h = 0;
        TBlock* floating = openText ? FloatWithinLine(*item) : nullptr;
        auto* text = dynamic_cast<TSection*>(item.get());
        if (floating) {
            h = LayOutBesideLine(context, *openText, *floating, X, y, Width, HeightBase, lineEnd,
                                 widest);
        } else if (text && openText && afterFloat) {
            const TTextLine& line = openText->LineList.back();
            text->RunOnX = lineEnd;
            text->RunOnHeight = line.Height();
            y = line.LineY;
            h = item->LayOut(context, X, y, Width, HeightBase, widest);
        } else {
            if (text) text->RunOnX = -1;
            h = item->LayOut(context, X, y, Width, HeightBase, widest);
        }
        afterFloat = floating != nullptr;
        if (!floating) {
            openText = text;
            lineEnd = text ? text->OpenLineEnd(context.Measure) : -1;
            if (lineEnd < 0) openText = nullptr;
        }
        y = SumY(y, h);
        WidestOut = std::max(WidestOut, widest);
        if (!item->IsAbsolute() && !item->IsFloating())
            CellBottomY = std::max(CellBottomY, item->BottomY);
        CellPaintTopY = std::min(CellPaintTopY, item->PaintTopY);
        CellPaintBottomY = std::max(CellPaintBottomY, item->PaintBottomY);
    }
    CellFlowHeight = SumY(y, -Y);
    if (CellPaintTopY == INT_MAX) CellPaintTopY = Y;
    PosCount = context.PosCounter - FirstPos;
    return CellFlowHeight;
}

namespace {

bool HoldsY(const TSectionBase& item, int Y) {
    return item.PaintTopY <= Y && Y < item.PaintBottomY;
}

} // namespace

bool TCellBasic::LinkAt(Canvas& canvas, int X, int Y, const TUrlTarget*& target,
                        TFormControl*& control) {
    for (auto& item : *this)
        if (HoldsY(*item, Y) && item->LinkAt(canvas, X, Y, target, control)) return true;
    return false;
}

bool TCellBasic::ObjectAt(int X, int Y, TInlineImage*& object, int& IX, int& IY) {
    for (auto& item : *this)
        if (HoldsY(*item, Y) && item->ObjectAt(X, Y, object, IX, IY)) return true;
    return false;
}

int TCellBasic::CursorAt(Canvas& canvas, int X, int Y, int& XR, int& YR, int& CaretHt,
                         bool& InText) {
    // Items can share a line (text running on past a float): one whose text
    // lies under X wins over one that only ends before it.
    int found = -1;
    for (auto& item : *this) {
        if (!HoldsY(*item, Y)) continue;
        int xr = 0, yr = 0, height = 0;
        bool inText = false;
        const int pos = item->CursorAt(canvas, X, Y, xr, yr, height, inText);
        if (pos < 0 || (found >= 0 && !inText)) continue;
        found = pos;
        XR = xr;
        YR = yr;
        CaretHt = height;
        InText = inText;
        if (inText) break;
    }
    return found;
}

int TCellBasic::FindText(int from, std::string_view text, bool matchCase) {
    for (auto& item : *this) {
        if (item->FirstPos + item->PosCount <= from) continue;
        int pos = item->FindText(from, text, matchCase);
        if (pos >= 0) return pos;
    }
    return -1;
}

int TCellBasic::SourceOfDocPos(int docPos) {
    for (auto& item : *this) {
        int pos = item->SourceOfDocPos(docPos);
        if (pos >= 0) return pos;
    }
    return -1;
}

int TCellBasic::DocPosOfSource(int sourcePos, TBetween between) {
    if (between == TBetween::Previous) {
        for (auto it = rbegin(); it != rend(); ++it) {
            int pos = (*it)->DocPosOfSource(sourcePos, between);
            if (pos >= 0) return pos;
        }
        return -1;
    }
    for (auto& item : *this) {
        int pos = item->DocPosOfSource(sourcePos, between);
        if (pos >= 0) return pos;
    }
    return -1;
}

bool TCellBasic::CursorToPoint(Canvas* canvas, int cursor, int& X, int& Y) {
    for (auto& item : *this)
        if (item->CursorToPoint(canvas, cursor, X, Y)) return true;
    return false;
}

bool TCellBasic::CharAt(int pos, char& ch, TSectionBase*& obj) {
    for (auto& item : *this)
        if (item->CharAt(pos, ch, obj)) return true;
    return false;
}

void TCellBasic::MeasureWidths(Canvas& canvas, int& Min, int& Max) {
    Min = 0;
    Max = 0;
    for (auto& item : *this) {
        int mn = 0, mx = 0;
        item->MeasureWidths(canvas, mn, mx);
        Min = std::max(Min, mn);
        Max = std::max(Max, mx);
    }
}

void TCellBasic::CopySelection() {
    const int selStart = Root->SelStart, selEnd = Root->SelEnd;
    for (auto& item : *this) {
        if (item->FirstPos >= selEnd) break;
        if (item->FirstPos + item->PosCount <= selStart) continue;
        item->CopySelection();
    }
}

void TCellBasic::AddToPositionList() {
    for (auto& item : *this)
        item->AddToPositionList();
}

void TCellBasic::Dump(std::string& out, int depth) const {
    for (const auto& item : *this)
        item->Dump(out, depth);
}

void TCellBasic::MoveY(int dy) {
    CellTopY += dy;
    CellBottomY += dy;
    CellPaintTopY += dy;
    CellPaintBottomY += dy;
    for (auto& item : *this)
        item->MoveY(dy);
}

TCell::TCell(TSectionList& root) : TCellBasic(root) {
    CellIndents = &Indents;
}

int TCell::LayOutCell(Canvas& canvas, int Y, int width, int HeightBase, int& ScrollWidth,
                      int& Cursor) {
    int widest = 0;
    const TLayoutContext context{canvas, Indents, Cursor};
    const int height = LayOutCellAt(context, 0, Y, width, HeightBase, widest);
    ScrollWidth = std::max(ScrollWidth, widest);
    return height;
}

int TCell::LayOutCellAt(const TLayoutContext& outer, int X, int Y, int width, int HeightBase,
                        int& WidestOut) {
    Indents.Clear();
    Indents.Reset(X, X + width);
    int left = Indents.PushLeftIndent(0, Y);
    int right = Indents.PushRightIndent(width, Y);
    const TLayoutContext inner{outer.Measure, Indents, outer.PosCounter, outer.OriginX,
                               outer.OriginY};
    int height = DoLayout(inner, X, Y, width, HeightBase, WidestOut);
    Indents.PopLeftIndent(left, Y + height);
    Indents.PopRightIndent(right, Y + height);
    RebuildPaintIndex();
    return std::max(height, Indents.FloatsBottom() - Y);
}

void TCell::RebuildPaintIndex() {
    std::vector<TSectionBase*> items;
    items.reserve(size());
    for (auto& item : *this)
        items.push_back(item.get());
    paintIndex_.Rebuild(items);
}

void TCell::MoveCellY(int dy) {
    MoveY(dy);
    for (auto* list : {&Indents.L, &Indents.R})
        for (auto& r : *list) {
            r.YT += dy;
            if (r.YB != TIndent{}.YB) r.YB += dy;
        }
    RebuildPaintIndex();
}

int TCell::PaintCell(Canvas& canvas, const TRect& clip, int width, int X, int Y) {
    Indents.Reset(X, width);
    int bottom = Y;
    paintIndex_.ForEachMeeting(clip.Top, clip.Bottom, [&](TSectionBase* item) {
        bottom = std::max(bottom, item->Paint(canvas, clip, X));
    });
    return bottom;
}

} // namespace lumo

#include "layout/section_base.h"

#include "layout/section_list.h"

namespace lumo {

void TSectionBase::MoveY(int dy) {
    LayoutY += dy;
    TopY += dy;
    BottomY += dy;
    PaintTopY += dy;
    PaintBottomY += dy;
}

int TSectionBase::LayOut(const TLayoutContext& context, int, int Y, int, int, int&) {
    FirstPos = context.PosCounter;
    PaintHeight = FlowHeight;
    TopY = PaintTopY = LayoutY = Y;
    BottomY = Y + FlowHeight;
    PaintBottomY = Y + PaintHeight;
    return FlowHeight;
}

int TSectionBase::Paint(Canvas&, const TRect&, int) {
    return LayoutY + FlowHeight;
}

bool TSectionBase::LinkAt(Canvas&, int, int, const TUrlTarget*&, TFormControl*&) {
    return false;
}

bool TSectionBase::ObjectAt(int, int, TInlineImage*&, int&, int&) {
    return false;
}

int TSectionBase::CursorAt(Canvas&, int, int, int&, int&, int&, bool&) {
    return -1;
}

int TSectionBase::FindText(int, std::string_view, bool) {
    return -1;
}

int TSectionBase::SourceOfDocPos(int) {
    return -1;
}

int TSectionBase::DocPosOfSource(int, TBetween) {
    return -1;
}

bool TSectionBase::CursorToPoint(Canvas*, int, int&, int&) {
    return false;
}

bool TSectionBase::CharAt(int, char&, TSectionBase*&) {
    return false;
}

void TSectionBase::MeasureWidths(Canvas&, int& Min, int& Max) {
    Min = 0;
    Max = 0;
}

void TSectionBase::AddToPositionList() {
    Root->PositionList.push_back(this);
}

void DumpIndent(std::string& out, int depth) {
    out.append(static_cast<size_t>(depth) * 2, ' ');
}

void TSectionBase::Dump(std::string& out, int depth) const {
    DumpIndent(out, depth);
    out += KindName();
    out += " at (" + std::to_string(LeftX) + "," + std::to_string(TopY) + ") size 0x" +
           std::to_string(FlowHeight) + "\n";
}

} // namespace lumo

#include "layout/body_block.h"

#include <algorithm>

namespace lumo {

int TBodyBlock::LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int HeightBase,
                       int& WidestOut) {
    TIndentManager& indents = context.Indents;
    LayoutY = Y;
    ClearGap = 0;
    FirstPos = context.PosCounter;
    ResolveBox(RoomWidth, HeightBase);
    TBoxValues& b = Box;
    for (int i : {Prop::MarginLeft, Prop::MarginRight})
        if (b[i] == Auto) b[i] = 0;
    // A width the style sheet gives is kept, however wide the window.
    ContentWidth = b[Prop::Width] != Auto ? std::max(0, b[Prop::Width])
                                          : std::max(0, indents.Width - LeftSide() - RightSide());
    ContentOffset = LeftSide();
    LeftX = X + ContentOffset;
    borderTopY_ = Y + b[Prop::MarginTop];
    TopY = borderTopY_ + b[Prop::BorderTopWidth] + b[Prop::PaddingTop];
    PaintTopY = Y;

    const TContentEdges edges = HoldContentEdges(indents);
    int widest = 0;
    // Absolutely placed items of the body are placed from the document's origin.
    TLayoutContext inner = context;
    inner.OriginX = inner.OriginY = 0;
    Content.DoLayout(inner, LeftX, TopY, ContentWidth,
                     HeightBase - b[Prop::MarginTop] - b[Prop::MarginBottom], widest);
    PosCount = context.PosCounter - FirstPos;

    InnerBottomY = std::max({TopY, Content.CellBottomY, TopY + b[Prop::Height]});
    const int below = b[Prop::PaddingBottom] + b[Prop::BorderBottomWidth];
    BottomY = InnerBottomY + below + b[Prop::MarginBottom];
    PaintBottomY = std::max(InnerBottomY, Content.CellPaintBottomY) + below;
    FlowHeight = PaintBottomY + b[Prop::MarginBottom] - Y;
    ReleaseContentEdges(indents, edges, Y + FlowHeight);
    PaintHeight = std::max(FlowHeight, indents.FloatsBottom() - Y);
    PaintBottomY = std::max(PaintBottomY, Y + PaintHeight);
    WidestOut = std::max(indents.Width, std::max(widest, ContentWidth) + b[Prop::MarginLeft] +
                                            b[Prop::MarginRight]);

    RebuildPaintOrder();
    return FlowHeight;
}

int TBodyBlock::Paint(Canvas& canvas, const TRect& clip, int X) {
    PaintBox(canvas, clip, X);
    PaintContent(canvas, clip, X);
    return LayoutY + FlowHeight;
}

} // namespace lumo

#include "layout/block.h"

#include "layout/page_break.h"
#include "layout/section_list.h"

#include <algorithm>

namespace lumo {

int ClearGapFor(const TIndentManager& indents, ClearAttrType side, int Y) {
    if (side == clrNone) return 0;
    int CL = 0, CR = 0;
    indents.ClearY(CL, CR);
    int left = std::max(0, CL - Y - 1), right = std::max(0, CR - Y - 1);
    switch (side) {
    case clrLeft: return left;
    case clrRight: return right;
    default: return std::max(left, right);
    }
}

namespace {

int Sides(const TBoxValues& b) {
    return b[Prop::BorderLeftWidth] + b[Prop::BorderRightWidth] + b[Prop::PaddingLeft] +
           b[Prop::PaddingRight];
}

int NoAuto(int v) {
    return v == Auto ? 0 : v;
}

} // namespace

TBlock::TBlock(TSectionList& root, TCellBasic& container, const TProperties& props)
    : TSectionBase(root), Content(root, props.PropTag), Container(&container) {
    Content.Owner = this;
    BoxSpec = TBoxSpec::Of(props);
    AlignmentType side;
    if (props.GetFloat(side) && (side == ALeft || side == ARight)) FloatSide = side;
    FitsContent = FloatSide != ANone;
    props.GetClear(ClearSide);
    Border = TBoxBorder::Of(props);
    EmHeight = props.EmSize;
    ExHeight = props.ExSize;
    if (props.PropTag != "body" && props.PropTag != "default") {
        if (std::string url; props.GetBackgroundImage(url) && !url.empty())
            SetBackImage(props, std::move(url));
    }
    Placement = props.GetPosition();
    Hidden = props.GetVisibility() == viHidden;
    if (Placement != posStatic) {
        StackOrder = 10 * std::clamp(props.GetZIndex(), -100000, 100000);
        if (Placement == posAbsolute && StackOrder == 0) StackOrder = 1;
    }
    if (FloatSide != ANone && StackOrder == 0) StackOrder = 1;

    // Vertical margins collapse now, against the block before this one.
    bool spacingTop = false;
    ResolveVerticalMargins(BoxSpec, 0, EmHeight, ExHeight, Box, spacingTop, BottomMarginFlag);
    MarginTop = {Box[Prop::MarginTop], LengthPercent(BoxSpec[Prop::MarginTop])};
    MarginBottom = {Box[Prop::MarginBottom], LengthPercent(BoxSpec[Prop::MarginBottom])};
    if (Placement == posStatic && FloatSide == ANone) CollapseTopMargin(container, spacingTop);
    if (Placement == posAbsolute && spacingTop) MarginTop = {};
}

namespace {

// What stands before a new block in its cell, absolutely placed blocks,
// floats and page breaks passed over: the block its top margin meets, or
// other content (text, a rule) that keeps the margins apart, or nothing.
// A floating table stays: paragraph spacing below it goes.
struct TItemAbove {
    TBlock* Block = nullptr;
    bool OtherContent = false;
    bool PastFloats = false; // floats stand between the block and this one
};

TItemAbove ItemAbove(const TCellBasic& container) {
    TItemAbove above;
    for (auto it = container.rbegin(); it != container.rend(); ++it) {
        if (auto* b = dynamic_cast<TBlock*>(it->get())) {
            if (b->Placement == posAbsolute) continue;
            if (b->FloatSide != ANone && !b->IsTableBlock()) {
                above.PastFloats = true;
                continue;
            }
            above.Block = b;
            return above;
        }
        if (dynamic_cast<TPageBreak*>(it->get())) continue;
        above.OtherContent = true;
        return above;
    }
    return above;
}

} // namespace

void TBlock::CollapseTopMargin(const TCellBasic& container, bool spacingTop) {
    const TItemAbove above = ItemAbove(container);
    if (above.Block)
        CollapseWith(*above.Block, spacingTop, above.PastFloats);
    else if (!above.OtherContent && spacingTop)
        DropSpacingAtCellTop(container);
    else if (!above.OtherContent && !above.PastFloats)
        CollapseIntoParent(container);
}

bool TBlock::MarginMeetsContent(TBoxBorder::Side side) const {
    if (!SharesMarginsWithContent() || Placement != posStatic || FloatSide != ANone) return false;
    // Percentages count against any width: a padding of 1 % still stands between.
    TBoxValues b{};
    int autos = 0;
    ResolveBoxValues(BoxSpec, MaxLength, MaxLength, EmHeight, ExHeight, b, autos);
    const int s = side;
    if (b[Prop::PaddingTop + s] != 0 || b[Prop::BorderTopWidth + s] != 0) return false;
    return side != TBoxBorder::Bottom || b[Prop::Height] <= 0;
}

void TBlock::CollapseIntoParent(const TCellBasic& container) {
    // Through parents whose own top margin went further out already.
    const auto* cell = dynamic_cast<const TBlockCell*>(&container);
    TBlock* parent = cell ? cell->Owner : nullptr;
    if (!parent || !parent->MarginMeetsContent(TBoxBorder::Top)) return;
    while (parent->topMarginOutside_) {
        const auto* outer = dynamic_cast<const TBlockCell*>(parent->Container);
        if (!outer || !outer->Owner) break;
        parent = outer->Owner;
    }
    // Its percentages count against the width the outer block stands in.
    parent->MarginTop.Meet(MarginTop);
    MarginTop = {};
    topMarginOutside_ = true;
}

void TBlock::CollapseLastMargin() {
    if (Content.empty()) return;
    auto* last = dynamic_cast<TBlock*>(Content.back().get());
    if (!last || last->Placement != posStatic || last->FloatSide != ANone) return;
    // Paragraph spacing keeps its own rules (CheckLastBottomMargin).
    if (last->BottomMarginFlag || !MarginMeetsContent(TBoxBorder::Bottom)) return;
    TCollapsedMargin collapsed = MarginBottom;
    collapsed.Meet(last->MarginBottom);
    if (collapsed != MarginBottom) BottomMarginFlag = false;
    MarginBottom = collapsed;
    last->MarginBottom = {};
}

void TBlock::CollapseWith(TBlock& previous, bool spacingTop, bool pastFloats) {
    // Below a floating table paragraph spacing goes, and the table keeps its margin.
    if (previous.IsTableBlock() && previous.FloatSide != ANone && spacingTop) {
        MarginTop = {};
        return;
    }
    // The two margins make one. Floats between them start below it, beside
    // this block's top, so then the block before keeps it.
    TCollapsedMargin collapsed = MarginTop;
    collapsed.Meet(previous.MarginBottom);
    MarginTop = pastFloats ? TCollapsedMargin() : collapsed;
    previous.MarginBottom = pastFloats ? collapsed : TCollapsedMargin();
}

void TBlock::DropSpacingAtCellTop(const TCellBasic& container) {
    // The document and the body keep it; a list item drops it only when
    // nothing at all stands before the block.
    const std::string& owner = container.OwnerTag;
    if (owner == "li") {
        if (container.empty()) MarginTop = {};
    } else if (owner != "default" && owner != "body") {
        MarginTop = {};
    }
}

TBlock::TBlock(TSectionList& root, TCellBasic& container, const TBlock& source)
    : TSectionBase(root, source), BoxSpec(source.BoxSpec), Box(source.Box),
      MarginTop(source.MarginTop), MarginBottom(source.MarginBottom),
      Content(root, source.Content.OwnerTag), Container(&container), EmHeight(source.EmHeight),
      ExHeight(source.ExHeight), Border(source.Border), FloatSide(source.FloatSide),
      ClearSide(source.ClearSide), Placement(source.Placement), Hidden(source.Hidden),
      BottomMarginFlag(source.BottomMarginFlag), FitsContent(source.FitsContent) {
    Content.Owner = this;
    if (source.BackImage) BackImage = std::make_unique<TBackgroundImage>(root, *source.BackImage);
    Content.CloneItems(source.Content);
}

void TBlock::SetBackImage(const TProperties& props, std::string source) {
    BackImage = std::make_unique<TBackgroundImage>(*Root);
    BackImage->SetFrom(std::move(source), props);
}

std::unique_ptr<TSectionBase> TBlock::Clone(TSectionList& root, TCellBasic& container) const {
    return std::make_unique<TBlock>(root, container, *this);
}

int TBlock::ResolveWidth(Canvas& canvas, int RoomWidth, int, int autoTally) {
    int Min = 0, Max = 0;
    Content.MeasureWidths(canvas, Min, Max);
    const int BP = Sides(Box);
    int& width = Box[Prop::Width];
    int& ml = Box[Prop::MarginLeft];
    int& mr = Box[Prop::MarginRight];
    auto computed = [&] {
        int l = NoAuto(ml), r = NoAuto(mr);
        if (Placement == posAbsolute)
            return std::max(Min, std::min(Max, RoomWidth - BP - l - r - OffsetLeft));
        return std::max(Min, RoomWidth - BP - l - r);
    };
    if (FitsContent && width == Auto) {
        width = std::min(Max, computed());
        --autoTally; // the margins alone share what is left
    }
    switch (autoTally) {
    case 0: width = std::max(width, Min); break;
    case 1:
        if (width != Auto) {
            width = std::max(width, Min);
            if (mr != Auto)
                ml = std::max(0, RoomWidth - BP - mr - width);
            else if (FloatSide != ANone)
                mr = 0;
            else
                mr = std::max(0, RoomWidth - BP - ml - width);
        } else {
            width = computed();
        }
        break;
    case 2:
        if (width != Auto) {
            width = std::max(width, Min);
            ml = mr = std::max(0, RoomWidth - width - BP) / 2;
        } else {
            if (ml == Auto) ml = 0;
            if (mr == Auto) mr = 0;
            width = computed();
        }
        break;
    default:
        ml = mr = 0;
        width = computed();
        break;
    }
    ml = NoAuto(ml);
    mr = NoAuto(mr);
    return std::max(0, width);
}

int TBlock::LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int HeightBase,
                   int& WidestOut) {
    TIndentManager& indents = context.Indents;
    LayoutY = Y;
    ClearGap = ClearGapFor(indents, ClearSide, Y);
    FirstPos = context.PosCounter;
    const int autoTally = ResolveBox(RoomWidth, HeightBase);
    // A block in the flow clears with its border edge: its top margin
    // stands in the gap, or in part of it. A float clears with its margin.
    if (FloatSide == ANone) ClearGap = std::max(0, ClearGap - std::max(0, Box[Prop::MarginTop]));
    ApplyPlacement(context, X, Y);
    ContentWidth = ResolveWidth(context.Measure, RoomWidth, HeightBase, autoTally);
    if (FloatSide != ANone) ClearGap += FloatDropFor(indents, X, SumY(Y, ClearGap), RoomWidth);
    const int marginBoxTop = SumY(Y, ClearGap); // below the clear gap
    PaintTopY = SumY(marginBoxTop, std::min(0, Box[Prop::MarginTop]));
    PlaceContentX(indents, X, marginBoxTop, RoomWidth);
    PlaceContentBox(X, marginBoxTop);

    const TIndentManager::TMark floatsBefore = indents.Mark();
    const TContentEdges edges = HoldContentEdges(indents);
    SetContentOrigin(context);
    int heldFloats = 0;
    WidestOut = LayOutContent(context, floatsBefore, heldFloats) + LeftSide() + RightSide();
    if (Placement != posStatic) WidestOut += OffsetLeft - Box[Prop::MarginRight];
    SetBottoms(heldFloats);
    if (BackImage) BackImage->Load();
    FlowHeight = BottomY - Y;
    ReleaseContentEdges(indents, edges, SumY(Y, FlowHeight));

    TakePlace(indents, Y, floatsBefore);
    RebuildPaintOrder();
    return FlowHeight;
}

int TBlock::LeftSide() const {
    return Box[Prop::MarginLeft] + Box[Prop::PaddingLeft] + Box[Prop::BorderLeftWidth];
}

int TBlock::RightSide() const {
    return Box[Prop::MarginRight] + Box[Prop::PaddingRight] + Box[Prop::BorderRightWidth];
}

int TBlock::ShiftY() const {
    return Placement == posRelative ? OffsetTop : 0;
}

void TBlock::ApplyPlacement(const TLayoutContext& context, int& X, int& Y) {
    OffsetTop = OffsetLeft = 0;
    if (Placement == posRelative) {
        OffsetTop = NoAuto(Box[Prop::Top]);
        OffsetLeft = NoAuto(Box[Prop::Left]);
    } else if (Placement == posAbsolute) {
        OffsetTop = Box[Prop::Top] == Auto ? Y - context.OriginY : Box[Prop::Top];
        OffsetLeft = Box[Prop::Left] == Auto ? X - context.OriginX : Box[Prop::Left];
        X = OffsetLeft + context.OriginX;
        Y = SumY(OffsetTop, context.OriginY);
        LayoutY = Y;
    }
}

int TBlock::FloatDropFor(const TIndentManager& indents, int X, int top, int RoomWidth) const {
    const int total = ContentWidth + LeftSide() + RightSide();
    return indents.RoomYFrom(top, X, X + RoomWidth, total) - top;
}

void TBlock::PlaceContentX(const TIndentManager& indents, int X, int marginBoxTop, int RoomWidth) {
    if (FloatSide == ALeft)
        ContentOffset = std::max(X, indents.LeftEdgeAt(marginBoxTop)) + LeftSide() - X;
    else if (FloatSide == ARight)
        ContentOffset =
            std::min(RoomWidth, indents.RightEdgeAt(marginBoxTop) - X) - RightSide() - ContentWidth;
    else
        ContentOffset = LeftSide();
    KeepMarkerClearOfFloats(indents, X, marginBoxTop);
}

void TBlock::KeepMarkerClearOfFloats(const TIndentManager& indents, int X, int marginBoxTop) {
    const int room = MarkerRoom();
    if (!room) return;
    int floatEdge = X;
    for (const auto& r : indents.L)
        if (r.Float && indents.Active(r, marginBoxTop))
            floatEdge = std::max(floatEdge, indents.LeftEdgeX + r.X);
    if (floatEdge > X && X + ContentOffset < floatEdge + room) {
        int raise = floatEdge + room - (X + ContentOffset);
        ContentOffset += raise;
        ContentWidth = std::max(0, ContentWidth - raise);
    }
}

void TBlock::PlaceContentBox(int X, int marginBoxTop) {
    const TBoxValues& b = Box;
    borderTopY_ = SumY(marginBoxTop, b[Prop::MarginTop], ShiftY());
    TopY = SumY(marginBoxTop, b[Prop::MarginTop], b[Prop::BorderTopWidth], b[Prop::PaddingTop]);
    LeftX = X + ContentOffset + (Placement == posRelative ? OffsetLeft : 0);
}

TBlock::TContentEdges TBlock::HoldContentEdges(TIndentManager& indents) {
    TContentEdges edges{indents.ActiveID, 0, 0};
    indents.ActiveID = this;
    edges.Left = indents.PushLeftIndent(LeftX - indents.LeftEdgeX, TopY);
    edges.Right = indents.PushRightIndent(LeftX + ContentWidth - indents.LeftEdgeX, TopY);
    return edges;
}

void TBlock::ReleaseContentEdges(TIndentManager& indents, const TContentEdges& edges, int Y) {
    indents.ReleaseRightIndent(edges.Right, Y);
    indents.ReleaseLeftIndent(edges.Left, Y);
    indents.ActiveID = edges.SavedID;
}

void TBlock::SetContentOrigin(const TLayoutContext& context) {
    const TBoxValues& b = Box;
    originX_ = context.OriginX;
    originY_ = context.OriginY;
    if (Placement == posAbsolute) {
        originX_ += OffsetLeft + b[Prop::MarginLeft] + b[Prop::BorderLeftWidth];
        originY_ = SumY(originY_, OffsetTop, b[Prop::MarginTop], b[Prop::BorderTopWidth]);
    } else if (Placement == posRelative) {
        // Its padding edge, where its box is drawn.
        originX_ = LeftX - b[Prop::PaddingLeft];
        originY_ = SumY(borderTopY_, b[Prop::BorderTopWidth]);
    }
}

int TBlock::LayOutContent(const TLayoutContext& context, const TIndentManager::TMark& floatsBefore,
                          int& heldFloats) {
    // A float or an absolutely placed block of no set height holds the
    // floats inside it.
    const bool holds = (Placement == posAbsolute || FloatSide != ANone) && Box[Prop::Height] <= 0;
    const int top = SumY(TopY, ShiftY());
    int widest = 0;
    if (Placement == posAbsolute) {
        // Out of the flow: the floats and edges around the block do not
        // reach its content.
        TIndentManager apart;
        apart.Reset(LeftX, LeftX + ContentWidth);
        apart.PushLeftIndent(0, top);
        apart.PushRightIndent(ContentWidth, top);
        const TLayoutContext inner{context.Measure, apart, context.PosCounter, originX_, originY_};
        Content.DoLayout(inner, LeftX, top, ContentWidth, Box[Prop::Height], widest);
        heldFloats = holds ? apart.FloatsBottom() : 0;
    } else {
        TLayoutContext inner = context;
        inner.OriginX = originX_;
        inner.OriginY = originY_;
        Content.DoLayout(inner, LeftX, top, ContentWidth, Box[Prop::Height], widest);
        heldFloats = holds ? context.Indents.FloatsBottomSince(floatsBefore) : 0;
    }
    PosCount = context.PosCounter - FirstPos;
    return widest;
}

void TBlock::SetBottoms(int heldFloats) {
    const TBoxValues& b = Box;
    const int shiftY = ShiftY();
    InnerBottomY = std::max(TopY, SumY(Content.CellBottomY, -shiftY));
    if (heldFloats > 0) InnerBottomY = std::max(InnerBottomY, SumY(heldFloats, -shiftY));
    InnerBottomY = std::max(InnerBottomY, SumY(TopY, b[Prop::Height]));
    const int below = b[Prop::PaddingBottom] + b[Prop::BorderBottomWidth];
    BottomY = SumY(InnerBottomY, below, b[Prop::MarginBottom]);
    PaintBottomY = SumY(std::max(SumY(InnerBottomY, shiftY), Content.CellPaintBottomY), below);
    if (!Content.empty()) PaintTopY = std::min(PaintTopY, Content.CellPaintTopY);
}

void TBlock::TakePlace(TIndentManager& indents, int Y, const TIndentManager::TMark& floatsBefore) {
    if (Placement == posAbsolute) {
        PaintHeight = 0;
        FlowHeight = 0;
    } else if (FloatSide != ANone) {
        PaintHeight = FlowHeight;
        AddFloat(indents, SumY(Y, ClearGap));
        FlowHeight = 0;
    } else {
        PaintHeight = std::max(FlowHeight, indents.FloatsBottomSince(floatsBefore) - Y);
    }
    PaintBottomY = std::max(PaintBottomY, Y + PaintHeight);
}

void TBlock::AddFloat(TIndentManager& indents, int top) {
    if (FloatSide == ALeft) {
        indents.AddLeftFloat(LeftX + ContentWidth + RightSide() - indents.LeftEdgeX, top, BottomY);
    } else {
        const int total = ContentWidth + LeftSide() + RightSide();
        indents.AddRightFloat(indents.RightEdgeAt(top) - total - indents.LeftEdgeX, top, BottomY);
    }
}

int TBlock::ResolveBox(int RoomWidth, int HeightBase) {
    int autoTally = 0;
    ResolveBoxValues(BoxSpec, RoomWidth, HeightBase, EmHeight, ExHeight, Box, autoTally);
    Box[Prop::MarginTop] = MarginTop.At(RoomWidth);
    Box[Prop::MarginBottom] = MarginBottom.At(RoomWidth);
    return autoTally;
}

void TBlock::RebuildPaintOrder() {
    std::vector<TSectionBase*> order;
    order.reserve(Content.size());
    for (auto& item : Content)
        order.push_back(item.get());
    std::stable_sort(order.begin(), order.end(), [](const TSectionBase* a, const TSectionBase* c) {
        return a->StackOrder < c->StackOrder;
    });
    paintIndex_.Rebuild(order);
}

void TBlock::MeasureWidths(Canvas& canvas, int& Min, int& Max) {
    if (measuredPass_ == Root->LayoutPass && measuredOn_ == &canvas) {
        Min = measuredMin_;
        Max = measuredMax_;
        return;
    }
    Content.MeasureWidths(canvas, Min, Max);
    Min += MarkerRoom();
    Max += MarkerRoom();
    TBoxValues b{};
    int tally = 0;
    ResolveBoxValues(BoxSpec, 0, 400, EmHeight, ExHeight, b, tally);
    const int sides = NoAuto(b[Prop::MarginLeft]) + NoAuto(b[Prop::MarginRight]) + Sides(b);
    const int width = b[Prop::Width];
    Min = std::max(Min, NoAuto(width)) + sides;
    Max = width != Auto ? Min : Max + sides;
    measuredPass_ = Root->LayoutPass;
    measuredOn_ = &canvas;
    measuredMin_ = Min;
    measuredMax_ = Max;
}

void TBlock::PaintBox(Canvas& canvas, const TRect& clip, int X) {
    const TBoxValues& b = Box;
    const int sy = Root->ScrollY;
    const int padLeft = LeftX - b[Prop::PaddingLeft] + X;
    const int padRight = LeftX + ContentWidth + b[Prop::PaddingRight] + X;
    const int borderLeft = padLeft - b[Prop::BorderLeftWidth];
    const int borderRight = padRight + b[Prop::BorderRightWidth];
    const int borderTop = borderTopY_ - sy;
    const int borderBottom = BottomY - b[Prop::MarginBottom] - sy + ShiftY();
    const int padTop = borderTop + b[Prop::BorderTopWidth];
    const int padBottom = borderBottom - b[Prop::BorderBottomWidth];
    const TRect padding{padLeft, padTop, padRight, padBottom};
    const TRect device{clip.Left + X, clip.Top - sy, clip.Right + X, clip.Bottom - sy};

    const TColor background = static_cast<TColor>(b[Prop::BackgroundColor]);
    if (background != clNone && (!Root->IsPrinting || Root->PrintBackgrounds)) {
        // Only what shows is filled, however tall the block.
        if (const TRect fill = Intersect(padding, device); !fill.IsEmpty()) {
            canvas.SetBrush(background, BrushStyle::Solid);
            canvas.FillRect(fill);
        }
    }
    if (BackImage && (!Root->IsPrinting || Root->PrintBackgrounds))
        BackImage->Paint(canvas, padding, device);
    if (Border.Any())
        Border.Paint(canvas, {borderLeft, borderTop, borderRight, borderBottom}, padding);
}

void TBlock::PaintContent(Canvas& canvas, const TRect& clip, int X) {
    paintIndex_.ForEachMeeting(clip.Top, clip.Bottom,
                               [&](TSectionBase* item) { item->Paint(canvas, clip, X); });
}

int TBlock::Paint(Canvas& canvas, const TRect& clip, int X) {
    if (Hidden) return LayoutY + FlowHeight;
    if (PaintTopY >= clip.Bottom || PaintBottomY < clip.Top) return LayoutY + FlowHeight;
    PaintBox(canvas, clip, X);
    PaintContent(canvas, clip, X);
    return LayoutY + FlowHeight;
}

bool TBlock::LinkAt(Canvas& canvas, int X, int Y, const TUrlTarget*& target,
                    TFormControl*& control) {
    return Content.LinkAt(canvas, X, Y, target, control);
}
bool TBlock::ObjectAt(int X, int Y, TInlineImage*& object, int& IX, int& IY) {
    return Content.ObjectAt(X, Y, object, IX, IY);
}
int TBlock::CursorAt(Canvas& canvas, int X, int Y, int& XR, int& YR, int& CaretHt, bool& InText) {
    return Content.CursorAt(canvas, X, Y, XR, YR, CaretHt, InText);
}
int TBlock::FindText(int from, std::string_view text, bool matchCase) {
    return Content.FindText(from, text, matchCase);
}
int TBlock::SourceOfDocPos(int docPos) {
    return Content.SourceOfDocPos(docPos);
}
int TBlock::DocPosOfSource(int sourcePos, TBetween between) {
    return Content.DocPosOfSource(sourcePos, between);
}
bool TBlock::CursorToPoint(Canvas* canvas, int cursor, int& X, int& Y) {
    return Content.CursorToPoint(canvas, cursor, X, Y);
}
bool TBlock::CharAt(int pos, char& ch, TSectionBase*& obj) {
    return Content.CharAt(pos, ch, obj);
}
void TBlock::CopySelection() {
    Content.CopySelection();
}
void TBlock::MoveY(int dy) {
    TSectionBase::MoveY(dy);
    borderTopY_ += dy;
    InnerBottomY += dy;
    originY_ += dy;
    Content.MoveY(dy);
    RebuildPaintOrder();
}

void TBlock::AddToPositionList() {
    TSectionBase::AddToPositionList();
    Content.AddToPositionList();
}

void TBlock::Dump(std::string& out, int depth) const {
    DumpIndent(out, depth);
    out += KindName();
    out += " <" + Content.OwnerTag + ">";
    const int boxLeft = LeftX - Box[Prop::PaddingLeft] - Box[Prop::BorderLeftWidth];
    const int boxRight =
        LeftX + ContentWidth + Box[Prop::PaddingRight] + Box[Prop::BorderRightWidth];
    // Relative blocks show where they are drawn.
    const int shift = ShiftY();
    out += " at (" + std::to_string(boxLeft) + "," + std::to_string(borderTopY_) + ") size " +
           std::to_string(boxRight - boxLeft) + "x" +
           std::to_string(BottomY - Box[Prop::MarginBottom] - (borderTopY_ - shift));
    out += " content (" + std::to_string(LeftX) + "," + std::to_string(TopY + shift) + ") width " +
           std::to_string(ContentWidth);
    if (Box[Prop::MarginTop] || Box[Prop::MarginBottom])
        out += " margins " + std::to_string(Box[Prop::MarginTop]) + "/" +
               std::to_string(Box[Prop::MarginBottom]);
    if (FloatSide == ALeft) out += " float-left";
    if (FloatSide == ARight) out += " float-right";
    if (ClearGap) out += " clear " + std::to_string(ClearGap);
    if (Placement == posAbsolute) out += " absolute";
    if (Placement == posRelative) out += " relative";
    if (Hidden) out += " hidden";
    if (BackImage) BackImage->Dump(out);
    out += "\n";
    for (const auto& item : Content)
        item->Dump(out, depth + 1);
}

} // namespace lumo

#include "layout/table_block.h"

#include "html/attributes.h"
#include "html/parse_color.h"
#include "layout/section_list.h"

#include <algorithm>
#include <cstdlib>

namespace lumo {

namespace {

// A WIDTH or HEIGHT: pixels, or tenths of a percent when it ends in "%"
// and lies in 1..maxPercent.
void SizeAttribute(const TAttributeList& attributes, TokenKind which, int maxPercent, int& value,
                   bool& percent) {
    const TAttribute* a = attributes.Find(which);
    if (!a || a->Value <= 0) return;
    percent = a->Name.find('%') != std::string::npos && a->Value <= maxPercent;
    value = percent ? a->Value * 10 : std::min(a->Value, MaxLength);
}

int NoAutoMargin(int v) {
    return v == Auto ? 0 : v;
}

} // namespace

TTableBlock::TTableBlock(TSectionList& root, TCellBasic& container, const TProperties& props,
                         const TAttributeList& attributes)
    : TBlock(root, container, props) {
    SizeAttribute(attributes, WidthTok, 100, WidthAttr, WidthPercent);
    SizeAttribute(attributes, HeightTok, 110, HeightAttr, HeightPercent);
    if (const TAttribute* a = attributes.Find(HSpaceTok)) HSpace = std::min(40, std::abs(a->Value));
    if (const TAttribute* a = attributes.Find(VSpaceTok))
        VSpace = std::min(200, std::abs(a->Value));
    TColor c;
    if (const TAttribute* a = attributes.Find(BGColorTok);
        a && ParseColor(a->Name, TPound::Optional, c))
        BgColorAttr = c | PaletteRelative;
    if (const TAttribute* a = attributes.Find(BackgroundTok); a && !BackImage && !a->Name.empty())
        SetBackImage(props, a->Name);
    auto table = std::make_unique<THtmlTable>(root, attributes);
    Table = table.get();
    Content.Add(std::move(table));
    // Cells without a colour of their own show the table's.
    const TColor back = props.GetBackgroundColor();
    Table->TableBgColor = back != clNone ? back : BgColorAttr;
    if (BackImage) Table->TableBgColor = clNone;
    if (FloatSide != ANone) {
        StackOrder = 1;
        if (MarginTop == TCollapsedMargin()) MarginTop = {VSpace, std::nullopt};
        if (MarginBottom == TCollapsedMargin()) MarginBottom = {VSpace, std::nullopt};
    }
}

TTableBlock::TTableBlock(TSectionList& root, TCellBasic& container, const TTableBlock& source)
    : TBlock(root, container, source), Table(static_cast<THtmlTable*>(Content.front().get())),
      WidthAttr(source.WidthAttr), WidthPercent(source.WidthPercent), HeightAttr(source.HeightAttr),
      HeightPercent(source.HeightPercent), BgColorAttr(source.BgColorAttr), HSpace(source.HSpace),
      VSpace(source.VSpace), Centered(source.Centered) {}

std::unique_ptr<TSectionBase> TTableBlock::Clone(TSectionList& root, TCellBasic& container) const {
    return std::make_unique<TTableBlock>(root, container, *this);
}

int TTableBlock::LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth, int HeightBase,
                        int& WidestOut) {
    // A table in the flow takes the room between the floats beside it.
    if (FloatSide == ANone && Placement == posStatic) {
        const TIndentManager& indents = context.Indents;
        const int left = std::max(X, indents.LeftEdgeAt(Y));
        RoomWidth = std::max(0, std::min(X + RoomWidth, indents.RightEdgeAt(Y)) - left);
        X = left;
    }
    return TBlock::LayOut(context, X, Y, RoomWidth, HeightBase, WidestOut);
}

void TTableBlock::MeasureWidths(Canvas& canvas, int& Min, int& Max) {
    if (measuredPass_ == Root->LayoutPass && measuredOn_ == &canvas) {
        Min = measuredMin_;
        Max = measuredMax_;
        return;
    }
    Table->RequestedWidth = 0;
    Table->MeasureWidths(canvas, Min, Max);
    if (WidthAttr > 0 && !WidthPercent) {
        Min = std::max(Min, WidthAttr);
        Max = Min;
    }
    TBoxValues b{};
    int tally = 0;
    ResolveBoxValues(BoxSpec, 0, 400, EmHeight, ExHeight, b, tally);
    int sides = 0;
    for (int i : {Prop::MarginLeft, Prop::MarginRight, Prop::PaddingLeft, Prop::PaddingRight,
                  Prop::BorderLeftWidth, Prop::BorderRightWidth})
        sides += NoAutoMargin(b[i]);
    if (FloatSide != ANone) sides += 2 * HSpace;
    Min += sides;
    Max += sides;
    measuredPass_ = Root->LayoutPass;
    measuredOn_ = &canvas;
    measuredMin_ = Min;
    measuredMax_ = Max;
}

int TTableBlock::ResolveWidth(Canvas& canvas, int RoomWidth, int HeightBase, int) {
    TBoxValues& b = Box;
    for (int i : {Prop::MarginLeft, Prop::MarginRight}) {
        b[i] = NoAutoMargin(b[i]);
        if (FloatSide != ANone && b[i] == 0) b[i] = HSpace;
    }
    if (static_cast<TColor>(b[Prop::BackgroundColor]) == clNone && BgColorAttr != clNone)
        b[Prop::BackgroundColor] = static_cast<int>(BgColorAttr);
    const int room = std::max(0, RoomWidth - LeftSide() - RightSide());
    int width;
    if (b[Prop::Width] == Auto || b[Prop::Width] == IntNull) {
        int Min = 0, Max = 0;
        Table->RequestedWidth = 0;
        Table->MeasureWidths(canvas, Min, Max);
        if (WidthAttr <= 0)
            width = Max <= room ? Max : std::max(Min, room);
        else
            width = std::max(Min, WidthPercent ? static_cast<int>(static_cast<int64_t>(RoomWidth) *
                                                                  WidthAttr / 1000)
                                               : WidthAttr);
    } else {
        width = std::min(b[Prop::Width], room);
    }
    Table->RequestedWidth = width;
    if (Centered && width < RoomWidth && b[Prop::MarginLeft] == 0 && b[Prop::MarginRight] == 0)
        b[Prop::MarginLeft] = (RoomWidth - width) / 2;
    Table->RequestedHeight = 0;
    if ((b[Prop::Height] == Auto || b[Prop::Height] <= 0) && HeightAttr > 0)
        Table->RequestedHeight =
            HeightPercent ? static_cast<int>(static_cast<int64_t>(HeightBase) * HeightAttr / 1000)
                          : HeightAttr;
    else if (b[Prop::Height] > 0)
        Table->RequestedHeight = b[Prop::Height];
    return width;
}

void TTableBlock::AddToPositionList() {
    Table->AddToPositionList();
}

} // namespace lumo

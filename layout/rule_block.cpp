#include "layout/rule_block.h"

#include "html/attributes.h"
#include "html/parse_color.h"
#include "layout/section_list.h"
#include "platform/color_names.h"
#include "platform/text.h"

#include <algorithm>

namespace lumo {

THorizontalRule::THorizontalRule(TSectionList& root, const TAttributeList& attributes,
                                 const TProperties& props)
    : TSectionBase(root) {
    if (const TAttribute* size = attributes.Find(SizeTok))
        Thickness = std::clamp(size->Value, 1, 1000);
    if (const TAttribute* color = attributes.Find(ColorTok)) {
        TColor c;
        if (ParseColor(color->Name, TPound::Optional, c)) RuleColor = c | PaletteRelative;
    }
    Flat = attributes.Find(NoShadeTok) != nullptr;
    if (RuleColor == clNone) {
        TColor styled = props.GetColor();
        if (styled != clNone && props.Assigned[Prop::Color]) RuleColor = styled;
    }
}

int THorizontalRule::LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth,
                            int HeightBase, int& WidestOut) {
    const TIndentManager& indents = context.Indents;
    RuleX = std::max(X, indents.LeftEdgeAt(Y));
    RuleWidth = std::max(0, std::min(RoomWidth + X - RuleX, indents.RightEdgeAt(Y) - RuleX));
    FlowHeight = Thickness;
    LeftX = RuleX;
    WidestOut = RuleWidth;
    return TSectionBase::LayOut(context, X, Y, RoomWidth, HeightBase, WidestOut);
}

int THorizontalRule::Paint(Canvas& canvas, const TRect&, int X) {
    if (Root->IsPrinting && LayoutY >= Root->PageEndY) return LayoutY + FlowHeight;
    const int x = RuleX + X, y = LayoutY - Root->ScrollY;
    const int right = x + RuleWidth - 1, bottom = y + Thickness - 1;
    if (RuleWidth <= 0) return LayoutY + FlowHeight;
    if (RuleColor != clNone) {
        canvas.SetBrush(RuleColor, BrushStyle::Solid);
        canvas.FillRect({x, y, x + RuleWidth, y + Thickness});
        return LayoutY + FlowHeight;
    }
    const bool mono = Root->IsPrinting && canvas.IsMonochrome();
    const TColor shadow = Flat || mono ? clBlack : (SystemColorFlag | 16);
    TColor light;
    if (Flat)
        light = clBlack;
    else if (Root->IsPrinting || ColorToRGB(Root->BackColor) == 0xFFFFFF)
        light = 0xC0C0C0;
    else
        light = SystemColorFlag | 20;
    canvas.SetPen(shadow, 1, PenStyle::Solid);
    canvas.MoveTo(x, bottom);
    canvas.LineTo(x, y);
    canvas.LineTo(right, y);
    canvas.SetPen(light, 1, PenStyle::Solid);
    canvas.LineTo(right, bottom);
    canvas.LineTo(x, bottom);
    return LayoutY + FlowHeight;
}

void THorizontalRule::Dump(std::string& out, int depth) const {
    DumpIndent(out, depth);
    out += std::string(KindName()) + " at (" + std::to_string(RuleX) + "," + std::to_string(TopY) +
           ") size " + std::to_string(RuleWidth) + "x" + std::to_string(Thickness) + "\n";
}

TRuleBlock::TRuleBlock(TSectionList& root, TCellBasic& container, const TProperties& props,
                       const TAttributeList& attributes)
    : TBlock(root, container, props) {
    if (const TAttribute* align = attributes.Find(AlignTok)) {
        std::string a = LowerCase(Trim(align->Name));
        if (a == "left") Align = RuleAlign::Left;
        if (a == "right") Align = RuleAlign::Right;
    }
    auto unset = [&](int index) {
        const int* n = std::get_if<int>(&BoxSpec[index]);
        return n && *n == IntNull;
    };
    if (const TAttribute* width = attributes.Find(WidthTok); width && unset(Prop::Width)) {
        if (!width->Name.empty() && width->Name.back() == '%')
            BoxSpec.Set(Prop::Width, std::to_string(std::clamp(width->Value, 0, 100)) + "%");
        else if (width->Value > 0)
            BoxSpec.Set(Prop::Width, std::min(width->Value, MaxLength));
    }
    if (const TAttribute* size = attributes.Find(SizeTok); size && unset(Prop::Height))
        BoxSpec.Set(Prop::Height, std::clamp(size->Value, 1, 1000));
}

TRuleBlock::TRuleBlock(TSectionList& root, TCellBasic& container, const TRuleBlock& source)
    : TBlock(root, container, source), Align(source.Align) {
    if (!Content.empty()) Line = dynamic_cast<THorizontalRule*>(Content.front().get());
}

int TRuleBlock::ResolveWidth(Canvas&, int RoomWidth, int, int) {
    int& ml = Box[Prop::MarginLeft];
    int& mr = Box[Prop::MarginRight];
    if (ml == Auto) ml = 0;
    if (mr == Auto) mr = 0;
    const int available = RoomWidth - ml - mr - Box[Prop::BorderLeftWidth] -
                          Box[Prop::BorderRightWidth] - Box[Prop::PaddingLeft] -
                          Box[Prop::PaddingRight];
    int width = Box[Prop::Width];
    if (width != Auto && width >= 1)
        width = std::min(width, available);
    else
        width = std::max(15, available);
    const int rest = std::max(0, available - width);
    if (Align == RuleAlign::Center) ml += rest / 2;
    if (Align == RuleAlign::Right) ml += rest;
    if (Line && Box[Prop::Height] > 0) Line->Thickness = Box[Prop::Height];
    return width;
}

} // namespace lumo

#include "layout/list_item_block.h"

#include "layout/font_run.h"
#include "layout/section_list.h"

#include <algorithm>
#include <array>

namespace lumo {

namespace {

constexpr std::array<std::string_view, 20> RomanNumerals = {
    "i",  "ii",  "iii",  "iv",  "v",  "vi",  "vii",  "viii",  "ix",  "x",
    "xi", "xii", "xiii", "xiv", "xv", "xvi", "xvii", "xviii", "xix", "xx"};

ListKindType KindOf(TokenKind listTok) {
    switch (listTok) {
    case OLTok: return lkOrdered;
    case ULTok:
    case DirTok:
    case MenuTok:
    case BlockQuoteTok: return lkUnordered;
    case DLTok: return lkDefinition;
    case DivTok: return lkStyled;
    default: return lkOther;
    }
}

MarkerStyleType OrderedStyle(char type) {
    switch (type) {
    case 'A': return msUpperAlpha;
    case 'I': return msUpperRoman;
    case 'a': return msLowerAlpha;
    case 'i': return msLowerRoman;
    default: return msDecimal;
    }
}

} // namespace

TListItemBlock::TListItemBlock(TSectionList& root, TCellBasic& container, const TProperties& props,
                               const TListStyle& list, int number)
    : TBlock(root, container, props), ListKind(KindOf(list.ListTok)), ItemNumber(number),
      MarkerFont(&root.Fonts.Intern(props.MakeFont(*root.Measure))), Inside(props.MarkerInside()) {
    switch (ListKind) {
    case lkOrdered: MarkerStyle = OrderedStyle(list.Type); break;
    case lkUnordered: MarkerStyle = list.Plain ? msNone : msCircle; break;
    case lkOther: {
        MarkerStyle = msDisc;
        const int* left = props.Int(Prop::MarginLeft);
        const std::string* text = props.Text(Prop::MarginLeft);
        if (!text && (!left || *left == IntNull || *left == 0)) BoxSpec.Set(Prop::MarginLeft, 16);
        break;
    }
    case lkStyled: MarkerStyle = msDisc; break;
    default: MarkerStyle = msNone; break;
    }
    // A style wins, except over an explicit TYPE or PLAIN of the list itself.
    const int styled = props.GetListStyleType();
    const bool explicitType = ListKind == lkOrdered && list.Type != '1';
    if (styled > 0 && !list.Plain && !(explicitType && styled == msDecimal))
        MarkerStyle = static_cast<MarkerStyleType>(styled);
    // An item shown as a plain block has no marker.
    if (props.GetDisplay() == dsBlock || props.GetDisplay() == dsInline) MarkerStyle = msNone;
    if (std::string url; props.GetListStyleImage(url) && !url.empty()) {
        MarkerImage = std::make_unique<TBackgroundImage>(root);
        MarkerImage->SetSource(std::move(url));
    }
}

TListItemBlock::TListItemBlock(TSectionList& root, TCellBasic& container,
                               const TListItemBlock& source)
    : TBlock(root, container, source), ListKind(source.ListKind), ItemNumber(source.ItemNumber),
      MarkerStyle(source.MarkerStyle), MarkerFont(&root.Fonts.Intern(*source.MarkerFont)),
      Inside(source.Inside) {
    if (source.MarkerImage)
        MarkerImage = std::make_unique<TBackgroundImage>(root, *source.MarkerImage);
}

bool TListItemBlock::HasMarker() const {
    return ListKind != lkNone && ListKind != lkDefinition && MarkerStyle != msNone &&
           MarkerStyle != msBlank;
}

int TListItemBlock::MarkerRoom() const {
    return HasMarker() && !Inside ? 35 : 0;
}

int TListItemBlock::InsideRoom(Canvas& canvas) const {
    if (MarkerImage && MarkerImage->Shows()) return MarkerImage->Size().cx + 4;
    if (MarkerStyle == msCircle || MarkerStyle == msDisc || MarkerStyle == msSquare) return 16;
    UseFont(canvas, *MarkerFont);
    return canvas.TextWidth(MarkerText(MarkerStyle, ItemNumber) + " ");
}

void TListItemBlock::MoveY(int dy) {
    TBlock::MoveY(dy);
    if (FirstLine.Baseline) FirstLine.Baseline += dy;
}

std::string TListItemBlock::MarkerText(MarkerStyleType style, int number) {
    if (number < 1) return std::to_string(number) + ".";
    switch (style) {
    case msLowerAlpha:
    case msUpperAlpha: {
        char c = static_cast<char>('a' + std::min(number - 1, 25));
        if (style == msUpperAlpha) c = static_cast<char>(c - 32);
        return std::string(1, c) + ".";
    }
    case msLowerRoman:
    case msUpperRoman: {
        std::string s(RomanNumerals[static_cast<size_t>(std::min(number, 20) - 1)]);
        if (style == msUpperRoman)
            for (char& c : s)
                c = static_cast<char>(c - 32);
        return s + ".";
    }
    default: return std::to_string(number) + ".";
    }
}

int TListItemBlock::LayOut(const TLayoutContext& context, int X, int Y, int RoomWidth,
                           int HeightBase, int& WidestOut) {
    // The hook points at this item only while it is laid out, so a nested
    // item never leaves it aimed at itself for the text after it.
    TFirstLineReport* saved = Root->FirstLineHook;
    if (MarkerImage) MarkerImage->Load();
    FirstLine = {};
    if (Inside && HasMarker()) FirstLine.MarkerRoom = InsideRoom(context.Measure);
    Root->FirstLineHook = &FirstLine;
    int height = TBlock::LayOut(context, X, Y, RoomWidth, HeightBase, WidestOut);
    Root->FirstLineHook = saved;
    return height;
}

void TListItemBlock::PaintMarker(Canvas& canvas, const TRect& clip, int X) {
    const int baseline = FirstLine.Baseline - Root->ScrollY;
    // The marker ends where its room does: outside the item's box, left of
    // its border and padding (which a plain item has none of), or inside,
    // where the first line's text starts.
    const int room = FirstLine.MarkerRoom;
    const int x = Inside ? FirstLine.MarkerX + room + X
                         : LeftX + X - Box[Prop::PaddingLeft] - Box[Prop::BorderLeftWidth];
    if (MarkerImage && MarkerImage->Shows()) {
        // Standing on the baseline, outside with a 7-pixel gap before the
        // text, so that a wide picture never covers the first letter.
        const TSize size = MarkerImage->Size();
        const int left = Inside ? x - room : x - 7 - size.cx;
        const TRect device{clip.Left + X, clip.Top - Root->ScrollY, clip.Right + X,
                           clip.Bottom - Root->ScrollY};
        MarkerImage->Paint(canvas, {left, baseline - size.cy, left + size.cx, baseline}, device);
        return;
    }
    switch (MarkerStyle) {
    case msDecimal:
    case msLowerAlpha:
    case msUpperAlpha:
    case msLowerRoman:
    case msUpperRoman: {
        UseFont(canvas, *MarkerFont);
        std::string text = MarkerText(MarkerStyle, ItemNumber);
        canvas.SetTextColor(MarkerFont->Color);
        canvas.SetBkMode(BkMode::Transparent);
        canvas.SetTextAlign(HAlign::Left, VAlign::Baseline);
        canvas.TextOut(Inside ? x - room : x - 10 - canvas.TextWidth(text), baseline, text);
        break;
    }
    case msCircle:
        canvas.SetPen(MarkerFont->Color, 1, PenStyle::Solid);
        canvas.SetBrush(MarkerFont->Color, BrushStyle::Clear);
        canvas.Ellipse({x - 16, baseline - 8, x - 9, baseline - 1});
        break;
    case msDisc: {
        // Items outside a list too: their 16-pixel margin holds the disc, which
        // drawn at the content edge would cover the first letter.
        const int left = x - 15;
        canvas.SetPen(MarkerFont->Color, 1, PenStyle::Solid);
        canvas.SetBrush(MarkerFont->Color, BrushStyle::Solid);
        canvas.Ellipse({left, baseline - 6, left + 5, baseline - 1});
        break;
    }
    case msSquare:
        canvas.SetBrush(MarkerFont->Color, BrushStyle::Solid);
        canvas.FillRect({x - 15, baseline - 6, x - 10, baseline - 1});
        break;
    default: break;
    }
}

int TListItemBlock::Paint(Canvas& canvas, const TRect& clip, int X) {
    int bottom = TBlock::Paint(canvas, clip, X);
    const int baseline = FirstLine.Baseline;
    if (!Hidden && baseline > 0 && HasMarker() && baseline >= clip.Top &&
        baseline - 20 < clip.Bottom)
        PaintMarker(canvas, clip, X);
    return bottom;
}

void TListItemBlock::Dump(std::string& out, int depth) const {
    std::string block;
    TBlock::Dump(block, depth);
    size_t eol = block.find('\n');
    std::string marker = " marker ";
    if (!HasMarker())
        marker += "none";
    else if (MarkerStyle == msCircle || MarkerStyle == msDisc || MarkerStyle == msSquare)
        marker += MarkerStyle == msCircle ? "circle" : MarkerStyle == msDisc ? "disc" : "square";
    else
        marker.append(1, '"').append(MarkerText(MarkerStyle, ItemNumber)).append(1, '"');
    if (HasMarker() && Inside) marker += " inside";
    marker += " baseline " + std::to_string(FirstLine.Baseline);
    block.insert(eol, marker);
    out += block;
}

} // namespace lumo

#include "layout/box_border.h"

#include "platform/text.h"

#include <algorithm>
#include <cmath>

namespace lumo {

namespace {

constexpr std::pair<std::string_view, TBorderLine> LineWords[] = {
    {"dashed", TBorderLine::Dashed}, {"dotted", TBorderLine::Dotted},
    {"double", TBorderLine::Double}, {"groove", TBorderLine::Groove},
    {"inset", TBorderLine::Inset},   {"none", TBorderLine::None},
    {"outset", TBorderLine::Outset}, {"ridge", TBorderLine::Ridge},
    {"solid", TBorderLine::Solid},
};

// The shaded half of a three-dimensional border: the colour at half strength.
TColor Shade(TColor color) {
    const uint32_t c = static_cast<uint32_t>(color) & 0xFFFFFF;
    return static_cast<TColor>((c >> 1) & 0x7F7F7F);
}

// The band of a side from depth from to depth to, as parts of the side's
// width (0 the border edge, 1 the padding edge).
TRect Band(TBoxBorder::Side side, const TRect& outer, const TRect& inner, double from, double to) {
    auto at = [](int edge, int inward, double part) {
        return edge + static_cast<int>(std::lround((inward - edge) * part));
    };
    switch (side) {
    case TBoxBorder::Top:
        return {outer.Left, at(outer.Top, inner.Top, from), outer.Right,
                at(outer.Top, inner.Top, to)};
    case TBoxBorder::Bottom:
        return {outer.Left, at(outer.Bottom, inner.Bottom, to), outer.Right,
                at(outer.Bottom, inner.Bottom, from)};
    case TBoxBorder::Left:
        return {at(outer.Left, inner.Left, from), inner.Top, at(outer.Left, inner.Left, to),
                inner.Bottom};
    case TBoxBorder::Right:
        return {at(outer.Right, inner.Right, to), inner.Top, at(outer.Right, inner.Right, from),
                inner.Bottom};
    }
    return {};
}

void Fill(Canvas& canvas, const TRect& r, TColor color) {
    if (r.IsEmpty()) return;
    canvas.SetBrush(color, BrushStyle::Solid);
    canvas.FillRect(r);
}

// Dots (squares as long as the band is thick) or dashes (three times as
// long) with gaps of a dot's length between them.
void FillBroken(Canvas& canvas, const TRect& band, TColor color, int dotsPerDash) {
    const bool across = band.Width() >= band.Height();
    const int thickness = std::max(1, across ? band.Height() : band.Width());
    const int dash = thickness * dotsPerDash, step = dash + thickness;
    const int start = across ? band.Left : band.Top, end = across ? band.Right : band.Bottom;
    for (int at = start; at < end; at += step) {
        const int stop = std::min(end, at + dash);
        Fill(canvas,
             across ? TRect{at, band.Top, stop, band.Bottom}
                    : TRect{band.Left, at, band.Right, stop},
             color);
    }
}

} // namespace

TBorderLine BorderLineOf(std::string_view word) {
    for (const auto& [name, line] : LineWords)
        if (word == name) return line;
    return TBorderLine::Solid;
}

TBoxBorder TBoxBorder::Of(const TProperties& props) {
    return Of(props, true);
}

TBoxBorder TBoxBorder::OfInline(const TProperties& props) {
    return Of(props, false);
}

TBoxBorder TBoxBorder::Of(const TProperties& props, bool elementColor) {
    TBoxBorder border;
    TColor shared = clNone;
    if (const int* c = props.Int(Prop::BorderColor)) shared = static_cast<TColor>(*c);
    if (shared == clNone && elementColor) {
        if (const int* c = props.Int(Prop::Color)) shared = static_cast<TColor>(*c);
        if (shared == clNone) shared = 0;
    }
    for (int side = Top; side <= Left; ++side) {
        const std::string* style = props.Text(Prop::BorderTopStyle + side);
        border.lines_[side] =
            style && !style->empty() ? BorderLineOf(Trim(*style)) : TBorderLine::None;
        const int* own = props.Int(Prop::BorderTopColor + side);
        border.colors_[side] =
            own && *own != static_cast<int>(clNone) ? static_cast<TColor>(*own) : shared;
    }
    return border;
}

bool TBoxBorder::Any() const {
    return std::any_of(lines_.begin(), lines_.end(),
                       [](TBorderLine line) { return line != TBorderLine::None; });
}

void TBoxBorder::Paint(Canvas& canvas, const TRect& outer, const TRect& inner) const {
    for (int side = Top; side <= Left; ++side)
        PaintSide(canvas, static_cast<Side>(side), outer, inner);
}

void TBoxBorder::PaintSide(Canvas& canvas, Side side, const TRect& outer,
                           const TRect& inner) const {
    const TColor color = colors_[side], shade = Shade(color);
    // The top and left of an inset box lie in shadow; an outset box is lit there.
    const bool upperLeft = side == Top || side == Left;
    const TColor sunk = upperLeft ? shade : color, raised = upperLeft ? color : shade;
    switch (lines_[side]) {
    case TBorderLine::None: return;
    case TBorderLine::Solid: Fill(canvas, Band(side, outer, inner, 0, 1), color); return;
    case TBorderLine::Dotted: FillBroken(canvas, Band(side, outer, inner, 0, 1), color, 1); return;
    case TBorderLine::Dashed: FillBroken(canvas, Band(side, outer, inner, 0, 1), color, 3); return;
    case TBorderLine::Double:
        Fill(canvas, Band(side, outer, inner, 0, 1.0 / 3), color);
        Fill(canvas, Band(side, outer, inner, 2.0 / 3, 1), color);
        return;
    case TBorderLine::Groove:
    case TBorderLine::Ridge: {
        const bool groove = lines_[side] == TBorderLine::Groove;
        Fill(canvas, Band(side, outer, inner, 0, 0.5), groove ? sunk : raised);
        Fill(canvas, Band(side, outer, inner, 0.5, 1), groove ? raised : sunk);
        return;
    }
    case TBorderLine::Inset: Fill(canvas, Band(side, outer, inner, 0, 1), sunk); return;
    case TBorderLine::Outset: Fill(canvas, Band(side, outer, inner, 0, 1), raised); return;
    }
}

} // namespace lumo

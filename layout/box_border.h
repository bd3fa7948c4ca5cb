// The border of a block's box, side by side: each side's line style and
// colour, painted between the border edge and the padding edge.
#pragma once

#include "html/properties.h"
#include "platform/canvas.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace lumo {

enum class TBorderLine : uint8_t {
    None,
    Solid,
    Dotted,
    Dashed,
    Double,
    Groove,
    Ridge,
    Inset,
    Outset
};

// The line of a border-style word; an unknown word draws solid.
TBorderLine BorderLineOf(std::string_view word);

class TBoxBorder {
public:
    enum Side { Top, Right, Bottom, Left };

    // The sides' styles and colours as the element's style gives them: a
    // side's own colour, else border-color, else the element's colour.
    static TBoxBorder Of(const TProperties& props);
    // The same for an inline element, with clNone in place of its colour:
    // its sides take the colour its text is painted in (a link's, say).
    static TBoxBorder OfInline(const TProperties& props);

    bool Any() const;
    TBorderLine Line(Side side) const { return lines_[side]; }
    TColor Color(Side side) const { return colors_[side]; }
    void SetColor(Side side, TColor color) { colors_[side] = color; }

    // Paints the sides on the ring between outer (the border edge) and inner
    // (the padding edge); the top and bottom sides span the corners.
    void Paint(Canvas& canvas, const TRect& outer, const TRect& inner) const;

private:
    static TBoxBorder Of(const TProperties& props, bool elementColor);
    void PaintSide(Canvas& canvas, Side side, const TRect& outer, const TRect& inner) const;

    std::array<TBorderLine, 4> lines_{};
    std::array<TColor, 4> colors_{};
};

} // namespace lumo

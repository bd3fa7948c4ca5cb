// What stands at one placeholder byte of a section's text and takes part in
// line breaking with its box: pictures, form controls and embedded panels.
// Each is inline, aligned to its line, or floats left or right with the text
// flowing around it. Geometry is in document pixels, as for every item.
#pragma once

#include "layout/anchor_list.h"
#include "platform/canvas.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace lumo {

struct TAttribute;
class TProperties;

// Bottom is HTML's ALIGN=BOTTOM, the bottom on the baseline; LineBottom is a
// style's vertical-align: bottom, the bottom on the line's.
enum class TAlignCode : uint8_t {
    Top = 1,
    Middle,
    Bottom,
    Baseline,
    FloatLeft,
    FloatRight,
    LineBottom
};

// HSPACE and VSPACE count up to this many pixels.
inline constexpr int MaxObjectSpacing = 40;
// Box sizes past this are taken as this, so box arithmetic never overflows.
inline constexpr int64_t MaxObjectSize = 1000000;

inline int ClampObjectSize(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, 0, MaxObjectSize));
}

// The font of the ALT text objects show in place of what they stand for.
FontSpec AltTextFont();

// A width or height a style gives an object: pixels, or a percentage of the
// room when Percent.
struct TStyleLength {
    int Value = 0;
    bool Percent = false;
};
// The length at index of props; nothing when the style leaves it unset or
// auto.
std::optional<TStyleLength> StyleLength(const TProperties& props, int index);

class TInlineObject : public TAnchorTarget {
public:
    int CharPos = 0;  // index of the placeholder in the section's text
    int BoxWidth = 0; // the box, link border included, spacing not
    int BoxHeight = 0;
    TAlignCode AlignCode = TAlignCode::Baseline;
    int SpaceLeft = 0, SpaceRight = 0, SpaceTop = 0, SpaceBottom = 0;
    // Document point of the box's top left corner, set by the layout.
    int LeftX = 0;
    int PaintTop = 0;
    // Set once a float has taken its place in the current layout.
    bool Placed = false;

    bool IsFloat() const {
        return AlignCode == TAlignCode::FloatLeft || AlignCode == TAlignCode::FloatRight;
    }
    int TotalWidth() const { return BoxWidth + SpaceLeft + SpaceRight; }
    int TotalHeight() const { return BoxHeight + SpaceTop + SpaceBottom; }
    // The width the object takes on its line; floats take none.
    int LineWidth() const { return IsFloat() ? 0 : TotalWidth(); }
    int YPosition() override { return PaintTop; }
    // Draws the box at device point (X, Y).
    virtual void Paint(Canvas& canvas, int X, int Y) = 0;
    // "at (X,Y) size WxH" and the alignment, for the layout dump.
    std::string DumpPlace() const;

protected:
    // HSPACE, VSPACE and ALIGN as pictures read them; false for any other
    // attribute.
    bool TakePlacement(const TAttribute& attribute);
    // The style's side margins as SpaceLeft and SpaceRight and its
    // vertical-align as the alignment, each only where the style sets it.
    void TakeStylePlacement(const TProperties& props);
};

} // namespace lumo

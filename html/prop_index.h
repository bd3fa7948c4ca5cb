// The style properties by index, the value a property holds, and which of
// them an element takes from its parent.
#pragma once

#include <string>
#include <variant>

namespace lumo {

// Property indices. 0 to 52 have names; the link state slots follow.
namespace Prop {
enum : int {
    FontFamily,
    FontSize,
    FontStyle,
    FontWeight,
    TextAlign,
    TextDecoration,
    BorderStyle,
    Color,
    BackgroundColor,
    BorderColor,
    MarginTop,
    MarginRight,
    MarginBottom,
    MarginLeft,
    PaddingTop,
    PaddingRight,
    PaddingBottom,
    PaddingLeft,
    BorderTopWidth,
    BorderRightWidth,
    BorderBottomWidth,
    BorderLeftWidth,
    BorderTopStyle,
    BorderRightStyle,
    BorderBottomStyle,
    BorderLeftStyle,
    Width,
    Height,
    Top,
    Left,
    Visibility,
    LineHeight,
    BackgroundImage,
    BackgroundPosition,
    BackgroundRepeat,
    VerticalAlign,
    Position,
    ZIndex,
    ListStyleType,
    ListStyleImage,
    Float,
    Clear,
    TextIndent,
    TextTransform,
    BorderTopColor,
    BorderRightColor,
    BorderBottomColor,
    BorderLeftColor,
    Display,
    FontVariant,
    ListStylePosition,
    LinkColor,
    LinkBackgroundColor,
    LinkTextDecoration,
    HoverColor,
    HoverBackgroundColor,
    HoverTextDecoration,
    VisitedColor,
    VisitedBackgroundColor,
    VisitedTextDecoration,
    Count
};
inline constexpr int NamedCount = LinkColor;     // 53 names
inline constexpr int FirstBox = BackgroundColor; // the 22 box values 8..29
inline constexpr int LastBox = Left;
} // namespace Prop

using TPropValue = std::variant<std::monostate, int, double, std::string>;

// A value that is not set.
inline constexpr int IntNull = -12345678;

namespace Prop {

// Margins, paddings, border widths and styles of the sides, width, height,
// top and left: IntNull on every element until its own style sets them.
constexpr bool IsBox(int i) {
    return i >= MarginTop && i <= Left;
}

// Not carried from parent to child.
constexpr bool NotInherited(int i) {
    return i == BorderStyle || i == BackgroundColor || i == BorderColor ||
           (i >= BorderTopColor && i <= BorderLeftColor) || IsBox(i) ||
           (i >= BackgroundImage && i <= Position) || i == Float || i == Clear || i == Display;
}

} // namespace Prop

} // namespace lumo

// Colour constants by name ("clRed", "clBtnText") as settings files store them.
// System colours are 0x80000000 + the system colour index and are resolved to
// a real colour only when drawn.
#pragma once

#include "platform/types.h"

#include <string>
#include <string_view>

namespace lumo {

inline constexpr TColor SystemColorFlag = 0x80000000;
inline constexpr TColor clBtnFace = SystemColorFlag | 15;
inline constexpr TColor clBtnText = SystemColorFlag | 18;
inline constexpr TColor clWindow = SystemColorFlag | 5;
inline constexpr TColor clWindowText = SystemColorFlag | 8;
inline constexpr TColor clHighlight = SystemColorFlag | 13;
inline constexpr TColor clHighlightText = SystemColorFlag | 14;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clPurple = 0x800080;

// The colour of a constant name (compared without regard to case).
bool IdentToColor(std::string_view name, TColor& color);

// A constant name or a number (decimal, "$" or "0x" hexadecimal); the default
// when it is neither.
TColor StringToColor(std::string_view text, TColor defaultColor);

// The form a settings file stores: a signed decimal number.
std::string ColorToString(TColor color);

} // namespace lumo

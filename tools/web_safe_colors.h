// The 216 web-safe colours as the colour chooser lays them out: a grid of
// 16 by 16 pixel cells, 16 to a row, 256 by 224 pixels in all. Cell i has
// red (i div 36) * 51, green ((i mod 36) div 6) * 51 and blue (i mod 6) * 51.
#pragma once

#include "platform/types.h"

#include <optional>
#include <string>
#include <string_view>

namespace lumo {

inline constexpr int WebSafeCellCount = 216;
inline constexpr int WebSafeCellSize = 16;
inline constexpr int WebSafeColumns = 16;
inline constexpr int WebSafeGridWidth = WebSafeColumns * WebSafeCellSize; // 256
inline constexpr int WebSafeGridHeight = 14 * WebSafeCellSize;            // 224

// The colour of cell i (0 to 215), as 0x00BBGGRR.
TColor WebSafeColor(int cell);

// The cell under grid pixel (x, y): points in the empty part of the last
// row give cell 215; points outside the grid give none.
std::optional<int> WebSafeCellAt(int x, int y);

// "#rrggbb" with lower-case digits.
std::string WebColorText(TColor color);

// The colour of "#rrggbb" (either case); none for any other text.
std::optional<TColor> WebColorOfText(std::string_view text);

} // namespace lumo

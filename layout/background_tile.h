// Tiled background pictures of blocks. Only the part of the box that the
// clip rectangle shows is ever built, band by band, so a block that is
// 100,000 pixels tall costs what the window shows, not a bitmap of its size.
#pragma once

#include "platform/canvas.h"

#include <string>
#include <string_view>

namespace lumo {

enum class TileRepeat { Both, X, Y, None };

// "repeat", "repeat-x", "repeat-y", "no-repeat"; anything else repeats both ways.
TileRepeat ParseTileRepeat(std::string_view text);
// A position as the style sheet gives it ("3em 1in", "left 50%") with its
// lengths in pixels; keywords and percentages stay, for the box to resolve.
std::string PositionInPixels(std::string_view position, int emSize, int exSize);
// The offset of the first tile inside a box of boxSize for a position such as
// "10 20", "center", "right bottom" or "50% 50%" (lengths in pixels); (0, 0)
// by default.
TPoint TileOffset(std::string_view position, TSize boxSize, TSize tileSize);

// Paints picture tiled over box (device coordinates), through mask when one is
// given (white mask pixels leave the canvas as it is), limited to clip.
void PaintTiledBackground(Canvas& canvas, const Bitmap& picture, const Bitmap* mask,
                          const TRect& box, const TRect& clip, std::string_view position,
                          TileRepeat repeat);

// Rows of one band: bands hold at most this many pixels.
inline constexpr int TileBandPixels = 1 << 22;

} // namespace lumo

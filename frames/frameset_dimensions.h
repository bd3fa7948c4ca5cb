// How a FRAMESET's ROWS or COLS list becomes the pixel sizes of its
// children, and back again after the user drags a border. Pure arithmetic:
// the frame sets call it with their extents.
//
// A dimension is one int:
//   1 .. 5000        a size in pixels;
//   -1 .. -99        a relative share ("n*"; "*" or an empty entry is -1);
//   -101 .. -1000    a percentage p, stored as -(100 + p).
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace lumo {

inline constexpr int MaxFrameDims = 20;
inline constexpr int MaxDimPixels = 5000;
inline constexpr int MaxDimShares = 99;
inline constexpr int MaxDimPercent = 900;

using TDimArray = std::array<int, MaxFrameDims>;

// Reads at most MaxFrameDims entries of a ROWS or COLS value into specs and
// returns how many it read. Numbers saturate at the caps above.
int ParseDimensionList(std::string_view text, TDimArray& specs);

// The dimension as a page would write it ("100", "2*", "25%"), for dumps.
std::string DimensionText(int dim);

// The sizes of the children for total pixels (negative counts as 0); returns
// their sum. Fixed sizes come first; percentages share what is left, and the
// shares split the rest. When the fixed sizes alone need all the room, they
// are scaled down in proportion and the others get 0.
int ComputeDimensionSizes(std::span<const int> specs, int total, std::span<int> sizes);

// Where each child ends (ends[i] for child i) when sizes that add up to
// totalSize are stretched over extent pixels. Ends are taken from the
// running sums, so no pixel is lost to rounding and the last child ends at
// extent; a set whose sizes add up to nothing splits the extent evenly.
void PlaceDimensions(std::span<const int> sizes, int totalSize, int extent, std::span<int> ends);

// The sizes that the ends of a placement stand for, in pixels of that
// placement, after a border was moved; returns their sum (the last end).
// Placing them again over the same extent gives the same ends.
int SizesFromEnds(std::span<const int> ends, std::span<int> sizes);

} // namespace lumo

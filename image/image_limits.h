// The memory budget every picture reader keeps to, checked before pixels are
// allocated, so a hostile header cannot make the program allocate gigabytes.
#pragma once

#include <algorithm>
#include <cstdint>

namespace lumo {

inline constexpr int64_t MaxImageSide = 16384;                      // pixels, either direction
inline constexpr int64_t MaxImageBytes = int64_t{256} << 20;        // decoded pixels of one picture
inline constexpr int64_t MaxPageImageBytes = int64_t{512} << 20;    // the pictures of one page
inline constexpr const char* ImageTooLargeText = "Image too large"; // the reason a reader gives

// Whether a width x height picture of bytesPerPixel fits beside alreadyUsed
// bytes of the same picture, within limit and never past the picture budget.
inline bool FitsImageBudget(int64_t width, int64_t height, int64_t bytesPerPixel,
                            int64_t alreadyUsed = 0, int64_t limit = MaxImageBytes) {
    if (width < 0 || height < 0 || width > MaxImageSide || height > MaxImageSide) return false;
    return alreadyUsed + width * height * bytesPerPixel <= std::min(limit, MaxImageBytes);
}

} // namespace lumo

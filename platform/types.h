// Basic value types shared by every layer.
#pragma once

#include <cstdint>

namespace lumo {

// Window message parameters, sized like their Windows counterparts.
using UINT = uint32_t;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

// First message number free for a program's private messages.
inline constexpr UINT WM_USER = 1024;

// A colour 0x00BBGGRR. Colours read from documents carry the palette-relative flag.
using TColor = uint32_t;
inline constexpr TColor PaletteRelative = 0x02000000;
inline constexpr TColor clNone = 0x1FFFFFFF;

} // namespace lumo

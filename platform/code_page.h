// The single-byte code pages a page may declare for its text. Text stays
// bytes inside the program; the code page says which characters they are
// where text meets Unicode (drawing, measuring, the clipboard).
#pragma once

#include <cstdint>
#include <string_view>

namespace lumo {

enum class TCodePage : uint8_t {
    Windows1252,
    Windows1250,
    Windows1251,
    Windows1253,
    Windows1254,
    Windows1257,
    Iso8859_2,
    Iso8859_3,
    Iso8859_4,
    Iso8859_5,
    Iso8859_7,
    Iso8859_9,
    Koi8R,
};

// The code page's name as charsets are named.
std::string_view CodePageName(TCodePage page);

} // namespace lumo

// The code pages a page may declare for its text: single-byte ones, and
// UTF-8, whose characters take one to four bytes. Text stays bytes inside
// the program; the code page says which characters they are where text
// meets Unicode (drawing, measuring, the clipboard, find).
#pragma once

#include <array>
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
    Utf8,
};

// The code page's name as charsets are named.
std::string_view CodePageName(TCodePage page);

// For each byte of a single-byte code page, the byte of its lower-case
// partner (the byte itself when it has none): what searches without regard
// to case compare.
using TCaseFold = std::array<unsigned char, 256>;
// A single-byte code page's letter pairs: each byte's small and capital
// letter (a byte that is no letter, or has no pair there, stands for itself).
struct TLetterCases {
    TCaseFold Lower{};
    TCaseFold Upper{};
};

} // namespace lumo

// The ANSI code page: text inside the program is bytes in Windows-1252.
// Conversion to and from Unicode happens only at the edges (drawing, file names,
// clipboard, dialogs), through these functions.
#pragma once

#include <string>
#include <string_view>

namespace lumo {

// The Unicode code point of one Windows-1252 byte. The five bytes the code
// page leaves undefined map to the C1 control of the same value, so every byte
// survives a round trip.
char32_t AnsiToCodePoint(unsigned char byte);

// The Windows-1252 byte of a code point, or '?' when the code page has none.
unsigned char CodePointToAnsi(char32_t codePoint);

// Whether the code point has a byte of its own in Windows-1252.
bool HasAnsiByte(char32_t codePoint);

// Case folding in the code page: ASCII letters, the Latin-1 letters
// (0xC0-0xDE against 0xE0-0xFE, except the signs 0xD7 and 0xF7) and the four
// pairs of 0x8A/0x9A, 0x8C/0x9C, 0x8E/0x9E and 0x9F/0xFF. Bytes without a
// partner (0xDF among them) stay as they are.
char AnsiLowerChar(char c);
char AnsiUpperChar(char c);
// Equal without regard to case in the code page; a and b of equal length.
bool SameAnsiText(std::string_view a, std::string_view b);

std::string AnsiToUtf8(std::string_view ansi);

// Malformed UTF-8 sequences and characters outside the code page become '?'.
std::string Utf8ToAnsi(std::string_view utf8);

// Text in code page 437, the code page of names in ZIP archives made on DOS,
// as UTF-8. Bytes below 0x80 are ASCII.
std::string Cp437ToUtf8(std::string_view cp437);

// UTF-8 text with every malformed sequence replaced by '?'.
std::string ValidUtf8(std::string_view utf8);

} // namespace lumo

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

std::string AnsiToUtf8(std::string_view ansi);

// Malformed UTF-8 sequences and characters outside the code page become '?'.
std::string Utf8ToAnsi(std::string_view utf8);

} // namespace lumo

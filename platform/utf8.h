// Reading UTF-8 text one character at a time. Pages declared utf-8 keep
// their bytes as they came; layout, drawing and find step over whole
// characters with these. A malformed sequence is one character (U+FFFD)
// as long as its longest valid start, so every byte belongs to exactly one
// character and nothing is read past the text.
#pragma once

#include "platform/code_page.h"

#include <string>
#include <string_view>

namespace lumo {

inline constexpr char32_t ReplacementChar = 0xFFFD;

struct TUtf8Char {
    char32_t CodePoint = ReplacementChar;
    int Length = 1; // bytes, 1 to 4
};

// The character starting at text[i]; i < text.size().
TUtf8Char DecodeUtf8Char(std::string_view text, size_t i);

constexpr bool IsUtf8Continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The start of the character holding text[i] (i itself at a boundary);
// i <= text.size().
size_t Utf8CharStart(std::string_view text, size_t i);

// Where the next character starts in a code page's text: one byte on in a
// single-byte code page, one whole character on in UTF-8.
size_t NextCharIndex(std::string_view text, size_t i, TCodePage page);
// The boundary at or before i in a code page's text.
size_t CharBoundaryAtOrBefore(std::string_view text, size_t i, TCodePage page);

// Whether text is well-formed UTF-8 with at least one character past
// ASCII: text in a single-byte code page almost never is.
bool IsUtf8BeyondAscii(std::string_view text);

// The code point's bytes; surrogates and values past U+10FFFF give U+FFFD's.
void AppendUtf8(std::string& out, char32_t codePoint);

// Simple case folding for searches: the lower-case partner of the capitals
// of Latin-1, Latin Extended-A, Greek and Cyrillic (and ASCII); every other
// code point stays as it is.
char32_t FoldedCodePoint(char32_t codePoint);

} // namespace lumo

// Small helpers for ANSI text: ASCII-only case folding (independent of the
// process locale), trimming, and searching with 1-based results where the
// program's algorithms count that way.
#pragma once

#include <charconv>
#include <string>
#include <string_view>

namespace lumo {

inline char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}
inline char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

std::string LowerCase(std::string_view s);
std::string UpperCase(std::string_view s);

// Decimal, or hexadecimal after "0x" or "0X" followed by digits; the whole
// text must be the number, in range for T. Independent of the locale.
template <class T>
bool ParseInteger(std::string_view text, T& value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    return ec == std::errc() && ptr == end;
}

// Equal without regard to ASCII case.
bool SameText(std::string_view a, std::string_view b);
// Orders without regard to ASCII case (bytes compared unsigned).
bool LessText(std::string_view a, std::string_view b);
bool StartsWithText(std::string_view s, std::string_view prefix);

// Removes spaces and control characters (bytes up to 32) at both ends.
std::string_view Trim(std::string_view s);
std::string_view TrimLeft(std::string_view s);
std::string_view TrimRight(std::string_view s);

// Replaces every occurrence of from (non-empty) by to, left to right.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

// The text in double quotes, control bytes, quotes and backslashes written
// as \xNN (bytes from 127 up too when escapeHigh), so it stays on one line.
std::string QuotedBytes(std::string_view text, bool escapeHigh = false);

// The text with each byte for which encode holds written as "%" and two
// upper-case hexadecimal digits.
std::string EncodePercents(std::string_view text, bool (*encode)(unsigned char c));

// Whether a "%" and two hexadecimal digits stand at position i; byte is their value.
bool PercentEscapeAt(std::string_view text, size_t i, unsigned char& byte);

// Replaces each "%" and two hexadecimal digits by that byte, left to right;
// a "%" without two hexadecimal digits after it stays as it is.
void DecodePercents(std::string& s);

} // namespace lumo

#include "platform/text.h"

#include <algorithm>

#include <cstdio>

namespace lumo {

std::string LowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = AsciiLower(c);
    return out;
}

std::string UpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = AsciiUpper(c);
    return out;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

bool LessText(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(AsciiLower(x)) <
               static_cast<unsigned char>(AsciiLower(y));
    });
}

bool StartsWithText(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && SameText(s.substr(0, prefix.size()), prefix);
}

namespace {
bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}
} // namespace

std::string_view TrimLeft(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view TrimRight(std::string_view s) {
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view Trim(std::string_view s) {
    return TrimRight(TrimLeft(s));
}

std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to) {
    std::string out;
    size_t start = 0;
    for (size_t at; (at = s.find(from, start)) != std::string_view::npos;
         start = at + from.size()) {
        out.append(s.substr(start, at - start));
        out.append(to);
    }
    out.append(s.substr(start));
    return out;
}

std::string QuotedBytes(std::string_view text, bool escapeHigh) {
    std::string out = "\"";
    for (char c : text) {
        auto b = static_cast<unsigned char>(c);
        if (b < 32 || c == '"' || c == '\\' || (escapeHigh && b >= 127)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", b);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string EncodePercents(std::string_view text, bool (*encode)(unsigned char c)) {
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (encode(c)) {
            out += '%';
            out += Hex[c >> 4];
            out += Hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

bool PercentEscapeAt(std::string_view text, size_t i, unsigned char& byte) {
    if (i + 2 >= text.size() || text[i] != '%') return false;
    const int hi = HexDigit(text[i + 1]);
    const int lo = HexDigit(text[i + 2]);
    if (hi < 0 || lo < 0) return false;
    byte = static_cast<unsigned char>(hi * 16 + lo);
    return true;
}

void DecodePercents(std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char byte = 0;
        if (PercentEscapeAt(s, i, byte)) {
            out += static_cast<char>(byte);
            i += 2;
        } else {
            out += s[i]; // not an escape: kept as it stands
        }
    }
    s = std::move(out);
}

} // namespace lumo

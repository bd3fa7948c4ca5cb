#include "platform/utf8.h"

#include <algorithm>
#include <cstdint>

namespace lumo {

namespace {

// What may follow a lead byte: how many continuation bytes, and the range
// the first of them must lie in (which rules out overlong forms, surrogates
// and code points past U+10FFFF).
struct TLead {
    int Follow;
    unsigned char Low, High;
};

TLead LeadOf(unsigned char byte) {
    if (byte >= 0xC2 && byte <= 0xDF) return {1, 0x80, 0xBF};
    if (byte == 0xE0) return {2, 0xA0, 0xBF};
    if (byte == 0xED) return {2, 0x80, 0x9F};
    if (byte >= 0xE1 && byte <= 0xEF) return {2, 0x80, 0xBF};
    if (byte == 0xF0) return {3, 0x90, 0xBF};
    if (byte >= 0xF1 && byte <= 0xF3) return {3, 0x80, 0xBF};
    if (byte == 0xF4) return {3, 0x80, 0x8F};
    return {0, 0, 0}; // a continuation byte or one UTF-8 never uses
}

// Capitals whose lower-case partner lies Delta further on; with Step 2 only
// every other code point from First is a capital.
struct TFoldRange {
    char32_t First, Last;
    int Delta;
    int Step;
};

constexpr TFoldRange FoldRanges[] = {
    {0x41, 0x5A, 32, 1},   {0xC0, 0xD6, 32, 1},     {0xD8, 0xDE, 32, 1},
    {0x100, 0x12F, 1, 2},  {0x132, 0x137, 1, 2},    {0x139, 0x148, 1, 2},
    {0x14A, 0x177, 1, 2},  {0x178, 0x178, -121, 1}, {0x179, 0x17E, 1, 2},
    {0x386, 0x386, 38, 1}, {0x388, 0x38A, 37, 1},   {0x38C, 0x38C, 64, 1},
    {0x38E, 0x38F, 63, 1}, {0x391, 0x3A1, 32, 1},   {0x3A3, 0x3AB, 32, 1},
    {0x3C2, 0x3C2, 1, 1}, // final sigma finds sigma
    {0x400, 0x40F, 80, 1}, {0x410, 0x42F, 32, 1},   {0x460, 0x481, 1, 2},
    {0x48A, 0x4BF, 1, 2},  {0x4C1, 0x4CE, 1, 2},    {0x4D0, 0x52F, 1, 2},
};

} // namespace

TUtf8Char DecodeUtf8Char(std::string_view text, size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead < 0x80) return {lead, 1};
    const TLead rule = LeadOf(lead);
    if (rule.Follow == 0) return {ReplacementChar, 1};
    char32_t cp = lead & (0x3F >> rule.Follow);
    for (int k = 1; k <= rule.Follow; ++k) {
        if (i + k >= text.size()) return {ReplacementChar, k};
        const auto byte = static_cast<unsigned char>(text[i + k]);
        const bool fits = k == 1 ? byte >= rule.Low && byte <= rule.High : IsUtf8Continuation(byte);
        if (!fits) return {ReplacementChar, k};
        cp = (cp << 6) | (byte & 0x3F);
    }
    return {cp, rule.Follow + 1};
}

bool IsUtf8BeyondAscii(std::string_view text) {
    bool beyond = false;
    for (size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) {
            ++i;
            continue;
        }
        const TUtf8Char c = DecodeUtf8Char(text, i);
        if (c.CodePoint == ReplacementChar && text.substr(i, 3) != "\xEF\xBF\xBD") return false;
        beyond = true;
        i += static_cast<size_t>(c.Length);
    }
    return beyond;
}

size_t Utf8CharStart(std::string_view text, size_t i) {
    // A byte that is not a continuation always starts a character; the
    // character holding i starts at most three bytes back.
    const size_t floor = i > 3 ? i - 3 : 0;
    for (size_t j = i; j-- > floor;) {
        if (IsUtf8Continuation(static_cast<unsigned char>(text[j]))) continue;
        const size_t length = static_cast<size_t>(DecodeUtf8Char(text, j).Length);
        return j + length > i ? j : i;
    }
    return i;
}

size_t NextCharIndex(std::string_view text, size_t i, TCodePage page) {
    if (i >= text.size()) return text.size();
    if (page != TCodePage::Utf8) return i + 1;
    return i + static_cast<size_t>(DecodeUtf8Char(text, i).Length);
}

size_t CharBoundaryAtOrBefore(std::string_view text, size_t i, TCodePage page) {
    i = std::min(i, text.size());
    return page == TCodePage::Utf8 ? Utf8CharStart(text, i) : i;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = ReplacementChar;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char32_t FoldedCodePoint(char32_t cp) {
    for (const TFoldRange& range : FoldRanges) {
        if (cp < range.First) break;
        if (cp <= range.Last && (cp - range.First) % static_cast<char32_t>(range.Step) == 0)
            return static_cast<char32_t>(static_cast<int32_t>(cp) + range.Delta);
    }
    return cp;
}

} // namespace lumo

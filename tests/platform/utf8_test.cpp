#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <vector>

namespace lumo {
namespace {

// Each row: bytes, and the characters they read as (code point, length).
TEST(Utf8, ReadsWholeCharactersAndMarksWhatIsMalformed) {
    const struct {
        std::string_view bytes;
        std::vector<TUtf8Char> chars;
    } rows[] = {
        {"aЖ中😀", {{'a', 1}, {0x416, 2}, {0x4E2D, 3}, {0x1F600, 4}}},
        {"\xF4\x8F\xBF\xBF", {{0x10FFFF, 4}}},
        // Cut short at the end of the text: never read past it.
        {"\xE4\xB8", {{ReplacementChar, 2}}},
        {"\xF0\x9F\x98", {{ReplacementChar, 3}}},
        // A lead byte followed by something else gives up before it.
        {"\xD0x", {{ReplacementChar, 1}, {'x', 1}}},
        {"\xE4\xB8\xD0\x96", {{ReplacementChar, 2}, {0x416, 2}}},
        // Stray continuations, overlong forms, surrogates, past U+10FFFF, bytes never used.
        {"\x80\xBF", {{ReplacementChar, 1}, {ReplacementChar, 1}}},
        {"\xC0\xAF", {{ReplacementChar, 1}, {ReplacementChar, 1}}},
        {"\xE0\x80\x80", {{ReplacementChar, 1}, {ReplacementChar, 1}, {ReplacementChar, 1}}},
        {"\xED\xA0\x80", {{ReplacementChar, 1}, {ReplacementChar, 1}, {ReplacementChar, 1}}},
        {"\xF4\x90\x80\x80",
         {{ReplacementChar, 1}, {ReplacementChar, 1}, {ReplacementChar, 1}, {ReplacementChar, 1}}},
        {"\xFF\xF5", {{ReplacementChar, 1}, {ReplacementChar, 1}}},
    };
    for (const auto& row : rows) {
        std::vector<TUtf8Char> got;
        std::vector<size_t> starts;
        for (size_t i = 0; i < row.bytes.size();) {
            starts.push_back(i);
            got.push_back(DecodeUtf8Char(row.bytes, i));
            i += static_cast<size_t>(got.back().Length);
        }
        ASSERT_EQ(got.size(), row.chars.size()) << row.bytes;
        for (size_t k = 0; k < got.size(); ++k) {
            EXPECT_EQ(got[k].CodePoint, row.chars[k].CodePoint) << row.bytes << " " << k;
            EXPECT_EQ(got[k].Length, row.chars[k].Length) << row.bytes << " " << k;
        }
        // Every byte maps back to the start of the character that holds it.
        for (size_t k = 0; k < starts.size(); ++k) {
            const size_t end = k + 1 < starts.size() ? starts[k + 1] : row.bytes.size();
            for (size_t i = starts[k]; i < end; ++i)
                EXPECT_EQ(Utf8CharStart(row.bytes, i), starts[k]) << row.bytes << " " << i;
        }
        EXPECT_EQ(Utf8CharStart(row.bytes, row.bytes.size()), row.bytes.size());
    }
}

TEST(Utf8, EncodesWhatItDecodes) {
    for (const char32_t cp : {0x41u, 0x7Fu, 0x80u, 0x7FFu, 0x800u, 0xFFFFu, 0x10000u, 0x10FFFFu}) {
        std::string bytes;
        AppendUtf8(bytes, cp);
        const TUtf8Char c = DecodeUtf8Char(bytes, 0);
        EXPECT_EQ(c.CodePoint, cp);
        EXPECT_EQ(static_cast<size_t>(c.Length), bytes.size());
    }
    for (const char32_t bad : {0xD800u, 0xDFFFu, 0x110000u}) {
        std::string bytes;
        AppendUtf8(bytes, bad);
        EXPECT_EQ(bytes, "\xEF\xBF\xBD");
    }
}

TEST(Utf8, FoldsCapitalsOfTheCommonAlphabets) {
    const std::pair<char32_t, char32_t> rows[] = {
        {U'A', U'a'}, {U'É', U'é'}, {U'×', U'×'}, {U'Ā', U'ā'},   {U'ā', U'ā'}, {U'Ł', U'ł'},
        {U'Ÿ', U'ÿ'}, {U'Ž', U'ž'}, {U'Σ', U'σ'}, {U'ς', U'σ'},   {U'Ά', U'ά'}, {U'Ώ', U'ώ'},
        {U'Ж', U'ж'}, {U'Ё', U'ё'}, {U'Ѣ', U'ѣ'}, {U'中', U'中'}, {U'ß', U'ß'},
    };
    for (const auto& [from, to] : rows)
        EXPECT_EQ(FoldedCodePoint(from), to) << static_cast<unsigned>(from);
}

} // namespace
} // namespace lumo

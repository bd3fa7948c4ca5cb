#include "platform/ansi.h"
#include "platform/qt_text.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(Ansi, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
    EXPECT_EQ(FromQString(ToQString(all)), all);
}

TEST(Ansi, ConvertsByTheFixedTable) {
    struct Row {
        const char* ansi;
        const char* utf8;
    } rows[] = {
        {"\x80", "\xE2\x82\xAC"}, // euro sign
        {"\x93q\x94", "\xE2\x80\x9Cq\xE2\x80\x9D"},
        {"\xE9", "\xC3\xA9"}, // e acute
        {"\x9F", "\xC5\xB8"}, // Y diaeresis
        {"\xA0", "\xC2\xA0"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(AnsiToUtf8(row.ansi), row.utf8);
        EXPECT_EQ(Utf8ToAnsi(row.utf8), row.ansi);
    }
}

TEST(Ansi, UnknownAndMalformedTextBecomesQuestionMarks) {
    EXPECT_EQ(Utf8ToAnsi("\xE4\xB8\xAD"), "?"); // a character outside the code page
    EXPECT_EQ(Utf8ToAnsi("a\xF0\x9F\x98\x80"
                         "b"),
              "a?b");                           // outside the basic plane
    EXPECT_EQ(Utf8ToAnsi("\xC3"), "?");         // cut short
    EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), "?");     // overlong
    EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"), "?"); // a surrogate
    EXPECT_EQ(FromQString(QString::fromUtf8("\xF0\x9F\x98\x80")), "?");
}

TEST(Ansi, ArchiveNamesInCodePage437AndUtf8) {
    struct Row {
        const char* cp437;
        const char* utf8;
    } rows[] = {
        {"plain.txt", "plain.txt"},
        {"\x80\x81\x9B", "\xC3\x87\xC3\xBC\xC2\xA2"},                             // Ç ü ¢
        {"\xB0\xC9\xCD\xBB", "\xE2\x96\x91\xE2\x95\x94\xE2\x95\x90\xE2\x95\x97"}, // ░╔═╗
        {"\xE1\xFF", "\xC3\x9F\xC2\xA0"}, // ß, no-break space
    };
    for (const auto& row : rows)
        EXPECT_EQ(Cp437ToUtf8(row.cp437), row.utf8) << row.cp437;
    EXPECT_EQ(ValidUtf8("\xC3\xA4 ok \xE2\x82\xAC"), "\xC3\xA4 ok \xE2\x82\xAC");
    EXPECT_EQ(ValidUtf8("a\xC3"
                        "b\xC0\xAF"
                        "c"),
              "a?b?c");
}

TEST(Ansi, CaseFoldsInTheCodePage) {
    struct {
        char upper, lower;
    } pairs[] = {{'A', 'a'},       {'Z', 'z'},       {'\xC0', '\xE0'},
                 {'\xC9', '\xE9'}, {'\xDE', '\xFE'}, {'\x8A', '\x9A'},
                 {'\x8C', '\x9C'}, {'\x8E', '\x9E'}, {'\x9F', '\xFF'}};
    for (const auto& p : pairs) {
        EXPECT_EQ(AnsiLowerChar(p.upper), p.lower) << int(p.upper);
        EXPECT_EQ(AnsiUpperChar(p.lower), p.upper) << int(p.lower);
    }
    // Signs and letters without a partner stay.
    for (char c : std::string("\xD7\xF7\xDF\xB5\xAA"
                              "1 "))
        EXPECT_EQ(AnsiLowerChar(c), c) << int(c);
    for (char c : std::string("\xD7\xF7\xDF\xB5\xAA"
                              "1 "))
        EXPECT_EQ(AnsiUpperChar(c), c) << int(c);
    EXPECT_TRUE(SameAnsiText("Caf\xC9 \x8A", "cAf\xE9 \x9A"));
    EXPECT_FALSE(SameAnsiText("\xD7", "\xF7"));
    EXPECT_FALSE(SameAnsiText("ab", "abc"));
}

} // namespace
} // namespace lumo

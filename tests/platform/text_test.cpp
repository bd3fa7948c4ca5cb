#include "platform/color_names.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <clocale>

namespace lumo {
namespace {

TEST(Text, CaseFoldingIsAsciiOnlyWhateverTheLocale) {
    // Under a Turkish locale towlower('I') is a dotless i; ours never is.
    std::setlocale(LC_ALL, "tr_TR.UTF-8");
    EXPECT_EQ(LowerCase("TITLE"), "title");
    EXPECT_EQ(UpperCase("title"), "TITLE");
    EXPECT_TRUE(SameText("TiTlE", "title"));
    EXPECT_EQ(LowerCase("\xC9"), "\xC9"); // 8-bit letters are left alone
    std::setlocale(LC_ALL, "C");
}

TEST(Text, TrimsBlanksAndControlCharacters) {
    EXPECT_EQ(Trim(" \t\r\n a b \x01"), "a b");
    EXPECT_EQ(Trim(""), "");
    EXPECT_EQ(TrimLeft("  x "), "x ");
    EXPECT_EQ(TrimRight("  x "), "  x");
    EXPECT_EQ(ReplaceAll("a~~b~~", "~~", "\r\n"), "a\r\nb\r\n");
}

TEST(ColorNames, NamesAndNumbers) {
    struct Row {
        const char* text;
        TColor expected; // default 0x123456
    } rows[] = {
        {"clBtnText", clBtnText},   {"CLRED", 0x0000FF}, {"16711680", 0xFF0000},
        {"-2147483630", clBtnText}, {"$FF", 0xFF},       {"0x8000", 0x8000},
        {"clNothing", 0x123456},    {"", 0x123456},      {"99999999999", 0x123456},
    };
    for (const auto& row : rows)
        EXPECT_EQ(StringToColor(row.text, 0x123456), row.expected) << row.text;
    EXPECT_EQ(ColorToString(clBtnText), "-2147483630");
    EXPECT_EQ(ColorToString(clWhite), "16777215");
}

} // namespace
} // namespace lumo

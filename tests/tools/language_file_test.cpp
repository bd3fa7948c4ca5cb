// Reading the entries of a language file and the line breaks in its texts.
#include "tools/language_file.h"

#include "platform/ini_file.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(LanguageFile, KeysNeedAWindowAComponentAndAProperty) {
    test::TempFolder folder;
    folder.Write("a.lng", "[TRANSLATIONS]\r\n"
                          "F.B.Caption=one\r\n"
                          "F.B=two dots missing\r\n"
                          "FBCaption=no dots\r\n"
                          "F..Caption=no component\r\n"
                          ".B.Caption=no window\r\n"
                          "F.B.=no property\r\n"
                          "F.B.Hint=a~~b~~~~c\r\n"
                          "[Other]\r\n"
                          "F.B.Caption=another section\r\n");
    const std::vector<TTranslation> read = ReadTranslations(TIniFile(folder / "a.lng"));
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].Window, "F");
    EXPECT_EQ(read[0].Component, "B");
    EXPECT_EQ(read[0].Property, "Caption");
    EXPECT_EQ(read[0].Text, "one");
    EXPECT_EQ(read[1].Text, "a\nb\n\nc");
}

TEST(LanguageFile, LineBreaksTravelAsTwoTildes) {
    EXPECT_EQ(EncodeLineBreaks("a\r\nb\nc\rd"), "a~~b~~c~~d");
    EXPECT_EQ(DecodeLineBreaks("a~~b~~~c"), "a\nb\n~c");
    EXPECT_EQ(DecodeLineBreaks(EncodeLineBreaks("one\ntwo")), "one\ntwo");
}

} // namespace
} // namespace lumo

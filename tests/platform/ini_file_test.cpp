#include "platform/ini_file.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

struct IniRead {
    const char* file;
    const char* section;
    const char* key;
    const char* expected; // ReadString with default "DEF"
};

TEST(IniFile, ReadsSectionsWithoutCaseAndKeysExactly) {
    const IniRead rows[] = {
        {"[Main]\r\nName=Lumo\r\n", "main", "Name", "Lumo"},
        {"[Main]\r\nName=Lumo\r\n", "MAIN", "Name", "Lumo"},
        {"[Main]\r\nName=Lumo\r\n", "Main", "name", "DEF"},                // keys are exact
        {"[Main]\r\n  Name  =  Lumo 10  \r\n", "Main", "Name", "Lumo 10"}, // both trimmed
        {"[Main]\r\nName=\r\n", "Main", "Name", "DEF"},                    // empty reads as default
        {" [Main]\r\nName=Lumo\r\n", "Main", "Name", "DEF"},           // header must stand alone
        {"[Main]\r\n[Other]\r\nName=Lumo\r\n", "Main", "Name", "DEF"}, // next header ends it
        {"[Main]\r\n  [Other]  \r\nName=Lumo\r\n", "Main", "Name", "DEF"},
        {"[Main]\r\n[Other\r\nName=Lumo\r\n", "Main", "Name", "Lumo"}, // no "]", no header
        {"[Main]\r\nName=a=b\r\n", "Main", "Name", "a=b"},             // split at the first "="
        {"[Main]\nName=\"x\", y; z\n", "Main", "Name", "\"x\", y; z"}, // no quoting rules
        {"[Main]\rName=\xE9t\xE9\r", "Main", "Name", "\xE9t\xE9"},     // 8-bit text kept
        {"Name=Lumo\r\n", "Main", "Name", "DEF"},
    };
    for (const auto& row : rows) {
        test::TempFolder folder;
        folder.Write("a.ini", row.file);
        TIniFile ini(folder / "a.ini");
        EXPECT_EQ(ini.ReadString(row.section, row.key, "DEF"), row.expected) << row.file;
    }
}

// A settings file of 4 MB is read; one byte more is refused and reads as
// defaults.
// A file too large to read is kept as it is: saving over it would lose it.
TEST(IniFile, FileOfTheMostBytesIsReadAndALargerOneKept) {
    constexpr size_t Most = 4 << 20;
    for (const size_t size : {Most, Most + 1}) {
        test::TempFolder folder;
        std::string text = "[Main]\r\nName=Lumo\r\n";
        text += std::string(size - text.size() - 2, ';') + "\r\n";
        folder.Write("a.ini", text);
        TIniFile ini(folder / "a.ini");
        const bool read = size == Most;
        EXPECT_EQ(ini.Readable(), read) << size;
        EXPECT_EQ(ini.ReadString("Main", "Name", "DEF"), read ? "Lumo" : "DEF") << size;
        EXPECT_EQ(ini.WriteString("Main", "Key", "value"), read) << size;
        EXPECT_EQ(folder.Read("a.ini").size(), read ? size + 11 : size) << size;
    }
}

TEST(IniFile, ReadsIntegersAndBooleans) {
    struct Row {
        const char* value;
        int expected; // default 7
    } rows[] = {
        {"12", 12},   {"-3", -3},         {"0x1F", 31}, {"0X1f", 31}, {"0x", 7},
        {"12abc", 7}, {"99999999999", 7}, {"", 7},      {"1.5", 7},   {"0xFFFFFFFFF", 7},
    };
    for (const auto& row : rows) {
        test::TempFolder folder;
        folder.Write("a.ini", std::string("[S]\r\nK=") + row.value + "\r\n");
        TIniFile ini(folder / "a.ini");
        EXPECT_EQ(ini.ReadInteger("S", "K", 7), row.expected) << row.value;
    }
    test::TempFolder folder;
    folder.Write("a.ini", "[S]\r\nA=0\r\nB=1\r\nC=2\r\nD=yes\r\n");
    TIniFile ini(folder / "a.ini");
    EXPECT_FALSE(ini.ReadBool("S", "A", true));
    EXPECT_TRUE(ini.ReadBool("S", "B", false));
    EXPECT_TRUE(ini.ReadBool("S", "C", false));
    EXPECT_TRUE(ini.ReadBool("S", "D", true)); // unreadable: the default
    EXPECT_FALSE(ini.ReadBool("S", "D", false));
}

TEST(IniFile, WritesInPlaceAndKeepsEverythingElse) {
    test::TempFolder folder;
    folder.Write("a.ini", "; comment\r\n[One]\r\nA=1\r\n\r\n[Two]\r\nB=2\r\n");
    TIniFile ini(folder / "a.ini");
    ini.WriteString("one", "A", "x");  // replaced where it stands
    ini.WriteString("One", "C", "3");  // inserted as the section's last line
    ini.WriteInteger("Two", "D", 4);   // at the end of the file
    ini.WriteBool("Three", "E", true); // a new section: blank line, header, entry
    EXPECT_EQ(folder.Read("a.ini"), "; comment\r\n[One]\r\nA=x\r\n\r\nC=3\r\n[Two]\r\nB=2\r\n"
                                    "D=4\r\n\r\n[Three]\r\nE=1\r\n");
    TIniFile again(folder / "a.ini");
    EXPECT_EQ(again.ReadInteger("Two", "D", 0), 4);
    EXPECT_TRUE(again.ReadBool("Three", "E", false));
}

TEST(IniFile, MissingFileIsCreatedByTheFirstWrite) {
    test::TempFolder folder;
    TIniFile ini(folder / "new.ini");
    EXPECT_EQ(ini.ReadString("S", "K", "d"), "d");
    EXPECT_TRUE(ini.WriteString("S", "K", "v"));
    EXPECT_EQ(folder.Read("new.ini"), "\r\n[S]\r\nK=v\r\n");

    // Writes inside an update reach the file together, when it ends.
    ini.BeginUpdate();
    ini.WriteString("S", "K", "w");
    ini.WriteInteger("S", "N", 5);
    EXPECT_EQ(folder.Read("new.ini"), "\r\n[S]\r\nK=v\r\n");
    EXPECT_TRUE(ini.EndUpdate());
    EXPECT_EQ(folder.Read("new.ini"), "\r\n[S]\r\nK=w\r\nN=5\r\n");
}

TEST(IniFile, LineBreaksInWritesNeverMakeNewLines) {
    test::TempFolder folder;
    TIniFile ini(folder / "a.ini");
    ini.WriteString("Font", "Name", "Arial\r\n[Colors]\r\nText=0");
    ini.WriteString("Font", "Si\nze", "12");
    ini.WriteString("Pla\rces\n[X]", "Top", "1\n");
    EXPECT_EQ(folder.Read("a.ini"), "\r\n[Font]\r\nName=Arial  [Colors]  Text=0\r\nSi ze=12\r\n"
                                    "\r\n[Pla ces [X]]\r\nTop=1 \r\n");
    TIniFile again(folder / "a.ini");
    EXPECT_EQ(again.ReadString("Font", "Name", ""), "Arial  [Colors]  Text=0"); // the text is kept
    EXPECT_EQ(again.ReadString("Colors", "Text", "none"), "none");
    EXPECT_EQ(again.ReadString("Pla\rces\n[X]", "Top", ""), "1"); // found by the name written
    EXPECT_EQ(again.Lines().size(), 7u);
}

} // namespace
} // namespace lumo

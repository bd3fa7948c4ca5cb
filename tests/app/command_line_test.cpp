#include "app/command_line.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <set>

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CommandLine, AddressOrLocalPath) {
    struct Row {
        const char* text;
        const char* address;
    } rows[] = {
        // A local path names exactly that file: what is not plain ASCII or
        // means something in an address is escaped.
        {"C:\\dir\\page.htm", "file:///work/dir/C%3A%5Cdir%5Cpage.htm"},
        {"\"/d/my page.htm\"", "file:///d/my page.htm"},
        {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.htm",
         "file:///work/dir/%D0%9F%D1%80%D0%B8%D0%B2%D0%B5%D1%82.htm"},
        {"/d/a#b.htm", "file:///d/a%23b.htm"},
        {"50%.htm", "file:///work/dir/50%25.htm"},
        {"x:y.htm", "file:///work/dir/x%3Ay.htm"},
        {"/d/caf\xC3\xA9?.htm", "file:///d/caf%C3%A9%3F.htm"},
        {"http://srv/caf\xC3\xA9.htm", "http://srv/caf%C3%A9.htm"},
        {"http://srv/a.htm", "http://srv/a.htm"},
        {"\"http://srv/a b.htm\"", "http://srv/a b.htm"},
        {"  HTTP://Srv/  ", "HTTP://Srv/"},
        {"res:///support.htm", "res:///support.htm"},
        {"file:///home/u/a.htm", "file:///home/u/a.htm"},
        {"/home/u/a.htm", "file:///home/u/a.htm"},
        {"page.htm", "file:///work/dir/page.htm"}, // relative to the current folder
        {"../up/./page.htm", "file:///work/up/page.htm"},
        {"\"\"", ""},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AddressFromCommandText(row.text, "/work/dir"), row.address) << row.text;
}

TEST(CommandLine, OptionsOfHeadlessUse) {
    TCommandLine line =
        ParseCommandLine({"--screenshot", "out.png", "--size", "640x480", "my", "page.htm"}, "/d");
    EXPECT_EQ(line.Error, "");
    EXPECT_EQ(line.ScreenshotFile, "out.png");
    EXPECT_EQ(line.Width, 640);
    EXPECT_EQ(line.Height, 480);
    EXPECT_EQ(line.Address, "file:///d/my page.htm"); // unquoted words are one name
    EXPECT_EQ(ParseCommandLine({"--screenshot", "\xC3\xA9.png"}, "/").ScreenshotFile, "\xE9.png");

    EXPECT_NE(ParseCommandLine({"--size", "640"}, "/").Error, "");
    EXPECT_NE(ParseCommandLine({"--size", "0x5"}, "/").Error, "");
    EXPECT_NE(ParseCommandLine({"--timeout", "soon"}, "/").Error, "");
    EXPECT_NE(ParseCommandLine({"--bogus"}, "/").Error, "");
    EXPECT_EQ(ParseCommandLine({"--timeout", "5"}, "/").TimeoutSeconds, 5);
    EXPECT_EQ(ParseCommandLine({}, "/").Address, "");
}

TEST(CommandLine, PrintingToPdf) {
    const TCommandLine all = ParseCommandLine({"--print-pdf", "out.pdf", "a.htm"}, "/d");
    EXPECT_EQ(all.Error, "");
    EXPECT_EQ(all.PrintPdfFile, "out.pdf");
    EXPECT_EQ(all.FromPage, 1);
    EXPECT_EQ(all.ToPage, 9999);
    const struct {
        const char* pages;
        int from, to; // 0: refused
    } rows[] = {
        {"3-4", 3, 4}, {"5", 5, 5},  {"1-9999", 1, 9999}, {"4-3", 0, 0},     {"0-2", 0, 0},
        {"2-", 0, 0},  {"-2", 0, 0}, {"a-b", 0, 0},       {"1-10000", 0, 0},
    };
    for (const auto& row : rows) {
        const TCommandLine line =
            ParseCommandLine({"--print-pdf", "o.pdf", "--pages", row.pages, "a.htm"}, "/d");
        EXPECT_EQ(line.Error.empty(), row.from > 0) << row.pages;
        if (row.from == 0) continue;
        EXPECT_EQ(line.FromPage, row.from) << row.pages;
        EXPECT_EQ(line.ToPage, row.to) << row.pages;
    }
    EXPECT_NE(ParseCommandLine({"--print-pdf", "o.pdf"}, "/d").Error, "");
    EXPECT_NE(ParseCommandLine({"--print-pdf", "o.pdf", "--dump-layout", "a.htm"}, "/d").Error, "");
}

// --help and the manual page describe the same options, and the parser
// knows each of them.
TEST(CommandLine, HelpAndManualPageNameEveryOption) {
    // Every "--name" in a text; troff writes each hyphen as \-.
    const auto options = [](std::string text) {
        for (size_t at; (at = text.find("\\-")) != std::string::npos;)
            text.erase(at, 1);
        std::set<std::string> names;
        for (size_t at = 0; (at = text.find("--", at)) != std::string::npos;) {
            size_t end = at + 2;
            while (end < text.size() &&
                   (std::islower(static_cast<unsigned char>(text[end])) || text[end] == '-'))
                ++end;
            if (end > at + 2) names.insert(text.substr(at, end - at));
            at = end;
        }
        return names;
    };
    std::ifstream file(LUMO_SOURCE_DIR "/res/desktop/lumo.1");
    ASSERT_TRUE(file) << "the manual page";
    const std::string manual((std::istreambuf_iterator<char>(file)),
                             std::istreambuf_iterator<char>());
    const std::set<std::string> help = options(std::string(UsageText) + HelpText);
    EXPECT_EQ(options(manual), help);
    EXPECT_EQ(help.size(), 10u);
    for (const std::string& name : help)
        EXPECT_EQ(ParseCommandLine({name, "a", "b", "c"}, "/d").Error.find("unknown"),
                  std::string::npos)
            << name;
}

} // namespace
} // namespace lumo

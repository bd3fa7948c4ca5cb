#include "app/command_line.h"

#include "tests/support/temp_folder.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(CommandLine, AddressOrLocalPath) {
    test::TempFolder folder;
    const std::string here = "file://" + folder.Path();
    const std::string parent = std::filesystem::path(folder.Path()).parent_path().parent_path();
    for (const char* name : {"page.htm", "my page.htm", "50%.htm", "x:y.htm",
                             "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.htm"})
        folder.Write(name, "");
    struct Row {
        const char* text;
        std::string address;
    } rows[] = {
        // A local path names exactly that file: what is not plain ASCII or
        // means something in an address is escaped.
        {"\"/d/my page.htm\"", "file:///d/my page.htm"},
        {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.htm",
         here + "%D0%9F%D1%80%D0%B8%D0%B2%D0%B5%D1%82.htm"},
        {"/d/a#b.htm", "file:///d/a%23b.htm"},
        {"50%.htm", here + "50%25.htm"},
        {"x:y.htm", here + "x%3Ay.htm"},
        {"/d/caf\xC3\xA9?.htm", "file:///d/caf%C3%A9%3F.htm"},
        {"/home/u/a.htm", "file:///home/u/a.htm"},
        {"page.htm", here + "page.htm"}, // relative to the current folder
        // What starts like a path is one, whether or not the file is there.
        {"C:\\dir\\page.htm", here + "C%3A%5Cdir%5Cpage.htm"},
        {"./none.htm", here + "none.htm"},
        {"../up/./page.htm", "file://" + parent + "/up/page.htm"},
        // Any other name of no file is a web address, as the box reads it.
        {"127.0.0.1:8080/page.htm", "http://127.0.0.1:8080/page.htm"},
        {"localhost", "http://localhost/"},
        {"none.htm", "http://none.htm/"},
        {"caf\xC3\xA9.example/a b", "http://caf%C3%A9.example/a b"},
        {"http://srv/caf\xC3\xA9.htm", "http://srv/caf%C3%A9.htm"},
        {"http://srv/a.htm", "http://srv/a.htm"},
        {"\"http://srv/a b.htm\"", "http://srv/a b.htm"},
        {"  HTTP://Srv/  ", "HTTP://Srv/"},
        {"res:///support.htm", "res:///support.htm"},
        {"file:///home/u/a.htm", "file:///home/u/a.htm"},
        {"\"\"", ""},
        {"", ""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AddressFromCommandText(row.text, folder.Path()), row.address) << row.text;
}

// The address box: a scheme stays, a path is a file, the rest is the web.
TEST(CommandLine, TypedAddresses) {
    const std::pair<const char*, const char*> rows[] = {
        {"http://h/a.htm", "http://h/a.htm"},
        {"127.0.0.1:8080/p.htm", "http://127.0.0.1:8080/p.htm"},
        {"h", "http://h/"},
        {"x:80", "http://x:80/"},
        {"/home/u/a b.htm", "file:///home/u/a b.htm"},
        {"c:\\dir\\a.htm", "file:///c:\\dir\\a.htm"},
        {"c:", "file:///c:"},
    };
    for (const auto& [text, address] : rows)
        EXPECT_EQ(TypedAddress(text), address) << text;
}

TEST(CommandLine, OptionsOfHeadlessUse) {
    TCommandLine line = ParseCommandLine(
        {"--screenshot", "out.png", "--size", "640x480", "/d/my", "page.htm"}, "/");
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

    const TCommandLine travel = ParseCommandLine(
        {"--time-travel", "19990727", "--time-travel-archive", "http://a/web/", "x.example"}, "/");
    EXPECT_EQ(travel.TimeTravelDate, (TCivilDate{1999, 7, 27}));
    EXPECT_EQ(travel.TimeTravelArchive, "http://a/web/");
    EXPECT_EQ(travel.Address, "http://x.example/");
    EXPECT_NE(ParseCommandLine({"--time-travel", "19991327", "a"}, "/").Error, "");
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
    EXPECT_EQ(help.size(), 15u);
    for (const std::string& name : help)
        EXPECT_EQ(ParseCommandLine({name, "a", "b", "c"}, "/d").Error.find("unknown"),
                  std::string::npos)
            << name;
}

} // namespace
} // namespace lumo

// The bookmark file: what a line means, round trips of awkward names, and
// what loading and saving do with damaged files and missing folders.
#include "tools/bookmark_file.h"
#include "tools/bookmark_merge.h"

#include "tests/support/cut_input.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/bookmark_nodes.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

using test::Folder;
using test::Mark;

TEST(BookmarkFile, ReadsTheKindFromTheFirstEqualsSign) {
    struct Row {
        const char* text;
        TBookmarkNode expected;
    } rows[] = {
        {"Lumo=http://lumo.test/", Mark("Lumo", "http://lumo.test/")},
        {"Search=http://s.test/?q=a&b=c", Mark("Search", "http://s.test/?q=a&b=c")},
        {"News", Folder("News")},
        {"=http://x.test/", Mark("", "http://x.test/")},
        {"Empty=", Mark("Empty", "")},
        {"a %3D b=http://x.test/", Mark("a = b", "http://x.test/")},
        {"100%25 sure=x", Mark("100% sure", "x")},
        {"50%=x", Mark("50%", "x")}, // a "%" that starts no escape is itself
    };
    for (const auto& row : rows)
        EXPECT_EQ(BookmarkOfText(row.text), row.expected) << row.text;
}

// An escape read at the end of a name never reaches past the line: every
// cut of a line that ends in one is read as far as it goes.
TEST(BookmarkFile, EscapesCutAtTheEndOfALineAreReadAsFarAsTheyGo) {
    const struct {
        const char* line;
        const char* names[6]; // of the cuts after 0, 1, ... bytes
    } rows[] = {
        {"a%3D", {"", "a", "a%", "a%3", "a="}},
        {"a%25", {"", "a", "a%", "a%2", "a%"}},
        {"%3d=u", {"", "%", "%3", "=", "=", "="}},
    };
    for (const auto& row : rows)
        test::ForEachPrefix(row.line, [&](std::string_view text, size_t length) {
            EXPECT_EQ(BookmarkOfText(text).Name, row.names[length])
                << row.line << " cut at " << length;
            EXPECT_EQ(ParseBookmarks(text).Error, "");
        });
}

TEST(BookmarkFile, EveryNameReadsBackAsItIsStored) {
    const TBookmarkList tree = {
        Mark("  Leading spaces", "http://a.test/"),
        Mark("Tom & Jerry", "http://b.test/?x=1&y=2"),
        Mark("E=mc\xB2 and %3D and %25", "http://c.test/"),
        Folder("Caf\xE9 \xFC\xDF", {Mark("Line\r\nbreak\tand tab", " http://d.test/\r\n"),
                                    Folder("Empty folder"), Folder("Deeper", {Mark("x", "y")})}),
        Mark("Last", "http://e.test/"),
    };
    const TBookmarkParse parse = ParseBookmarks(FormatBookmarks(tree));
    EXPECT_EQ(parse.Error, "");
    // What is stored is the cleaned name: ends trimmed, CR, LF and TAB gone.
    TBookmarkList stored = tree;
    stored[0].Name = "Leading spaces";
    stored[3].Children[0] = Mark("Line  break and tab", "http://d.test/");
    EXPECT_EQ(parse.Nodes, stored);
    EXPECT_EQ(FormatBookmarks(parse.Nodes), FormatBookmarks(tree));
}

TEST(BookmarkFile, WritesOneTabPerLevelAndCrLf) {
    const TBookmarkList tree = {Folder("A", {Mark("b", "u"), Folder("C", {Mark("d", "v")})})};
    EXPECT_EQ(FormatBookmarks(tree), "A\r\n\tb=u\r\n\tC\r\n\t\td=v\r\n");
}

TEST(BookmarkFile, ReadsSpacesAndTabsAsLevelsAndAnyLineEnd) {
    // A bookmark may hold children: the kind comes from the "=" alone.
    const TBookmarkParse parse = ParseBookmarks("A\n b=u\r\n\t C\r\t\t d=v\r\n\r\n   \nE");
    EXPECT_EQ(parse.Error, "");
    TBookmarkNode b = Mark("b", "u");
    b.Children = {Folder("C", {Mark("d", "v")})};
    EXPECT_EQ(parse.Nodes, (TBookmarkList{Folder("A", {b}), Folder("E")}));
}

TEST(BookmarkFile, ALevelJumpKeepsTheLineOneLevelDeeperAndSaysWhere) {
    const TBookmarkParse parse = ParseBookmarks("A\r\n\t\t\tdeep=u\r\n\tnext=v\r\n");
    EXPECT_EQ(parse.Error, "Invalid level (3) for item \"deep=u\"");
    EXPECT_EQ(parse.Nodes, (TBookmarkList{Folder("A", {Mark("deep", "u"), Mark("next", "v")})}));
}

// What another copy of the program changed in the file since this copy
// read it joins this copy's tree.
TEST(BookmarkMerge, TheOtherCopysChangesJoinThisCopys) {
    using test::Folder;
    using test::Mark;
    const TBookmarkNode a = Mark("A", "a"), b = Mark("B", "b"), c = Mark("C", "c");
    const struct {
        const char* name;
        TBookmarkList base, ours, theirs, merged;
    } rows[] = {
        {"unchanged there", {a}, {a, b}, {a}, {a, b}},
        {"added there", {a}, {a, b}, {a, c}, {a, b, c}},
        {"added on both sides", {}, {a}, {a}, {a}},
        {"added to a folder",
         {Folder("F")},
         {Folder("F", {b})},
         {Folder("F", {c})},
         {Folder("F", {b, c})}},
        {"added to a folder removed here",
         {Folder("F", {a})},
         {},
         {Folder("F", {a, c})},
         {Folder("F", {c})}},
        {"removed there", {a, b}, {a, b, c}, {b}, {b, c}},
        {"a folder removed there keeps what was added here",
         {Folder("F", {a})},
         {Folder("F", {a, b})},
         {},
         {Folder("F", {b})}},
        {"renamed there", {a, b}, {a, b}, {Mark("A2", "a"), b}, {b, Mark("A2", "a")}},
        {"moved there", {a, Folder("F")}, {a, Folder("F")}, {Folder("F", {a})}, {Folder("F", {a})}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(MergeBookmarks(row.base, row.ours, row.theirs), row.merged) << row.name;
}

TEST(BookmarkFile, DepthIsBoundedAtItsEdge) {
    for (const int levels : {MaxBookmarkDepth + 1, MaxBookmarkDepth + 2}) {
        std::string text;
        for (int level = 0; level < levels; ++level)
            text += std::string(static_cast<size_t>(level), '\t') + "F\r\n";
        const TBookmarkParse parse = ParseBookmarks(text);
        EXPECT_EQ(parse.Error.empty(), levels == MaxBookmarkDepth + 1) << levels;
        ASSERT_EQ(parse.Nodes.size(), 1u);
        EXPECT_EQ(BookmarkHeight(parse.Nodes[0]), MaxBookmarkDepth) << levels;
    }
}

class BookmarkFileOnDisk : public testing::Test {
protected:
    test::TempFolder home;
    const std::string file = home / "bookmarks/LumoBookmarks.tip";
};

TEST_F(BookmarkFileOnDisk, AMissingFileIsAnEmptyTreeAndSavingMakesTheFolder) {
    const TBookmarkFileLoad load = LoadBookmarkFile(file);
    EXPECT_EQ(load.Status, TBookmarkLoad::Missing);
    EXPECT_TRUE(load.Nodes.empty());
    ASSERT_TRUE(SaveBookmarkFile(file, {Mark("a", "b")}));
    EXPECT_EQ(home.Read("bookmarks/LumoBookmarks.tip"), "a=b\r\n");
    EXPECT_EQ(LoadBookmarkFile(file).Status, TBookmarkLoad::Loaded);
}

TEST_F(BookmarkFileOnDisk, ADamagedFileIsLoadedAsWellAsItCanAndKeptAsBak) {
    const std::string damaged = "A\r\n\t\tdeep=u\r\n";
    home.Write("bookmarks/LumoBookmarks.tip", damaged);
    const TBookmarkFileLoad load = LoadBookmarkFile(file);
    EXPECT_EQ(load.Status, TBookmarkLoad::Repaired);
    EXPECT_TRUE(load.Replaceable);
    EXPECT_NE(load.Message.find("Invalid level (2) for item \"deep=u\""), std::string::npos);
    EXPECT_EQ(load.Nodes, (TBookmarkList{Folder("A", {Mark("deep", "u")})}));
    EXPECT_EQ(home.Read("bookmarks/LumoBookmarks.tip.bak"), damaged);
}

// A file of the most bytes loads; one byte more is refused and never replaced.
TEST_F(BookmarkFileOnDisk, FileSizeIsBoundedAtItsEdge) {
    std::string text = "a=u\r\n";
    text += std::string(MaxBookmarkFileSize - text.size() - 2, ' ') + "\r\n";
    home.Write("bookmarks/LumoBookmarks.tip", text);
    TBookmarkFileLoad load = LoadBookmarkFile(file);
    EXPECT_NE(load.Status, TBookmarkLoad::Unreadable);
    ASSERT_FALSE(load.Nodes.empty());
    EXPECT_EQ(load.Nodes[0], Mark("a", "u"));

    home.Write("bookmarks/LumoBookmarks.tip", text + "x");
    load = LoadBookmarkFile(file);
    EXPECT_EQ(load.Status, TBookmarkLoad::Unreadable);
    EXPECT_FALSE(load.Replaceable);
    EXPECT_FALSE(load.Message.empty());
}

TEST_F(BookmarkFileOnDisk, ASaveThatCannotBeMadeSaysSo) {
    home.Write("plain", "a file, not a folder");
    EXPECT_FALSE(SaveBookmarkFile(home / "plain/bookmarks/LumoBookmarks.tip", {Mark("a", "b")}));
}

} // namespace
} // namespace lumo

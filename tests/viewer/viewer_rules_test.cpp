// The viewer's rules that need no window: link names, refresh requests, word
// characters, the history and visited lists, and scroll positions.
#include "layout/scroll_position.h"
#include "viewer/viewer_history.h"
#include "viewer/viewer_rules.h"

#include "tests/support/layout_fixture.h"

#include <gtest/gtest.h>

namespace lumo::test {
namespace {

TEST(ViewerRules, MetaRefreshContent) {
    struct {
        const char* content;
        int delay;
        const char* url;
    } rows[] = {
        {"0;url=x", 1, "x"},
        {"5", 5, ""},
        {" 3 ; URL= next.htm ", 3, "next.htm"},
        {"10; Url=Page.HTM?a=1", 10, "Page.HTM?a=1"},
        {"soon;url=y", -1, "y"},
        {"", -1, ""},
        {"2x", -1, ""},
    };
    for (const auto& row : rows) {
        int delay = 99;
        std::string url = "old";
        ParseMetaRefresh(row.content, delay, url);
        EXPECT_EQ(delay, row.delay) << row.content;
        EXPECT_EQ(url, row.url) << row.content;
    }
}

TEST(ViewerRules, LinkNamesBecomeLocalFileNames) {
    struct {
        const char* name;
        const char* serverRoot;
        const char* baseDir;
        const char* documentFile;
        const char* expected;
    } rows[] = {
        {"b.htm", "", "", "/d/a.htm", "/d/b.htm"},
        {"sub/../c.htm", "", "", "/d/a.htm", "/d/c.htm"},
        {"../../../up.htm", "", "", "/d/e/a.htm", "/up.htm"},
        {"./x%20y.htm", "", "", "/d/a.htm", "/d/x y.htm"},
        {"file:///srv/z.htm", "", "", "/d/a.htm", "/srv/z.htm"},
        {"/abs/p.htm", "", "", "/d/a.htm", "/abs/p.htm"},
        {"/abs/p.htm", "/www", "", "/d/a.htm", "/www/abs/p.htm"},
        {"\\dir\\w.htm", "", "", "/d/a.htm", "/dir/w.htm"},
        {"c:\\win\\x.htm", "", "", "/d/a.htm", "c:\\win\\x.htm"},
        {"file:///C|/win/x.htm", "", "", "/d/a.htm", "C:\\win\\x.htm"},
        {"\\\\server\\share\\s.htm", "", "", "/d/a.htm", "\\\\server\\share\\s.htm"},
        {"b.htm", "", "file:///base/dir/", "/d/a.htm", "/base/dir/b.htm"},
        {"b.htm", "", "/base", "/d/a.htm", "/base/b.htm"},
        {"b.htm", "", "", "", "b.htm"},
        {"http://srv/b.htm", "", "", "/d/a.htm", "http://srv/b.htm"},
        // Escapes name characters: an escaped ":" or "\\" is no drive or separator.
        {"x%3Ay.htm", "", "", "/d/a.htm", "/d/x%3Ay.htm"},
        {"a%5Cb.htm", "", "", "/d/a.htm", "/d/a%5Cb.htm"},
        {"caf\xE9.htm", "", "", "/d/a.htm", "/d/caf%C3%A9.htm"},
        {"%D0%9F.htm", "", "", "/d/%D0%9F%D1%80.htm", "/d/%D0%9F.htm"},
        {"50%.htm", "", "", "/d/a.htm", "/d/50%25.htm"},
        {"b.htm", "", "//c:n8/#x/", "", "/c%3An8/%23x/b.htm"}, // no drive or anchor once joined
        // A decoded NUL ends nothing: such a name is no file at all.
        {"a.txt%00.htm", "", "", "/d/a.htm", ""},
        {"file:///d/a.txt%00.htm", "", "", "/d/a.htm", ""},
        // An escaped slash decodes to a separator: the segments it makes count.
        {"b.htm", "", "", "/d/e/%2F..%2Fx/a.htm", "/d/x/b.htm"},
        {"c", "", "", "/../xa/'./%2F..%5C:y#z\xFF/.", "/xa/'./..%5C%3Ay%23z%C3%BF/c"},
    };
    for (const auto& row : rows) {
        const std::string name = ExpandLocalName(row.name, ServerRootPath(row.serverRoot),
                                                 row.baseDir, row.documentFile);
        EXPECT_EQ(name, row.expected) << row.name;
        // The history and links expand a full name again: it stays itself.
        if (name.starts_with('/')) {
            EXPECT_EQ(ExpandLocalName(name, "", "", ""), name) << row.name;
        }
    }
    EXPECT_EQ(ServerRootPath("file:///www/root/"), "/www/root");
}

TEST(ViewerRules, WhatALinkMayOpen) {
    struct {
        const char* name;
        TLinkKind kind;
    } rows[] = {
        {"/d/a.htm", TLinkKind::Html},     {"/d/A.HTML", TLinkKind::Html},
        {"b.Gif", TLinkKind::Image},       {"c.jpeg", TLinkKind::Image},
        {"d.PNG", TLinkKind::Image},       {"e.bmp", TLinkKind::Image},
        {"f.txt", TLinkKind::Other},       {"/dir.htm/noext", TLinkKind::Other},
        {"archive.zip", TLinkKind::Other},
    };
    for (const auto& row : rows)
        EXPECT_EQ(LinkKindOf(row.name), row.kind) << row.name;

    struct {
        const char* name;
        bool other;
    } schemes[] = {{"http://a/", true},  {"mailto:x@y", true}, {"res:///help.htm", true},
                   {"file:///a", false}, {"c:\\x.htm", false}, {"/d/a.htm", false},
                   {"a.htm", false}};
    for (const auto& row : schemes)
        EXPECT_EQ(IsOtherScheme(row.name), row.other) << row.name;
}

TEST(ViewerRules, WordCharacters) {
    using enum TCodePage;
    for (char c : std::string("09AZaz\xC0\xE9\xFF"))
        EXPECT_TRUE(IsWordChar(c, Windows1252)) << int(c);
    for (char c : std::string(" .,-_'\x8A\xA0\xBF"))
        EXPECT_FALSE(IsWordChar(c, Windows1252)) << int(c);
    // Every byte of a UTF-8 character, so a double click takes it whole.
    for (char c : std::string("aЖ中😀"))
        EXPECT_TRUE(IsWordChar(c, Utf8)) << int(c);
}

THistoryEntry Entry(const char* file, int offset = 0) {
    return {file, QString("title of ") + file, {0, offset}, ckHTML};
}

TEST(ViewerHistory, NewDocumentsGoInFrontAndTheForwardPartGoes) {
    TViewerHistory h;
    EXPECT_FALSE(h.Bump(Entry(""), Entry("a"), 0)); // no room
    EXPECT_TRUE(h.Bump(Entry(""), Entry("a"), 3));
    EXPECT_TRUE(h.Bump(Entry("a", 40), Entry("b"), 3));
    EXPECT_EQ(h.BackFiles, (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(h.BackPositions[1].Pos.Offset, 40);        // where a was left
    EXPECT_FALSE(h.Bump(Entry("b"), Entry("b"), 3));     // nothing changed
    EXPECT_TRUE(h.Bump(Entry("b"), Entry("b", 500), 3)); // an anchor in b
    EXPECT_EQ(h.BackFiles, (std::vector<std::string>{"b", "b", "a"}));

    h.BackIndex = 2; // back at a
    EXPECT_TRUE(h.Bump(Entry("a", 7), Entry("c"), 3));
    EXPECT_EQ(h.BackFiles, (std::vector<std::string>{"c", "a"}));
    EXPECT_EQ(h.BackPositions[1].Pos.Offset, 7);
    EXPECT_EQ(h.BackIndex, 0);

    TViewerHistory full;
    for (const char* f : {"1", "2", "3", "4", "5"})
        full.Bump(Entry(""), Entry(f), 3);
    EXPECT_EQ(full.BackFiles, (std::vector<std::string>{"5", "4", "3"}));
    EXPECT_EQ(full.BackTitles.size(), 3u);
    EXPECT_EQ(full.BackPositions.size(), 3u);
}

TEST(ViewerHistory, VisitedListKeepsTheMostRecentFirst) {
    TVisitedLinks v;
    using R = TVisitedLinks::TAddResult;
    EXPECT_EQ(v.Add("a", 0), R::Unchanged);
    EXPECT_EQ(v.Add("a", 3), R::Added);
    EXPECT_EQ(v.Add("A", 3), R::Unchanged);
    EXPECT_EQ(v.Add("b", 3), R::Added);
    EXPECT_EQ(v.Add("c", 3), R::Added);
    EXPECT_EQ(v.Add("A", 3), R::Moved);
    EXPECT_EQ(v.Items(), (std::vector<std::string>{"a", "c", "b"}));
    EXPECT_EQ(v.Add("d", 3), R::Added);
    EXPECT_EQ(v.Items(), (std::vector<std::string>{"d", "a", "c"}));
    EXPECT_TRUE(v.Contains("C"));
    EXPECT_FALSE(v.Contains("b"));
}

TEST(ScrollPosition, ItemAndOffsetRoundTripAtAnyCountAndHeight) {
    // 40,000 paragraphs make 80,000 items; 6,000 lines of one paragraph an
    // item of 96,000 pixels.
    std::string html = Paragraphs(40000) + "<P>";
    for (int i = 0; i < 6000; ++i)
        html += "line<BR>";
    Doc doc(html + "<P>after", 300);
    const TSectionList& root = doc.list;
    ASSERT_GT(root.PositionList.size(), 80000u);
    EXPECT_EQ(ScrollPositionAt(root, 2), (TScrollPosition{0, 2})); // above the first item
    const TSectionBase* tall = SectionWith(root, "line");
    ASSERT_GT(tall->BottomY - tall->TopY, 90000);
    const int deep = tall->TopY + 90000;
    const TScrollPosition position = ScrollPositionAt(root, deep);
    EXPECT_GT(position.Item, 80000);
    EXPECT_EQ(root.PositionList[position.Item - 1], tall);
    EXPECT_EQ(position.Offset, 90000);
    EXPECT_EQ(ScrollYOf(root, position), deep);
    EXPECT_EQ(ScrollYOf(root, {static_cast<int>(root.PositionList.size()) + 1, 0}), -1);
    EXPECT_EQ(ScrollYOf(root, {0, 1234}), 1234);
    // At another width the item moves and the offset stays.
    doc.LayOut(100);
    EXPECT_EQ(ScrollYOf(root, position), tall->TopY + 90000);
}

} // namespace
} // namespace lumo::test

// Style rules on small pages, checked where a reader would see them: box
// positions in the layout dump and colours in the painted picture.
#include "tests/builder/style_page.h"
#include "tests/support/layout_fixture.h"

#include "layout/font_run.h"

#include <gtest/gtest.h>

#include <map>

namespace lumo::test {
namespace {

constexpr const char* BigText = "<STYLE>body { font: bold 40px sans-serif }</STYLE>";

TColor Rgb(TColor c) {
    return c & 0xFFFFFF;
}

// A colour given inside a link, or on the A itself, is the link's colour in
// every state; one given around the link is not.
TEST(StylePages, ColourInsideALinkWins) {
    StylePage page(std::string(BigText) + "<STYLE>a:hover { color: yellow }</STYLE>"
                                          "<P><A HREF=x>Plain</A>"
                                          "<P><A HREF=x><FONT COLOR=red>Font</FONT><BR>Back</A>"
                                          "<P><A HREF=x><SPAN STYLE='color: lime'>Span</SPAN></A>"
                                          "<P><A HREF=x STYLE='color: lime'>Own</A>"
                                          "<P><FONT COLOR=red><A HREF=x>Out</A></FONT>",
                   600);
    const struct {
        const char* text;
        Tint tint;
        TColor hover;
    } rows[] = {{"Plain", Tint::Blue, 0x00FFFF}, {"Font", Tint::Red, 0x0000FF},
                {"Span", Tint::Green, 0x00FF00}, {"Own", Tint::Green, 0x00FF00},
                {"Out", Tint::Blue, 0x00FFFF},   {"Back", Tint::Blue, 0x00FFFF}};
    for (const auto& row : rows) {
        EXPECT_TRUE(page.Mostly(page.Line(row.text), row.tint)) << row.text;
        TFontRun* run = RunOf(page.list, row.text);
        ASSERT_TRUE(run && run->VisitedFont() && run->HoverFont()) << row.text;
        EXPECT_EQ(Rgb(run->HoverFont()->Color), row.hover) << row.text;
        if (row.tint != Tint::Blue) {
            EXPECT_EQ(Rgb(run->VisitedFont()->Color), Rgb(run->PlainFont().Color)) << row.text;
        }
    }
}

TEST(StylePages, LengthsOfTheElementsOwnFont) {
    StylePage page("<DIV STYLE='font-size: 32px; width: 5em; background: lime'>X</DIV>"
                   "<P STYLE='font-size: 10px; line-height: 300%'>a<BR>b</P>"
                   "<P STYLE='font-size: 10px; line-height: 2'>c</P>");
    const QRect div = page.Box("TBlock <div>");
    EXPECT_EQ(div.width(), 160);
    const int mid = div.center().y();
    EXPECT_TRUE(page.Mostly({div.right() - 3, mid, 3, 1}, Tint::Green));
    EXPECT_EQ(page.Count({div.right() + 2, mid, 20, 1}, Tint::Green), 0);
    EXPECT_EQ(page.Line("a").height(), 30);
    EXPECT_EQ(page.Line("b").height(), 30);
    EXPECT_EQ(page.Line("c").height(), 20);
}

// Each row is green when the right rule wins and red when another does.
TEST(StylePages, RuleOrder) {
    StylePage page("<STYLE>"
                   "ul li { background: red } #g { background: lime }"
                   "div .a { background: lime } ul #u { background: lime }"
                   ".x { background: red } .y { background: lime }"
                   "div.m { background: red !important } div#i { background: lime !important }"
                   "</STYLE>"
                   "<UL><LI ID=g>Id</UL>"
                   "<DIV><P CLASS=a>Desc</P></DIV>"
                   "<UL><LI ID=u>Under</UL>"
                   "<DIV CLASS='x y'>List</DIV>"
                   "<DIV CLASS=m ID=i STYLE='background: red'>Imp</DIV>");
    for (const char* text : {"Id", "Desc", "Under", "List", "Imp"}) {
        const QRect line = page.Line(text);
        ASSERT_FALSE(line.isEmpty()) << text;
        EXPECT_TRUE(page.Mostly(line, Tint::Green)) << text;
    }
}

// A link state named by an ancestor part gives that state's look to the text
// inside the link, and nothing to text outside one.
TEST(StylePages, LinkStatesAsAncestors) {
    Doc doc("<STYLE>a:hover span { color: red } a:link b { text-decoration: overline }"
            " a:visited i { color: lime }</STYLE>"
            "<P><A HREF=x><SPAN>s</SPAN><B>b</B><I>i</I></A> <SPAN>o</SPAN>");
    const TFontRun *span = RunOf(doc.list, "s"), *b = RunOf(doc.list, "b"),
                   *i = RunOf(doc.list, "i"), *outside = RunOf(doc.list, "o");
    ASSERT_TRUE(span && b && i && outside && span->HoverFont() && i->VisitedFont());
    EXPECT_EQ(Rgb(span->HoverFont()->Color), 0x0000FFu);
    EXPECT_NE(Rgb(span->PlainFont().Color), 0x0000FFu);
    EXPECT_TRUE(b->PlainFont().Overline);
    EXPECT_EQ(Rgb(i->VisitedFont()->Color), 0x00FF00u);
    EXPECT_NE(Rgb(i->PlainFont().Color), 0x00FF00u);
    EXPECT_NE(Rgb(outside->PlainFont().Color), 0x0000FFu);
}

// @import reads a sheet through the same request as LINK, before the rules
// after it; sheets importing each other stop at a depth.
TEST(StylePages, ImportedSheets) {
    const std::map<std::string, std::string> sheets = {
        {"main.css", "@import url(\"more.css\"); .b { background: lime }"},
        {"more.css", "@import 'loop.css'; .a, .b { background: lime } .c { background: red }"},
        {"loop.css", "@import url(loop.css);"},
        {"block.css", ".c { background: red }"},
        {"late.css", ".d { background: red }"}};
    std::map<std::string, int> asked;
    auto request = [&](const std::string& name, std::string& text) {
        ++asked[name];
        auto it = sheets.find(name);
        if (it == sheets.end()) return false;
        text = it->second;
        return true;
    };
    StylePage page("<LINK REL=stylesheet HREF=main.css>"
                   "<STYLE>@import url(block.css); .c { background: lime } .d { background: lime }"
                   " @import url(late.css);</STYLE>"
                   "<DIV CLASS=a>Aa</DIV><DIV CLASS=b>Bb</DIV><DIV CLASS=c>Cc</DIV>"
                   "<DIV CLASS=d>Dd</DIV>",
                   400, request);
    for (const char* text : {"Aa", "Bb", "Cc", "Dd"})
        EXPECT_TRUE(page.Mostly(page.Line(text), Tint::Green)) << text;
    EXPECT_EQ(asked["more.css"], 1);
    EXPECT_EQ(asked["loop.css"], 6); // main, more and six loops make eight
    EXPECT_EQ(asked.count("late.css"), 0u);
}

// A cell's style gives its width, height, background and border, over
// what its attributes say; a row's style colours its cells.
TEST(StylePages, CellsAndRowsTakeTheirStyle) {
    StylePage page("<TABLE CELLSPACING=0 CELLPADDING=2><TR STYLE='background: blue'>"
                   "<TD WIDTH=50 BGCOLOR=red STYLE='width: 120px; height: 60px; "
                   "background-color: lime'>a<TD>b"
                   "<TR><TD STYLE='border: 4px solid red'>c<TD>d</TABLE>"
                   "<TABLE WIDTH=300 CELLSPACING=0 CELLPADDING=0><TR>"
                   "<TD STYLE='width: 25%'>e<TD>f</TABLE>");
    const QRect sized = page.Box("cell 0,0");
    EXPECT_EQ(sized.size(), QSize(124, 60));
    EXPECT_TRUE(page.Mostly(sized.adjusted(1, 1, -1, -25), Tint::Green));
    const QRect rowColoured = page.Box("cell 0,1");
    EXPECT_TRUE(
        page.Mostly({rowColoured.left() + 1, rowColoured.bottom() - 6, rowColoured.width() - 2, 4},
                    Tint::Blue));
    // The border stands inside the cell's edge, the padding inside it.
    const QRect bordered = page.Box("cell 1,0");
    EXPECT_TRUE(
        page.Mostly({bordered.left(), bordered.top() + 1, 4, bordered.height() - 2}, Tint::Red));
    EXPECT_EQ(page.Count({bordered.left() + 4, bordered.top() + 4, 40, 2}, Tint::Red), 0);
    EXPECT_EQ(page.Line("c").left(), bordered.left() + 4 + 2);
    EXPECT_EQ(page.Box("cell 0,0", 1).width(), 75);
}

// An inline element left open at a cell's end ends there: its box has its
// right edge in that cell, and the next cell has none of it.
TEST(StylePages, AnInlineBoxLeftOpenEndsWithItsCell) {
    StylePage page("<TABLE CELLSPACING=0 CELLPADDING=0><TR>"
                   "<TD><SPAN STYLE='border: 2px solid red'>xx<TD>yy</TABLE>");
    const QRect first = page.Box("cell 0,0"), second = page.Box("cell 0,1");
    EXPECT_TRUE(
        page.Mostly({first.right() - 1, first.top() + 2, 2, first.height() - 4}, Tint::Red));
    EXPECT_EQ(page.Count(second, Tint::Red), 0);
}

// An inline element's sides take their own colours; a side with none
// takes the colour its text is drawn in, a link's included.
TEST(StylePages, InlineSidesTakeTheirColours) {
    StylePage page("<BODY LINK=#0000FF><P>"
                   "<SPAN STYLE='border: 4px solid; border-color: red green blue green'>xx</SPAN> "
                   "<A HREF=a.htm STYLE='border: 4px solid'>yy</A>");
    const QRect line = page.Line("xx");
    const int middle = line.center().y();
    auto at = [&](int x, int y) { return page.picture.pixel(x, y); };
    int left = line.left();
    while (qGray(at(left, middle)) > 200)
        ++left;
    EXPECT_EQ(at(left + 1, middle), qRgb(0, 0x80, 0)) << "left";
    EXPECT_EQ(at(left + 8, line.top() - 2), qRgb(0xFF, 0, 0)) << "top";
    EXPECT_EQ(at(left + 8, line.bottom() + 2), qRgb(0, 0, 0xFF)) << "bottom";
    int right = line.right();
    while (right > left && qGray(at(right, middle)) > 200)
        --right;
    EXPECT_EQ(at(right, middle), qRgb(0, 0, 0xFF)) << "the link's right side";
}

} // namespace
} // namespace lumo::test

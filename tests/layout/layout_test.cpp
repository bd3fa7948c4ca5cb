// Block layout: margins, floats and clearing, markers, rules, backgrounds,
// painting only what shows, hit tests, and layout that does not drift.
#include "tests/image/gif_builder.h"
#include "tests/support/layout_fixture.h"
#include "tests/support/temp_folder.h"

#include "layout/background_tile.h"
#include "layout/inline_image.h"
#include "layout/list_item_block.h"
#include "layout/rule_block.h"
#include "layout/scroll_position.h"

#include <gtest/gtest.h>

namespace lumo::test {
namespace {

int Count(const std::string& log, std::string_view what) {
    int n = 0;
    for (size_t at = log.find(what); at != std::string::npos; at = log.find(what, at + 1))
        ++n;
    return n;
}

// The Y of the first line of text of the section holding text.
int TopOf(const Doc& doc, std::string_view text) {
    TSection* s = SectionWith(doc.list, text);
    if (!s) return -1;
    for (const TTextLine& line : s->LineList)
        if (line.CharCount > 0) return line.LineY;
    return s->TopY;
}

TEST(Margins, AdjacentMarginsCollapse) {
    const struct {
        int bottom, top, gap;
    } rows[] = {{20, 10, 20}, {-5, 10, 5}, {-5, -10, -10}, {10, -4, 6}, {0, 0, 0}, {7, 7, 7}};
    for (const auto& row : rows) {
        Doc doc("<DIV STYLE=\"margin-bottom: " + std::to_string(row.bottom) + "px\">a</DIV>" +
                "<DIV STYLE=\"margin-top: " + std::to_string(row.top) + "px\">b</DIV>");
        EXPECT_EQ(TopOf(doc, "b") - (TopOf(doc, "a") + 16), row.gap)
            << row.bottom << " " << row.top;
    }
}

TEST(Margins, ParagraphSpacingAtCellStarts) {
    // At the start of the body a paragraph keeps its spacing; first in a
    // DIV or a list item it has none.
    EXPECT_EQ(TopOf(Doc("<P>x"), "x"), 5 + 14);
    EXPECT_EQ(TopOf(Doc("<DIV><P>x</DIV>"), "x"), 5);
    EXPECT_EQ(TopOf(Doc("<UL><LI><P>x</UL>"), "x"), 5 + 14);
    // Trailing paragraph spacing inside a DIV goes.
    Doc doc("<DIV><P>a</DIV><DIV>b</DIV>");
    EXPECT_EQ(TopOf(doc, "b"), TopOf(doc, "a") + 16);
}

// A block's margin and that of its first or last block meet when no
// border, padding or set height stands between them, through any depth.
// The figures are a browser's on the same pages (CSS rulers, 16-pixel lines).
TEST(Margins, ParentAndChildMarginsCollapse) {
    const std::string outer = "<DIV>x</DIV><DIV STYLE=\"margin: 20px 0 10px";
    const std::string inner = "<DIV STYLE=\"margin: 30px 0 25px\">";
    const std::string after = "<DIV STYLE=\"margin-top: 5px\">after</DIV>";
    const struct {
        std::string html;
        int in, after;
    } rows[] = {
        {outer + "\">" + inner + "in</DIV></DIV>" + after, 5 + 16 + 30, 5 + 16 + 30 + 16 + 25},
        {outer + "\"><DIV>" + inner + "in</DIV></DIV></DIV>" + after, 5 + 16 + 30,
         5 + 16 + 30 + 16 + 25},
        // Padding or a border keeps them apart; a height keeps the bottom apart.
        {outer + "; padding: 1px 0\">" + inner + "in</DIV></DIV>" + after, 5 + 16 + 20 + 1 + 30,
         5 + 16 + 20 + 1 + 30 + 16 + 25 + 1 + 10},
        {outer + "; border: solid 2px\">" + inner + "in</DIV></DIV>" + after, 5 + 16 + 20 + 2 + 30,
         5 + 16 + 20 + 2 + 30 + 16 + 25 + 2 + 10},
        {outer + "; height: 100px\">" + inner + "in</DIV></DIV>" + after, 5 + 16 + 30,
         5 + 16 + 30 + 100 + 10},
        // Text before the inner block keeps the top apart.
        {outer + "\">t" + inner + "in</DIV></DIV>" + after, 5 + 16 + 20 + 16 + 30,
         5 + 16 + 20 + 16 + 30 + 16 + 25},
    };
    for (const auto& row : rows) {
        Doc doc(row.html);
        EXPECT_EQ(TopOf(doc, "in"), row.in) << row.html;
        EXPECT_EQ(TopOf(doc, "after"), row.after) << row.html;
    }
}

// However many margins meet, the largest positive one and the most negative
// one make the gap. A margin in percent counts against the containing
// width, at every layout. The figures are a browser's on the same pages.
TEST(Margins, ManyMarginsAndPercentagesMeet) {
    Doc three("<DIV STYLE=\"margin-bottom: 10px\">a</DIV><DIV STYLE=\"margin-top: -5px\">"
              "<DIV STYLE=\"margin-top: 20px\">b</DIV></DIV>");
    EXPECT_EQ(TopOf(three, "b") - (TopOf(three, "a") + 16), 20 - 5);

    const std::string box = "<DIV STYLE=\"width: 200px; padding-top: 1px\">";
    Doc inBox(box + "<DIV STYLE=\"margin-top: 10%\">a</DIV>" +
              "<DIV STYLE=\"margin-bottom: 5%\">b</DIV><DIV STYLE=\"margin-top: 8px\">c</DIV>" +
              "<DIV STYLE=\"margin-bottom: 5%\">d</DIV><DIV STYLE=\"margin-top: 12px\">e</DIV>");
    EXPECT_EQ(TopOf(inBox, "a"), 5 + 1 + 20);
    EXPECT_EQ(TopOf(inBox, "c") - (TopOf(inBox, "b") + 16), 10);
    EXPECT_EQ(TopOf(inBox, "e") - (TopOf(inBox, "d") + 16), 12);

    Doc page("<DIV STYLE=\"margin-top: 10%\">x</DIV>", 600);
    const int wide = TopOf(page, "x");
    page.LayOut(300);
    EXPECT_EQ(wide - TopOf(page, "x"), 30);
}

// Text running on beside a float met mid-line, after a line of no height
// (a floated picture alone), with no room there goes below once: it used to
// add empty lines until memory ran out.
TEST(Floats, RunOnTextWithNoRoomGoesBelowOnce) {
    Doc doc("<DIV><IMG SRC=a.png ALIGN=LEFT WIDTH=50 HEIGHT=50> <P STYLE=\"float: right\">"
            "Teal block.</P>Teal block.</DIV>",
            90);
    const auto sections = All<TSection>(doc.list);
    ASSERT_FALSE(sections.empty());
    EXPECT_LT(sections.back()->LineList.size(), 10u);
    EXPECT_GE(TopOf(doc, "Teal block."), 5);
}

// An absolutely placed block stands out of the flow: the floats around it
// do not push its text aside or down. It is placed from the padding edge of
// the relatively placed block around it, or else from the page.
TEST(Placement, AbsoluteBlocksStandApartFromTheFlow) {
    Doc doc("<DIV STYLE=\"float: left; width: 200px; height: 300px\">float</DIV>"
            "<DIV STYLE=\"position: absolute; left: 0; top: 50px; width: 100px\">page</DIV>"
            "<DIV STYLE=\"position: relative; left: 300px; width: 200px; height: 100px; "
            "padding: 4px\"><DIV STYLE=\"position: absolute; left: 10px; top: 10px\">held</DIV>"
            "</DIV>");
    const struct {
        const char* text;
        int x, y;
    } rows[] = {{"page", 0, 50}, {"held", 10 + 300 + 10, 5 + 10}};
    for (const auto& row : rows) {
        TSection* s = SectionWith(doc.list, row.text);
        ASSERT_TRUE(s) << row.text;
        EXPECT_EQ(s->LineX(s->LineList[0]), row.x) << row.text;
        EXPECT_EQ(TopOf(doc, row.text), row.y) << row.text;
        EXPECT_EQ(s->LineList.size(), 1u) << row.text;
    }
}

// Clearing with no floats must cost nothing: the cell's own open indents
// are no floats.
TEST(Floats, ClearWithoutFloatsAddsNothing) {
    const char* const rows[] = {"<P>a<BR CLEAR=all>b", "<P>a<P STYLE=\"clear: both\">b",
                                "<DIV STYLE=\"clear: left\">a</DIV>b", "a<BR CLEAR=right>b"};
    for (const char* html : rows) {
        Doc doc(html);
        EXPECT_LT(doc.result.Height, 200) << html;
        EXPECT_LT(TopOf(doc, "b"), 100) << html;
    }
}

TEST(Floats, TextFlowsBesideAndClearGoesBelow) {
    Doc doc("<DIV STYLE=\"float: left; width: 100px; height: 80px\">f</DIV>"
            "<P>beside<BR CLEAR=left>below");
    TSection* beside = SectionWith(doc.list, "beside");
    ASSERT_TRUE(beside);
    EXPECT_EQ(beside->LineX(beside->LineList[0]), 110);
    EXPECT_EQ(TopOf(doc, "below"), 5 + 80);
    // The float adds nothing to the flow, yet the document holds it.
    Doc alone("<DIV STYLE=\"float: right; width: 50px; height: 300px\">f</DIV>");
    EXPECT_GE(alone.result.Height, 300);
}

// A float that does not fit beside the floats before it goes down past
// their bottoms until it does: the third of three 100 px floats in 250 px
// goes below the second, the taller, to its side's edge.
TEST(Floats, AFloatThatDoesNotFitGoesBelowTheOnesBesideIt) {
    const struct {
        std::string side;
        int thirdX;
    } rows[] = {{"left", 10}, {"right", 10 + 250 - 100}};
    for (const auto& row : rows) {
        std::string html = "<DIV STYLE=\"width: 250px\">";
        for (const auto& [name, height] : {std::pair{"one", 30}, {"two", 50}, {"three", 40}})
            html += "<DIV STYLE=\"float: " + row.side +
                    "; width: 100px; height: " + std::to_string(height) + "px\">" + name + "</DIV>";
        Doc doc(html + "</DIV>");
        TSection* third = SectionWith(doc.list, "three");
        ASSERT_TRUE(third) << row.side;
        EXPECT_EQ(third->TopY, 5 + 50) << row.side;
        EXPECT_EQ(third->LineX(third->LineList.at(0)), row.thirdX) << row.side;
    }
}

// Floated pictures first on their line, with spaces between them, start
// level with it; the third of three 100 px ones in 250 px goes below the
// second, the taller.
TEST(Floats, PicturesFirstOnTheirLineStartLevelUntilTheyDoNotFit) {
    Doc doc("<DIV STYLE=\"width: 250px\"><IMG SRC=a.gif ALIGN=left HSPACE=0 WIDTH=100 HEIGHT=30> "
            "<IMG SRC=b.gif ALIGN=left HSPACE=0 WIDTH=100 HEIGHT=50> "
            "<IMG SRC=c.gif ALIGN=left HSPACE=0 WIDTH=100 HEIGHT=40>text</DIV>");
    TSection* s = SectionWith(doc.list, "text");
    ASSERT_TRUE(s);
    ASSERT_EQ(s->Images().size(), 3u);
    const auto& images = s->Images();
    EXPECT_EQ(images[0]->PaintTop, 5);
    EXPECT_EQ(images[1]->PaintTop, 5);
    EXPECT_EQ(images[1]->LeftX, 10 + 100);
    EXPECT_EQ(images[2]->PaintTop, 5 + 50);
    EXPECT_EQ(images[2]->LeftX, 10);
}

// A picture shown as a block with no width of its own makes a block as
// wide as itself, so auto margins centre it or put it flush right; one
// wider than the room starts at its left.
TEST(Blocks, PicturesShownAsBlocksAreAsWideAsThemselves) {
    Doc doc("<IMG SRC=a.gif WIDTH=100 HEIGHT=20 STYLE=\"display: block; margin: 0 auto\">"
            "<IMG SRC=b.gif WIDTH=100 HEIGHT=20 STYLE=\"display: block; margin-left: auto\">"
            "<IMG SRC=c.gif WIDTH=100 HEIGHT=20 STYLE=\"display: block\">"
            "<IMG SRC=d.gif WIDTH=900 HEIGHT=20 STYLE=\"display: block; margin: 0 auto\">");
    std::vector<int> lefts;
    for (TSection* s : All<TSection>(doc.list))
        for (const auto& image : s->Images())
            lefts.push_back(image->LeftX);
    EXPECT_EQ(lefts, (std::vector<int>{10 + (580 - 100) / 2, 590 - 100, 10, 10}));
}

TEST(Floats, WordWiderThanTheRoomMovesBelowTheFloat) {
    Doc doc("<DIV STYLE=\"float: left; width: 500px; height: 40px\">f</DIV>"
            "<P>abcdefghijklmnopqrstuvwxyz");
    EXPECT_EQ(TopOf(doc, "abc"), 45);
    TSection* s = SectionWith(doc.list, "abc");
    EXPECT_EQ(s->TopY, 19);
    ASSERT_EQ(s->LineList.size(), 2u);
    EXPECT_EQ(s->LineList[1].LineY, 45);
    EXPECT_EQ(s->LineX(s->LineList[1]), 10);
}

// A float with no width of its own is as wide as what it holds, within
// the room. A picture that finds no room beside floats goes below them, as
// a word does: here past the first float too, since the second still
// stands where the first ended.
TEST(Floats, ShrinkToTheirContentAndPicturesWaitBelowThemForRoom) {
    std::string words;
    for (int i = 0; i < 100; ++i)
        words += "word ";
    Doc doc("<DIV STYLE=\"width: 250px\">"
            "<DIV STYLE=\"float: left\"><IMG SRC=a.gif WIDTH=100 HEIGHT=30></DIV>"
            "<DIV STYLE=\"float: left\"><IMG SRC=b.gif WIDTH=100 HEIGHT=50></DIV>"
            "<IMG SRC=c.gif WIDTH=60 HEIGHT=20></DIV>"
            "<DIV STYLE=\"clear: left; float: right\">" +
            words + "</DIV>");
    std::vector<std::pair<int, int>> places;
    for (TSection* s : All<TSection>(doc.list))
        for (const auto& image : s->Images())
            places.emplace_back(image->LeftX, image->PaintTop);
    EXPECT_EQ(places, (std::vector<std::pair<int, int>>{{10, 5}, {110, 5}, {10, 5 + 50}}));
    TSection* text = SectionWith(doc.list, "word");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->LineX(text->LineList.at(0)), 10);
}

// A line height below the text's takes the leading from both sides evenly,
// so the lines close up; a picture still holds its line open from the
// baseline up. Normal and unreadable line heights keep the fonts' own.
TEST(Lines, LineHeightsBelowTheTextsCloseTheLinesUp) {
    Doc doc("<P STYLE=\"line-height: 10px\">a<BR>b<BR>c</P>"
            "<P STYLE=\"line-height: 0\"><IMG SRC=a.gif WIDTH=40 HEIGHT=40></P>"
            "<P STYLE=\"line-height: normal\">d<BR>e</P><P STYLE=\"line-height: x\">f<BR>g</P>");
    std::vector<int> heights;
    for (TSection* s : All<TSection>(doc.list))
        for (const TTextLine& line : s->LineList)
            heights.push_back(line.Height());
    EXPECT_EQ(heights, (std::vector<int>{10, 10, 10, 40, 16, 16, 16, 16}));
    // The text stands in the middle of its line's rows.
    TSection* abc = SectionWith(doc.list, "a");
    ASSERT_TRUE(abc);
    const TTextLine& first = abc->LineList.at(0);
    EXPECT_EQ(first.ExtraAbove, -3);
    EXPECT_EQ(first.ExtraBelow, -3);
    // Glyphs standing out of their line's rows are painted where they reach:
    // rows just below the second line's hold the lower part of its letter.
    const int below = abc->LineList.at(1).LineY + 10;
    const std::string log = doc.Paint(below, below + 2);
    EXPECT_NE(log.find("\"b\""), std::string::npos) << log;
}

// A style's vertical-align: bottom puts a picture's bottom on the line's,
// growing the line upwards only when it is taller; HTML's ALIGN=BOTTOM puts
// it on the baseline.
TEST(Lines, PicturesOnTheLinesBottom) {
    Doc doc("<P><IMG SRC=a.gif WIDTH=10 HEIGHT=10 STYLE=\"vertical-align: bottom\">a</P>"
            "<P><IMG SRC=b.gif WIDTH=10 HEIGHT=10 ALIGN=BOTTOM>b</P>"
            "<P><IMG SRC=c.gif WIDTH=10 HEIGHT=40 STYLE=\"vertical-align: bottom\">c</P>");
    const auto sections = All<TSection>(doc.list);
    ASSERT_EQ(sections.size(), 3u);
    std::vector<int> heights, bottoms;
    for (TSection* s : sections) {
        const TTextLine& line = s->LineList.at(0);
        heights.push_back(line.Height());
        const auto& image = *s->Images().at(0);
        bottoms.push_back(image.PaintTop + image.BoxHeight - line.LineY);
    }
    const TTextLine& plain = sections[1]->LineList.at(0);
    const int baseline = plain.LineTextHeight - plain.LineDescent;
    EXPECT_EQ(heights, (std::vector<int>{16, 16, 40}));
    EXPECT_EQ(bottoms, (std::vector<int>{16, baseline, 40}));
}

TEST(Markers, Texts) {
    const struct {
        MarkerStyleType style;
        int number;
        const char* text;
    } rows[] = {
        {msDecimal, 7, "7."},       {msLowerAlpha, 1, "a."},   {msLowerAlpha, 26, "z."},
        {msLowerAlpha, 40, "z."},   {msUpperAlpha, 3, "C."},   {msLowerRoman, 4, "iv."},
        {msUpperRoman, 19, "XIX."}, {msLowerRoman, 25, "xx."}, {msLowerRoman, 0, "0."},
        {msUpperAlpha, 0, "0."},    {msLowerAlpha, -3, "-3."}, {msUpperRoman, -1, "-1."},
    };
    for (const auto& row : rows)
        EXPECT_EQ(TListItemBlock::MarkerText(row.style, row.number), row.text)
            << row.style << " " << row.number;
}

TEST(Markers, DrawnBesideTheFirstLine) {
    Doc doc("<OL START=0 TYPE=a><LI>zero</OL><UL><LI>disc</UL>");
    std::string log = doc.Paint(0, 400);
    // 8-pixel digits: "0." ends 10 pixels left of the content at 45.
    EXPECT_NE(log.find("TEXT 19 32 \"0.\""), std::string::npos) << log;
    EXPECT_EQ(Count(log, "ELLIPSE"), 1);
}

// A marker inside the item starts its first line, and the text follows it;
// the lines after start at the item's edge.
TEST(Markers, InsideStartTheFirstLine) {
    Doc doc("<OL STYLE=\"list-style-position: inside\"><LI>one<BR>next</OL>"
            "<UL STYLE=\"list-style: square inside\"><LI>two</UL>");
    const std::string log = doc.Paint(0, 400);
    auto xOf = [&](std::string_view quoted) {
        const size_t at = log.find(std::string(quoted) + "\n");
        if (at == std::string::npos) return -1;
        const size_t line = log.rfind("TEXT ", at);
        return std::stoi(log.substr(line + 5));
    };
    // 8-pixel characters: "1. " is 24 pixels wide, the square's room 16.
    EXPECT_EQ(xOf("\"1.\""), 45) << log;
    EXPECT_EQ(xOf("\"one\""), 69) << log;
    EXPECT_EQ(xOf("\"next\""), 45) << log;
    EXPECT_EQ(xOf("\"two\""), 61) << log;
    EXPECT_NE(log.find("FILL 46 "), std::string::npos) << log;
}

// A first-line look holds for what stands on the first line, wherever a
// new width ends that line; the first letter's look stands inside it.
TEST(FirstLines, TheLookEndsWithTheFirstLine) {
    Doc doc("<STYLE>P:first-line { font-size: 200% } P:first-letter { color: red }</STYLE>"
            "<P>one two three four five six seven eight nine ten eleven twelve");
    TSection* s = SectionWith(doc.list, "one");
    ASSERT_TRUE(s);
    for (const int width : {300, 150, 600}) {
        doc.LayOut(width);
        ASSERT_GE(s->LineList.size(), 2u) << width;
        const TTextLine& first = s->LineList[0];
        const TTextLine& second = s->LineList[1];
        EXPECT_GT(first.LineTextHeight, second.LineTextHeight) << width;
        auto sizeAt = [&](int index) { return s->Runs[s->RunIndexAt(index)]->CurrentFont().Size; };
        EXPECT_EQ(sizeAt(0), 24) << width;
        EXPECT_EQ(sizeAt(first.Start + first.CharCount - 2), 24) << width;
        EXPECT_EQ(sizeAt(second.Start), 12) << width;
        EXPECT_EQ(s->Runs[0]->CurrentFont().Color, TColor(0x0000FF)) << width;
        // The letter's run, the first line's and the rest's.
        EXPECT_EQ(s->Runs.size(), 3u) << width;
    }
}

// Each item's hook is its own while it is laid out, and restored after.
TEST(Markers, BaselinesOfNestedItems) {
    Doc doc("<UL><LI><UL><LI>inner</UL>tail<LI>second</UL>");
    auto items = All<TListItemBlock>(doc.list);
    ASSERT_EQ(items.size(), 3u);
    EXPECT_EQ(doc.list.FirstLineHook, nullptr);
    auto baseline = [&](std::string_view text) {
        TSection* s = SectionWith(doc.list, text);
        const TTextLine& line = s->LineList[0];
        return line.LineY + line.ExtraAbove + line.LineTextHeight - line.LineDescent;
    };
    EXPECT_EQ(items[1]->FirstLine.Baseline, baseline("inner"));
    EXPECT_EQ(items[0]->FirstLine.Baseline, baseline("tail"));
    EXPECT_EQ(items[2]->FirstLine.Baseline, baseline("second"));
}

TEST(Rules, Widths) {
    const struct {
        const char* html;
        int room, width;
    } rows[] = {
        {"<HR>", 400, 360},
        {"<HR WIDTH=50%>", 400, 190},
        {"<HR WIDTH=100>", 400, 100},
        {"<HR WIDTH=900>", 400, 360},
        {"<HR>", 40, 15},
        {"<HR WIDTH=0>", 400, 360},
    };
    for (const auto& row : rows) {
        Doc doc(row.html, row.room);
        auto rules = All<THorizontalRule>(doc.list);
        ASSERT_EQ(rules.size(), 1u) << row.html;
        EXPECT_EQ(rules[0]->RuleWidth, row.width) << row.html << " in " << row.room;
    }
}

// The tiles of a background are made for what the clip shows, never for a
// block 100,000 pixels tall.
TEST(Backgrounds, TilesOnlyTheVisiblePart) {
    Bitmap tile(4, 4, 0xFF112233);
    RecordingCanvas canvas;
    PaintTiledBackground(canvas, tile, nullptr, {0, -50000, 800, 50000}, {0, 0, 800, 600}, "",
                         TileRepeat::Both);
    EXPECT_EQ(canvas.Log, "BITMAP 0 0 800 600 from 800x600 0 0 800 600\n");
    canvas.Log.clear();
    PaintTiledBackground(canvas, tile, nullptr, {10, 10, 20, 20}, {0, 0, 800, 600}, "",
                         TileRepeat::None);
    EXPECT_EQ(canvas.Log, "BITMAP 10 10 20 20 from 10x10 0 0 10 10\n");
    canvas.Log.clear();
    PaintTiledBackground(canvas, tile, nullptr, {0, 0, 100, 100}, {200, 200, 300, 300}, "",
                         TileRepeat::Both);
    EXPECT_EQ(canvas.Log, "");

    TempFolder folder;
    folder.Write("tile.gif", GifHeader(4, 4, {0x112233, 0}) + SolidImage(0, 0, 4, 4, 0) + ";");
    Doc doc("<DIV STYLE=\"height: 100000px; background: red url(" + folder / "tile.gif" +
            ")\">tall</DIV>");
    ASSERT_TRUE(All<TBlock>(doc.list).back()->BackImage &&
                All<TBlock>(doc.list).back()->BackImage->Shows());
    std::string log = doc.Paint(50000, 50600);
    EXPECT_NE(log.find("BITMAP 10 0 590 600 from 580x600"), std::string::npos) << log;
}

TEST(Backgrounds, Offsets) {
    EXPECT_EQ(TileOffset("center", {100, 50}, {10, 10}).X, 45);
    EXPECT_EQ(TileOffset("right bottom", {100, 50}, {10, 10}).Y, 40);
    EXPECT_EQ(TileOffset("top", {100, 50}, {10, 10}).Y, 0);
    EXPECT_EQ(TileOffset("10px 20px", {100, 50}, {10, 10}).Y, 20);
    EXPECT_EQ(TileOffset("50% 0%", {100, 50}, {10, 10}).X, 45);
    EXPECT_EQ(TileOffset("25.5% 0", {210, 50}, {10, 10}).X, 51);
    // Lengths count in their units: an em of 15 pixels, an inch of 96.
    EXPECT_EQ(PositionInPixels("3em 0.5in", 15, 7), "45 48");
    EXPECT_EQ(PositionInPixels(" Right  2ex ", 15, 7), "right 14");
    EXPECT_EQ(PositionInPixels("center 50%", 15, 7), "center 50%");
}

// Painting a window of a long document visits only what it shows.
TEST(Paint, OnlyWhatMeetsTheClip) {
    std::string html;
    for (int i = 0; i < 3000; ++i)
        html += "<P>paragraph " + std::to_string(i) + " <B>bold</B> text";
    Doc doc(html);
    ASSERT_GT(doc.result.Height, 3000 * 30);
    for (int top : {0, 40000, doc.result.Height - 600}) {
        std::string log = doc.Paint(top, top + 600);
        const int texts = Count(log, "TEXT ");
        EXPECT_GT(texts, 10) << top;
        EXPECT_LT(texts, 80) << top;
    }
}

TEST(Paint, HiddenBlocksTakeRoomButPaintNothing) {
    Doc doc("<DIV STYLE=\"visibility: hidden\">hidden</DIV>shown");
    std::string log = doc.Paint(0, 400);
    EXPECT_EQ(log.find("hidden"), std::string::npos);
    EXPECT_NE(log.find("shown"), std::string::npos);
    EXPECT_EQ(TopOf(doc, "shown"), 5 + 16);
}

TEST(Paint, BordersAndBackground) {
    Doc doc("<DIV STYLE=\"border: 2px solid; padding: 3px; background-color: blue; width: "
            "50px\">x</DIV>");
    std::string log = doc.Paint(0, 400);
    EXPECT_NE(log.find("FILL 12 7 68 29"), std::string::npos) << log;
    EXPECT_EQ(Count(log, "FILL "), 5) << log;
}

TEST(Layout, AnotherWidthAndBackGivesTheSameDump) {
    Doc doc("<H1>Title</H1><P>Some text that wraps at narrow widths. "
            "<DIV STYLE=\"float: right; width: 100px\">float</DIV><UL><LI>item<LI>more</UL>"
            "<PRE>pre text</PRE><HR WIDTH=50%><P ALIGN=center>centred words here");
    const std::string first = doc.Dump();
    doc.LayOut(150);
    EXPECT_NE(doc.Dump(), first);
    doc.LayOut(600);
    EXPECT_EQ(doc.Dump(), first);
}

// The print copy lays out as the document it was made from.
// Margins, heights and offsets at the length limit, by the thousand, keep
// every document Y within range: layout, painting and hit tests stay sound.
TEST(Layout, HugeDocumentsKeepTheirYInRange) {
    auto times = [](std::string_view piece, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out += piece;
        return out;
    };
    const std::string rows[] = {
        times("<P STYLE=\"margin-top:1000000px\">x", 2200),
        times("<DIV STYLE=\"height:1000000px\">x</DIV>", 2200),
        times("<DIV STYLE=\"padding-top:1000000px;border-top:1000000px solid\">x</DIV>", 1200),
        times("<P STYLE=\"position:relative;top:1000000px;margin-top:1000000px\">x", 2200),
        times("<DIV STYLE=\"position:absolute;top:1000000px\"><P STYLE=\"margin-top:1000000px\">x",
              200),
        times("<UL STYLE=\"margin-top:1000000px\"><LI STYLE=\"margin-bottom:1000000px\">x", 1200),
        "<P STYLE=\"line-height:1000000px\">" + times("x<BR>", 2200),
        times("<P STYLE=\"margin-top:1000000px\">x", 1000) + "<P STYLE=\"line-height:1000000px\">" +
            times("x<BR>", 1500),
    };
    for (const std::string& html : rows) {
        Doc doc(html + "<P>end");
        const std::string_view start = std::string_view(html).substr(0, 60);
        EXPECT_GT(doc.result.Height, 0) << start;
        EXPECT_LE(doc.result.Height, MaxDocumentY) << start;
        doc.Paint(doc.result.Height - 600, doc.result.Height);
        doc.list.ItemAtY(doc.result.Height - 1);
    }
}

// The copy keeps its own fonts and pictures: it outlives a source that goes
// on to another page.
TEST(Layout, PrintCopyLaysOutTheSame) {
    Doc doc("<H1>Title</H1><P>text <A HREF=x>link</A><UL><LI>item<OL><LI>n</OL></UL>"
            "<HR WIDTH=40%><PRE>pre</PRE><PAGE><DIV STYLE=\"float: left; width: 60px\">f</DIV>"
            "<BLOCKQUOTE>q</BLOCKQUOTE><DIV STYLE=\"background-image: url(b.gif)\">b</DIV>");
    TSectionList copy(doc.canvas);
    copy.CopyForPrinting(doc.list);
    EXPECT_TRUE(copy.IsPrinting);
    const std::string dump = doc.Dump();
    doc.list.Reset();
    TLayoutSettings settings;
    TLayoutResult result = LayOutAgain(copy, doc.canvas, settings);
    result.Title = doc.result.Title;
    EXPECT_EQ(DumpDocument(copy, result), dump);
    RecordingCanvas printer;
    copy.PaintCell(printer, {0, 0, 600, 1000}, 600, 0, 0);
    EXPECT_NE(printer.Log.find("link"), std::string::npos);
    EXPECT_EQ(copy.LinkList.size(), 1u);
    EXPECT_EQ(copy.IDs.Count(), 0);
}

// While printing, a PAGE ends the page where it stands, unless it is within
// 5 pixels of the page's top.
TEST(Paint, PageBreaksWhilePrinting) {
    Doc doc("<P>one<PAGE><P>two<P>three");
    TSectionList copy(doc.canvas);
    copy.CopyForPrinting(doc.list);
    LayOutAgain(copy, doc.canvas, TLayoutSettings());
    const int breakY = All<TSection>(copy)[0]->BottomY;
    RecordingCanvas printer;
    copy.PaintCell(printer, {0, 0, 600, 1000}, 600, 0, 0);
    EXPECT_EQ(copy.PageEndY, breakY);
    EXPECT_EQ(printer.Log.find("two"), std::string::npos) << printer.Log;
    printer.Log.clear();
    copy.SetScrollY(breakY - 3);
    copy.PaintCell(printer, {0, 0, 600, 1000}, 600, 0, 0);
    EXPECT_EQ(copy.PageEndY, breakY - 3 + 1000);
    EXPECT_NE(printer.Log.find("three"), std::string::npos) << printer.Log;
}

TEST(Paint, DummyCaret) {
    Doc doc("<P>abc");
    doc.list.ShowDummyCaret = true;
    doc.list.CaretPos = 0;
    EXPECT_NE(doc.Paint(0, 100).find("FILL 10 19 11 35"), std::string::npos);
}

TEST(HitTests, LinksAndCarets) {
    // From the dump: line 0 x=10 y=19, 8-pixel characters; "go here" starts
    // after "Click " at x = 10 + 6 * 8.
    Doc doc("<P>Click <A HREF=\"next.htm\" TARGET=f>go here</A> please");
    const TUrlTarget* target = nullptr;
    TFormControl* control = nullptr;
    ASSERT_TRUE(doc.list.LinkAtPoint(doc.canvas, 10 + 6 * 8 + 3, 25, target, control));
    EXPECT_EQ(target->Url, "next.htm");
    EXPECT_EQ(target->Target, "f");
    EXPECT_EQ(doc.list.HoverLink, RunOf(doc.list, "go"));
    EXPECT_FALSE(doc.list.LinkAtPoint(doc.canvas, 12, 25, target, control));
    EXPECT_EQ(doc.list.HoverLink, nullptr);
    EXPECT_FALSE(doc.list.LinkAtPoint(doc.canvas, 10 + 6 * 8 + 3, 60, target, control));

    int x = 0, y = 0, height = 0;
    bool inText = false;
    int pos = doc.list.CursorAt(doc.canvas, 10 + 2 * 8 + 5, 25, x, y, height, inText);
    EXPECT_EQ(pos, 3); // past the middle of the third character
    EXPECT_EQ(x, 10 + 3 * 8);
    EXPECT_EQ(y, 19);
    EXPECT_EQ(height, 16);
    EXPECT_TRUE(inText);
    int px = 0, py = 0;
    ASSERT_TRUE(doc.list.CursorToPoint(&doc.canvas, 3, px, py));
    EXPECT_EQ(px, x);
    EXPECT_EQ(py, 19);
    EXPECT_FALSE(doc.list.CursorToPoint(&doc.canvas, 1000, px, py));

    // Beside a tall float the paragraph goes on below its last line: the
    // row just under the line is the line's no longer.
    Doc beside("<P><IMG ALIGN=RIGHT WIDTH=20 HEIGHT=100><A HREF=\"a.htm\">link</A>");
    TSection* s = SectionWith(beside.list, "link");
    ASSERT_TRUE(s);
    const TTextLine& line = s->LineList.at(0);
    const int linkX = s->LineX(line) + 4, below = line.LineY + line.Height();
    EXPECT_TRUE(beside.list.LinkAtPoint(beside.canvas, linkX, below - 1, target, control));
    EXPECT_FALSE(beside.list.LinkAtPoint(beside.canvas, linkX, below, target, control));
}

TEST(HitTests, ItemAtY) {
    Doc doc("<P>one<P>two<P>three");
    TSectionBase* item = doc.list.ItemAtY(TopOf(doc, "two") + 2);
    ASSERT_TRUE(item);
    EXPECT_LE(item->TopY, TopOf(doc, "two"));
    EXPECT_EQ(doc.list.ItemAtY(-5), nullptr);
}

// Placed blocks and negative margins put tops out of document order: the
// item found at a Y is still the one whose top is nearest at or above it.
TEST(HitTests, ItemAtYWithTopsOutOfOrder) {
    std::string html;
    for (int i = 0; i < 60; ++i) {
        html += "<P>p" + std::to_string(i);
        if (i % 7 == 3)
            html += "<DIV STYLE=\"position:absolute;top:" + std::to_string(i) + "px\">a</DIV>";
        if (i % 11 == 5) html += "<P STYLE=\"margin-top:-200px\">n";
        if (i % 13 == 2) html += "<P STYLE=\"position:relative;top:-300px\">r";
    }
    Doc doc(html);
    const auto& items = doc.list.PositionList;
    for (int y = -10; y < doc.result.Height; y += 37) {
        int expected = -1;
        for (int i = 0; i < static_cast<int>(items.size()); ++i)
            if (items[i]->TopY <= y && (expected < 0 || items[i]->TopY >= items[expected]->TopY))
                expected = i;
        EXPECT_EQ(doc.list.ItemAtY(y), expected < 0 ? nullptr : items[expected]) << y;
        EXPECT_EQ(ScrollPositionAt(doc.list, y).Item, expected + 1) << y;
        EXPECT_EQ(ScrollYOf(doc.list, ScrollPositionAt(doc.list, y)), y) << y;
    }
}

TEST(HitTests, NamedPositions) {
    Doc doc("<P>top<P>middle<P ID=para>with id<H2><A NAME=sec>Section</A></H2>");
    TAnchorTarget* sec = doc.list.IDs.Find("SEC");
    ASSERT_TRUE(sec);
    EXPECT_EQ(sec->YPosition(), TopOf(doc, "Section"));
    TAnchorTarget* para = doc.list.IDs.Find("para");
    ASSERT_TRUE(para);
    EXPECT_EQ(para->YPosition(), TopOf(doc, "with id"));
}

} // namespace
} // namespace lumo::test

// How text looks once style reaches it: decorations, alignment, indents,
// case and inline boxes, checked through layout positions and through
// pixels of pages painted with the installed fonts (large solid shapes, so
// anti-aliasing cannot blur the answer).
#include "tests/support/layout_fixture.h"

#include "platform/file_system.h"
#include "platform/qt_canvas.h"
#include "platform/qt_text.h"
#include "tests/support/corpus.h"

#include <QImage>

#include <gtest/gtest.h>

#include <algorithm>

namespace lumo::test {
namespace {

// A page laid out and painted with the installed fonts.
struct Picture {
    explicit Picture(const std::string& html, int width = 400, int height = 200)
        : image(width, height, QImage::Format_RGB32) {
        list.SetDefaults(TDefaultLook{});
        TLayoutSettings settings;
        settings.Width = width;
        result = BuildAndLayOut(list, html, measure, settings);
        image.fill(Qt::white);
        QtCanvas canvas(image);
        list.SetScrollY(0);
        list.PaintCell(canvas, {0, 0, width, height}, width, 0, 0);
    }
    bool IsRed(int x, int y) const {
        const QColor c = image.pixelColor(x, y);
        return c.red() > 200 && c.green() < 80 && c.blue() < 80;
    }
    // The runs of red rows in column x: each drawn line is one band.
    int RedBands(int x, int top, int bottom) const {
        int bands = 0;
        bool inBand = false;
        for (int y = top; y < bottom; ++y) {
            const bool red = IsRed(x, y);
            bands += red && !inBand;
            inBand = red;
        }
        return bands;
    }

    QImage scratch{8, 8, QImage::Format_RGB32};
    QtCanvas measure{scratch};
    TSectionList list{measure};
    QImage image;
    TLayoutResult result;
};

// Blank glyphs under a decoration, so only the lines are red.
TEST(TextDecoration, EachListedLineIsDrawn) {
    const struct {
        const char* value;
        int bands;
    } rows[] = {
        {"overline", 1}, {"underline overline", 2}, {"underline line-through overline", 3},
        {"none", 0},     {"blink underline", 1},
    };
    for (const auto& row : rows) {
        Picture page("<BODY STYLE=\"margin:0\"><DIV STYLE=\"font-size:60px;color:red;"
                     "text-decoration:" +
                     std::string(row.value) + "\">&nbsp;&nbsp;&nbsp;&nbsp;.</DIV>");
        EXPECT_EQ(page.RedBands(20, 0, 100), row.bands) << row.value;
    }
}

// An element's lines add to its ancestors'; none of its values takes theirs
// away, inside a link or not.
TEST(TextDecoration, LinesOfAncestorsReachTheText) {
    const struct {
        const char* html;
        bool under, over, through;
    } rows[] = {
        {"<U><S>x</S></U>", true, false, true},
        {"<U><SPAN STYLE='text-decoration: none'>x</SPAN></U>", true, false, false},
        {"<SPAN STYLE='text-decoration: overline'><I STYLE='text-decoration: underline'>x</I>"
         "</SPAN>",
         true, true, false},
        {"<U>a<S>b</U>x</S>", false, false, true},
        {"<U><A HREF=h STYLE='text-decoration: none'>x</A></U>", true, false, false},
        {"<STYLE>a { text-decoration: none }</STYLE><A HREF=h>x</A>", false, false, false},
        {"<A HREF=h><SPAN STYLE='text-decoration: none'>x</SPAN></A>", true, false, false},
        {"<S><A HREF=h>x</A></S>", true, false, true},
    };
    for (const auto& row : rows) {
        Doc doc(std::string("<P>") + row.html);
        const TFontRun* run = RunOf(doc.list, "x");
        ASSERT_TRUE(run) << row.html;
        const TFont& font = run->PlainFont();
        EXPECT_EQ(font.Underline, row.under) << row.html;
        EXPECT_EQ(font.Overline, row.over) << row.html;
        EXPECT_EQ(font.StrikeOut, row.through) << row.html;
    }
}

// A UTF-8 page is measured by its characters: Cyrillic letters as wide as
// their Latin twins break into the same lines although each takes two bytes,
// and every piece measures as Qt measures its characters.
TEST(Utf8Page, MeasuredAndBrokenByCharacters) {
    const std::string meta = "<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=utf-8\">";
    const std::string latin = "cope pace copy ace ape pea eco coy pop yea apex oca";
    const std::string cyrillic = "соре расе сору асе аре реа есо соу рор уеа арех оса";
    const auto charsPerLine = [](const Picture& page) {
        std::vector<int> counts;
        for (const TTextLine& line : All<TSection>(page.list)[0]->LineList)
            counts.push_back(
                static_cast<int>(QString::fromUtf8(All<TSection>(page.list)[0]->Text.substr(
                                                       line.Start, line.CharCount))
                                     .size()));
        return counts;
    };
    for (int width = 60; width < 400; width += 23) {
        const Picture a(meta + "<P>" + latin, width, 8), b(meta + "<P>" + cyrillic, width, 8);
        EXPECT_EQ(charsPerLine(a), charsPerLine(b)) << width;
    }
    Picture page(meta + "<P>Ωμέγα 中文字 😀 Привет", 400, 8);
    TSection* s = All<TSection>(page.list)[0];
    const TFont& font = s->Runs[0]->CurrentFont();
    QFont qfont(ToQString(font.Name));
    qfont.setPixelSize(PointsToPixels(font.Size));
    qfont.setKerning(false);
    qfont.setStyleStrategy(QFont::PreferNoShaping);
    const QFontMetrics metrics(qfont, &page.scratch);
    for (size_t start = 0, end; start < s->Text.size(); start = end + 1) {
        end = std::min(s->Text.find(' ', start), s->Text.size());
        const std::string word = s->Text.substr(start, end - start);
        EXPECT_EQ(s->MeasureRange(page.measure, static_cast<int>(start),
                                  static_cast<int>(word.size()), TSection::TTrailing::Keep),
                  metrics.horizontalAdvance(QString::fromUtf8(word)))
            << word;
    }
}

// Pages below are laid out with the recording canvas: 8-pixel characters,
// 16-pixel lines, 10 pixels of body margin on each side.

// The X of each line of the first section holding what.
std::vector<int> LineXs(const Doc& doc, std::string_view what) {
    std::vector<int> xs;
    if (const TSection* s = SectionWith(doc.list, what))
        for (const TTextLine& line : s->LineList)
            if (line.CharCount > 0) xs.push_back(s->LineX(line));
    return xs;
}

// Thirty characters of room. A floated block met after the text before goes
// at the top of that line when it fits beside it, else below it; the text
// after it runs on along the line while a word fits there.
TEST(FloatsMidLine, TakeTheLineTheyAreMetOn) {
    const struct {
        const char* before;
        const char* side;
        int floatDown; // rows below the line's top
        int beforeX, afterX, afterDown;
    } rows[] = {
        {"aa bb ", "right", 0, 10, 10 + 6 * 8, 0},
        {"aa bb ", "left", 0, 10 + 40, 10 + 40 + 6 * 8, 0},
        {"aaaaa aaaa aaaa aaaa aaaa ", "right", 16, 10, 10 + 26 * 8, 0},
        {"aaaaa aaaa aaaa aaaa aaaa ", "left", 16, 10, 10 + 26 * 8, 0},
        {"aaaaa aaaa aaaa aaaa aaaa aa ", "right", 16, 10, 10, 16},
    };
    for (const auto& row : rows) {
        Doc doc("<DIV>" + std::string(row.before) + "<P STYLE=\"float:" + row.side +
                    "; width: 40px; margin: 0\">F</P>cc dd</DIV>",
                20 + 30 * 8);
        const auto sections = All<TSection>(doc.list);
        ASSERT_EQ(sections.size(), 3u) << row.before << row.side;
        const TSection &before = *sections[0], &after = *sections[2];
        const TTextLine& line = before.LineList.back();
        const std::vector<TBlock*> floats = All<TBlock>(doc.list);
        ASSERT_EQ(floats.back()->FloatSide, std::string_view(row.side) == "left" ? ALeft : ARight);
        EXPECT_EQ(floats.back()->TopY - line.LineY, row.floatDown) << row.before << row.side;
        EXPECT_EQ(before.LineX(line), row.beforeX) << row.before << row.side;
        const TTextLine& next = *std::find_if(after.LineList.begin(), after.LineList.end(),
                                              [](const TTextLine& l) { return l.CharCount > 0; });
        EXPECT_EQ(after.LineX(next), row.afterX) << row.before << row.side;
        EXPECT_EQ(next.LineY - line.LineY, row.afterDown) << row.before << row.side;
        // A click on the text that ran on finds it, not the end of the text before.
        int xr = 0, yr = 0, height = 0;
        bool inText = false;
        EXPECT_EQ(
            doc.list.CursorAt(doc.canvas, row.afterX + 1, next.LineY + 2, xr, yr, height, inText),
            after.FirstPos)
            << row.before << row.side;
    }
}

TEST(InlineElements, PhraseElementsAreKnownAndStayInline) {
    constexpr TColor red = 0x0000FF;
    Doc doc("<STYLE>dfn, q, abbr, acronym { color: red }</STYLE>"
            "<P>a <DFN>b</DFN> <Q>c</Q> <ABBR>d</ABBR> <ACRONYM>e</ACRONYM> <INS>f</INS> "
            "<DEL>g</DEL> h");
    ASSERT_EQ(All<TSection>(doc.list).size(), 1u);
    for (const char* word : {"b", "c", "d", "e"})
        EXPECT_EQ(RunOf(doc.list, word)->PlainFont().Color, red) << word;
    const TFont& ins = RunOf(doc.list, "f")->PlainFont();
    const TFont& del = RunOf(doc.list, "g")->PlainFont();
    const TFont& after = RunOf(doc.list, "h")->PlainFont();
    EXPECT_TRUE(ins.Underline && !ins.StrikeOut);
    EXPECT_TRUE(del.StrikeOut && !del.Underline);
    EXPECT_FALSE(after.Underline || after.StrikeOut);
}

// Ten characters of room: "aa bb cc" leaves 16 pixels for its two spaces.
TEST(Justify, SpacesStretchOnAllButLastAndBrokenLines) {
    for (const char* open : {"<P ALIGN=JUSTIFY>", "<DIV STYLE=\"text-align: justify\">"}) {
        Doc doc(std::string(open) + "aa bb cc dd ee ff gg hh<BR>ii jj", 20 + 10 * 8);
        const TSection* s = SectionWith(doc.list, "aa");
        ASSERT_TRUE(s) << open;
        ASSERT_EQ(s->LineList.size(), 4u) << open;
        const int spreads[] = {16, 16, 0, 0}; // the line before BR and the last stay ragged
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(s->LineList[i].SpreadExtra, spreads[i]) << open << " line " << i;
        const std::string log = doc.Paint(0, 200, 100);
        EXPECT_NE(log.find("TEXT 42 "), std::string::npos) << log; // "bb " after 8 more
        EXPECT_NE(log.find("TEXT 74 "), std::string::npos) << log; // "cc" ends at 90
    }
}

TEST(Justify, CaretAndCopyFollowTheStretchedText) {
    Doc doc("<P ALIGN=JUSTIFY>aa bb cc dd", 20 + 10 * 8);
    TSection* s = SectionWith(doc.list, "aa");
    ASSERT_TRUE(s);
    int x = 0, y = 0;
    ASSERT_TRUE(s->CursorToPoint(&doc.canvas, s->FirstPos + 6, x, y)); // the first "c"
    EXPECT_EQ(x, 74);
    int xr = 0, yr = 0, height = 0;
    bool inText = false;
    const TTextLine& first = s->LineList[0];
    EXPECT_EQ(s->CursorAt(doc.canvas, 75, first.LineY + 2, xr, yr, height, inText),
              s->FirstPos + 6);
    EXPECT_EQ(s->CursorAt(doc.canvas, 45, first.LineY + 2, xr, yr, height, inText),
              s->FirstPos + 3);
    doc.list.SelStart = 0;
    doc.list.SelEnd = 1 << 20;
    EXPECT_EQ(doc.list.GetSelectedText(), "aa bb cc \r\ndd\r\n");
    EXPECT_EQ(doc.list.FindText(0, "cc dd", false), s->FirstPos + 6);
}

// With the installed fonts a word's width is not a whole number of pixels:
// the words of a justified line still end where the line does, not where
// their rounded widths one by one would take them.
TEST(Justify, WordsEndAtTheLinesEdgeInProportionalFonts) {
    std::string words;
    for (int i = 0; i < 60; ++i)
        words += "FAIL ";
    Picture page("<BODY STYLE=\"margin:0\"><DIV STYLE=\"width:300px; text-align:justify\">" +
                 words + "</DIV>");
    const TSection* s = SectionWith(page.list, "FAIL");
    ASSERT_TRUE(s);
    ASSERT_GT(s->LineList.size(), 3u);
    for (size_t i = 0; i + 1 < s->LineList.size(); ++i) {
        const TTextLine& line = s->LineList[i];
        int right = -1;
        for (int y = line.LineY; y < line.LineY + line.Height(); ++y)
            for (int x = 0; x < page.image.width(); ++x)
                if (qGray(page.image.pixel(x, y)) < 128) right = std::max(right, x);
        EXPECT_GE(right, 296) << "line " << i;
        EXPECT_LT(right, 300) << "line " << i;
    }
}

TEST(TextIndent, FirstLineOnly) {
    const struct {
        const char* style;
        int indent;
    } rows[] = {
        {"text-indent: 40px", 40}, {"text-indent: 0.25in", 24}, {"text-indent: 10%", 16},
        {"text-indent: 2em", 32},  {"text-indent: -8px", -8},   {"", 0},
    };
    for (const auto& row : rows) {
        Doc doc("<P STYLE=\"" + std::string(row.style) +
                    "\">aaaa bbbb cccc dddd eeee ffff gggg hhhh<BR>iiii",
                600);
        doc.LayOut(20 + 20 * 8);
        const std::vector<int> xs = LineXs(doc, "aaaa");
        ASSERT_GE(xs.size(), 3u) << row.style;
        EXPECT_EQ(xs[0], 10 + row.indent) << row.style;
        for (size_t i = 1; i < xs.size(); ++i)
            EXPECT_EQ(xs[i], 10) << row.style << " line " << i;
    }
    // A nested block's first line is its own first line; the text after it is not.
    Doc doc("<DIV STYLE=\"text-indent: 40px\">aaaa<P>bbbb</P>cccc</DIV>");
    for (const auto& [text, x] : {std::pair{"aaaa", 50}, {"bbbb", 50}, {"cccc", 10}})
        EXPECT_EQ(LineXs(doc, text), std::vector<int>{x}) << text;
}

// Each DIV's x stands 24 pixels in, whatever unit says so; a percentage is
// of the element's width; BR lines start at the margin.
TEST(TextIndent, CssTestPagesAtChosenPoints) {
    const std::string folder = CorpusPath("html") + "/css1-testsuite-html4/";
    LUMO_NEED_CORPUS(folder);
    auto page = ReadWholeFile(folder + "c547-indent-000.htm", 1 << 20);
    ASSERT_TRUE(page);
    Doc units(*page, 800);
    const auto sections = All<TSection>(units.list);
    ASSERT_EQ(sections.size(), 11u);
    for (int div : {2, 3, 4, 5, 6, 9}) // in, cm, mm, pt, pc, px
        EXPECT_EQ(sections[div]->LineX(sections[div]->LineList[0]), 10 + 24) << div;

    page = ReadWholeFile(folder + "c547-indent-001.htm", 1 << 20);
    ASSERT_TRUE(page);
    Doc relative(*page, 600);
    const std::vector<int> half = LineXs(relative, "The first line");
    ASSERT_GE(half.size(), 2u);
    EXPECT_EQ(half[0], 10 + 580 / 2);
    EXPECT_EQ(half[1], 10);
    const std::vector<int> em = LineXs(relative, "Only the first");
    ASSERT_GE(em.size(), 4u);
    EXPECT_EQ(em[0], 10 + 5 * 16); // the paragraph's own 12 pt font
    EXPECT_EQ(em[1], 10);
    EXPECT_EQ(em[3], 10);
    const std::vector<int> quarter = LineXs(relative, "X The X");
    ASSERT_FALSE(quarter.empty());
    EXPECT_NEAR(quarter[0], 10 + 145 / 2, 1); // half of a quarter of 580
}

TEST(TextTransform, DrawnTransformedFoundAsWritten) {
    const struct {
        const char* html;
        const char* drawn;
    } rows[] = {
        {"<P STYLE=\"text-transform: uppercase\">hello w\xF6rld", "HELLO W\xD6RLD"},
        {"<P STYLE=\"text-transform: lowercase\">HeLLo", "hello"},
        {"<P STYLE=\"text-transform: capitalize\">it's a (new) d\xE9j\xE0-vu",
         "It's A (New) D\xE9j\xE0-Vu"},
        {"<P>ab<SPAN STYLE=\"text-transform: uppercase\">cd</SPAN>ef", "ab"},
        {"<P>ab<SPAN STYLE=\"text-transform: uppercase\">cd</SPAN>ef", "CD"},
        {"<P>ab<SPAN STYLE=\"text-transform: uppercase\">cd</SPAN>ef", "ef"},
        {"<P>x<SPAN STYLE=\"text-transform: capitalize\">yz</SPAN> w", "yz"},
    };
    for (const auto& row : rows) {
        Doc doc(row.html);
        const std::string log = doc.Paint(0, 100);
        EXPECT_NE(log.find("\"" + std::string(row.drawn)), std::string::npos) << row.html << log;
    }
    Doc doc("<P STYLE=\"text-transform: uppercase\">hello world");
    doc.list.SelStart = 0;
    doc.list.SelEnd = 1 << 20;
    EXPECT_EQ(doc.list.GetSelectedText(), "hello world\r\n");
    EXPECT_EQ(doc.list.FindText(0, "world", true), 6);
}

// Pages in other single-byte code pages change case with the letter pairs
// the host gives (koi8-r keeps its small letters where Windows-1252 has capitals).
TEST(TextTransform, FollowsThePagesLetterPairs) {
    static const TLetterCases koi8 = [] {
        TLetterCases pairs;
        for (int b = 0; b < 256; ++b)
            pairs.Lower[b] = pairs.Upper[b] = static_cast<unsigned char>(b);
        for (int b = 0xC0; b < 0xE0; ++b) {
            pairs.Upper[b] = static_cast<unsigned char>(b + 0x20);
            pairs.Lower[b + 0x20] = static_cast<unsigned char>(b);
        }
        return pairs;
    }();
    Doc doc("");
    doc.list.LetterCasesOf = [](TCodePage) -> const TLetterCases& { return koi8; };
    doc.list.Reset();
    ParseHtmlBuffer(doc.list,
                    "<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=koi8-r\">"
                    "<P STYLE=\"text-transform: uppercase\">\xD0\xD2\xC9 <SPAN "
                    "STYLE=\"text-transform: lowercase\">\xF0\xF2</SPAN>",
                    {});
    doc.LayOut(600);
    const std::string log = doc.Paint(0, 100);
    EXPECT_NE(log.find("\"\xF0\xF2\xE9"), std::string::npos) << log; // "ПРИ"
    EXPECT_NE(log.find("\"\xD0\xD2"), std::string::npos) << log;     // "пр"
}

// With real fonts an upper-cased word takes the room of the capitals.
TEST(TextTransform, MeasuredAsDrawn) {
    auto endOfWord = [](const std::string& html) {
        Picture page(html);
        TSection* s = SectionWith(page.list, ".");
        int x = 0, y = 0;
        EXPECT_TRUE(s && s->CursorToPoint(&page.measure, s->FirstPos + 8, x, y));
        return x;
    };
    const int transformed = endOfWord("<P STYLE=\"text-transform: uppercase\">mmmmmmmm.");
    EXPECT_EQ(transformed, endOfWord("<P>MMMMMMMM."));
    EXPECT_NE(transformed, endOfWord("<P>mmmmmmmm."));
}

// Seven characters of room: the SPAN's box has its left side on the first
// line and its right side on the second; padding and borders lie around
// each part's text (ascent 13, descent 3) and push it along the line.
TEST(InlineBoxes, BordersAndPaddingAroundEachLinePart) {
    Doc doc("<P>ab <SPAN STYLE=\"border: 2px solid red; padding: 3px; background: yellow\">"
            "cd ef</SPAN> gh",
            20 + 7 * 8);
    const TSection* s = SectionWith(doc.list, "ab");
    ASSERT_TRUE(s);
    ASSERT_EQ(s->LineList.size(), 2u);
    const std::string log = doc.Paint(0, 200, 100);
    const int top0 = s->LineList[0].LineY, top1 = s->LineList[1].LineY;
    auto fill = [](int l, int t, int r, int b) {
        return "FILL " + std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(r) +
               " " + std::to_string(b);
    };
    const std::string want[] = {
        fill(36, top0 - 3, 55, top0 + 16 + 3),     // padding of "cd" (yellow)
        fill(34, top0 - 5, 55, top0 - 3),          // top side, no right side here
        fill(34, top0 - 3, 36, top0 + 16 + 3),     // left side
        fill(10, top1 - 3, 29, top1 + 16 + 3),     // padding of "ef"
        fill(29, top1 - 3, 31, top1 + 16 + 3),     // right side, no left side here
        fill(10, top1 + 16 + 3, 31, top1 + 16 + 5) // bottom side
    };
    for (const std::string& rect : want)
        EXPECT_NE(log.find(rect), std::string::npos) << rect << "\n" << log;
    EXPECT_EQ(log.find(fill(8, top1 - 3, 10, top1 + 16 + 3)), std::string::npos) << log;
}

// Margins, borders and padding of inline elements push the text after them
// along; a side whose style is none takes no room.
TEST(InlineBoxes, SidesTakeRoomOnTheLine) {
    const struct {
        const char* open;
        const char* close;
        int cd, ef; // X where each is drawn
    } rows[] = {
        {"<SPAN STYLE=\"padding: 0 16px\">", "</SPAN>", 50, 82},
        {"<A HREF=x STYLE=\"border: 4px dashed red; margin-left: 8px\">", "</A>", 46, 66},
        {"<FONT COLOR=red STYLE=\"padding-left: 8px; border-left: 2px groove\">", "</FONT>", 44,
         60},
        {"<SPAN STYLE=\"border: 4px none red\">", "</SPAN>", 34, 50},
        {"<B STYLE=\"margin: 0 -8px\">", "</B>", 34, 52}, // bold glyphs are 9 wide
    };
    for (const auto& row : rows) {
        Doc doc(std::string("<P>ab ") + row.open + "cd" + row.close + " ef");
        const std::string log = doc.Paint(0, 100);
        for (const auto& [text, x] : {std::pair{"cd", row.cd}, {" ef", row.ef}})
            EXPECT_NE(log.find("TEXT " + std::to_string(x) + " "), std::string::npos)
                << row.open << text << "\n"
                << log;
    }
    // Eight characters fit the room, but not with the padding around "cd".
    Doc doc("<P>ab <SPAN STYLE=\"padding: 0 8px\">cd</SPAN> ef", 20 + 8 * 8);
    const TSection* s = SectionWith(doc.list, "ab");
    ASSERT_TRUE(s);
    EXPECT_EQ(s->LineList.size(), 2u);
}

// A box ends with its element; one left open goes on into the next
// paragraph, as the element's style does, without a left side there.
TEST(InlineBoxes, PartsFollowTheElement) {
    Doc closed("<P>ab <SPAN STYLE=\"border: 1px solid red\">cd</SPAN> ef<P><B><I>gh</I></B>");
    auto sections = All<TSection>(closed.list);
    ASSERT_EQ(sections.size(), 2u);
    ASSERT_EQ(sections[0]->InlineBoxes.size(), 1u);
    EXPECT_EQ(sections[0]->InlineBoxes[0].Start, 3);
    EXPECT_EQ(sections[0]->InlineBoxes[0].End, 5);
    EXPECT_TRUE(sections[1]->InlineBoxes.empty());

    Doc open("<P>ab <SPAN STYLE=\"border: 1px solid red\">cd<P>ef</SPAN> gh");
    sections = All<TSection>(open.list);
    ASSERT_EQ(sections.size(), 2u);
    ASSERT_EQ(sections[0]->InlineBoxes.size(), 1u);
    ASSERT_EQ(sections[1]->InlineBoxes.size(), 1u);
    const TInlineBox &first = sections[0]->InlineBoxes[0], &rest = sections[1]->InlineBoxes[0];
    EXPECT_EQ(first.Start, 3);
    EXPECT_EQ(first.Border[1], 0); // no right side before the break
    EXPECT_EQ(first.Border[3], 1);
    EXPECT_EQ(rest.Start, 0);
    EXPECT_EQ(rest.End, 2);
    EXPECT_EQ(rest.Border[1], 1);
    EXPECT_EQ(rest.Border[3], 0);
}

TEST(InlineBoxes, PaintedWithRealFonts) {
    // Blank glyphs before the box, which takes no room of its own.
    Picture page("<DIV STYLE=\"font-size:40px\">ab&nbsp;&nbsp;&nbsp;&nbsp;<SPAN STYLE=\"border: "
                 "6px solid red; "
                 "padding: 10px; background: yellow\">cd</SPAN></DIV>");
    TSection* s = SectionWith(page.list, "cd");
    ASSERT_TRUE(s);
    int x = 0, y = 0;
    ASSERT_TRUE(s->CursorToPoint(&page.measure, s->FirstPos + 6, x, y));
    const TTextLine& line = s->LineList[0];
    const int middle = line.LineY + line.Height() / 2;
    EXPECT_TRUE(page.IsRed(x - 10 - 3, middle));                 // the left side
    EXPECT_EQ(page.image.pixelColor(x - 5, middle), Qt::yellow); // padding
    EXPECT_FALSE(page.IsRed(x - 10 - 6 - 3, middle));            // outside the box
}

} // namespace
} // namespace lumo::test

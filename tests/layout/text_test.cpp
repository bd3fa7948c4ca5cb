// Text sections: white space on input, line breaking, NOBR, find, copy,
// source positions and long pre-formatted lines.
#include "tests/support/layout_fixture.h"

#include "layout/preformatted_section.h"
#include "platform/utf8.h"

#include <gtest/gtest.h>

namespace lumo::test {
namespace {

std::string Lines(const TSection& s) {
    std::string out;
    for (const TTextLine& line : s.LineList)
        out += "[" + s.Text.substr(line.Start, line.CharCount) + "]";
    return out;
}

TEST(TextInput, WhiteSpaceAndBreaks) {
    const struct {
        const char* html;
        const char* text;
    } rows[] = {
        {"a <B> b</B>", "a b"},          {"a <BR> b", "a\010b"},
        {"a<BR><BR>b", "a\010\010b"},    {"<NOBR>a b  c</NOBR>", "a\240b\240c"},
        {"<NOBR> lead</NOBR>", "lead"},  {"x &nbsp;y", "x \xA0y"},
        {"<NOBR>a<WBR>b</NOBR>", "a b"}, {"a<WBR>b", "ab"},
    };
    for (const auto& row : rows) {
        Doc doc(std::string("<P>") + row.html);
        auto sections = All<TSection>(doc.list);
        ASSERT_FALSE(sections.empty()) << row.html;
        EXPECT_EQ(sections[0]->Text, row.text) << row.html;
    }
}

TEST(LineBreaking, Rows) {
    const struct {
        const char* html;
        int width;
        const char* lines;
    } rows[] = {
        // 8-pixel characters; 20 pixels of body margin.
        {"aaa bbb ccc", 20 + 7 * 8, "[aaa bbb ][ccc]"},
        {"aaa bbb ccc", 20 + 8 * 8, "[aaa bbb ][ccc]"},
        {"aaa<BR>bbb", 600, "[aaa\x08][bbb]"},
        {"averyveryverylongword tail", 20 + 5 * 8, "[averyveryverylongword ][tail]"},
        {"<NOBR>never break these words</NOBR>", 20 + 5 * 8, "[never\240break\240these\240words]"},
        {"one  two", 20 + 4 * 8, "[one ][two]"},
    };
    for (const auto& row : rows) {
        Doc doc(std::string("<P>") + row.html, row.width);
        TSection* s = All<TSection>(doc.list)[0];
        EXPECT_EQ(Lines(*s), row.lines) << row.html << " at " << row.width;
    }
    // A word longer than the line widens the scroll width.
    Doc wide("<P>averyveryverylongword", 100);
    EXPECT_GE(wide.result.ScrollWidth, 10 + 21 * 8);
}

TEST(Find, CaseAndLength) {
    Doc doc("<P>Hello WORLD here<P>second World");
    const struct {
        const char* text;
        bool matchCase;
        int from, pos;
    } rows[] = {
        {"world", false, 0, 6},  {"world", true, 0, -1}, {"WORLD", true, 0, 6},
        {"world", false, 7, 23}, {"hello", false, 0, 0}, {"nowhere", false, 0, -1},
        {"d h", false, 0, 10},   {"World", true, 0, 23},
    };
    for (const auto& row : rows)
        EXPECT_EQ(doc.list.FindText(row.from, row.text, row.matchCase), row.pos) << row.text;
    // Only the first 255 characters of a long search text are compared.
    std::string body(300, 'q');
    Doc longDoc("<P>" + body);
    EXPECT_EQ(longDoc.list.FindText(0, std::string(255, 'q') + "zzz", false), 0);
}

TEST(Copy, SelectionTextWithLineBreaksAndIndents) {
    Doc doc("<P>first line<BR>second<UL><LI>item text</UL>");
    doc.list.SelStart = 0;
    doc.list.SelEnd = 10000;
    // List items sit 35 pixels in: three spaces.
    EXPECT_EQ(doc.list.GetSelectedText(), "first line\r\nsecond\r\n   item text\r\n");
    doc.list.SelStart = 6;
    doc.list.SelEnd = 13;
    EXPECT_EQ(doc.list.GetSelectedText(), "line\r\nse");
}

// A line left of the body's text column asks for no spaces at all.
TEST(Copy, NegativeIndentGivesNoSpaces) {
    Doc doc("<DIV STYLE=\"margin-left: -200px\">far left</DIV><P ALIGN=center>"
            "centred but too wide to centre at all for this width");
    doc.list.SelStart = 0;
    doc.list.SelEnd = 10000;
    std::string text = doc.list.GetSelectedText();
    EXPECT_EQ(text.rfind("far left\r\n", 0), 0u) << text;
}

TEST(SourcePositions, MapBothWays) {
    const std::string html = "<P>ab <B>cd</B>";
    Doc doc(html);
    TSection* s = All<TSection>(doc.list)[0];
    ASSERT_EQ(s->Text, "ab cd");
    EXPECT_EQ(doc.list.SourceOfDocPos(0), static_cast<int>(html.find('a')));
    EXPECT_EQ(doc.list.SourceOfDocPos(3), static_cast<int>(html.find('c')));
    EXPECT_EQ(doc.list.DocPosOfSource(static_cast<int>(html.find('d')), TBetween::Next), 4);
    // Inside the <B> tag: before or after the gap.
    const int tag = static_cast<int>(html.find("<B>")) + 1;
    EXPECT_EQ(doc.list.DocPosOfSource(tag, TBetween::Previous), 2);
    EXPECT_EQ(doc.list.DocPosOfSource(tag, TBetween::Next), 3);
    char ch = 0;
    TSectionBase* obj = nullptr;
    ASSERT_TRUE(doc.list.CharAt(4, ch, obj));
    EXPECT_EQ(ch, 'd');
    EXPECT_EQ(obj, s);
}

// Pages declared UTF-8 keep their bytes; every count below is of whole
// characters, 8 pixels each on the recording canvas.
constexpr const char* Utf8Page =
    "<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=utf-8\">";

TEST(Utf8Text, InputBreaksAndLines) {
    const struct {
        const char* html;
        int width;
        const char* text;
        const char* lines;
    } rows[] = {
        // A forced break never takes the last byte of a letter for a space.
        {"Р<BR>à<BR>b", 600, "Р\bà\bb", "[Р\b][à\b][b]"},
        {"<NOBR>ж ж</NOBR>", 600, "ж\xC2\xA0ж", "[ж\xC2\xA0ж]"},
        {"ж&nbsp;<BR>ж", 600, "ж\bж", "[ж\b][ж]"},
        // Two-byte letters break where one-byte ones do at the same width.
        {"жжж жжж жжж", 20 + 7 * 8, "жжж жжж жжж", "[жжж жжж ][жжж]"},
        {"中中 😀😀 中", 20 + 5 * 8, "中中 😀😀 中", "[中中 😀😀 ][中]"},
        // Narrower than one letter: the word still takes a line whole.
        {"жж ж", 20 + 3, "жж ж", "[жж ][ж]"},
    };
    for (const auto& row : rows) {
        Doc doc(std::string(Utf8Page) + "<P>" + row.html, row.width);
        TSection* s = All<TSection>(doc.list)[0];
        EXPECT_EQ(s->Text, row.text) << row.html;
        EXPECT_EQ(Lines(*s), row.lines) << row.html;
    }
}

// Wherever the pointer is, the caret lands between two characters. Text
// read before a META that names the code page (one in a table's cell counts
// while the table is the body's first content) keeps fonts that measure it
// byte by byte.
TEST(Utf8Text, HitTestsLandBetweenCharacters) {
    const std::string text = "<P>aЖ中😀b жж<P ALIGN=justify>жж жжжж жж жжж жж жжжж";
    for (const std::string& html : {std::string(Utf8Page) + text,
                                    "<TABLE><TR><TD>" + text + "<TD>" + Utf8Page + "</TABLE>"}) {
        Doc doc(html, 150);
        ASSERT_EQ(doc.list.CodePage, TCodePage::Utf8);
        for (TSection* s : All<TSection>(doc.list))
            for (const TTextLine& line : s->LineList)
                for (int x = s->LineX(line); x < s->LineX(line) + line.LineRoom; ++x) {
                    int xr = 0, yr = 0, height = 0;
                    bool inText = false;
                    const int pos =
                        doc.list.CursorAt(doc.canvas, x, line.LineY + 1, xr, yr, height, inText) -
                        s->FirstPos;
                    ASSERT_GE(pos, 0) << x;
                    EXPECT_EQ(Utf8CharStart(s->Text, static_cast<size_t>(pos)),
                              static_cast<size_t>(pos))
                        << s->Text << " at " << x;
                }
    }
}

TEST(Utf8Text, FindAndCopy) {
    Doc doc(std::string(Utf8Page) +
            "<P>Привет МИР, Ωμέγα<P>мир &#x416;&eacute;&euro;&#150;&#x1F600;");
    const struct {
        const char* text;
        bool matchCase;
        int from, pos;
    } rows[] = {
        {"мир", false, 0, 13},   {"мир", true, 0, 31},   {"ПРИВЕТ", false, 0, 0},
        {"ωΜΈΓΑ", false, 0, 21}, {"мир", false, 14, 31}, {"Щ", false, 0, -1},
        {"жé€–😀", false, 0, 38}, {"Мир", true, 0, -1},
    };
    for (const auto& row : rows)
        EXPECT_EQ(doc.list.FindText(row.from, row.text, row.matchCase), row.pos) << row.text;
    doc.list.SelStart = 0;
    doc.list.SelEnd = 10000;
    EXPECT_EQ(doc.list.GetSelectedText(), "Привет МИР, Ωμέγα\r\nмир Жé€–😀\r\n");
    // A buffer too small for the next character ends before it.
    EXPECT_EQ(doc.list.GetSelectedText(5), "Пр");
    EXPECT_EQ(doc.list.GetSelectedText(6), "При");
}

// Text transforms change ASCII letters only: the others could change length.
TEST(Utf8Text, LetterCaseKeepsCharactersWhole) {
    Doc doc(std::string(Utf8Page) + "<P STYLE=\"text-transform:uppercase\">жar à");
    TSection* s = All<TSection>(doc.list)[0];
    EXPECT_EQ(s->Glyphs(), "жAR à");
}

// Long pre-formatted text is kept whole.
TEST(Preformatted, LongLinesAreKept) {
    std::string line;
    for (int i = 0; i < 6000; ++i)
        line += "word ";
    Doc doc("<PRE>" + line + "</PRE>");
    int total = 0;
    for (TSection* s : All<TSection>(doc.list))
        total += static_cast<int>(s->Text.size());
    EXPECT_EQ(total, static_cast<int>(line.size()));
    doc.Paint(0, 2000);
}

// A listing line breaks at a space only past 32,000 pixels (6 pixels a
// character here): 5,333 characters fit, 5,334 do not.
TEST(Preformatted, LinesBreakOnlyPastTheWidestLine) {
    for (const size_t chars : {5333u, 5334u}) {
        Doc doc("<PRE>" + std::string(chars - 2, 'x') + " y</PRE>");
        const auto lines = All<TPreformattedSection>(doc.list);
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0]->LineList.size(), chars == 5333 ? 1u : 2u) << chars;
    }
}

TEST(Preformatted, EmptyLinesKeepTheirHeight) {
    Doc doc("<PRE>\na\n\nb</PRE>");
    auto lines = All<TPreformattedSection>(doc.list);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0]->Text, "");
    EXPECT_EQ(lines[2]->FlowHeight, 10);
    EXPECT_EQ(lines[3]->Text, "b");
}

TEST(Paint, SelectionAndScripts) {
    Doc doc("<P>ab<SUB>c</SUB><SUP>d</SUP>");
    doc.canvas.LogState = true;
    doc.list.SelStart = 1;
    doc.list.SelEnd = 2;
    std::string log = doc.Paint(0, 100);
    EXPECT_NE(log.find("BKMODE opaque"), std::string::npos);
    EXPECT_NE(log.find("TEXT 10 32 \"a\""), std::string::npos) << log;
    EXPECT_NE(log.find("TEXT 18 32 \"b\""), std::string::npos) << log;
    // Subscript lower, superscript higher than the baseline at 32.
    EXPECT_NE(log.find("TEXT 26 34 \"c\""), std::string::npos) << log;
    EXPECT_NE(log.find("TEXT 32 28 \"d\""), std::string::npos) << log;
}

} // namespace
} // namespace lumo::test

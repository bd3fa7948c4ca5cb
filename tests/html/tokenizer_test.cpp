#include "html/properties.h"
#include "html/token_dump.h"
#include "html/tokenizer.h"
#include "platform/text.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace lumo {
namespace {

// The text of every text token of a document, joined.
std::string TextOf(std::string_view document, bool inPre = false, bool noBreak = false,
                   TCodePage page = TCodePage::Windows1252) {
    HtmlTokenizer t;
    t.Begin(document);
    t.CodePage = page;
    t.InPre = inPre;
    t.NoBreak = noBreak;
    t.ReadNextChar();
    std::string text;
    for (t.NextToken(); t.CurTok != EofTok; t.NextToken())
        if (t.CurTok == TextTok) text += t.Token.S;
    return text;
}

// The dump lines of a document without its final EofTok line.
std::string Dump(std::string_view document) {
    std::string dump = DumpTokens(document);
    if (dump.ends_with("EofTok\n")) dump.resize(dump.size() - 7);
    return dump;
}

struct Row {
    std::string_view input;
    std::string_view expected;
};

TEST(Tokenizer, LineEndsFoldToOneCarriageReturn) {
    const Row rows[] = {
        {"a\r\nb", "a\rb"},   {"a\n\rb", "a\rb"},       {"a\nb", "a\rb"},
        {"a\rb", "a\rb"},     {"a\r\n\r\nb", "a\r\rb"}, {"a\n\nb", "a\r\rb"},
        {"a\r\rb", "a\r\rb"}, {"a\tb", "a b"},          {"a\r\n", "a\r"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TextOf(row.input, true), row.expected) << row.input;
}

TEST(Tokenizer, WhiteSpaceCollapsesOutsidePre) {
    const Row rows[] = {
        {"a   b", "a b"},
        {"a \r\n\t b", "a b"},
        {"  lead", " lead"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TextOf(row.input), row.expected) << row.input;
    EXPECT_EQ(TextOf("a   b", false, true), "a\005b");
    EXPECT_EQ(TextOf("a   b", true), "a   b");
}

TEST(Tokenizer, EntitiesDecodeIntoCodePageBytes) {
    const Row rows[] = {
        {"&amp;", "&"},
        {"&amp", "&"},
        {"&AMP;", "&AMP;"},
        {"&lt;&gt;&quot;", "<>\""},
        {"&rsquo;&ndash;", "\x92\x96"},
        {"&trade;", "\x99"},
        {"&hellip;", "\x85"},
        {"&nbsp;", "\xA0"},
        {"&copy;", "\xA9"},
        {"&AElig;&aelig;", "\xC6\xE6"},
        {"&yuml;", "\xFF"},
        {"&#65;", "A"},
        {"&#65", "A"},
        {"&#00065;", "A"},            // five digits are the most read
        {"&#123456;", "&#123456;"},   // a sixth makes it literal
        {"&#0000065;", "&#0000065;"}, // and so does a seventh
        {"&#1234567;", "&#1234567;"},
        {"&#9;", " "},
        {"&#32;", " "},
        {"&#255;", "\xFF"},
        {"&#150;", "\x96"},
        {"&#8364;", "\x80"},
        {"&#8482;", "\x99"},
        {"&#1046;", "?"},
        {"&#;", "&#;"},
        {"&unknown;", "&unknown;"},
        {"&toolong;", "&toolong;"},
        {"&thetasymx;", "&thetasymx;"}, // a ninth letter makes it literal
        {"& x", "& x"},
        {"&;", "&;"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TextOf(row.input), row.expected) << row.input;
}

// The names HTML 4 added go to their code page byte, or '?' where it has
// none; they need their ';' so query strings in links survive.
TEST(Tokenizer, Html4EntitiesAndHexReferences) {
    const Row rows[] = {
        {"&mdash;&ndash;&lsquo;&rsquo;&ldquo;&rdquo;", "\x97\x96\x91\x92\x93\x94"},
        {"&bull;&hellip;&euro;&trade;&dagger;&permil;", "\x95\x85\x80\x99\x86\x89"},
        {"&OElig;&scaron;&Yuml;&fnof;&circ;&tilde;", "\x8C\x9A\x9F\x83\x88\x98"},
        {"&rarr;&alpha;&thetasym;&hearts;", "????"},
        {"&Thetasym;", "&Thetasym;"},
        {"?a=1&lang=en&sub=2", "?a=1&lang=en&sub=2"},
        {"&mdash &euro", "&mdash &euro"},
        {"&copy 1997 &hellip", "\xA9 1997 \x85"},
        {"&#x2014;&#X2014;&#x41;&#xe9", "\227\227A\xE9"},
        {"&#x0041;&#x1F600;", "A?"},
        {"&#x000041;", "&#x000041;"}, // a sixth hex digit makes it literal
        {"&#x;&#xg;", "&#x;&#xg;"},
        {"&#x8;&#x5;&#xD800;", "&#x8;&#x5;?"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TextOf(row.input), row.expected) << row.input;
}

// A UTF-8 page gets the UTF-8 bytes of every character a reference names;
// 128 to 159 are the characters Windows-1252 has there, as pages meant them.
TEST(Tokenizer, ReferencesInAUtf8PageBecomeUtf8) {
    const Row rows[] = {
        {"&eacute;&#x416;&euro;&#8364;", "éЖ€€"},
        {"&#150;&#128;&#x1F600;&#233;", "–€😀é"},
        {"&nbsp;&copy 1997&hellip", "\u00A0© 1997…"},
        {"&rarr;&alpha;&hearts;", "→α♥"},
        {"&#xD800;&#57343;", "\uFFFD\uFFFD"},
        {"&#8;&#2;&#65;&amp;", "&#8;&#2;A&"},
        {"Жx&#123456;", "Жx&#123456;"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TextOf(row.input, false, false, TCodePage::Utf8), row.expected) << row.input;
}

// Numeric entities that would give NUL, a placeholder byte of the layout or a
// character the code page cannot hold never put such bytes into text.
TEST(Tokenizer, EntitiesNeverInjectPlaceholders) {
    const Row rows[] = {
        {"&#0;", "&#0;"},  {"&#2;", "&#2;"},   {"&#4;", "&#4;"},  {"&#5;", "&#5;"},
        {"&#8;", "&#8;"},  {"&#31;", "&#31;"}, {"&#65538;", "?"}, {"&#65600;", "?"},
        {"&#99999;", "?"}, {"&#55357;", "?"},  {"&#57343;", "?"}, {"&#10;", "\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TextOf(row.input), row.expected) << row.input;
}

TEST(Tokenizer, RawPlaceholderBytesBecomeQuestionMarks) {
    // Octal escapes, so the letter after each is not read as a hex digit.
    const Row rows[] = {
        {std::string_view("a\0b", 3), "a?b"},
        {"a\002b", "a?b"},
        {"a\004b", "a?b"},
        {"a\005b", "a?b"},
        {"a\006\007b", "a??b"},
        {"a\010b", "a?b"},
        {"a\001b", "ab"},
        {"a\037b", "ab"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(TextOf(row.input), row.expected) << row.input;
    EXPECT_EQ(TextOf(std::string_view("<pre>a\0\x02", 8), true), "a??");
}

TEST(Tokenizer, EntityPositionsPointAtTheAmpersand) {
    EXPECT_EQ(Dump("x&hellip;y"), "TextTok \"x\" @0\nTextTok \"\\x85\" @1\nTextTok \"y\" @9\n");
    EXPECT_EQ(Dump("&bogus;"), "TextTok \"&bogus;\" @0-6\n");
}

TEST(Tokenizer, AttributeValueForms) {
    const Row rows[] = {
        {"<img border>", "ImageTok @0 BorderTok=\"\"=1\n"},
        {"<td width=\"75%\">", "TDTok @0 WidthTok=\"75%\"=75\n"},
        {"<img width=50%>", "ImageTok @0 WidthTok=\"50%\"=50\n"},
        {"<img width=50 %>", "ImageTok @0 WidthTok=\"50%\"=50\n"},
        {"<font size=+2>", "FontTok @0 SizeTok=\"+2\"=2\n"},
        {"<font size=-1>", "FontTok @0 SizeTok=\"-1\"=-1\n"},
        {"<input value='it''s'>", "InputTok @0 ValueTok=\"it\"\n"},
        {"<a href=\"a\r\nb.htm\">", "ATok @0 HrefTok=\"ab.htm\"\n"},
        {"<a href=\"?a=1&amp;b=2\">", "ATok @0 HrefTok=\"?a=1&b=2\"\n"},
        {"<a href=x.htm?a=1&b=2>", "ATok @0 HrefTok=\"x.htm?a=1&b=2\"\n"},
        {"<a NAME = \"x\" >", "ATok @0 NameTok=\"x\"\n"},
        {"<p data-x=1 id=A>", "PTok @0 UnknownAttrTok=\"1\"=1 IDTok=\"A\"\n"},
        {"<input value=\"1\" value=\"2\">", "InputTok @0 ValueTok=\"1\"=1 ValueTok=\"2\"=2\n"},
        {"<img width=\"12.5\">", "ImageTok @0 WidthTok=\"12.5\"=13\n"},
        {"<img width=\"abc\">", "ImageTok @0 WidthTok=\"abc\"\n"},
        {"<img width=\"0.833\">", "ImageTok @0 WidthTok=\"0.833\"=1\n"},
        // Huge and non-finite numbers saturate.
        {"<img width=1e10>", "ImageTok @0 WidthTok=\"1e10\"=1000000\n"},
        {"<img width=\"inf\">", "ImageTok @0 WidthTok=\"inf\"=1000000\n"},
        {"<img width=99999999999>", "ImageTok @0 WidthTok=\"99999999999\"=1000000\n"},
        {"<img width=-99999999999>", "ImageTok @0 WidthTok=\"-99999999999\"=-1000000\n"},
        {"<img width=\"1e999\">", "ImageTok @0 WidthTok=\"1e999\"=1000000\n"},
        {"<img width=\"nan\">", "ImageTok @0 WidthTok=\"nan\"\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Dump(row.input), row.expected) << row.input;
}

TEST(Tokenizer, TagsAndStrayLessThan) {
    const Row rows[] = {
        {"a < b", "TextTok \"a \" @0-1\nTextTok \"<\" @2\nTextTok \" b\" @3-4\n"},
        {"</BR></FOO>", "CommandTok @0\nCommandTok @5\n"},
        {"<H7>", "HeadingTok @0\n"},
        {"<H3 ALIGN=center>", "HeadingTok h3 @0 AlignTok=\"center\"\n"},
        {"</h2>", "HeadingEndTok h2 @0\n"},
        {"<TABLE2>", "TableTok @0\n"},
        {"<blink>", "CommandTok @0\n"},
        {"</li>", "CommandTok @0\n"},
        {"<!DOCTYPE html>x", "TextTok \"x\" @15\n"},
        {"<!---->x", "TextTok \"x\" @7\n"},
        {"<!-- x -- y -->z", "TextTok \"z\" @15\n"},
        {"<!-- a --\r\n >b", "TextTok \"b\" @13\n"},
        {"<!--a--><!--b-->c", "TextTok \"c\" @16\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Dump(row.input), row.expected) << row.input;
}

TEST(Tokenizer, LongTextArrivesInPiecesOfAHundred) {
    const struct {
        size_t length;
        std::vector<size_t> pieces;
    } rows[] = {{99, {99}}, {100, {100}}, {101, {100, 1}}, {250, {100, 100, 50}}};
    for (const auto& row : rows) {
        HtmlTokenizer t;
        const std::string text(row.length, 'x');
        t.Begin(text);
        t.ReadNextChar();
        std::vector<size_t> sizes;
        for (t.NextToken(); t.CurTok == TextTok; t.NextToken())
            sizes.push_back(t.Token.S.size());
        EXPECT_EQ(sizes, row.pieces) << row.length;
    }
}

// Names longer than the 255 letters kept are read to their end: what
// follows is still the tag's attributes and the text after it.
TEST(Tokenizer, OverlongNamesAreReadWhole) {
    for (const size_t length : {255u, 256u, 5000u}) {
        const std::string name(length, 'q');
        EXPECT_EQ(Dump("<" + name + ">x"),
                  "CommandTok @0\nTextTok \"x\" @" + std::to_string(length + 2) + "\n")
            << length;
        EXPECT_EQ(Dump("<A " + name + "=1 HREF=h>"),
                  "ATok @0 UnknownAttrTok=\"1\"=1 HrefTok=\"h\"\n")
            << length;
    }
}

TEST(Tokenizer, ScriptEndsOnlyAtItsExactEndTag) {
    const Row rows[] = {
        {"<script>a</script>",
         "ScriptTok @0\nTextTok \"a\" @8\nScriptEndTok \"</script>\" @9-17\n"},
        {"<script>a</SCRIPT>",
         "ScriptTok @0\nTextTok \"a\" @8\nScriptEndTok \"</SCRIPT>\" @9-17\n"},
        {"<script></script >x",
         "ScriptTok @0\nCommandTok \"</script\" @8-15\nTextTok \" >x\" @16-18\n"},
        {"<script>x <!-- y",
         "ScriptTok @0\nTextTok \"x \" @8-9\nCommandTok \"<\" @10\nTextTok \"!-- y\" @11-15\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Dump(row.input), row.expected) << row.input;
}

// Readers that run to an end tag or a ">" stop at the end of the input.
TEST(Tokenizer, ReadersStopAtEndOfInput) {
    const Row rows[] = {
        {"<textarea>x <b", "TextAreaTok @0\nTextTok \"x \" @10-11\nCommandTok \"<b\" @12-13\n"},
        {"<script>x <", "ScriptTok @0\nTextTok \"x \" @8-9\nCommandTok \"<\" @10\n"},
        {"<a href=\"open", "ATok @0 HrefTok=\"open\"\n"},
        {"<a href=x", "ATok @0 HrefTok=\"x\"\n"},
        {"<table", "TableTok @0\n"},
        {"<style>p { color: red", "StyleTok @0\nStyleSheet 1 rules\n"},
        {"<style>@media screen { p {", "StyleTok @0\nStyleSheet 0 rules\n"},
        {"<!-- open", "ERROR Open Comment at End of HTML File\n"},
        {"<!DOCTYPE", "ERROR Open Comment at End of HTML File\n"},
        {"x<!", "ERROR Open Comment at End of HTML File\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(Dump(row.input), row.expected) << row.input;
}

TEST(Tokenizer, TextAreaTokensAreBounded) {
    HtmlTokenizer t;
    std::string input = "<" + std::string(100000, 'a');
    t.Begin(input);
    t.ReadNextChar();
    int tokens = 0;
    for (t.NextTextAreaToken(); t.CurTok != EofTok; t.NextTextAreaToken()) {
        EXPECT_LE(t.Token.S.size(), 100u);
        ASSERT_LT(++tokens, 2000);
    }
}

TEST(Tokenizer, IncludeDirectiveSplicesHostText) {
    HtmlTokenizer t;
    std::string command;
    std::vector<std::string> params;
    t.OnInclude = [&](TViewerBase*, const std::string& cmd, std::vector<std::string> p,
                      std::string& buffer) {
        command = cmd;
        params = std::move(p);
        buffer = "IN<b>C</b>";
    };
    const std::string doc = "a<!--#include file=\"x.htm\" virtual=y -->z";
    t.Begin(doc);
    t.ReadNextChar();
    std::string dump;
    for (t.NextToken(); t.CurTok != EofTok; t.NextToken())
        dump += DumpToken(t) + "\n";
    EXPECT_EQ(command, "include");
    EXPECT_EQ(params, (std::vector<std::string>{"FILE=\"x.htm\"", "VIRTUAL=\"y\""}));
    // Included text carries the position of the include point.
    EXPECT_EQ(dump, "TextTok \"aIN\" @0,39,39\nBTok @39\nTextTok \"C\" @39\nBEndTok @39\n"
                    "TextTok \"z\" @40\n");
}

// The host hears the first 255 letters of a command's and a parameter's name.
TEST(Tokenizer, IncludeNamesKeepTheirFirst255Letters) {
    for (const size_t length : {255u, 256u}) {
        HtmlTokenizer t;
        std::string command;
        std::vector<std::string> params;
        t.OnInclude = [&](TViewerBase*, const std::string& cmd, std::vector<std::string> p,
                          std::string&) {
            command = cmd;
            params = std::move(p);
        };
        const std::string doc =
            "<!--#" + std::string(length, 'c') + " " + std::string(length, 'p') + "=v -->";
        t.Begin(doc);
        t.ReadNextChar();
        for (t.NextToken(); t.CurTok != EofTok; t.NextToken()) {
        }
        EXPECT_EQ(command, std::string(255, 'c')) << length;
        EXPECT_EQ(params, std::vector<std::string>{std::string(255, 'P') + "=\"v\""}) << length;
    }
}

TEST(Tokenizer, IncludesDoNotNestAndTagsKeepBoundedAttributes) {
    HtmlTokenizer t;
    int includes = 0;
    t.OnInclude = [&](TViewerBase*, const std::string&, std::vector<std::string>, std::string&) {
        ++includes;
    };
    std::string doc;
    for (int i = 0; i < 20000; ++i)
        doc += "<!--#a b ";
    doc += "--> -->"; // the first ends the inner comment, the second the include
    t.Begin(doc);
    t.ReadNextChar();
    for (t.NextToken(); t.CurTok != EofTok; t.NextToken()) {
    }
    EXPECT_EQ(includes, 1); // the others were a comment among its parameters

    // At most 256 attributes are kept, however many a tag holds.
    for (const int count : {255, 256, 257, 100000}) {
        std::string tag = "<a";
        for (int i = 0; i < count; ++i)
            tag += " b";
        tag += ">"; // the tokenizer reads the text in place
        t.Begin(tag);
        t.ReadNextChar();
        t.NextToken();
        EXPECT_EQ(t.CurTok, ATok);
        EXPECT_EQ(t.Attributes.size(), static_cast<size_t>(std::min(count, 256))) << count;
    }
}

TEST(Tokenizer, AttributesGiveClassIdAndStyle) {
    HtmlTokenizer t;
    t.Begin("<p class=Note ID=Top style=\"color: red\">");
    t.ReadNextChar();
    t.NextToken();
    TAttributeList& list = t.Attributes;
    EXPECT_EQ(list.GetClass(), "note");
    EXPECT_EQ(list.GetID(), "top");
    TProperties* style = list.GetStyle();
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(*style->Int(Prop::Color), 0x0000FF);
    list.Clear();
    EXPECT_EQ(list.GetID(), "");
    EXPECT_EQ(list.GetStyle(), nullptr);
}

TEST(Tokenizer, PeekAtTheEndIsBounded) {
    HtmlTokenizer t;
    t.Begin("<");
    t.ReadNextChar();
    EXPECT_EQ(t.PeekChar(), EofCh);
    t.NextToken();
    EXPECT_EQ(t.CurTok, TextTok);
    t.NextToken();
    EXPECT_EQ(t.CurTok, EofTok);
    EXPECT_EQ(t.PeekChar(), EofCh);
}

TEST(Tokenizer, IDsRegisterWithTheirPosition) {
    std::vector<std::pair<std::string, int>> ids;
    HtmlTokenizer t;
    t.OnID = [&ids](std::string_view id, int srcPos) { ids.emplace_back(id, srcPos); };
    t.Begin("<p id=top>x <div id=Top>");
    t.ReadNextChar();
    for (t.NextToken(); t.CurTok != EofTok; t.NextToken()) {
    }
    // Each at the position where its value ends, in its own case.
    const std::vector<std::pair<std::string, int>> expected{{"top", 9}, {"Top", 23}};
    EXPECT_EQ(ids, expected);
}

TEST(Tokenizer, OneParseAtATime) {
    ParserLock first;
    EXPECT_THROW(ParserLock second, EParseError);
    HtmlTokenizer& parser = first.Parser();
    parser.Begin("x");
    parser.ReadNextChar();
    parser.NextToken();
    EXPECT_EQ(parser.Token.S, "x");
}

TEST(Symbols, NamesAndEndForms) {
    EXPECT_EQ(LookupTag("TEXTAREA", false), TextAreaTok);
    EXPECT_EQ(LookupTag("TEXTAREA", true), TextAreaEndTok);
    EXPECT_EQ(LookupTag("BR", true), CommandTok);
    EXPECT_EQ(LookupAttribute("HTTP-EQUIV"), HttpEqTok);
    EXPECT_EQ(LookupAttribute("TEXT"), TextTok);
    EXPECT_EQ(LookupAttribute("STYLE"), StyleTok);
    EXPECT_EQ(LookupAttribute("ONLOAD"), UnknownAttrTok);
    EXPECT_EQ(TagNameOfTok(BlockQuoteTok), "blockquote");
    EXPECT_EQ(TagNameOfTok(BlockQuoteEndTok), "");
    EXPECT_EQ(TagNameOfEndTok(SpanEndTok), "span");
    EXPECT_EQ(TagNameOfEndTok(LITok), "");
    EXPECT_EQ(EndTokOf(PTok), PEndTok);
    EXPECT_EQ(EndTokOf(LinkTok), NoneTok);
    // Every named symbol reads back from its name, and an end symbol names
    // the same tag as its start.
    for (int k = 0; k < TokenKindCount; ++k) {
        const auto tok = static_cast<TokenKind>(k);
        const std::string_view name = TagNameOfTok(tok);
        if (name.empty()) continue;
        EXPECT_EQ(LookupTag(UpperCase(name), false), tok) << name;
        if (EndTokOf(tok) != NoneTok) {
            EXPECT_EQ(TagNameOfEndTok(EndTokOf(tok)), name);
        }
    }
}

} // namespace
} // namespace lumo

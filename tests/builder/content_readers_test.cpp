// PRE and plain text read as they stand; the readers stop at the end of
// their input.
#include "tests/support/layout_fixture.h"

#include "builder/control_content.h"
#include "builder/document_builder.h"
#include "layout/preformatted_section.h"

#include <gtest/gtest.h>

namespace lumo::test {
namespace {

std::vector<std::string> Lines(const TCellBasic& cell) {
    std::vector<std::string> out;
    for (TPreformattedSection* s : All<TPreformattedSection>(cell))
        out.push_back(s->Text);
    return out;
}

using Strings = std::vector<std::string>;

TEST(PreformattedText, LinesAsWritten) {
    const struct {
        const char* html;
        Strings lines;
    } rows[] = {
        // The line end after <PRE> gives an empty first line.
        {"<PRE>\r\na  b\r\n</PRE>", {"", "a  b", ""}},
        // <BR> at the end of a line makes one break, not two.
        {"<PRE>a<BR>\r\nb</PRE>", {"a", "b"}},
        {"<PRE>a < b && c</PRE>", {"a < b && c"}},
        // A picture stands at its placeholder byte; a map leaves nothing.
        {"<PRE>x<IMG SRC=a.gif>after<MAP NAME=m><AREA HREF=a></MAP>map</PRE>", {"x\004aftermap"}},
        // Never placeholders: the markup reader makes those '?' everywhere,
        // and other control bytes are spaces.
        {"<PRE>c\001\002\004\010\037d</PRE>", {"c ??? d"}},
        // Unclosed, it ends with the input.
        {"<PRE>open", {"open"}},
    };
    for (const auto& row : rows) {
        Doc doc(row.html);
        EXPECT_EQ(Lines(doc.list), row.lines) << row.html;
    }
}

TEST(PreformattedText, EndsWithItsCellAndItsForm) {
    Doc doc("<TABLE><TR><TD><PRE>in cell</TD><TD>next</TABLE><PRE><FORM>f</PRE>after");
    TSection* next = SectionWith(doc.list, "next");
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(dynamic_cast<TPreformattedSection*>(next), nullptr);
    // The form opened inside the PRE ends with it.
    TSection* after = SectionWith(doc.list, "after");
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(dynamic_cast<TPreformattedSection*>(after), nullptr);
    for (TBlock* b : All<TBlock>(doc.list))
        if (b->Content.OwnerTag == "form") {
            for (const auto& item : b->Content)
                EXPECT_NE(item.get(), static_cast<TSectionBase*>(after));
        }
}

TEST(PreformattedText, LongLinesAndEndlessInputs) {
    // A 5 MB line loads, lays out and paints.
    Doc doc("<PRE>" + std::string(5 << 20, 'w'));
    EXPECT_FALSE(doc.Paint(0, 600).empty());
    // Readers at the end of input.
    for (const char* html : {"<PRE><", "<PRE>&", "<SCRIPT>a<b", "<SELECT><OPTION>x",
                             "<TEXTAREA>one", "<MAP NAME=m><AREA", "<TABLE><TR><TD><PRE>"})
        Doc{html};
}

TEST(ScriptsAndMaps, ReadToTheirEnds) {
    const struct {
        const char* html;
        const char* script;
    } rows[] = {
        {"<SCRIPT>a<b</SCRIPT>after", "a<b"},
        {"<SCRIPT LANGUAGE=x>one\r\ntwo\r\n</SCRIPT>after", "one\r\ntwo\r\n"},
        {"<SCRIPT>one\ntwo</SCRIPT>after", "one\r\ntwo"},
        {"<SCRIPT>no end\r\nafter", "no end\r\nafter"},
        {"<PRE><SCRIPT>in pre</SCRIPT>after</PRE>", "in pre"},
    };
    for (const auto& row : rows) {
        RecordingCanvas canvas;
        TSectionList list(canvas);
        std::string got;
        list.OnScript = [&](TViewerBase*, const std::string&, const std::string&,
                            std::string script) { got = std::move(script); };
        ParseHtmlBuffer(list, row.html);
        EXPECT_EQ(got, row.script) << row.html;
        EXPECT_EQ(SectionWith(list, "after") != nullptr,
                  std::string(row.script) != "no end\r\nafter")
            << row.html;
    }
    // The text around a script is one run.
    Doc doc("<P>before<SCRIPT>hidden</SCRIPT>after");
    EXPECT_TRUE(SectionWith(doc.list, "beforeafter"));
    EXPECT_FALSE(SectionWith(doc.list, "hidden"));
    // A script body is kept up to about 8 MB; the rest is read past.
    for (const size_t length : {size_t{8} << 20, (size_t{8} << 20) + 4096}) {
        RecordingCanvas canvas;
        TSectionList list(canvas);
        size_t got = 0;
        list.OnScript = [&](TViewerBase*, const std::string&, const std::string&,
                            std::string script) { got = script.size(); };
        ParseHtmlBuffer(list, "<SCRIPT>" + std::string(length, 's') + "</SCRIPT>after");
        EXPECT_GE(got, std::min(length, size_t{8} << 20)) << length;
        EXPECT_LE(got, (size_t{8} << 20) + 100) << length;
        EXPECT_NE(SectionWith(list, "after"), nullptr) << length;
    }
    // A map ends at its end tag, or is dropped at the third foreign tag.
    RecordingCanvas canvas;
    TSectionList list(canvas);
    ParseHtmlBuffer(list, "<MAP NAME=a><AREA HREF=x></MAP><MAP NAME=b><AREA><B><I><U></MAP>"
                          "<PRE>m<MAP NAME=c><AREA></MAP>kept</PRE>");
    ASSERT_EQ(list.MapList.size(), 2u);
    EXPECT_EQ(list.MapList[0]->MapName, "A");
    EXPECT_EQ(list.MapList[1]->MapName, "C");
    EXPECT_NE(SectionWith(list, "mkept"), nullptr);
}

// The tokenizer at the tag the reader starts at.
struct AtTag {
    explicit AtTag(const std::string& html) : text(html) {
        p.Begin(text);
        p.ReadNextChar();
        p.NextToken();
    }
    std::string text;
    HtmlTokenizer p;
};

TEST(ControlContent, SelectOptions) {
    const struct {
        std::string html;
        std::string options; // "text=value" each, * when selected
    } rows[] = {
        {"<SELECT><OPTION>  <OPTION>b</SELECT>", "b= "},
        {"<SELECT><OPTION VALUE=1 SELECTED> one </OPTION>stray<OPTION>two", "one=1* two= "},
        {"<SELECT><OPTION VALUE=" + std::string(300, 'v') + ">" + std::string(300, 't'),
         std::string(255, 't') + "=" + std::string(255, 'v') + " "},
    };
    for (const auto& row : rows) {
        AtTag at(row.html);
        std::string got;
        for (const TSelectOption& o : ReadSelectOptions(at.p, [&] { at.p.NextToken(); }))
            got += o.Text + "=" + o.Value + (o.Selected ? "*" : "") + " ";
        EXPECT_EQ(got, row.options) << row.html.substr(0, 60);
    }
    std::string many = "<SELECT>";
    for (int i = 0; i < 100005; ++i)
        many += "<OPTION>o";
    AtTag at(many);
    EXPECT_EQ(ReadSelectOptions(at.p, [&] { at.p.NextToken(); }).size(), MaxSelectOptions);
    Doc doc(many + "</SELECT>after");
    EXPECT_NE(SectionWith(doc.list, "after"), nullptr);
}

TEST(ControlContent, TextAreaLines) {
    const struct {
        const char* html;
        Strings lines;
        const char* after; // what the tokenizer reads next
    } rows[] = {
        {"<TEXTAREA>one<BR>two</TEXTAREA>x", {"one<BR>two"}, "x"},
        {"<TEXTAREA>a &amp; b\r\n\r\nc\r\n</TEXTAREA >x", {"a & b", "", "c"}, "x"},
        {"<TEXTAREA>open", {"open"}, ""},
    };
    for (const auto& row : rows) {
        AtTag at(row.html);
        EXPECT_EQ(ReadTextAreaLines(at.p), row.lines) << row.html;
        at.p.NextToken();
        EXPECT_EQ(at.p.Token.S, row.after) << row.html;
    }
}

} // namespace
} // namespace lumo::test

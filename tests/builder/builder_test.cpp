// The document builder: what the markup turns into, the host hooks, the
// nesting cap, and that nothing of one parse reaches the next.
#include "tests/support/layout_fixture.h"

#include "builder/document_builder_state.h"
#include "layout/body_block.h"
#include "layout/list_item_block.h"
#include "platform/stream.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace lumo::test {
namespace {

TEST(Builder, HeadResults) {
    Doc doc("<HEAD><TITLE>A   <B>t</B>itle</TITLE><BASE HREF=\"http://h/d/\" TARGET=main>"
            "</HEAD><P>x<TITLE>late</TITLE><BASE HREF=other>");
    EXPECT_EQ(doc.result.Title, "A ");
    TParseResult r;
    TSectionList list(doc.canvas);
    r = ParseHtmlBuffer(list, "<TITLE>one two</TITLE><BASE HREF=\"http://h/d/\" TARGET=main><P>x"
                              "<BASE HREF=late>");
    EXPECT_EQ(r.Title, "one two");
    EXPECT_EQ(r.Base, "http://h/d/");
    EXPECT_EQ(r.BaseTarget, "main");
}

TEST(Builder, MetaCharsets) {
    using enum TCodePage;
    const struct {
        const char* content;
        int charset;
        TCodePage page;
    } rows[] = {
        {"text/html; charset=windows-1251", 204, Windows1251},
        {"text/html; charset=windows-1252", 0, Windows1252},
        {"text/html; charset=ISO-8859-2", 238, Iso8859_2},
        {"text/html; charset=koi8-r", 204, Koi8R},
        {"text/html; charset=iso-8859-5", 204, Iso8859_5},
        {"text/html; charset=windows-1253", 161, Windows1253},
        {"text/html; charset=iso-8859-7", 161, Iso8859_7},
        {"text/html; charset=iso-8859-9", 162, Iso8859_9},
        {"text/html; charset=windows-1257", 186, Windows1257},
        {"text/html; charset=utf-8", 0, Utf8},
    };
    // Text right after the META, with no element between, is in the
    // declared code page too: its section was open before the META came.
    for (const auto& row : rows)
        for (const char* after : {"<P>x", "x"}) {
            Doc doc(std::string("<META HTTP-EQUIV=Content-Type CONTENT=\"") + row.content + "\">" +
                    after);
            TFontRun* run = RunOf(doc.list, "x");
            ASSERT_TRUE(run) << row.content << after;
            EXPECT_EQ(run->PlainFont().Charset, row.charset) << row.content << after;
            EXPECT_EQ(run->PlainFont().CodePage, row.page) << row.content << after;
            EXPECT_EQ(doc.list.CodePage, row.page) << row.content << after;
        }
}

// The server's charset wins over a META's; a name the builder does not know
// leaves the META's, and plain text takes it too. With neither, text that
// reads as UTF-8 with letters past ASCII is UTF-8; single-byte text and
// broken sequences stay in the default.
TEST(Builder, ServerCharsets) {
    using enum TCodePage;
    const auto meta = [](const char* charset) {
        return std::string("<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=") +
               charset + "\">";
    };
    const struct {
        const char* server;
        std::string page;
        TCodePage codePage;
    } rows[] = {
        {"koi8-r", meta("windows-1251") + "<P>x", Koi8R},
        {"x-unknown", meta("windows-1251") + "<P>x", Windows1251},
        {"x-unknown", meta("") + "<P>x", Windows1252},
        {"", meta("iso-8859-7") + "<P>x", Iso8859_7},
        {"", "<P>x caf\xC3\xA9 \xE2\x87\xA7", Utf8},
        {"", "<P>x caf\xE9", Windows1252},
        {"", "<P>x caf\xC3", Windows1252},
        {"windows-1252", "<P>x caf\xC3\xA9", Windows1252},
        {"", meta("koi8-r") + "<P>x \xC3\xA9", Koi8R},
    };
    RecordingCanvas canvas;
    TSectionList list(canvas);
    for (const auto& row : rows) {
        TBuilderHooks hooks;
        hooks.Charset = row.server;
        list.Reset();
        EXPECT_EQ(ParseHtmlBuffer(list, row.page, hooks).CodePage, row.codePage) << row.page;
        EXPECT_EQ(list.CodePage, row.codePage) << row.page;
        EXPECT_EQ(RunOf(list, "x")->PlainFont().CodePage, row.codePage) << row.page;
    }
    TMemoryStream text;
    text.Write("\xF6\xD5\xCB");
    text.Charset = "koi8-r";
    list.Reset();
    ParseTextStream(list, text);
    EXPECT_EQ(list.CodePage, Koi8R);
}

TEST(Builder, MetaAndSoundHooks) {
    std::vector<std::string> metas;
    std::string sound;
    int loop = 0;
    TBuilderHooks hooks;
    hooks.OnMeta = [&](TViewerBase*, const std::string& eq, const std::string& name,
                       const std::string& content) {
        metas.push_back(eq + "|" + name + "|" + content);
    };
    hooks.OnSoundRequest = [&](TViewerBase*, const std::string& src, int l, bool terminate) {
        sound = src;
        loop = l;
        EXPECT_FALSE(terminate);
    };
    Doc doc("<META NAME=a CONTENT=b><BGSOUND SRC=s.wav LOOP=3><P>text<META NAME=late>", 600, hooks);
    ASSERT_EQ(metas.size(), 1u);
    EXPECT_EQ(metas[0], "|a|b");
    EXPECT_EQ(sound, "s.wav");
    EXPECT_EQ(loop, 3);
}

// A frame viewer whose framesets write down what the walk tells them; the
// sets are numbered in the order they are made.
class RecordingFrames : public TFrameViewerBase {
public:
    class Set : public TFrameSetHooks {
    public:
        Set(RecordingFrames& owner, int number) : owner_(owner), number_(std::to_string(number)) {}
        void ApplyFrameAttributes(const TAttributeList& a) override {
            const TAttribute* cols = a.Find(ColsTok);
            owner_.Log += "attrs " + number_ + " " + (cols ? cols->Name : "") + "\n";
        }
        void FrameFound(const TAttributeList& a, const std::string&) override {
            const TAttribute* src = a.Find(SrcTok);
            owner_.Log += "frame " + number_ + " " + (src ? src->Name : "") + "\n";
        }
        TFrameSetHooks* FrameSetFound() override {
            owner_.Log += "set in " + number_ + "\n";
            return &owner_.NewSet();
        }
        void FrameSetEnded() override { owner_.Log += "end " + number_ + "\n"; }

    private:
        RecordingFrames& owner_;
        std::string number_;
    };

    Set& NewSet() {
        sets_.push_back(std::make_unique<Set>(*this, static_cast<int>(sets_.size()) + 1));
        return *sets_.back();
    }

    std::string Log;

private:
    std::vector<std::unique_ptr<Set>> sets_;
};

// Every hook of a parse names the viewer that runs it: the document's viewer
// for a document, the frame viewer for a frameset walk.
TEST(Builder, HooksNameTheirViewer) {
    const std::string html =
        "<META NAME=a><BGSOUND SRC=s.wav><!--#include file=x --><SCRIPT>s</SCRIPT>"
        "<FRAMESET><SCRIPT>t</SCRIPT></FRAMESET>";
    std::vector<TViewerBase*> senders;
    auto note = [&](TViewerBase* sender, auto&&...) { senders.push_back(sender); };
    TBuilderHooks hooks;
    hooks.OnMeta = note;
    hooks.OnSoundRequest = note;
    hooks.OnInclude = note;
    struct Host : TViewerBase {
    } host;
    RecordingCanvas canvas;
    TSectionList list(canvas);
    list.Viewer = &host;
    list.OnScript = note;
    ParseHtmlBuffer(list, html, hooks);
    EXPECT_EQ(senders, std::vector<TViewerBase*>(5, &host));

    senders.clear();
    RecordingFrames frames;
    frames.OnSoundRequest = note;
    frames.OnInclude = note;
    frames.OnScript = note;
    std::string_view text = html;
    TLoadInput input;
    input.Buffer = &text;
    ParseFrameDocument(frames, nullptr, input, note);
    EXPECT_EQ(senders, std::vector<TViewerBase*>(5, &frames));
}

TEST(Builder, FontSizes) {
    const struct {
        const char* html;
        int points;
    } rows[] = {
        {"<FONT SIZE=+2>x", 18},
        {"<FONT SIZE=2>x", 10},
        {"<FONT SIZE=+9>x", 36},
        {"<FONT SIZE=0>x", 8},
        {"<FONT SIZE=-1>x", 10},
        {"<PRE><FONT SIZE=+2>x</PRE>", 15},
        {"<BASEFONT SIZE=5><FONT SIZE=+1>x", 24},
        {"<FONT SIZE=7><FONT SIZE=1>y</FONT>x", 36},
        {"<BIG>x", 15},
        {"<SMALL>x", 9},
        {"<H1>x</H1>", 24},
    };
    for (const auto& row : rows) {
        Doc doc(row.html);
        TFontRun* run = RunOf(doc.list, "x");
        ASSERT_TRUE(run) << row.html;
        EXPECT_EQ(run->PlainFont().Size, row.points) << row.html;
    }
}

// A style's size in pixels is drawn in that many pixels, however few
// points it makes: 10px is 7.5 points, not 8 (11 pixels).
TEST(Builder, StyleFontSizesKeepTheirPixels) {
    for (int pixels : {9, 10, 13, 14, 18, 22}) {
        const std::string html =
            "<SPAN STYLE=\"font-size: " + std::to_string(pixels) + "px\">x</SPAN>";
        Doc doc(html);
        TFontRun* run = RunOf(doc.list, "x");
        ASSERT_TRUE(run) << html;
        EXPECT_EQ(PointsToPixels(run->PlainFont().Size), pixels) << html;
        EXPECT_EQ(SectionWith(doc.list, "x")->LineList[0].Height(), pixels) << html;
    }
}

TEST(Builder, FontFaceAndColour) {
    Doc doc("<FONT FACE=\"NoSuchFace, Arial\" COLOR=red>x</FONT>y");
    TFontRun* x = RunOf(doc.list, "x");
    ASSERT_TRUE(x);
    EXPECT_EQ(x->PlainFont().Name, "Arial");
    EXPECT_EQ(x->PlainFont().Color, 0x0000FFu | PaletteRelative);
    TFontRun* y = RunOf(doc.list, "y");
    EXPECT_EQ(y->PlainFont().Color, 0u);
}

TEST(Builder, LinksTakeTheirBackground) {
    const char* const rows[] = {
        "<A STYLE=\"background:yellow\" HREF=x>x</A>",
        "<A STYLE=\"background-color:yellow\" NAME=n>x</A>",
        "<STYLE>a{background-color:yellow}</STYLE><A HREF=u><B>x</B></A>",
    };
    for (const char* html : rows) {
        Doc doc(html);
        TFontRun* run = RunOf(doc.list, "x");
        ASSERT_TRUE(run) << html;
        EXPECT_EQ(run->CurrentFont().bgColor, 0x00FFFFu) << html;
    }
    Doc after("<A STYLE=\"background:yellow\" HREF=x>x</A>y");
    EXPECT_EQ(RunOf(after.list, "y")->CurrentFont().bgColor, clNone);
}

// An a:hover colour in the page's own sheet makes links change under the
// mouse, as OLINK does; a sheet without one leaves the option as it is.
TEST(Builder, PageHoverRuleTurnsHoverOn) {
    const struct {
        const char* html;
        bool hover;
    } rows[] = {
        {"<STYLE>a:hover{color:red}</STYLE><A HREF=x>x</A>", true},
        {"<BODY OLINK=red><A HREF=x>x</A>", true},
        {"<STYLE>a:link{color:red}</STYLE><A HREF=x>x</A>", false},
    };
    for (const auto& row : rows) {
        Doc doc(row.html);
        TFontRun* run = RunOf(doc.list, "x");
        ASSERT_TRUE(run) << row.html;
        EXPECT_EQ(doc.list.Defaults.HoverLinks, row.hover) << row.html;
        ASSERT_EQ(run->HoverFont() != nullptr, row.hover) << row.html;
        if (row.hover) {
            EXPECT_EQ(run->HoverFont()->Color & 0xFFFFFF, 0x0000FFu) << row.html;
        }
    }
}

// FONT's attributes give way to its rules and its own STYLE; its CLASS and ID
// pick rules as on any element.
TEST(Builder, FontAttributesGiveWayToStyle) {
    const struct {
        const char* html;
        TColor color;
        int points;
    } rows[] = {
        {"<FONT STYLE=\"color:red\">x", 0x0000FF, 12},
        {"<FONT COLOR=blue STYLE=\"color:red\">x", 0x0000FF, 12},
        {"<STYLE>font{color:red}</STYLE><FONT COLOR=blue>x", 0x0000FF, 12},
        {"<STYLE>.c{color:red}</STYLE><FONT CLASS=c COLOR=blue>x", 0x0000FF, 12},
        {"<STYLE>#i{font-size:20pt}</STYLE><FONT ID=i SIZE=1>x", 0, 20},
        {"<STYLE>font{color:red}</STYLE><FONT>x", 0x0000FF, 12},
        {"<FONT COLOR=blue SIZE=5>x", 0xFF0000 | PaletteRelative, 18},
    };
    for (const auto& row : rows) {
        Doc doc(row.html);
        TFontRun* run = RunOf(doc.list, "x");
        ASSERT_TRUE(run) << row.html;
        EXPECT_EQ(run->PlainFont().Color, row.color) << row.html;
        EXPECT_EQ(run->PlainFont().Size, row.points) << row.html;
    }
}

TEST(Builder, EachLinkGetsItsOwnRunAndStyle) {
    Doc doc("<A HREF=x>1<A HREF=y>2</A>3 <A NAME=#top>t</A><A HREF=z>4</A>5");
    const struct {
        const char* text;
        const char* url;
    } rows[] = {{"1", "x"}, {"2", "y"}, {"3", ""}, {"4", "z"}, {"5", ""}};
    for (const auto& row : rows) {
        TFontRun* run = RunOf(doc.list, row.text);
        ASSERT_TRUE(run) << row.text;
        EXPECT_EQ(run->Link().Url, row.url) << row.text;
        // Outside a link, no link entry of the stack is left to underline text.
        EXPECT_EQ(run->PlainFont().Underline, *row.url != 0) << row.text;
    }
    EXPECT_NE(RunOf(doc.list, "1")->Link().ID, RunOf(doc.list, "2")->Link().ID);
    EXPECT_EQ(doc.list.LinkList.size(), 3u);
    EXPECT_TRUE(doc.list.IDs.Find("top"));
    EXPECT_TRUE(doc.list.IDs.Find("TOP"));
}

TEST(Builder, MisnestedInlineTags) {
    const struct {
        const char* html;
        const char* text;
        bool bold, italic;
    } rows[] = {
        {"<B>b<I>bi</B>i</I>n", "bi", true, true},
        {"<B>b<I>bi</B>ix</I>n", "ix", false, true},
        {"<B>b<I>bi</B>i</I>n", "n", false, false},
        {"<P><B>b<I>bi</B>iy</I>n", "iy", false, true},
    };
    for (const auto& row : rows) {
        Doc doc(row.html);
        TFontRun* run = RunOf(doc.list, row.text);
        ASSERT_TRUE(run) << row.html << " " << row.text;
        EXPECT_EQ(run->PlainFont().Bold, row.bold) << row.html << " " << row.text;
        EXPECT_EQ(run->PlainFont().Italic, row.italic) << row.html << " " << row.text;
    }
}

// A STYLE block is read as a sheet wherever it stands: its rules apply and
// none of its text reaches the page.
TEST(Builder, StyleBlocksInsideAnyConstruct) {
    const char* const rows[] = {
        "<STYLE>b{color:red}</STYLE><B>x</B>",
        "<P>a<STYLE>b{color:red}</STYLE><B>x</B>",
        "<UL><STYLE>b{color:red}</STYLE><LI><B>x</B></UL>",
        "<UL><LI>a<STYLE>b{color:red}</STYLE><B>x</B></UL>",
        "<DL><DD>a<STYLE>b{color:red}</STYLE><B>x</B></DL>",
        "<BLOCKQUOTE><STYLE>b{color:red}</STYLE><B>x</B></BLOCKQUOTE>",
        "<ADDRESS><STYLE>b{color:red}</STYLE><B>x</B></ADDRESS>",
        "<PRE>a<STYLE>b{color:red}</STYLE><B>x</B></PRE>",
        "<H2>a<STYLE>b{color:red}</STYLE><B>x</B></H2>",
    };
    for (const char* html : rows) {
        Doc doc(html);
        EXPECT_FALSE(SectionWith(doc.list, "color")) << html;
        EXPECT_FALSE(SectionWith(doc.list, ">")) << html;
        TFontRun* run = RunOf(doc.list, "x");
        ASSERT_TRUE(run) << html;
        EXPECT_EQ(run->PlainFont().Color, 0x0000FFu) << html;
    }
}

TEST(Builder, ListNumbering) {
    Doc doc("<UL><LI>a</LI><LI>b</UL><OL START=5 TYPE=a><LI>c</OL><OL START=-3><LI>d</OL>"
            "<LI>orphan<P>after");
    auto items = All<TListItemBlock>(doc.list);
    ASSERT_EQ(items.size(), 5u);
    EXPECT_EQ(items[0]->ItemNumber, 1);
    EXPECT_EQ(items[1]->ItemNumber, 2);
    EXPECT_EQ(items[2]->ItemNumber, 5);
    EXPECT_EQ(items[2]->MarkerStyle, msLowerAlpha);
    EXPECT_EQ(items[3]->ItemNumber, 1);
    EXPECT_EQ(items[4]->ListKind, lkOther);
    // The paragraph ends the orphan item and follows it.
    TSection* after = SectionWith(doc.list, "after");
    ASSERT_TRUE(after);
    EXPECT_FALSE(SectionWith(items[4]->Content, "after"));
}

// Whether a block of tag in cell holds text.
bool BlockHolds(const TCellBasic& cell, std::string_view tag, std::string_view text) {
    for (TBlock* b : All<TBlock>(cell))
        if (b->Content.OwnerTag == tag && SectionWith(b->Content, text)) return true;
    return false;
}

// A construct that stops at a terminator of the one around it leaves that
// terminator for it: nothing after it stays inside.
TEST(Builder, InnerConstructsLeaveOuterTerminators) {
    {
        Doc doc("<CENTER><UL><LI>a</CENTER>rest");
        ASSERT_TRUE(SectionWith(doc.list, "rest"));
        EXPECT_EQ(SectionWith(doc.list, "rest")->Alignment, TextAlign::Left);
    }
    const struct {
        const char* html;
        const char* tag;
        const char* outside;
    } rows[] = {
        {"<DIV ALIGN=right><UL><LI>a</DIV>b", "div", "b"},
        {"<DIV><OL><LI><DL><DD>a</DIV>b", "div", "b"},
        {"<DIV><BLOCKQUOTE>a</DIV>b", "div", "b"},
        {"<DIV><MAP NAME=m><B><I></DIV>b", "div", "b"},
        {"<DIV><P><MAP NAME=m><B><I></DIV>b", "div", "b"},
        {"<PRE><MAP NAME=m><B><I></PRE>b", "pre", "b"},
        // A block inside a list item leaves the list's end to the list.
        {"<DL><DD><BLOCKQUOTE>a</BLOCKQUOTE>c</DL><P>b", "dl", "b"},
        {"<UL><LI><DIV>a</DIV>c</UL><P>b", "ul", "b"},
        {"<OL><LI><CENTER>a</CENTER></OL><P>b", "ol", "b"},
        {"<BLOCKQUOTE><LI><FORM>a</FORM></BLOCKQUOTE><P>b", "blockquote", "b"},
    };
    for (const auto& row : rows) {
        Doc doc(row.html);
        ASSERT_TRUE(SectionWith(doc.list, row.outside)) << row.html;
        EXPECT_FALSE(BlockHolds(doc.list, row.tag, row.outside)) << row.html;
    }
    // Forms do not nest, even with a list between them.
    Doc forms("<FORM><UL><LI>a<FORM>b");
    int count = 0;
    for (TBlock* b : All<TBlock>(forms.list))
        if (b->Content.OwnerTag == "form") ++count;
    EXPECT_EQ(count, 2);
}

// An element whose style says "display: none" is not built at all, up to
// its end or to what ends it unclosed; what follows it is built as usual.
TEST(Builder, UndisplayedElementsAreNotBuilt) {
    const struct {
        const char* html;
        const char* shown;
        const char* hidden;
    } rows[] = {
        {"<STYLE>.x { display: none }</STYLE><P>one <SPAN CLASS=x>gone <B>b</B></SPAN>two", "two",
         "gone"},
        {"<P>one <B STYLE=\"display: none\">gone<P>two", "two", "gone"},
        {"<P>a<SPAN STYLE=\"display: none\">gone", "a", "gone"},
        {"<STYLE>DIV.x { display: none }</STYLE><DIV CLASS=x>gone<DIV>in</DIV>gone too</DIV>two",
         "two", "gone too"},
        {"<STYLE>LI.x { display: none }</STYLE><UL><LI CLASS=x>gone<UL><LI>in</UL>gone too"
         "<LI>two</UL>",
         "two", "gone too"},
        {"<STYLE>H2 { display: none }</STYLE><H1>two</H1><H2>gone</H2>", "two", "gone"},
        {"<STYLE>P { display: none }</STYLE>one<P>gone<TABLE><TR><TD>two</TABLE>", "two", "gone"},
        // Table cells keep their table's shape; an unknown value is ignored.
        {"<TABLE><TR><TD STYLE=\"display: none\">two</TABLE>", "two", nullptr},
        {"<P STYLE=\"display: nonsense\">two", "two", nullptr},
    };
    for (const auto& row : rows) {
        Doc doc(row.html);
        EXPECT_TRUE(SectionWith(doc.list, row.shown)) << row.html;
        if (row.hidden) {
            EXPECT_FALSE(SectionWith(doc.list, row.hidden)) << row.html;
        }
    }
    // A control passed over is not built, but a hidden field is still sent
    // with its form; one of a form passed over whole is not.
    Doc form("<FORM><DIV STYLE=\"display: none\"><INPUT NAME=a><INPUT TYPE=hidden NAME=h>"
             "<FORM><INPUT TYPE=hidden NAME=other></FORM></DIV><INPUT NAME=b></FORM>");
    ASSERT_EQ(form.list.Forms.size(), 1u);
    const auto& controls = form.list.Forms[0]->Controls;
    ASSERT_EQ(controls.size(), 2u);
    EXPECT_EQ(controls[0]->Name, "h");
    EXPECT_EQ(controls[1]->Name, "b");
    Doc passedForm("<FORM STYLE=\"display: none\"><INPUT TYPE=hidden NAME=x></FORM>"
                   "<INPUT TYPE=hidden NAME=y>");
    std::vector<std::string> names;
    for (const auto& f : passedForm.list.Forms)
        for (const TFormControl* c : f->Controls)
            names.push_back(c->Name);
    EXPECT_EQ(names, std::vector<std::string>{"y"});
    // An item shown as a plain block has no marker.
    Doc items("<UL><LI STYLE=\"display: block\">a<LI>b</UL>");
    auto blocks = All<TListItemBlock>(items.list);
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0]->MarkerStyle, msNone);
    EXPECT_EQ(blocks[1]->MarkerStyle, msDisc);
}

// Style sheets show a DIV inline or as a list item, and an inline element
// as a block; the block ends with its element, or with the construct it
// was opened in, and never takes in what follows.
TEST(Builder, StylesShowElementsAsOtherKinds) {
    Doc inlineDivs("<STYLE>.i { display: inline }</STYLE><DIV CLASS=i>one </DIV>"
                   "<DIV CLASS=i>two</DIV><DIV>three</DIV>");
    ASSERT_TRUE(SectionWith(inlineDivs.list, "one two"));
    EXPECT_FALSE(SectionWith(inlineDivs.list, "three two"));
    EXPECT_FALSE(BlockHolds(inlineDivs.list, "div", "one"));

    const struct {
        const char* html;
        const char* tag;
        const char* inside;
        const char* outside; // text that must stand in no block of tag
    } rows[] = {
        {"<P>a <A HREF=x STYLE=\"display: block\">link</A> b", "a", "link", "b"},
        {"<STYLE>B { display: block }</STYLE>a <B>bold<I>both</B> after", "b", "both", "after"},
        {"<FONT STYLE=\"display: block\">in</FONT>out", "font", "in", "out"},
        // Left open: closed with the construct around it.
        {"<CENTER><B STYLE=\"display: block\">in</CENTER>after", "b", "in", "after"},
        {"<TABLE><TR><TD><B STYLE=\"display: block\">in</TABLE>after", "b", "in", "after"},
        {"<UL><LI><EM STYLE=\"display: block\">in<LI>next</UL>after", "em", "in", "next"},
    };
    for (const auto& row : rows) {
        Doc doc(row.html);
        ASSERT_TRUE(SectionWith(doc.list, row.outside)) << row.html;
        EXPECT_TRUE(BlockHolds(doc.list, row.tag, row.inside)) << row.html;
        EXPECT_FALSE(BlockHolds(doc.list, row.tag, row.outside)) << row.html;
        EXPECT_NE(SectionWith(doc.list, row.inside), SectionWith(doc.list, row.outside));
    }
    // The link goes on into its block.
    Doc link("<A HREF=x STYLE=\"display: block\">link</A>");
    ASSERT_TRUE(RunOf(link.list, "link"));
    EXPECT_EQ(RunOf(link.list, "link")->Link().Url, "x");

    Doc items("<STYLE>DIV { display: list-item; list-style-type: decimal }</STYLE>"
              "<DIV>a</DIV><DIV>b<DIV>in</DIV></DIV>");
    auto blocks = All<TListItemBlock>(items.list);
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0]->ItemNumber, 1);
    EXPECT_EQ(blocks[1]->ItemNumber, 2);
    EXPECT_EQ(blocks[2]->ItemNumber, 1); // the first in its own container
    EXPECT_EQ(blocks[0]->MarkerStyle, msDecimal);

    // Unclosed elements shown as blocks nest no deeper than constructs do.
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<B STYLE=\"display: block\">x";
    Doc nested(deep);
    EXPECT_LE(BlockDepth(nested.list), MaxBlockDepth + 2);
}

// A picture shown as a block stands alone in a block of its own, between
// the text before and after it; a floating one stays a float in the line.
TEST(Builder, PicturesShownAsBlocksStandAlone) {
    const auto pictureBlocks = [](const TCellBasic& cell) {
        std::vector<TBlock*> out;
        for (TBlock* b : All<TBlock>(cell))
            if (b->Content.OwnerTag == "img") out.push_back(b);
        return out;
    };
    Doc block("<P>before <IMG SRC=x.gif STYLE=\"display: block; width: 50%\"> after");
    const auto blocks = pictureBlocks(block.list);
    ASSERT_EQ(blocks.size(), 1u);
    const auto sections = All<TSection>(blocks[0]->Content);
    ASSERT_EQ(sections.size(), 1u);
    ASSERT_EQ(sections[0]->Images().size(), 1u);
    EXPECT_EQ(sections[0]->Images()[0]->WantWidth, 100); // the block is half as wide
    ASSERT_TRUE(SectionWith(block.list, "before"));
    EXPECT_NE(SectionWith(block.list, "before"), SectionWith(block.list, "after"));
    EXPECT_FALSE(BlockHolds(block.list, "img", "after"));

    Doc floating("<P>a <IMG SRC=x.gif STYLE=\"display: block; float: left\"> b");
    EXPECT_TRUE(pictureBlocks(floating.list).empty());
    ASSERT_TRUE(SectionWith(floating.list, "b"));
    EXPECT_EQ(SectionWith(floating.list, "a "), SectionWith(floating.list, "b"));
}

// A block's first letter, with the punctuation before it, takes the look
// its rules give it; the rest of the text, and other blocks, do not.
TEST(Builder, FirstLettersTakeTheirOwnLook) {
    Doc doc("<STYLE>P:first-letter { color: red } .big:first-letter { font-size: 200% }"
            "</STYLE><P CLASS=big> <B>\"Ab</B> cd<P>ef<DIV>gh</DIV><P><TABLE><TR><TD>ij</TABLE>");
    auto font = [&](std::string_view text) {
        TFontRun* run = RunOf(doc.list, text);
        EXPECT_TRUE(run) << text;
        return run ? TFont(run->PlainFont()) : TFont{};
    };
    constexpr TColor red = 0x0000FF;
    EXPECT_EQ(font("\"A").Color, red);
    EXPECT_EQ(font("\"A").Size, 24);
    EXPECT_TRUE(font("\"A").Bold);
    EXPECT_NE(font("b").Color, red);
    EXPECT_EQ(font("b").Size, 12);
    EXPECT_EQ(font("e").Color, red);
    EXPECT_EQ(font("e").Size, 12);
    EXPECT_NE(font("f").Color, red);
    EXPECT_NE(font("g").Color, red);
    EXPECT_NE(font("i").Color, red); // a cell's text is not its table's paragraph's
}

// A PRE left open in a table cell ends at the cell's end and leaves it to
// the cell reader.
TEST(Builder, UnclosedPreLeavesTheCellEnd) {
    RecordingCanvas canvas;
    TSectionList list(canvas);
    ParserLock lock;
    THtmlBuilder builder(list, lock.Parser(), TBuilderHooks{});
    builder.ParseDocument("");
    builder.Stack = std::make_unique<TPropStack>(list.StyleSheet);
    builder.Stack->Reset();
    builder.P.Begin("<PRE>x<UL><LI>y</TD>z");
    builder.P.ReadNextChar();
    builder.Next();
    builder.ParseBody(TableCellTerminators());
    EXPECT_EQ(builder.Cur(), TDEndTok);
    builder.P.Begin("<UL><LI>y</TD>z");
    builder.P.ReadNextChar();
    builder.Next();
    builder.ParseBody(TableCellTerminators());
    EXPECT_EQ(builder.Cur(), TDEndTok);
    builder.FinishSection();
}

// Markup nested far deeper than any page needs is read as text past the
// cap: building, layout and painting stay within the stack.
TEST(Builder, NestingIsCapped) {
    const struct {
        const char* open;
        int times;
    } rows[] = {{"<DIV>", 100000},        {"<UL><LI>", 100000}, {"<BLOCKQUOTE>", 100000},
                {"<OL>", 100000},         {"<CENTER>", 20000},  {"<DL><DD>", 20000},
                {"<FORM>", 20000},        {"<H1>", 20000},      {"<P><B>", 20000},
                {"<FONT SIZE=+1>", 20000}};
    for (const auto& [open, times] : rows) {
        std::string html;
        for (int i = 0; i < times; ++i)
            html += open;
        html += "deep text";
        Doc doc(html, 800);
        EXPECT_LE(BlockDepth(doc.list), 2 * MaxBlockDepth + 4) << open;
        EXPECT_TRUE(SectionWith(doc.list, "deep text")) << open;
        doc.Paint(0, 600);
    }
}

// Blocks nest 256 deep, to the one: the 257th opens no block of its own.
TEST(Builder, BlocksNestTwoHundredAndFiftySixDeep) {
    const auto depth = [](int divs) {
        std::string html;
        for (int i = 0; i < divs; ++i)
            html += "<DIV>";
        Doc doc(html + "deep text", 800);
        return BlockDepth(doc.list);
    };
    EXPECT_LT(depth(255), depth(256));
    EXPECT_EQ(depth(256), depth(257));
}

// PRE met with the style stack full ends without taking the entry of the
// element that encloses it.
TEST(Builder, PreAtTheStackLimitKeepsTheEnclosingLook) {
    for (int n = MaxStackDepth - 8; n < MaxStackDepth; ++n) {
        std::string html;
        for (int i = 0; i < n; ++i)
            html += "<B>";
        Doc doc(html + "<I><PRE>x</PRE>after");
        TFontRun* run = RunOf(doc.list, "after");
        ASSERT_TRUE(run) << n;
        EXPECT_TRUE(run->PlainFont().Italic) << n;
    }
}

// Elements met with the style stack full take the enclosing look and change
// no entry below: their values and their ends reach nothing else.
TEST(Builder, FullStackLeavesItsEntriesAlone) {
    std::string full = "<FONT COLOR=blue>";
    for (int i = 1; i < MaxStackDepth; ++i)
        full += "<B>";
    const struct {
        const char* tail;
        const char* text;
    } rows[] = {
        {"<FONT COLOR=red>x</FONT>y", "x"},
        {"<FONT COLOR=red>x</FONT>y", "y"},
        {"<DIV ALIGN=right>x</DIV>y", "y"},
        {"<A HREF=u STYLE=\"color:red\">x</A>y", "y"},
        {"<P ALIGN=center STYLE=\"color:red\">x<P>y", "y"},
    };
    for (const auto& row : rows) {
        Doc doc(full + row.tail);
        TFontRun* run = RunOf(doc.list, row.text);
        ASSERT_TRUE(run) << row.tail;
        EXPECT_EQ(run->PlainFont().Color, 0xFF0000u | PaletteRelative) << row.tail << row.text;
        EXPECT_TRUE(run->PlainFont().Bold) << row.tail << row.text;
        EXPECT_EQ(SectionWith(doc.list, row.text)->Alignment, TextAlign::Left) << row.tail;
    }
}

TEST(Builder, UnclosedCommentKeepsWhatWasBuilt) {
    Doc doc("<UL><LI><DIV><P>kept text<B>bold<!-- never closed <P>lost");
    ASSERT_TRUE(SectionWith(doc.list, "kept text"));
    EXPECT_FALSE(SectionWith(doc.list, "lost"));
    EXPECT_GT(doc.result.Height, 0);
    doc.Paint(0, 400);
}

// Input that ends inside a construct, plainly or in a comment that never
// closes (which ends the parse at once, losing what the tokenizer had read
// ahead), leaves a whole tree holding what was read: nothing the builder goes
// on with may point into a construct's reader.
TEST(Builder, InputEndingInsideAConstructKeepsWhatWasRead) {
    const std::string_view constructs[] = {
        "<TABLE><TR><TD>kept",
        "<TABLE><TH>kept",
        "<TABLE>kept",
        "<TABLE><CAPTION>kept",
        "<TABLE><TR><TD>x</TD>kept",
        "<TABLE><TR><TD><TABLE><TR><TD><TABLE><TD>kept",
        "<TABLE><TR><TD><UL><LI>kept",
        "<TABLE><TR><TD><PRE>kept",
        "<TABLE><TR><TD><A HREF=x>kept",
        "<TABLE><TR><TD><FORM>kept<SELECT NAME=s><OPTION>one",
        "<UL><LI>kept",
        "<OL><LI><UL><LI>kept",
        "<DL><DT>x<DD>kept",
        "<BLOCKQUOTE>kept",
        "<FORM>kept<INPUT NAME=a>",
        "<FORM><P>kept<SELECT NAME=s><OPTION>one<OPTION>two",
        "kept<TEXTAREA NAME=t>line",
        "kept<MAP NAME=m><AREA HREF=x>",
        "<PRE>kept<B>",
        "<DIV><CENTER>kept",
        "<H1>kept",
        "<P><FONT SIZE=7><B>kept",
    };
    using namespace std::string_view_literals;
    const std::string_view cuts[] = {""sv, "<"sv, "<!"sv, "<!-- open"sv, "<\0<!"sv};
    for (std::string_view construct : constructs)
        for (std::string_view cut : cuts) {
            const std::string page = std::string(construct) + "<BR>tail<BR>" + std::string(cut);
            Doc doc(page);
            EXPECT_TRUE(SectionWith(doc.list, "kept")) << page;
            EXPECT_GT(doc.result.Height, 0) << page;
            doc.Paint(0, 400);
        }
}

// The smallest page that once left the builder filling a freed cell.
TEST(Builder, CellCutByAnUnclosedCommentStaysInItsTable) {
    Doc doc(std::string_view("<table><TD><\0<!", 15));
    ASSERT_EQ(All<THtmlTable>(doc.list).size(), 1u);
    EXPECT_EQ(All<THtmlTable>(doc.list)[0]->Rows.size(), 1u);
    doc.Paint(0, 400);
}

TEST(Builder, NothingOfOneParseReachesTheNext) {
    RecordingCanvas canvas;
    TSectionList list(canvas);
    ParseHtmlBuffer(list, "<A HREF=x><NOBR><BASEFONT SIZE=7><SUB><UL><LI><B>open everything");
    list.Reset();
    ParseHtmlBuffer(list, "plain words here");
    TFontRun* run = RunOf(list, "plain");
    ASSERT_TRUE(run);
    EXPECT_EQ(run->Link().Url, "");
    EXPECT_EQ(run->ScriptShift, 0);
    EXPECT_FALSE(run->PlainFont().Bold);
    EXPECT_EQ(SectionWith(list, "plain")->Text, "plain words here");
    list.Reset();
    ParseHtmlBuffer(list, "<FONT SIZE=+1>x");
    EXPECT_EQ(RunOf(list, "x")->PlainFont().Size, 14);
}

TEST(Builder, LooseTextBeforeBodyIsDroppedWithItsNames) {
    Doc doc("<A NAME=gone>loose</A> text<BODY><P>kept");
    EXPECT_FALSE(SectionWith(doc.list, "loose"));
    EXPECT_EQ(doc.list.IDs.Find("gone"), nullptr);
    EXPECT_TRUE(SectionWith(doc.list, "kept"));
}

TEST(Builder, DroppedSectionUnregistersItsID) {
    RecordingCanvas canvas;
    TSectionList list(canvas);
    TAttributeList attributes;
    attributes.Add(std::make_unique<TAttribute>(IDTok, 0, "spot"));
    TProperties props;
    auto section = std::make_unique<TSection>(list, &attributes, TUrlTarget(), props, 0);
    section->AppendText("   ", 0);
    EXPECT_TRUE(list.IDs.Find("spot"));
    EXPECT_EQ(list.AddItem(std::move(section)), nullptr);
    EXPECT_EQ(list.IDs.Find("spot"), nullptr);
}

TEST(Builder, BodyAttributes) {
    Doc doc("<BODY MARGINWIDTH=500 MARGINHEIGHT=-3 BGCOLOR=yellow LINK=green><P><A HREF=x>l</A>"
            "<BODY BGCOLOR=red MARGINWIDTH=0>");
    auto bodies = All<TBodyBlock>(doc.list);
    ASSERT_EQ(bodies.size(), 1u);
    EXPECT_EQ(bodies[0]->Box[Prop::MarginLeft], 200);
    EXPECT_EQ(bodies[0]->Box[Prop::MarginTop], 0);
    EXPECT_EQ(doc.list.BackColor, 0x00FFFFu | PaletteRelative);
    EXPECT_EQ(RunOf(doc.list, "l")->PlainFont().Color, 0x008000u | PaletteRelative);
}

// BODY met while another construct fills a cell (a table cell, say) takes
// its colours only and frees nothing that construct holds.
TEST(Builder, BodyAmongATablesCellsKeepsTheBodyTheTableStandsIn) {
    Doc doc("<TABLE>stray<BODY BGCOLOR=red>more<TR><TD>cell</TABLE>after");
    // Loose text before a BODY goes, as anywhere; what follows stays.
    for (const char* text : {"more", "cell", "after"})
        EXPECT_TRUE(SectionWith(doc.list, text)) << text;
    EXPECT_EQ(doc.list.BackColor, 0x0000FFu | PaletteRelative);
}

TEST(Builder, BodyInsideAnotherConstructAppliesAttributesOnly) {
    RecordingCanvas canvas;
    TSectionList list(canvas);
    ParserLock lock;
    THtmlBuilder builder(list, lock.Parser(), TBuilderHooks{});
    builder.ParseDocument("");
    TBodyBlock* body = builder.BodyBlock;
    TBlockCell elsewhere(list, "td");
    builder.Stack = std::make_unique<TPropStack>(list.StyleSheet);
    builder.Stack->Reset();
    builder.ActiveCell = &elsewhere;
    builder.P.Begin("<BODY BGCOLOR=red TEXT=blue>inside");
    builder.P.ReadNextChar();
    builder.Next();
    builder.ParseBody(TokSet());
    builder.FinishSection();
    EXPECT_EQ(builder.BodyBlock, body);
    EXPECT_EQ(list.size(), 1u);
    EXPECT_EQ(list.BackColor, 0x0000FFu | PaletteRelative);
    EXPECT_TRUE(SectionWith(elsewhere, "inside"));
}

TEST(Builder, PlainText) {
    RecordingCanvas canvas;
    TSectionList list(canvas);
    TMemoryStream in;
    in.Write("one <b>&amp;\r\n\r\nthree" + std::string(450, 'x'));
    ParseTextStream(list, in);
    auto lines = All<TSection>(list);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]->Text, "one <b>&amp;");
    EXPECT_EQ(lines[1]->Text, "");
    EXPECT_EQ(lines[2]->Text.size(), 455u);
}

// Plain text shows every byte as a character: control bytes are spaces, tabs
// go to the next stop of eight, and each of CR, LF, CR LF and LF CR ends
// one line.
TEST(Builder, PlainTextControlsAndLineEnds) {
    const struct {
        std::string text;
        std::vector<std::string> lines;
    } rows[] = {
        {std::string("a\x02\x04\x05\x06\x07\x08\x7f\0z", 10), {"a        z"}},
        {"a\tb\tc\n\txyz\t!", {"a       b       c", "        xyz     !"}},
        {"one\n\rtwo\r\nthree\n\nfour\r\rfive\r\n",
         {"one", "two", "three", "", "four", "", "five"}},
    };
    for (const auto& row : rows) {
        RecordingCanvas canvas;
        TSectionList list(canvas);
        ParseTextBuffer(list, row.text);
        std::vector<std::string> lines;
        for (TSection* s : All<TSection>(list))
            lines.push_back(s->Text);
        EXPECT_EQ(lines, row.lines) << row.text;
    }
}

TEST(Builder, StreamsAreReadWholeFromTheirStart) {
    RecordingCanvas canvas;
    TSectionList list(canvas);
    TMemoryStream in;
    in.Write("<TITLE>streamed</TITLE><P>body");
    EXPECT_EQ(ParseHtmlStream(list, in).Title, "streamed");
    EXPECT_TRUE(SectionWith(list, "body"));
}

// A page over the size limit shows its start, never an empty page.
TEST(Builder, PageOverTheLimitShowsItsStart) {
    TempFolder folder;
    std::string page = "<TITLE>Big</TITLE><P>start<B>bold<!--";
    page.resize(MaxDocumentSize + 100, 'x');
    folder.Write("big.htm", page);
    RecordingCanvas canvas;
    TSectionList list(canvas);
    EXPECT_EQ(ParseHtmlFile(list, folder / "big.htm").Title, "Big");
    EXPECT_TRUE(SectionWith(list, "start"));
}

TEST(Frames, IsFrameDocument) {
    const struct {
        const char* html;
        bool frames;
    } rows[] = {
        {"<FRAMESET COLS=50%,*>", true}, {"<HTML><HEAD><TITLE>x</TITLE></HEAD><FRAMESET>", true},
        {"<P>text<FRAMESET>", false},    {"<SCRIPT><FRAMESET></SCRIPT><BODY>", false},
        {"<BODY><FRAMESET>", false},     {"", false},
        {"<!-- <FRAMESET>", false},
    };
    RecordingFrames viewer;
    for (const auto& row : rows) {
        std::string_view text = row.html;
        TLoadInput input;
        input.Buffer = &text;
        EXPECT_EQ(IsFrameDocument(input, viewer), row.frames) << row.html;
    }
    TLoadInput missing;
    EXPECT_FALSE(IsFrameDocument(missing, viewer));
}

TEST(Frames, WalkCallsTheViewer) {
    RecordingFrames viewer;
    std::string_view text = "<TITLE>Frames</TITLE><FRAMESET COLS=\"20%,*\"><FRAME SRC=a.htm>"
                            "<FRAMESET><FRAME SRC=b.htm></FRAMESET><NOFRAMES><FRAME SRC=no>"
                            "</NOFRAMES></FRAMESET><FRAME SRC=after>";
    TLoadInput input;
    input.Buffer = &text;
    TParseResult r = ParseFrameDocument(viewer, &viewer.NewSet(), input, {});
    EXPECT_EQ(r.Title, "Frames");
    EXPECT_EQ(viewer.Log, "attrs 1 20%,*\nframe 1 a.htm\nset in 1\nattrs 2 \nframe 2 b.htm\n"
                          "end 2\nend 1\n");
    // A title is cut at the same length whichever entry point reads it.
    const std::string longTitle = "<TITLE>" + std::string(MaxTitle + 500, 't') + "</TITLE>";
    text = longTitle;
    EXPECT_EQ(ParseFrameDocument(viewer, nullptr, input, {}).Title.size(), MaxTitle);
    EXPECT_EQ(Doc(longTitle).result.Title.size(), MaxTitle);
    for (const size_t length : {4095u, 4096u, 4097u}) {
        const std::string title(length, 't');
        EXPECT_EQ(Doc("<TITLE>" + title + "</TITLE>").result.Title.size(),
                  std::min<size_t>(length, 4096));
    }
    // A document parse afterwards starts clean.
    Doc doc("<P>x");
    EXPECT_TRUE(SectionWith(doc.list, "x"));
}

} // namespace
} // namespace lumo::test

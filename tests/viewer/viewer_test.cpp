// The viewer driven as a user would drive it: files loaded, keys, wheel and
// mouse sent to the widget, results read from what it shows and selects.
#include "tests/viewer/viewer_fixture.h"

#include "layout/inline_panel.h"
#include "layout/picture_source.h"
#include "platform/qt_text.h"
#include "platform/stream.h"
#include "tests/image/gif_builder.h"
#include "viewer/panel_widget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace lumo::test {
namespace {

// --- Loading, layout and scrolling -------------------------------------------

TEST_F(ViewerTest, LoadsLaysOutAndScrollsByKeysWheelAndBar) {
    std::vector<bool> processing;
    viewer.OnProcessing = [&](THTMLViewer*, bool on) { processing.push_back(on); };
    Open("long.htm", Paragraphs(200, "Long"));
    EXPECT_EQ(processing, (std::vector<bool>{true, false}));
    EXPECT_EQ(viewer.PageTitle(), "Long");
    EXPECT_EQ(viewer.DocumentFile(), folder / "long.htm");
    const int panel = viewer.PaintPanel()->height();
    const int bottom = viewer.DocHeight() - panel;
    ASSERT_GT(bottom, 1000);
    EXPECT_TRUE(viewer.VScrollBar()->isVisible());
    // The bar's range ends where the last pixel row reaches the panel bottom.
    EXPECT_EQ(viewer.VScrollBar()->maximum(), bottom);

    struct {
        int key, expected;
    } keys[] = {
        {Qt::Key_Down, 16},     {Qt::Key_Down, 32},
        {Qt::Key_Up, 16},       {Qt::Key_PageDown, 16 + panel - 16},
        {Qt::Key_PageUp, 16},   {Qt::Key_End, bottom},
        {Qt::Key_Down, bottom}, {Qt::Key_Home, 0},
        {Qt::Key_Up, 0},
    };
    for (const auto& row : keys) {
        Key(row.key);
        EXPECT_EQ(viewer.ScrollY(), row.expected) << row.key;
        EXPECT_EQ(viewer.VScrollBar()->value(), row.expected);
    }
    Wheel(-2); // two notches towards the user
    EXPECT_EQ(viewer.ScrollY(), 120);
    Wheel(1);
    EXPECT_EQ(viewer.ScrollY(), 60);
    viewer.VScrollBar()->setValue(500);
    EXPECT_EQ(viewer.ScrollY(), 500);
    // What a paint shows comes from the same position.
    const int painted = viewer.PaintCount();
    viewer.PaintPanel()->repaint();
    EXPECT_GT(viewer.PaintCount(), painted);
}

TEST_F(ViewerTest, AShortDocumentNeverScrolls) {
    Open("short.htm", "<P>One line");
    EXPECT_LT(viewer.DocHeight(), viewer.PaintPanel()->height());
    EXPECT_FALSE(viewer.VScrollBar()->isVisible());
    for (int key : {Qt::Key_End, Qt::Key_PageDown, Qt::Key_Down}) {
        Key(key);
        EXPECT_EQ(viewer.ScrollY(), 0);
    }
    viewer.ScrollTo(5000);
    EXPECT_EQ(viewer.ScrollY(), 0);
    viewer.ScrollTo(-50);
    EXPECT_EQ(viewer.ScrollY(), 0);
}

TEST_F(ViewerTest, HorizontalScrollingStopsAtSixThousandPixels) {
    Open("wide.htm", "<PRE>" + std::string(2000, 'W') + "</PRE>");
    EXPECT_EQ(viewer.ScrollWidth(), THTMLViewer::MaxScrollWidth);
    ASSERT_TRUE(viewer.HScrollBar()->isVisible());
    EXPECT_EQ(viewer.HScrollBar()->maximum(), 6000 - viewer.PaintPanel()->width());
    Key(Qt::Key_Right);
    EXPECT_EQ(viewer.HScroll(), 15);
    viewer.ScrollHorzTo(100000);
    EXPECT_EQ(viewer.HScroll(), viewer.HScrollBar()->maximum());
}

TEST_F(ViewerTest, AMissingFileKeepsTheDocumentShown) {
    Open("here.htm", "<TITLE>Here</TITLE>text");
    try {
        viewer.OpenFile(folder / "gone.htm");
        FAIL() << "no error";
    } catch (const EInOutError& e) {
        EXPECT_EQ(std::string(e.what()), "Can't locate file: " + folder / "gone.htm");
    }
    EXPECT_EQ(viewer.PageTitle(), "Here");
    EXPECT_EQ(viewer.DocumentFile(), folder / "here.htm");
}

TEST_F(ViewerTest, TextAndStreamsLoadWithoutAFile) {
    viewer.OpenText("<TITLE>From memory</TITLE><P>Body text");
    EXPECT_EQ(viewer.PageTitle(), "From memory");
    EXPECT_EQ(viewer.DocumentFile(), "");
    TMemoryStream stream;
    stream.Write("plain <b>text</b>\r\nsecond line");
    viewer.OpenStream("res:///notes.txt", stream, ckText);
    EXPECT_EQ(viewer.DocumentFile(), "res:///notes.txt");
    EXPECT_EQ(viewer.DocKind(), ckText);
    viewer.SelectEverything();
    EXPECT_EQ(viewer.SelectedText(), "plain <b>text</b>\r\nsecond line\r\n");
}

// --- Links, anchors and history -----------------------------------------------

// A document from a stream (a built-in page, a page the host fetched) stays
// in the history; going back asks the host for it again.
TEST_F(ViewerTest, StreamDocumentsComeBackThroughTheHost) {
    viewer.SetHistoryMaxCount(5);
    std::vector<std::string> asked;
    TMemoryStream served;
    viewer.OnGetPostRequest = [&](THTMLViewer*, const std::string& url, std::string&,
                                  TContentKind& kind, TStream*& stream) {
        asked.push_back(url);
        served.Assign("<TITLE>Again</TITLE><P>built in");
        kind = ckHTML;
        stream = &served;
    };
    TMemoryStream first;
    first.Write("<TITLE>Built in</TITLE><P>help");
    viewer.OpenStream("res:///help.htm", first, ckHTML);
    Open("b.htm", "<TITLE>B</TITLE><P>file page");
    ASSERT_EQ(viewer.History().Count(), 2);
    viewer.SetHistoryIndex(1);
    EXPECT_EQ(asked, std::vector<std::string>{"res:///help.htm"});
    EXPECT_EQ(viewer.DocumentFile(), "res:///help.htm");
    EXPECT_EQ(viewer.PageTitle(), "Again");
    viewer.SetHistoryIndex(0);
    EXPECT_EQ(viewer.DocumentFile(), folder / "b.htm");
    // Without a host the entry cannot come back, and the page stays.
    viewer.OnGetPostRequest = nullptr;
    viewer.SetHistoryIndex(1);
    EXPECT_EQ(viewer.DocumentFile(), folder / "b.htm");
}

// Linked style sheets of a page come through the host under the name the
// host's expansion gives them.
TEST_F(ViewerTest, LinkedStyleSheetsComeThroughTheHost) {
    std::vector<std::string> asked;
    TMemoryStream sheet;
    viewer.OnExpandName = [](THTMLViewer*, const std::string& name) {
        return "http://site/css/" + name;
    };
    viewer.OnGetPostRequest = [&](THTMLViewer*, const std::string& url, std::string&, TContentKind&,
                                  TStream*& stream) {
        asked.push_back(url);
        sheet.Assign("P { margin-left: 150px }");
        stream = &sheet;
    };
    TMemoryStream page;
    page.Write("<LINK REL=stylesheet HREF=\"s.css\"><P>indented");
    viewer.OpenStream("http://site/page.htm", page, ckHTML);
    EXPECT_EQ(asked, std::vector<std::string>{"http://site/css/s.css"});
    EXPECT_GT(PointOf("indented").x(), 150);
}

// A linked sheet is read up to 1 MB: a rule ending at its last byte counts,
// one wholly past it does not.
TEST_F(ViewerTest, LinkedStyleSheetsAreReadUpToOneMegabyte) {
    const std::string rule = "P{margin-left:150px}";
    for (const size_t size : {size_t{1} << 20, (size_t{1} << 20) + rule.size()}) {
        TMemoryStream sheet;
        viewer.OnGetPostRequest = [&](THTMLViewer*, const std::string&, std::string&, TContentKind&,
                                      TStream*& stream) {
            sheet.Assign("/*" + std::string(size - rule.size() - 4, ' ') + "*/" + rule);
            stream = &sheet;
        };
        TMemoryStream page;
        page.Write("<LINK REL=stylesheet HREF=\"s.css\"><P>indented");
        viewer.OpenStream("http://site/page.htm", page, ckHTML);
        EXPECT_EQ(PointOf("indented").x() > 150, size == size_t{1} << 20) << size;
    }
}

TEST_F(ViewerTest, LinksAreCoveredClickedAndTheHistoryGoesBack) {
    viewer.SetHistoryMaxCount(10);
    std::vector<std::string> covered;
    viewer.OnHotSpotCovered = [&](THTMLViewer*, const std::string& src) { covered.push_back(src); };
    int historyChanges = 0;
    viewer.OnHistoryChange = [&](THTMLViewer*) { ++historyChanges; };
    Page("b.htm", "<TITLE>B</TITLE><P>Page B <A HREF=\"a.htm\">back</A>" + Paragraphs(60, "B"));
    Open("a.htm", Paragraphs(60, "A") + "<P>Go to <A HREF=\"b.htm\">the b page</A> now");
    viewer.ScrollTo(viewer.DocHeight());
    const int scrolled = viewer.ScrollY();

    Move(PointOf("Go to"));
    EXPECT_EQ(viewer.HotURL(), "");
    Move(PointOf("the b page"));
    EXPECT_EQ(viewer.HotURL(), "b.htm");
    EXPECT_EQ(viewer.PaintPanel()->cursor().shape(), Qt::PointingHandCursor);
    Move(PointOf("now"));
    EXPECT_EQ(covered, (std::vector<std::string>{"b.htm", ""}));

    Click(PointOf("the b page"));
    EXPECT_EQ(viewer.DocumentFile(), folder / "b.htm");
    EXPECT_EQ(viewer.PageTitle(), "B");
    EXPECT_EQ(viewer.ScrollY(), 0);
    ASSERT_EQ(viewer.History().Count(), 2);
    EXPECT_EQ(viewer.History().BackFiles,
              (std::vector<std::string>{folder / "b.htm", folder / "a.htm"}));
    EXPECT_EQ(viewer.VisitedLinks().front(), folder / "b.htm");

    viewer.ScrollTo(viewer.DocHeight() / 2);
    const int scrolledInB = viewer.ScrollY();
    ASSERT_GT(scrolledInB, 0);

    viewer.SetHistoryIndex(1); // back
    EXPECT_EQ(viewer.DocumentFile(), folder / "a.htm");
    EXPECT_EQ(viewer.ScrollY(), scrolled);
    EXPECT_EQ(viewer.BackIndex(), 1);
    // The link to the page seen is drawn as visited now.
    EXPECT_TRUE(RunOf(viewer.SectionList(), "the b page")->IsVisited);
    viewer.SetHistoryIndex(0); // forward
    EXPECT_EQ(viewer.DocumentFile(), folder / "b.htm");
    EXPECT_EQ(viewer.ScrollY(), scrolledInB); // where b was left
    EXPECT_EQ(historyChanges, 4);             // first page, link, back, forward

    // A link into another folder is remembered by the address it had on the
    // page that held it, not resolved again against the page it opened.
    Page("sub/c.htm", "<P>Page C");
    Open("d.htm", "<P><A HREF=\"sub/c.htm\">to c</A>");
    Click(PointOf("to c"));
    EXPECT_EQ(viewer.DocumentFile(), folder / "sub/c.htm");
    EXPECT_EQ(viewer.VisitedLinks().front(), folder / "sub/c.htm");
}

TEST_F(ViewerTest, LinksReachFilesOfAnyNameAndANulCutsNothing) {
    viewer.SetHistoryMaxCount(10);
    Page("\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.htm",
         "<TITLE>Cyrillic</TITLE><A HREF=\"a%23b.htm#end\">to hash</A>");
    Page("a#b.htm",
         Paragraphs(40, "Hash") + "<P><A NAME=end></A><A HREF=\"50%25.htm\">to percent</A>");
    Page("50%.htm", "<TITLE>Percent</TITLE><A HREF=\"x%3Ay.htm\">to colon</A>");
    Page("x:y.htm", "<TITLE>Colon</TITLE><A HREF=\"a.txt%00.htm\">to nul</A>");
    Page("a.txt", "<TITLE>Not this</TITLE>");
    Open("start.htm", "<A HREF=\"%D0%9F%D1%80%D0%B8%D0%B2%D0%B5%D1%82.htm\">to cyrillic</A>");
    const struct {
        const char* link;
        const char* title;
    } steps[] = {{"to cyrillic", "Cyrillic"},
                 {"to hash", "Hash"},
                 {"to percent", "Percent"},
                 {"to colon", "Colon"},
                 {"to nul", "Colon"}};
    for (const auto& step : steps) {
        Click(PointOf(step.link));
        EXPECT_EQ(viewer.PageTitle(), step.title) << step.link;
    }
    EXPECT_EQ(viewer.DocumentFile(), folder / "x%3Ay.htm");
    // Back through the history, each page found again by its name.
    for (const char* title : {"Percent", "Hash", "Cyrillic"}) {
        viewer.SetHistoryIndex(viewer.BackIndex() + 1);
        EXPECT_EQ(viewer.PageTitle(), title);
    }
}

// Links to other files and schemes are the owner's to follow: each click is
// reported with the link as written, and the viewer stays on its page. A
// page link the owner handles is not followed either.
TEST_F(ViewerTest, LinksToOtherFilesAndSchemesAreNotLoaded) {
    Page("b.htm", "B");
    Open("a.htm", "<A HREF=\"notes.doc\">doc</A> <A HREF=\"http://srv/x.htm\">web</A> "
                  "<A HREF=\"mailto:a@b\">mail</A> <A HREF=\"b.htm\">handled</A>");
    std::vector<std::string> reported;
    viewer.OnHotSpotClick = [&](THTMLViewer* sender, const std::string& url, bool& handled) {
        EXPECT_EQ(sender, &viewer);
        reported.push_back(url);
        handled = url == "b.htm";
    };
    for (const char* text : {"doc", "web", "mail", "handled"}) {
        Click(PointOf(text));
        EXPECT_EQ(viewer.DocumentFile(), folder / "a.htm") << text;
    }
    EXPECT_EQ(reported,
              (std::vector<std::string>{"notes.doc", "http://srv/x.htm", "mailto:a@b", "b.htm"}));
}

TEST_F(ViewerTest, SamePageAnchorsScrollAndAddHistoryWhateverTheirCase) {
    viewer.SetHistoryMaxCount(10);
    Open("a.htm", "<P><A HREF=\"#Far\">to far</A>" + Paragraphs(80) + "<P ID=\"far\">Far away</P>" +
                      Paragraphs(40));
    const int loads = viewer.LayoutCount();
    Click(PointOf("to far"));
    EXPECT_EQ(viewer.LayoutCount(), loads); // no reload
    EXPECT_EQ(FirstVisible(), SectionWith(viewer.SectionList(), "Far away"));
    EXPECT_EQ(viewer.History().Count(), 2);
    EXPECT_EQ(viewer.VisitedLinks().front(), folder / "a.htm#Far");
    viewer.SetHistoryIndex(1);
    EXPECT_EQ(viewer.ScrollY(), 0);

    EXPECT_TRUE(viewer.GoToAnchor("#FAR"));
    EXPECT_GT(viewer.ScrollY(), 0);
    EXPECT_FALSE(viewer.GoToAnchor("nowhere"));
    viewer.ScrollTo(0);
    viewer.OpenFile(folder / "a.htm#fAr");
    EXPECT_EQ(FirstVisible(), SectionWith(viewer.SectionList(), "Far away"));
}

TEST_F(ViewerTest, ASelectionIsNotALinkClick) {
    Page("b.htm", "B");
    Open("a.htm", "<P>Before <A HREF=\"b.htm\">the link</A> after");
    const QPoint start = PointOf("Before"), end = PointOf("link");
    Move(start);
    Press(start);
    Move(end, Qt::LeftButton);
    Release(end);
    EXPECT_EQ(viewer.SelectedText(), "Before the ");
    EXPECT_EQ(viewer.DocumentFile(), folder / "a.htm");
    // Backwards from the caret the length is negative.
    Press(end);
    Move(start, Qt::LeftButton);
    Release(start);
    EXPECT_EQ(viewer.SelectionLength(), -static_cast<int>(std::string("Before the ").size()));
}

TEST_F(ViewerTest, MetaRefreshIsReportedAfterTheLoad) {
    std::vector<std::pair<int, std::string>> refreshes;
    bool loading = false;
    viewer.OnProcessing = [&](THTMLViewer*, bool on) { loading = on; };
    viewer.OnMetaRefresh = [&](THTMLViewer*, int delay, const std::string& url) {
        EXPECT_FALSE(loading);
        refreshes.push_back({delay, url});
    };
    Open("r.htm", "<META HTTP-EQUIV=\"Refresh\" CONTENT=\"0;url=next.htm\"><P>Wait");
    Open("plain.htm", "<META NAME=\"x\" CONTENT=\"0;url=no.htm\"><P>None");
    EXPECT_EQ(refreshes, (std::vector<std::pair<int, std::string>>{{1, "next.htm"}}));
    EXPECT_EQ(viewer.RefreshURL(), "");
}

// --- Selection, find and copy --------------------------------------------------

TEST_F(ViewerTest, FindGoesForwardSelectsAndScrollsToTheFind) {
    Open("f.htm", "<P>A needle here" + Paragraphs(100) +
                      "<P>Another Needle and caf\xE9 au lait</P>" + Paragraphs(50));
    EXPECT_TRUE(viewer.FindNext("needle", false));
    EXPECT_EQ(viewer.SelectedText(), "needle");
    EXPECT_EQ(viewer.ScrollY(), 0); // already visible
    EXPECT_TRUE(viewer.FindNext("needle", false));
    EXPECT_EQ(viewer.SelectedText(), "Needle");
    int x = 0, y = 0;
    viewer.SectionList().CursorToPoint(nullptr, viewer.CaretIndex() - 6, x, y);
    EXPECT_GT(y, viewer.ScrollY());
    EXPECT_LT(y, viewer.ScrollY() + viewer.PaintPanel()->height() - 20);
    EXPECT_FALSE(viewer.FindNext("needle", false)); // nothing further
    EXPECT_EQ(viewer.SelectedText(), "Needle");

    viewer.ScrollTo(0);
    viewer.OpenFile(folder / "f.htm");
    EXPECT_FALSE(viewer.FindNext("NEEDLE", true));
    EXPECT_TRUE(viewer.FindNext("Needle", true));
    EXPECT_TRUE(viewer.FindNext(u"CAFÉ"_s, false)); // accented letters fold too
    EXPECT_EQ(viewer.SelectedText(), u"café"_s);
}

// Find takes what the user typed and copy gives characters, whatever code
// page the page declares.
TEST_F(ViewerTest, FindAndCopyTakeThePagesCodePage) {
    const struct {
        const char* charset;
        const char* bytes;
        const char* utf8;
        const char16_t* typed; // found as the second word
    } rows[] = {
        {"windows-1251", "\xCF\xF0\xE8\xE2\xE5\xF2 \xEC\xE8\xF0", "Привет мир", u"мир"},
        {"koi8-r", "\xF0\xD2\xC9\xD7\xC5\xD4 \xCD\xC9\xD2", "Привет мир", u"мир"},
        {"iso-8859-7", "\xE1\xE2 \xE3", "αβ γ", u"γ"},
        // Without regard to case, folded in the page's own code page.
        {"windows-1251", "\xE4\xE0 \xFF\xF7", "да яч", u"ЯЧ"},
        {"koi8-r", "\xF0\xD2\xC9\xD7\xC5\xD4 \xD7\xC9\xC4", "Привет вид", u"ВИД"},
        {"iso-8859-5", "\xD4\xD0 \xD6\xE3\xDA", "да жук", u"ЖУК"},
        {"iso-8859-7", "\xE1\xE2 \xDC\xE3", "αβ άγ", u"ΆΓ"},
        {"", "caf\xE9 cr\xE8me", "café crème", u"crème"},
        {"utf-8", "Привет мир", "Привет мир", u"МИР"},
        {"utf-8", "中文 字😀", "中文 字😀", u"字😀"},
        {"utf-8", "a\xE2\x82 b", "a\uFFFD b", u"b"},
    };
    for (const auto& row : rows) {
        Open("cp.htm", std::string("<META HTTP-EQUIV=Content-Type CONTENT=\"text/html; charset=") +
                           row.charset + "\"><P>" + row.bytes);
        const QString utf8 = QString::fromUtf8(row.utf8);
        const QString typed = QString::fromUtf16(row.typed);
        ASSERT_TRUE(viewer.FindNext(typed, false)) << row.charset;
        // The word ends the line, so its line end comes with it.
        EXPECT_EQ(viewer.SelectedText(), utf8.mid(utf8.indexOf(' ') + 1) + "\r\n") << row.charset;
        EXPECT_FALSE(viewer.FindNext(u"Щ"_s, false)) << row.charset;
        QGuiApplication::clipboard()->clear();
        viewer.SelectEverything();
        EXPECT_EQ(viewer.SelectedText(), utf8 + "\r\n") << row.charset;
        viewer.CopySelectionToClipboard();
        EXPECT_EQ(QGuiApplication::clipboard()->text(), utf8 + "\r\n") << row.charset;
    }
    viewer.SetNoSelect(true);
    EXPECT_EQ(viewer.SelectedText(), "");
}

TEST_F(ViewerTest, DoubleClickSelectsTheWord) {
    std::vector<QPoint> doubles;
    viewer.OnMouseDouble = [&](THTMLViewer*, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        doubles.push_back({x, y});
    };
    Open("w.htm", "<P>alpha Bet\xE4tigung, gamma42 (delta)");
    struct {
        const char* at;
        const char* word;
    } rows[] = {
        {"Bet", "Bet\xE4tigung"}, {"tigung", "Bet\xE4tigung"}, {"gamma", "gamma42"},
        {"42", "gamma42"},        {"delta", "delta"},
    };
    for (const auto& row : rows) {
        DoubleClick(PointOf(row.at));
        EXPECT_EQ(viewer.SelectedText(), ToQString(row.word)) << row.at;
    }
    EXPECT_EQ(doubles.size(), std::size(rows));

    // Neighbouring paragraphs have neighbouring positions; a word still ends
    // with its own paragraph.
    Open("p.htm", "<P>first nested<P>after words");
    DoubleClick(PointOf("nested"));
    EXPECT_EQ(viewer.SelectionLength(), 6);
    DoubleClick(PointOf("after"));
    EXPECT_EQ(viewer.SelectedText(), "after");
}

TEST_F(ViewerTest, SelectingPastTheBottomScrollsAlong) {
    Open("s.htm", Paragraphs(100));
    const QPoint start = PointOf("Paragraph 0");
    Press(start);
    const QPoint below(start.x(), viewer.PaintPanel()->height() + 40);
    Move(below, Qt::LeftButton);
    PumpUntil([&] { return viewer.ScrollY() >= 8 * 16 * 2; }, 3000);
    EXPECT_GE(viewer.ScrollY(), 8 * 16 * 2); // eight lines a step that far out
    Release(below);
    const int stopped = viewer.ScrollY();
    EXPECT_GT(viewer.SelectionLength(), 100);
    PumpFor(250);
    EXPECT_EQ(viewer.ScrollY(), stopped);
}

TEST_F(ViewerTest, MiddleButtonDragScrollsUntilAKey) {
    Open("m.htm", Paragraphs(200));
    const QPoint start(100, 100);
    Press(start, Qt::MiddleButton);
    Release(start, Qt::MiddleButton); // a release at the start keeps it on
    Move({100, 100 + 70});
    PumpUntil([&] { return viewer.ScrollY() >= 200; }, 3000);
    EXPECT_GE(viewer.ScrollY(), 200);
    Key(Qt::Key_A);
    const int stopped = viewer.ScrollY();
    PumpFor(100);
    EXPECT_EQ(viewer.ScrollY(), stopped);
}

// --- Resizes, late images and the busy state ------------------------------------

TEST_F(ViewerTest, ResizesAreCoalescedAndKeepTheFirstVisibleParagraph) {
    Open("r.htm", Paragraphs(20001));
    ASSERT_GT(viewer.SectionList().PositionList.size(), 40000u);
    TSectionBase* target = SectionWith(viewer.SectionList(), "Paragraph 19000");
    viewer.ScrollTo(target->TopY);
    ASSERT_EQ(FirstVisible(), target);
    EXPECT_GT(viewer.ScrollPosition().Item, 38000);

    const int layouts = viewer.LayoutCount();
    for (int width : {380, 360, 320, 300, 250})
        viewer.resize(width, 280);
    Settle();
    EXPECT_EQ(viewer.LayoutCount(), layouts + 1);
    EXPECT_EQ(FirstVisible(), target);
    EXPECT_EQ(viewer.ScrollY(), target->TopY);
}

TEST_F(ViewerTest, PositionsBeyondSixteenBitsSurviveALayout) {
    std::string lines; // one paragraph of 6,000 lines
    for (int i = 0; i < 6000; ++i)
        lines += "line " + std::to_string(i) + "<BR>";
    Open("tall.htm", "<P>" + lines);
    ASSERT_GT(viewer.DocHeight(), 70000);
    viewer.ScrollTo(70000);
    const TScrollPosition position = viewer.ScrollPosition();
    EXPECT_GT(position.Offset, 65535); // inside one item taller than 65,535 pixels
    viewer.resize(300, 300);
    Settle();
    EXPECT_EQ(viewer.ScrollY(), 70000);
    EXPECT_EQ(viewer.ScrollPosition(), position);
}

TEST_F(ViewerTest, LateImagesWaitForTheLoadAndKeepThePosition) {
    std::vector<std::string> asked;
    viewer.OnImageRequest = [&asked](THTMLViewer*, const std::string& name, TStream*& stream) {
        asked.push_back(name);
        stream = &WaitStream();
    };
    folder.Write("i.htm",
                 "<P><IMG SRC=sized.gif WIDTH=40 HEIGHT=30><IMG SRC=pic.gif>" + Paragraphs(300));
    viewer.OpenFile(folder / "i.htm");
    viewer.ScrollTo(2000);
    const TScrollPosition position = viewer.ScrollPosition();
    const std::string gif =
        GifHeader(40, 30, {0xFF0000, 0x00FF00}) + SolidImage(0, 0, 40, 30, 1) + ";";
    TMemoryStream picture;
    picture.Write(gif.data(), gif.size());
    const int layouts = viewer.LayoutCount();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1], viewer.ExpandName("pic.gif"));
    // A picture whose size was given needs no new layout; one without does.
    EXPECT_TRUE(viewer.DeliverImage(viewer.ExpandName("sized.gif"), picture));
    EXPECT_EQ(viewer.LayoutCount(), layouts);
    EXPECT_TRUE(viewer.DeliverImage(viewer.ExpandName("pic.gif"), picture));
    EXPECT_EQ(viewer.LayoutCount(), layouts + 1);
    EXPECT_EQ(viewer.ScrollPosition(), position);
}

TEST_F(ViewerTest, NothingTouchesAHalfBuiltDocument) {
    // META handlers run in the middle of the parse, as a synchronous fetch
    // pumping the event loop would.
    bool delivered = true;
    int layoutsDuringLoad = -1, paintsDuringLoad = -1;
    viewer.OnMeta = [&](THTMLViewer* sender, const std::string&, const std::string&,
                        const std::string&) {
        const int layouts = sender->LayoutCount(), paints = sender->PaintCount();
        sender->resize(250, 200);
        sender->PaintPanel()->repaint();
        Move({10, 10});
        Key(Qt::Key_End);
        TMemoryStream picture;
        delivered = sender->DeliverImage("x.gif", picture);
        sender->OpenText("<P>A load from inside a load is ignored");
        PumpFor(20);
        layoutsDuringLoad = sender->LayoutCount() - layouts;
        paintsDuringLoad = sender->PaintCount() - paints;
    };
    Open("half.htm", "<META NAME=\"a\" CONTENT=\"b\">" + Paragraphs(50, "Half"));
    EXPECT_FALSE(delivered);
    EXPECT_EQ(layoutsDuringLoad, 0);
    EXPECT_EQ(paintsDuringLoad, 0);
    EXPECT_EQ(viewer.PageTitle(), "Half");
    EXPECT_EQ(viewer.ScrollY(), 0);
    // The load laid out for the size it ended with.
    EXPECT_LT(static_cast<TBlock*>(viewer.SectionList().front().get())->ContentWidth, 250);
}

TEST_F(ViewerTest, AFailedLoadReleasesTheBusyState) {
    std::vector<bool> processing;
    viewer.OnProcessing = [&](THTMLViewer*, bool on) { processing.push_back(on); };
    Open("based.htm", "<BASE HREF=\"/elsewhere/\"><P>A page with a base");
    EXPECT_EQ(viewer.ExpandName("x.htm"), "/elsewhere/x.htm");
    processing.clear();
    viewer.OnSoundRequest = [](THTMLViewer*, const std::string&, int, bool) {
        throw Exception("handler failed");
    };
    EXPECT_THROW(Open("bad.htm", "<P>never shown"), Exception);
    EXPECT_FALSE(viewer.Processing());
    EXPECT_EQ(processing, (std::vector<bool>{true, false}));
    // Nothing of the page before stays behind the empty one.
    EXPECT_EQ(viewer.ExpandName("x.htm").find("elsewhere"), std::string::npos);
    EXPECT_EQ(viewer.DocumentFile(), "");
    viewer.OnSoundRequest = nullptr;
    Open("good.htm", "<TITLE>Good</TITLE>shown");
    EXPECT_EQ(viewer.PageTitle(), "Good");
}

TEST_F(ViewerTest, PropertiesKeepTheirBounds) {
    viewer.SetDefFontSize(3);
    EXPECT_EQ(viewer.DefFontSize(), 6);
    viewer.SetImageCacheCount(50);
    EXPECT_EQ(viewer.ImageCacheCount(), 20);
    viewer.SetImageCacheCount(-1);
    EXPECT_EQ(viewer.ImageCacheCount(), 0);
    viewer.SetVisitedMaxCount(-4);
    EXPECT_EQ(viewer.VisitedMaxCount(), 0);
    viewer.SetHistoryMaxCount(5);
    viewer.SetHistoryMaxCount(-1);
    EXPECT_EQ(viewer.HistoryMaxCount(), 5);
}

TEST_F(ViewerTest, ForgettingVisitedLinksUnmarksThem) {
    Page("b.htm", "B");
    Open("a.htm", "<A HREF=\"b.htm\">to b</A> <A HREF=\"B.HTM\">again</A>");
    viewer.SetHistoryMaxCount(3);
    Click(PointOf("to b"));
    viewer.OpenFile(folder / "a.htm");
    EXPECT_TRUE(RunOf(viewer.SectionList(), "to b")->IsVisited);
    EXPECT_TRUE(RunOf(viewer.SectionList(), "again")->IsVisited); // names match in any case
    viewer.SetVisitedMaxCount(0);
    EXPECT_TRUE(viewer.VisitedLinks().empty());
    EXPECT_FALSE(RunOf(viewer.SectionList(), "to b")->IsVisited);
}

// --- Embedded panels -----------------------------------------------------------

// The host fills and sizes each panel; the widget stays over its panel's box
// as the view moves and goes with the page.
TEST_F(ViewerTest, PanelsAreFilledByTheHostAndKeptOverTheirBoxes) {
    std::vector<std::string> created;
    std::vector<TPanelWidget*> destroyed;
    viewer.OnPanelCreate = [&](THTMLViewer* sender, const std::string& name,
                               const std::string& type, const std::string& src,
                               TPanelWidget* panel) {
        EXPECT_EQ(sender, &viewer);
        created.push_back(name + "|" + type + "|" + src);
        if (name != "clock") return;
        new QLabel("12:00", panel);
        panel->resize(120, 50);
        panel->PrintAsBox = false;
    };
    viewer.OnPanelDestroy = [&](THTMLViewer* sender, TPanelWidget* panel) {
        EXPECT_EQ(sender, &viewer);
        destroyed.push_back(panel);
    };
    std::string html = "<P>now <PANEL NAME=clock TYPE=time SRC=c.dat WIDTH=10> <PANEL NAME=empty>";
    for (int i = 0; i < 60; ++i)
        html += "<P>line " + std::to_string(i);
    Open("panels.htm", html + "<P><PANEL NAME=low WIDTH=60 HEIGHT=40>");
    Settle();
    EXPECT_EQ(created, (std::vector<std::string>{"clock|time|c.dat", "empty||", "low||"}));
    const std::vector<TInlinePanel*> objects = viewer.SectionList().Panels;
    ASSERT_EQ(objects.size(), 3u);
    const auto widget = [&](int i) { return viewer.PanelOf(*objects.at(i)); };
    const auto box = [&](int i) {
        const TInlinePanel& o = *objects.at(i);
        return QRect(o.LeftX - viewer.HScroll(), o.PaintTop - viewer.ScrollY(), o.BoxWidth,
                     o.BoxHeight);
    };
    EXPECT_EQ(box(0).size(), QSize(120, 50));
    EXPECT_FALSE(objects[0]->PrintAsBox);
    EXPECT_EQ(box(1).size(), QSize(DefaultPanelWidth, DefaultPanelHeight));
    EXPECT_EQ(box(2).size(), QSize(60, 40));
    for (int i : {0, 1}) {
        ASSERT_TRUE(widget(i));
        EXPECT_TRUE(widget(i)->isVisible()) << i;
        EXPECT_EQ(widget(i)->geometry(), box(i)) << i;
    }
    EXPECT_FALSE(widget(2)->isVisible());

    viewer.ScrollTo(objects[2]->PaintTop - 10);
    Settle();
    EXPECT_FALSE(widget(0)->isVisible());
    EXPECT_TRUE(widget(2)->isVisible());
    EXPECT_EQ(widget(2)->geometry(), box(2));

    const QPointer<TPanelWidget> clock = widget(0);
    viewer.OpenText("no panels here");
    EXPECT_EQ(destroyed.size(), 3u);
    EXPECT_NE(std::find(destroyed.begin(), destroyed.end(), clock.data()), destroyed.end());
    EXPECT_TRUE(viewer.SectionList().Panels.empty());
    ASSERT_TRUE(clock);
    EXPECT_FALSE(clock->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(clock.isNull());
}

} // namespace
} // namespace lumo::test

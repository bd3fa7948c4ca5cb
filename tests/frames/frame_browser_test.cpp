// The frame browser loading pages and framesets, routing links by target,
// refreshing, and giving up panels only from the event loop.
#include "tests/frames/frame_browser_fixture.h"
#include "tests/image/picture_files.h"
#include "tests/support/layout_fixture.h"

#include "layout/font_run.h"
#include "layout/section_list.h"

#include "viewer/form_widgets.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QPushButton>

namespace lumo::test {
namespace {

std::string Times(int count, const std::string& html) {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += html;
    return out;
}

// A FRAMESET of count equal rows or columns around its children.
std::string Frameset(const char* dimension, int count, const std::string& children) {
    std::string html = std::string("<FRAMESET ") + dimension + "=\"*";
    for (int i = 1; i < count; ++i)
        html += ",*";
    return html + "\">" + children + "</FRAMESET>";
}

TEST_F(FrameBrowserTest, AnOrdinaryPageIsOneViewerAndALinkReplacesIt) {
    Page("a.htm", "<TITLE>Page A</TITLE><P><A HREF=\"b.htm\">to b</A>");
    Page("b.htm", "<TITLE>Page B</TITLE><P>second");
    Open("a.htm");
    EXPECT_FALSE(browser.ShownFrameSet()->IsFramePage);
    EXPECT_EQ(browser.GetViewerCount(), 1);
    EXPECT_EQ(browser.PageTitle(), "Page A");
    EXPECT_EQ(browser.CurrentAddress(), "http://site/a.htm");
    Click(OnlyViewer(), "to b");
    EXPECT_EQ(browser.PageTitle(), "Page B");
    ASSERT_EQ(browser.History().size(), 2u); // a page of its own, not a frame's step
    EXPECT_EQ(browser.History()[1].Address, "http://site/a.htm");
    EXPECT_EQ(requests, (std::vector<std::string>{"http://site/a.htm", "http://site/b.htm"}));
}

TEST_F(FrameBrowserTest, AFramesetFetchesEveryFrameAndNestedSets) {
    Page("set.htm", "<TITLE>Frames</TITLE><FRAMESET ROWS=\"100,*\">"
                    "<FRAME NAME=top SRC=\"top.htm\">"
                    "<FRAMESET COLS=\"200,*\"><FRAME NAME=left SRC=\"left.htm\">"
                    "<FRAME NAME=right SRC=\"inner.htm#part\"></FRAMESET></FRAMESET>");
    Page("inner.htm", "<FRAMESET COLS=\"*,*\"><FRAME NAME=a SRC=\"sub/a.htm\">"
                      "<FRAME NAME=b SRC=\"b.htm\"></FRAMESET>");
    Open("set.htm");
    EXPECT_TRUE(browser.ShownFrameSet()->IsFramePage);
    EXPECT_EQ(browser.PageTitle(), "Frames");
    EXPECT_EQ(requests, (std::vector<std::string>{"http://site/set.htm", "http://site/top.htm",
                                                  "http://site/left.htm", "http://site/inner.htm",
                                                  "http://site/sub/a.htm", "http://site/b.htm"}));
    EXPECT_EQ(browser.GetViewerCount(), 4);          // top, left, a, b
    EXPECT_NE(Frame("RIGHT")->SubFrameSet, nullptr); // names match without regard to case
    EXPECT_EQ(Frame("right")->Viewer, nullptr);
    EXPECT_EQ(Frame("a")->Depth(), 1);
    EXPECT_EQ(RectOf(Frame("top")), QRect(0, 0, 800, 100));
    EXPECT_EQ(RectOf(Frame("left")), QRect(0, 100, 200, 500));
    EXPECT_EQ(RectOf(Frame("a")), QRect(200, 100, 300, 500));
    EXPECT_EQ(RectOf(Frame("b")), QRect(500, 100, 300, 500));
}

TEST_F(FrameBrowserTest, LinksGoToTheFrameTheirTargetNames) {
    Page("set.htm", "<FRAMESET COLS=\"*,*,*\"><FRAME NAME=menu SRC=\"menu.htm\">"
                    "<FRAME NAME=Main SRC=\"main.htm\"><FRAME NAME=box SRC=\"box.htm\">"
                    "</FRAMESET>");
    Page("menu.htm", "<A HREF=\"x.htm\" TARGET=MAIN>upper</A> <A HREF=\"x.htm\">self</A> "
                     "<A HREF=\"x.htm\" TARGET=\"_TOP\">top</A> "
                     "<A HREF=\"x.htm\" TARGET=_parent>parent</A> "
                     "<A HREF=\"x.htm\" TARGET=_self>named-self</A>");
    Page("box.htm", "<FRAMESET ROWS=\"*,*\"><FRAME NAME=inner SRC=\"inner.htm\">"
                    "<FRAME NAME=other SRC=\"main.htm\"></FRAMESET>");
    Page("inner.htm", "<A HREF=\"x.htm\" TARGET=_parent>up</A>");
    Page("x.htm", "<TITLE>X</TITLE>x");
    struct Row {
        const char* frame;
        const char* link;
        const char* expect; // which frame shows x.htm, or "page"
    };
    const Row rows[] = {
        {"menu", "upper", "main"},  {"menu", "self", "menu"},       {"menu", "top", "page"},
        {"menu", "parent", "page"}, {"menu", "named-self", "menu"}, {"inner", "up", "box"},
    };
    for (const Row& row : rows) {
        Open("set.htm");
        Click(ViewerOf(row.frame), row.link);
        if (std::string(row.expect) == "page") {
            EXPECT_EQ(browser.CurrentAddress(), "http://site/x.htm") << row.link;
            EXPECT_FALSE(browser.ShownFrameSet()->IsFramePage);
        } else {
            EXPECT_EQ(Shows(row.expect), "x.htm") << row.link;
            EXPECT_EQ(browser.CurrentAddress(), "http://site/set.htm") << row.link;
        }
    }
}

TEST_F(FrameBrowserTest, EveryFrameReportsClicksOnItsControls) {
    std::vector<std::pair<THTMLViewer*, std::string>> clicks;
    browser.OnObjectClick = [&](THTMLViewer* viewer, TFormControl*, const std::string& text) {
        clicks.emplace_back(viewer, text);
    };
    Page("set.htm", "<FRAMESET COLS=\"*,*\"><FRAME NAME=one SRC=\"f.htm\">"
                    "<FRAME NAME=two SRC=\"f.htm\"></FRAMESET>");
    Page("f.htm", "<FORM><INPUT TYPE=button NAME=b ONCLICK=\"say('hi')\"></FORM>");
    Open("set.htm");
    for (const char* frame : {"two", "one"}) {
        THTMLViewer& viewer = ViewerOf(frame);
        auto& control = *viewer.SectionList().FormControls.at(0);
        auto* button = qobject_cast<QPushButton*>(viewer.FormWidgets().WidgetOf(control));
        ASSERT_NE(button, nullptr);
        button->click();
    }
    EXPECT_EQ(clicks, (std::vector<std::pair<THTMLViewer*, std::string>>{
                          {&ViewerOf("two"), "say('hi')"}, {&ViewerOf("one"), "say('hi')"}}));
}

TEST_F(FrameBrowserTest, EveryFrameAsksTheOwnerToFillItsPanels) {
    std::vector<std::pair<THTMLViewer*, std::string>> created;
    int destroyed = 0;
    browser.OnPanelCreate = [&](THTMLViewer* viewer, const std::string& name, const std::string&,
                                const std::string&,
                                TPanelWidget*) { created.emplace_back(viewer, name); };
    browser.OnPanelDestroy = [&](THTMLViewer*, TPanelWidget*) { ++destroyed; };
    Page("set.htm", "<FRAMESET COLS=\"*,*\"><FRAME NAME=one SRC=\"p.htm\">"
                    "<FRAME NAME=two SRC=\"q.htm\"></FRAMESET>");
    Page("p.htm", "<P><PANEL NAME=clock>");
    Page("q.htm", "<P><PANEL NAME=ticker>");
    Page("x.htm", "<P>plain");
    Open("set.htm");
    EXPECT_EQ(created, (std::vector<std::pair<THTMLViewer*, std::string>>{
                           {&ViewerOf("one"), "clock"}, {&ViewerOf("two"), "ticker"}}));
    Open("x.htm");
    Settle();
    EXPECT_EQ(destroyed, 2);
}

// Other targets ask for a new window; the owner may take a link itself.
// Neither loads anything here.
TEST_F(FrameBrowserTest, OtherTargetsAndTakenLinksLoadNothingHere) {
    Page("a.htm",
         "<A HREF=\"n.htm#x\" TARGET=_blank>blank</A> "
         "<A HREF=\"mailto:me@host\" TARGET=elsewhere>other</A> <A HREF=\"f.zip\">zip</A>");
    std::vector<std::pair<std::string, std::string>> asked;
    browser.OnBlankWindowRequest = [&](QWidget*, const std::string& target,
                                       const std::string& url) { asked.emplace_back(target, url); };
    std::vector<std::string> offered;
    browser.OnHotSpotTargetClick = [&](QWidget*, const std::string&, const std::string& url,
                                       bool& handled) {
        offered.push_back(url);
        handled = url.ends_with(".zip");
    };
    Open("a.htm");
    for (const char* link : {"blank", "other", "zip"})
        Click(OnlyViewer(), link);
    EXPECT_EQ(asked, (std::vector<std::pair<std::string, std::string>>{
                         {"_blank", "http://site/n.htm#x"}, {"elsewhere", "mailto:me@host"}}));
    EXPECT_EQ(offered.back(), "http://site/f.zip");
    EXPECT_EQ(browser.ClickedSource(), "http://site/a.htm");
    EXPECT_EQ(browser.CurrentAddress(), "http://site/a.htm");
    EXPECT_EQ(requests.size(), 1u);
}

// Nesting counts the frames above, whatever path loads a document: the
// first load, a reload, or a link inside the deepest frame.
TEST_F(FrameBrowserTest, ASelfReferencingFramesetStopsAfterFourLevels) {
    Page("self.htm", "<FRAMESET ROWS=\"50%,*\"><FRAME SRC=\"self.htm\">"
                     "<FRAME SRC=\"leaf.htm\"></FRAMESET>");
    Page("leaf.htm", "<A HREF=\"self.htm\">again</A>");
    Open("self.htm");
    EXPECT_EQ(Requests("self.htm"), 5); // the page and frame documents at depths 0 to 3
    EXPECT_EQ(Requests("leaf.htm"), 4);
    std::vector<TFrame*> frames = browser.ShownFrameSet()->AllFrames();
    TFrame* deepest = nullptr;
    for (TFrame* f : frames)
        if (f->Viewer && (!deepest || f->Depth() > deepest->Depth())) deepest = f;
    ASSERT_NE(deepest, nullptr);
    EXPECT_EQ(deepest->Depth(), 3);
    requests.clear();
    browser.Reload();
    EXPECT_EQ(Requests("self.htm"), 5);
    EXPECT_EQ(Requests("leaf.htm"), 4);
    deepest = nullptr;
    for (TFrame* f : browser.ShownFrameSet()->AllFrames())
        if (f->Viewer && (!deepest || f->Depth() > deepest->Depth())) deepest = f;
    ASSERT_NE(deepest, nullptr);
    EXPECT_EQ(deepest->Depth(), 3);
    requests.clear();
    Click(*deepest->Viewer, "again");
    EXPECT_EQ(requests, std::vector<std::string>{"http://site/self.htm"});
    EXPECT_NE(deepest->SubFrameSet, nullptr);
}

TEST_F(FrameBrowserTest, FramesetsNestDeeperThanEightOnlyAsFarAsEight) {
    std::string html;
    for (int i = 0; i < 10; ++i)
        html += "<FRAMESET COLS=\"*,*\"><FRAME SRC=\"leaf.htm\">";
    html += "<FRAME SRC=\"leaf.htm\">";
    Page("deep.htm", html);
    Open("deep.htm");
    int depth = 0;
    for (TNestedFrameSet* set = browser.ShownFrameSet(); set;) {
        ++depth;
        TNestedFrameSet* next = nullptr;
        for (TFrameTreePanel* child : set->Children)
            if (auto* nested = dynamic_cast<TNestedFrameSet*>(child)) next = nested;
        set = next;
    }
    EXPECT_EQ(depth, MaxFrameSetNesting);
}

TEST_F(FrameBrowserTest, AFramesetKeepsItsFirstTwentyChildren) {
    std::string html = "<FRAMESET COLS=\"";
    for (int i = 0; i < 25; ++i)
        html += "*,";
    html += "*\">";
    for (int i = 0; i < 25; ++i)
        html += "<FRAME SRC=\"leaf.htm\"><FRAMESET><FRAME></FRAMESET>";
    Page("wide.htm", html + "</FRAMESET>");
    Open("wide.htm");
    TPageFrameSet& set = *browser.ShownFrameSet();
    EXPECT_EQ(set.Children.size(), 20u);
    EXPECT_EQ(set.DimCount, 20);
    EXPECT_EQ(set.BorderPositions[20], 800);
}

// Twenty frames that each show the page itself would ask for 168,420
// documents and make millions of frames: a page holds 1,000 frames at most,
// and the owner hears once that the rest were left out.
TEST_F(FrameBrowserTest, AFramesetBombStopsAtTheFrameLimit) {
    Page("bomb.htm",
         Frameset("COLS", MaxFrameDims, Times(MaxFrameDims, "<FRAME SRC=\"bomb.htm\">")));
    int leftOut = 0;
    browser.OnFramesLeftOut = [&leftOut](QWidget*) { ++leftOut; };
    // Without a limit the page stops being a frameset long before the machine gives out.
    onRequest = [this](const std::string&) {
        if (requests.size() >= 2 * static_cast<size_t>(MaxPageFrames)) Page("bomb.htm", "no more");
    };
    Open("bomb.htm");
    EXPECT_LE(requests.size(), static_cast<size_t>(MaxPageFrames) + 1);
    EXPECT_EQ(Alive<TFrame>(browser), MaxPageFrames);
    EXPECT_EQ(*browser.ShownFrameSet()->LiveFrames, MaxPageFrames);
    EXPECT_EQ(leftOut, 1);
}

// The limit counts frames in nested sets of one document as well: ten sets
// of ten sets of ten frames fill a page, and one frame more is left out.
TEST_F(FrameBrowserTest, APageHoldsAThousandFrames) {
    const std::string hundred =
        Frameset("ROWS", 10, Times(10, Frameset("COLS", 10, Times(10, "<FRAME>"))));
    for (int extra : {0, 1}) {
        const std::string page =
            Frameset("COLS", 10 + extra, Times(10, hundred) + Times(extra, "<FRAME>"));
        Page("full" + std::to_string(extra) + ".htm", page);
        int leftOut = 0;
        browser.OnFramesLeftOut = [&leftOut](QWidget*) { ++leftOut; };
        Open("full" + std::to_string(extra) + ".htm");
        EXPECT_EQ(browser.ShownFrameSet()->AllFrames().size(), static_cast<size_t>(MaxPageFrames));
        EXPECT_EQ(browser.ShownFrameSet()->Children.size(), 10u) << extra;
        EXPECT_EQ(leftOut, extra);
    }
}

// The pictures of every frame of a page share the page's budget; the next
// page has a budget of its own.
TEST_F(FrameBrowserTest, TheFramesOfAPageShareItsPictureBudget) {
    Page("set.htm", "<FRAMESET COLS=\"*,*\"><FRAME NAME=a SRC=\"l.htm\">"
                    "<FRAME NAME=b SRC=\"r.htm\"></FRAMESET>");
    Page("plain.htm", "plain");
    Open("set.htm");
    const auto budgetOf = [](THTMLViewer& viewer) {
        return viewer.SectionList().Pictures.Cache->Budget();
    };
    const std::shared_ptr<TPictureBudget> page = browser.ShownFrameSet()->PictureBudget;
    EXPECT_EQ(budgetOf(ViewerOf("a")), page);
    EXPECT_EQ(budgetOf(ViewerOf("b")), page);
    Open("plain.htm");
    EXPECT_EQ(budgetOf(OnlyViewer()), browser.ShownFrameSet()->PictureBudget);
    EXPECT_NE(budgetOf(OnlyViewer()), page);
}

// A page's pictures keep to its budget while its documents change: a reload
// makes new viewers before the old ones are freed, a frame whose viewer
// gives way to a frameset frees it later, and a frame that moves on keeps
// the documents it leaves for the history. What they leave gives its room
// back at once.
TEST_F(FrameBrowserTest, DocumentsLeftBehindGiveBackTheirPictures) {
    constexpr int64_t Picture = 100 * 100 * 4; // a 100 x 100 bitmap, decoded
    const std::string bitmap = Bmp(100, 100, 24, 0, {}, std::string(100 * 100 * 3, '\x40'));
    TMemoryStream served;
    browser.OnImageRequest = [&](THTMLViewer*, const std::string&, TStream*& stream) {
        served.Assign(std::string(bitmap));
        stream = &served;
    };
    browser.PagePictureBytes = 3 * Picture;
    Page("set.htm", "<FRAMESET COLS=\"*,*\"><FRAME NAME=a SRC=\"two.htm\">"
                    "<FRAME NAME=b SRC=\"one.htm\"></FRAMESET>");
    Page("two.htm", "<IMG SRC=\"p1.bmp\"><IMG SRC=\"p2.bmp\">");
    Page("one.htm", "<IMG SRC=\"p3.bmp\">");
    Page("pair.htm", "<FRAMESET ROWS=\"*,*\"><FRAME SRC=\"one.htm\"><FRAME SRC=\"four.htm\">");
    Page("four.htm", "<IMG SRC=\"p4.bmp\">");
    // Every picture the page shows, kept decoded.
    const auto decoded = [this] {
        int count = 0;
        for (THTMLViewer* viewer : browser.ShownFrameSet()->Viewers())
            for (const char* name : {"p1.bmp", "p2.bmp", "p3.bmp", "p4.bmp"})
                count +=
                    viewer->SectionList().Pictures.Cache->IndexOf(Site + std::string(name)) >= 0;
        return count;
    };
    const auto moveFrame = [this](const std::string& name) {
        TProcessingScope processing(browser);
        Frame("a")->LoadFrameURL(Site + name, "", false, true, TFrame::TBump::Yes, "");
    };
    Open("set.htm");
    ASSERT_EQ(decoded(), 3);
    browser.Reload();
    EXPECT_EQ(decoded(), 3) << "after a reload";
    moveFrame("pair.htm");
    EXPECT_EQ(decoded(), 3) << "a frameset in place of a viewer";
    moveFrame("two.htm");
    EXPECT_EQ(decoded(), 3) << "a frameset kept for the history";
    Settle();
    EXPECT_EQ(browser.ShownFrameSet()->PictureBudget->Used(), 3 * Picture);
}

// A link in a page that is replaced by the link's own page frees the old
// viewer only after its click has been handled (the sanitizers watch).
TEST_F(FrameBrowserTest, NothingIsFreedInsideItsOwnHandler) {
    Page("a.htm", "<TITLE>A</TITLE><A HREF=\"b.htm\">on</A> <A HREF=\"a.htm\">same</A>");
    Page("b.htm", "<TITLE>B</TITLE><A HREF=\"a.htm\">back</A>");
    for (int keep : {0, 1}) {
        browser.SetHistoryMaxCount(keep);
        Open("a.htm");
        QPointer<THTMLViewer> first = &OnlyViewer();
        ClickText(OnlyViewer(), "on");
        EXPECT_EQ(browser.PageTitle(), "B");
        EXPECT_FALSE(first.isNull()) << "freed inside its own click";
        Settle();
        EXPECT_TRUE(first.isNull()) << "the left page goes once the click is over";
        Click(OnlyViewer(), "back");
        Click(OnlyViewer(), "same"); // the same address: the page rebuilds in its set
        EXPECT_EQ(browser.PageTitle(), "A");
        EXPECT_LE(browser.History().size(), static_cast<size_t>(keep));
    }
}

// A page that refreshes to itself rebuilds inside its own frame's timer:
// the frame and its viewer go only after the timer's handler is over.
TEST_F(FrameBrowserTest, APageRefreshingItselfIsFreedAfterItsTimer) {
    Page("self.htm", "<META HTTP-EQUIV=Refresh CONTENT=\"0; URL=self.htm\"><P>again");
    browser.SetHistoryMaxCount(0);
    Open("self.htm");
    QPointer<THTMLViewer> first = &OnlyViewer();
    ASSERT_TRUE(PumpUntil([&] { return Requests("self.htm") == 2; }, 3000));
    Settle();
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(reloads.back()); // a refresh fetches past the cache
    EXPECT_EQ(browser.CurrentAddress(), "http://site/self.htm");
}

TEST_F(FrameBrowserTest, ReloadingTheSameAddressTellsTheOwnerBeforeTheViewersGo) {
    Page("set.htm", "<FRAMESET COLS=\"*,*\"><FRAME SRC=\"l.htm\"><FRAME SRC=\"r.htm\">");
    Open("set.htm");
    std::vector<QPointer<THTMLViewer>> old;
    for (int i = 0; i < browser.GetViewerCount(); ++i)
        old.emplace_back(browser.GetViewer(i));
    int told = 0;
    browser.OnViewerClear = [&](THTMLViewer* viewer) {
        for (const auto& v : old)
            if (v == viewer) ++told;
    };
    Open("set.htm");
    EXPECT_EQ(told, 2);
    for (const auto& v : old)
        EXPECT_TRUE(v.isNull());
}

// A refresh whose time comes while a frame is loading waits for the load
// and runs after it, never inside it (the fixture fails a nested fetch).
TEST_F(FrameBrowserTest, ARefreshDuringALoadWaitsForIt) {
    Page("set.htm", "<FRAMESET COLS=\"*,*\"><FRAME NAME=l SRC=\"tick.htm\">"
                    "<FRAME NAME=r SRC=\"menu.htm\"></FRAMESET>");
    // Four seconds: a loaded machine under the sanitizers still clicks
    // before the refresh is due.
    Page("tick.htm", "<META HTTP-EQUIV=Refresh CONTENT=\"4; URL=tock.htm\">tick");
    Page("menu.htm", "<A HREF=\"slow.htm\">slow</A>");
    QElapsedTimer sinceOpening;
    sinceOpening.start();
    Open("set.htm");
    ASSERT_EQ(Shows("l"), "tick.htm");
    onRequest = [&](const std::string& address) {
        // The load lasts until the refresh is due, however long the click took.
        if (address.ends_with("slow.htm")) PumpUntil([&] { return sinceOpening.hasExpired(4500); });
    };
    Click(ViewerOf("r"), "slow");
    EXPECT_EQ(Shows("r"), "slow.htm");
    EXPECT_EQ(Shows("l"), "tick.htm");
    onRequest = nullptr;
    EXPECT_TRUE(PumpUntil([&] { return Shows("l") == "tock.htm"; }, 3000));
}

// Reload reads a frameset page's own document again past the cache, so a
// changed frameset shows; the history keeps one entry for the page.
TEST_F(FrameBrowserTest, ReloadReadsTheFramesetAgain) {
    Page("set.htm", "<TITLE>Two</TITLE><FRAMESET COLS=\"*,*\"><FRAME SRC=\"l.htm\">"
                    "<FRAME SRC=\"r.htm\"></FRAMESET>");
    Open("set.htm");
    Page("set.htm", "<TITLE>Three</TITLE><FRAMESET COLS=\"*,*,*\"><FRAME SRC=\"l.htm\">"
                    "<FRAME SRC=\"r.htm\"><FRAME SRC=\"r.htm\"></FRAMESET>");
    requests.clear();
    reloads.clear();
    browser.Reload();
    Settle();
    EXPECT_EQ(requests, (std::vector<std::string>{"http://site/set.htm", "http://site/l.htm",
                                                  "http://site/r.htm", "http://site/r.htm"}));
    EXPECT_TRUE(reloads.front());
    EXPECT_EQ(browser.GetViewerCount(), 3);
    EXPECT_EQ(browser.PageTitle(), "Three");
    ASSERT_EQ(browser.History().size(), 1u);
    EXPECT_EQ(browser.History()[0].Title, "Three");
}

// A form's action is read as its links are: against the document's BASE,
// also when it goes to a new window.
TEST_F(FrameBrowserTest, FormActionsResolveAsLinksDo) {
    Page("sub/form.htm", "<BASE HREF=\"http://site/other/x.htm\"><P>form");
    std::vector<std::string> asked;
    browser.OnBlankWindowRequest = [&](QWidget*, const std::string&, const std::string& url) {
        asked.push_back(url);
    };
    Open("sub/form.htm");
    browser.FormSubmit(&OnlyViewer(), "find#x", "_blank", "", "get", {"q=1"});
    browser.FormSubmit(&OnlyViewer(), "", "_blank", "", "get", {"q=2"});
    EXPECT_EQ(asked, (std::vector<std::string>{"http://site/other/find?q=1#x",
                                               "http://site/sub/form.htm?q=2"}));
    browser.FormSubmit(&OnlyViewer(), "find", "", "", "get", {"q=3"});
    Settle();
    EXPECT_EQ(requests.back(), "http://site/other/find?q=3");
}

TEST_F(FrameBrowserTest, AFramesetRefreshWithoutAnAddressReloadsThePage) {
    Page("set.htm", "<META HTTP-EQUIV=\"refresh\" CONTENT=\"1\"><FRAMESET COLS=\"*,*\">"
                    "<FRAME SRC=\"l.htm\"><FRAME SRC=\"r.htm\"></FRAMESET>");
    Open("set.htm");
    EXPECT_TRUE(PumpUntil([&] { return Requests("set.htm") == 2; }, 3000));
    EXPECT_TRUE(reloads[reloads.size() - 3]); // the page, then its two frames
    EXPECT_EQ(browser.CurrentAddress(), "http://site/set.htm");
}

// A query or an anchor does not hide the download either.
TEST_F(FrameBrowserTest, ARefreshToADownloadIsIgnored) {
    Page("set.htm", "<FRAMESET COLS=\"*,*,*\"><FRAME NAME=a SRC=\"get.htm\">"
                    "<FRAME NAME=b SRC=\"query.htm\"><FRAME NAME=c SRC=\"anchor.htm\">");
    Page("get.htm", "<META HTTP-EQUIV=Refresh CONTENT=\"0; URL=file.zip\">wait");
    Page("query.htm", "<META HTTP-EQUIV=Refresh CONTENT=\"0; URL=file.zip?dl=1\">wait");
    Page("anchor.htm", "<META HTTP-EQUIV=Refresh CONTENT=\"0; URL=setup.EXE#now\">wait");
    Open("set.htm");
    PumpFor(1300);
    EXPECT_EQ(requests.size(), 4u) << requests.back();
    EXPECT_EQ(Shows("a"), "get.htm");
    EXPECT_EQ(Shows("b"), "query.htm");
    EXPECT_EQ(Shows("c"), "anchor.htm");
}

// Marking visited links stays quick with thousands of visited addresses.
TEST_F(FrameBrowserTest, VisitedLinksAreMarkedAgainstAManyAddressList) {
    std::string html;
    for (int i = 0; i < 200; ++i)
        html += "<A HREF=\"p" + std::to_string(i) + ".htm\">link</A> ";
    Page("links.htm", html);
    browser.SetVisitedMaxCount(20000);
    for (int i = 0; i < 10000; ++i)
        browser.AddVisited("http://elsewhere/" + std::to_string(i));
    browser.AddVisited("http://SITE/p7.htm");
    Open("links.htm");
    int visited = 0;
    for (TFontRun* run : OnlyViewer().SectionList().LinkList)
        visited += run->IsVisited;
    EXPECT_EQ(visited, 1);
    browser.SetVisitedMaxCount(0);
    visited = 0;
    for (TFontRun* run : OnlyViewer().SectionList().LinkList)
        visited += run->IsVisited;
    EXPECT_EQ(visited, 0);
}

// An empty address is a link to the page itself, visited once the page is;
// the mouse over it shows the page's address, and following it stays on
// the page, as a link to the page's own address does.
TEST_F(FrameBrowserTest, AnEmptyAddressLinksToThePageItself) {
    Page("self.htm", "<A HREF=\"\">itself</A> <A HREF=\"other.htm\">other</A> <A NAME=x>name</A>");
    browser.SetVisitedMaxCount(100);
    Open("self.htm");
    const TSectionList& list = OnlyViewer().SectionList();
    ASSERT_TRUE(RunOf(list, "itself")->IsLink());
    EXPECT_TRUE(RunOf(list, "itself")->IsVisited);
    EXPECT_FALSE(RunOf(list, "other")->IsVisited);
    EXPECT_FALSE(RunOf(list, "name")->IsLink());

    std::vector<std::string> shown;
    browser.OnHotSpotTargetCovered = [&](THTMLViewer*, const std::string&,
                                         const std::string& address) { shown.push_back(address); };
    for (const char* text : {"itself", "name", "other"})
        SendMouse(OnlyViewer().PaintPanel(), QEvent::MouseMove, Qt::NoButton,
                  PointOfText(OnlyViewer(), text));
    EXPECT_EQ(shown,
              (std::vector<std::string>{"http://site/self.htm", "", "http://site/other.htm"}));
    Click(OnlyViewer(), "itself");
    EXPECT_EQ(browser.CurrentAddress(), "http://site/self.htm");
    EXPECT_EQ(requests, std::vector<std::string>{"http://site/self.htm"});
}

TEST_F(FrameBrowserTest, AnEmptyAnswerKeepsThePreviousPage) {
    Page("a.htm", "<TITLE>A</TITLE>a");
    Open("a.htm");
    browser.OnGetPostRequest = [](QWidget*, bool, const std::string&, const std::string&, bool,
                                  std::string&, TContentKind&,
                                  TStream*& stream) { stream = nullptr; };
    EXPECT_THROW(browser.OpenTopAddress("http://site/b.htm", "", false, true), EFrameLoadError);
    EXPECT_EQ(browser.PageTitle(), "A");
    EXPECT_FALSE(browser.Processing());
    EXPECT_THROW(browser.OpenTopAddress("http://site/a.htm", "", false, true), EFrameLoadError);
}

} // namespace
} // namespace lumo::test

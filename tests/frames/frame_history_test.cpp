// The history of pages and of navigation inside frames.
#include "tests/frames/frame_browser_fixture.h"

#include <QPointer>

namespace lumo::test {
namespace {

class FrameHistoryTest : public FrameBrowserTest {
protected:
    FrameHistoryTest() {
        Page("set.htm", "<TITLE>Set</TITLE><FRAMESET COLS=\"*,*\"><FRAME NAME=left SRC=\"l1.htm\">"
                        "<FRAME NAME=right SRC=\"r1.htm\"></FRAMESET>");
        Page("l1.htm", "<A HREF=\"l2.htm\">next</A>");
        Page("l2.htm", "<A HREF=\"l3.htm\">next</A>");
        Page("l3.htm", "last left");
        Page("r1.htm", "<A HREF=\"r2.htm\">next</A>");
        Page("r2.htm", "last right");
    }
    std::string State() { return Shows("left") + " " + Shows("right"); }
};

TEST_F(FrameHistoryTest, TwentyPagesKeepTheLastFifteen) {
    for (int i = 0; i < 20; ++i) {
        Page("p" + std::to_string(i) + ".htm", "<TITLE>T" + std::to_string(i) + "</TITLE>p");
        Open("p" + std::to_string(i) + ".htm");
    }
    ASSERT_EQ(browser.History().size(), 15u);
    EXPECT_EQ(browser.History().front().Address, "http://site/p19.htm");
    EXPECT_EQ(browser.History().front().Title, "T19");
    EXPECT_EQ(browser.History().back().Address, "http://site/p5.htm");
    for (int i = 0; i < 14; ++i) {
        EXPECT_TRUE(browser.BackButtonEnabled()) << i;
        browser.StepBack();
    }
    EXPECT_EQ(browser.CurrentAddress(), "http://site/p5.htm");
    EXPECT_FALSE(browser.BackButtonEnabled());
    EXPECT_TRUE(browser.FwdButtonEnabled());
}

TEST_F(FrameHistoryTest, BackAndForwardFollowTheOrderOfFrameSteps) {
    Page("before.htm", "<TITLE>Before</TITLE>first page");
    Open("before.htm");
    Open("set.htm");
    Click(ViewerOf("left"), "next");
    Click(ViewerOf("left"), "next");
    Click(ViewerOf("right"), "next");
    EXPECT_EQ(State(), "l3.htm r2.htm");
    const std::vector<std::string> back{"l3.htm r1.htm", "l2.htm r1.htm", "l1.htm r1.htm"};
    for (const std::string& expected : back) {
        browser.StepBack();
        Settle();
        EXPECT_EQ(State(), expected);
    }
    browser.StepBack();
    EXPECT_EQ(browser.CurrentAddress(), "http://site/before.htm");
    browser.StepForward();
    EXPECT_EQ(State(), "l1.htm r1.htm");
    const std::vector<std::string> forward{"l2.htm r1.htm", "l3.htm r1.htm", "l3.htm r2.htm"};
    for (const std::string& expected : forward) {
        browser.StepForward();
        EXPECT_EQ(State(), expected);
    }
    EXPECT_FALSE(browser.FwdButtonEnabled());
}

TEST_F(FrameHistoryTest, GoingBackThenElsewhereDropsTheForwardPagesAndTheirSets) {
    Page("a.htm", "a");
    Page("b.htm", "b");
    Page("c.htm", "c");
    Open("a.htm");
    Open("b.htm");
    QPointer<TPageFrameSet> setB = browser.ShownFrameSet();
    Open("c.htm");
    QPointer<TPageFrameSet> setC = browser.ShownFrameSet();
    browser.StepBack();
    browser.StepBack();
    EXPECT_EQ(browser.CurrentAddress(), "http://site/a.htm");
    Open("set.htm");
    Settle();
    EXPECT_TRUE(setB.isNull());
    EXPECT_TRUE(setC.isNull());
    ASSERT_EQ(browser.History().size(), 2u);
    EXPECT_FALSE(browser.FwdButtonEnabled());
}

// A form sent from an ordinary page loads into its one frame: the page's
// entries then share one frame set, and going back loads the earlier page.
TEST_F(FrameHistoryTest, BackToTheShownSetWithAnotherAddressLoadsIt) {
    // The shown address loaded again is a second entry of the same set.
    Open("set.htm");
    Open("set.htm");
    ASSERT_EQ(browser.History().size(), 2u);
    EXPECT_EQ(browser.History()[0].Address, browser.History()[1].Address);
    EXPECT_EQ(browser.History()[0].Set, browser.History()[1].Set);

    Page("form.htm", "<TITLE>Form</TITLE>a form");
    Page("result.htm?q=1", "<TITLE>Result</TITLE>the answer");
    Open("form.htm");
    browser.FormSubmit(&OnlyViewer(), "result.htm", "", "", "GET", {"q=1"});
    EXPECT_EQ(browser.PageTitle(), "Result");
    ASSERT_EQ(browser.History().size(), 4u);
    EXPECT_EQ(browser.History()[0].Set, browser.History()[1].Set);
    browser.StepBack();
    EXPECT_EQ(browser.CurrentAddress(), "http://site/form.htm");
    EXPECT_EQ(OnlyViewer().PageTitle(), "Form");
    EXPECT_EQ(requests.back(), "http://site/form.htm");
}

// A history move marks the browser busy, so a second one asked for while
// the first fetches is ignored (the fixture fails a fetch inside a fetch).
TEST_F(FrameHistoryTest, HistoryMovesDoNotNest) {
    Page("a.htm", "a");
    Page("b.htm", "b");
    Open("a.htm");
    Open("b.htm");
    int asked = 0;
    onRequest = [&](const std::string&) {
        ++asked;
        browser.StepForward();
        browser.SetHistoryPos(0);
        browser.StepBack();
    };
    browser.StepBack();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(browser.CurrentAddress(), "http://site/a.htm");
    EXPECT_FALSE(browser.Processing());
}

// A frameset inside a frame that refreshes to its own address replaces the
// frame's entry instead of adding one per refresh.
TEST_F(FrameHistoryTest, AFrameReloadingItsOwnAddressReplacesItsEntry) {
    Page("outer.htm", "<FRAMESET COLS=\"*,*\"><FRAME NAME=box SRC=\"ticking.htm\">"
                      "<FRAME SRC=\"r1.htm\"></FRAMESET>");
    Page("ticking.htm", "<META HTTP-EQUIV=Refresh CONTENT=0><FRAMESET ROWS=\"*,*\">"
                        "<FRAME SRC=\"l1.htm\"><FRAME SRC=\"l2.htm\"></FRAMESET>");
    Open("outer.htm");
    TFrame* box = Frame("box");
    QPointer<TNestedFrameSet> first = box->SubFrameSet;
    ASSERT_TRUE(PumpUntil([&] { return Requests("ticking.htm") >= 3; }, 5000));
    Settle();
    EXPECT_EQ(box->FrameTrail.size(), 1u);
    EXPECT_TRUE(first.isNull()); // no entry refers to the replaced set
    EXPECT_FALSE(browser.BackButtonEnabled());
}

// A frame whose document keeps changing between framesets (as a refresh
// from A to B and back does) keeps as many documents as the window keeps
// pages; the nested sets of those it forgets are freed with their frames.
TEST_F(FrameHistoryTest, AFrameKeepsAsManyDocumentsAsTheWindowKeepsPages) {
    Page("outer.htm", "<FRAMESET COLS=\"*,*\"><FRAME NAME=box SRC=\"a.htm\">"
                      "<FRAME SRC=\"r1.htm\"></FRAMESET>");
    Page("a.htm", "<FRAMESET ROWS=\"*,*\"><FRAME SRC=\"l1.htm\"><FRAME SRC=\"l2.htm\">");
    Page("b.htm", "<FRAMESET ROWS=\"*,*\"><FRAME SRC=\"l2.htm\"><FRAME SRC=\"l3.htm\">");
    browser.SetHistoryMaxCount(3);
    Open("outer.htm");
    TFrame* box = Frame("box");
    const QPointer<TNestedFrameSet> first = box->SubFrameSet;
    for (int i = 1; i <= 10; ++i) {
        {
            TProcessingScope processing(browser); // as the refresh timer loads
            box->LoadFrameURL(Site + std::string(i % 2 ? "b.htm" : "a.htm"), "", true, true,
                              TFrame::TBump::Yes, "");
        }
        Settle();
    }
    EXPECT_EQ(box->FrameTrail.size(), 3u);
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(Alive<TNestedFrameSet>(*box), 3);
    EXPECT_EQ(*browser.ShownFrameSet()->LiveFrames, 2 + 3 * 2);
    // Back goes through what is kept, and no further.
    EXPECT_EQ(Shows("box"), "a.htm");
    for (const char* shown : {"b.htm", "a.htm"}) {
        browser.StepBack();
        Settle();
        EXPECT_EQ(Shows("box"), shown);
    }
    EXPECT_FALSE(browser.BackButtonEnabled());
}

TEST_F(FrameHistoryTest, ClearingTheHistoryKeepsThePage) {
    Page("a.htm", "a");
    Open("a.htm");
    Open("set.htm");
    Click(ViewerOf("left"), "next");
    int changes = 0;
    browser.OnHistoryChange = [&](QWidget*) { ++changes; };
    browser.SetHistoryMaxCount(5);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(browser.History().empty());
    EXPECT_FALSE(browser.BackButtonEnabled());
    EXPECT_EQ(State(), "l2.htm r1.htm");
}

} // namespace
} // namespace lumo::test

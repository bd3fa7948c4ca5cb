// Embedded panels in the document: what the viewer's hooks hear and set, the
// bound on how many a page may make, and the box a printed page shows.
#include "tests/support/layout_fixture.h"

#include "layout/inline_panel.h"

#include <gtest/gtest.h>

namespace lumo::test {
namespace {

// A document whose panel hooks write down what they hear; created panels
// take the size the hook gives them.
struct PanelPage {
    explicit PanelPage(std::string_view html) {
        list.OnPanelCreate = [this](TInlinePanel& panel) {
            created.push_back(panel.Name + "|" + panel.Type + "|" + panel.Source);
            asked.push_back({panel.BoxWidth, panel.BoxHeight});
            panel.SetSize(size.cx, size.cy);
        };
        list.OnPanelDestroy = [this](TInlinePanel& panel) { destroyed.push_back(panel.Name); };
        ParseHtmlBuffer(list, html);
        LayOutAgain(list, canvas, TLayoutSettings());
    }
    ~PanelPage() {
        list.OnPanelCreate = nullptr;
        list.OnPanelDestroy = nullptr;
    }

    TSize size{50, 25};
    std::vector<std::string> created, destroyed;
    std::vector<TSize> asked; // the size each panel's tag asked for
    RecordingCanvas canvas;
    TSectionList list{canvas};
};

TEST(Panels, TheHostHearsOfEachPanelAndSizesItsBox) {
    PanelPage page("<A NAME=x>loose <PANEL NAME=gone></A><BODY>"
                   "<P>text <PANEL NAME=p TYPE=clock SRC=c.dat WIDTH=10 HEIGHT=10> more");
    // The loose text before BODY goes, and its panel with it.
    EXPECT_EQ(page.created, (std::vector<std::string>{"gone||", "p|clock|c.dat"}));
    EXPECT_EQ(page.destroyed, std::vector<std::string>{"gone"});
    ASSERT_EQ(page.list.Panels.size(), 1u);
    const TInlinePanel& panel = *page.list.Panels[0];
    EXPECT_EQ(panel.BoxWidth, 50);
    EXPECT_EQ(panel.BoxHeight, 25);
    EXPECT_GT(SectionWith(page.list, "more")->LineList.at(0).Height(), 25);
    page.list.Reset();
    EXPECT_EQ(page.destroyed, (std::vector<std::string>{"gone", "p"}));
    EXPECT_TRUE(page.list.Panels.empty());
}

// WIDTH and HEIGHT of none or less keep the default size; larger ones are
// bounded like any object's.
TEST(Panels, TheTagAsksForItsSizeWithinBounds) {
    const std::string most = std::to_string(MaxObjectSize);
    const std::string pastMost = std::to_string(MaxObjectSize + 1);
    struct Row {
        std::string attributes;
        TSize asked;
    };
    const Row rows[] = {
        {"", {DefaultPanelWidth, DefaultPanelHeight}},
        {"WIDTH=0 HEIGHT=0", {DefaultPanelWidth, DefaultPanelHeight}},
        {"WIDTH=-1 HEIGHT=-1", {DefaultPanelWidth, DefaultPanelHeight}},
        {"WIDTH=1 HEIGHT=1", {1, 1}},
        {"WIDTH=" + most + " HEIGHT=" + most, {MaxObjectSize, MaxObjectSize}},
        {"WIDTH=" + pastMost + " HEIGHT=" + pastMost, {MaxObjectSize, MaxObjectSize}},
    };
    for (const Row& row : rows) {
        PanelPage page("<PANEL " + row.attributes + ">");
        ASSERT_EQ(page.asked.size(), 1u) << row.attributes;
        EXPECT_EQ(page.asked[0].cx, row.asked.cx) << row.attributes;
        EXPECT_EQ(page.asked[0].cy, row.asked.cy) << row.attributes;
    }
}

TEST(Panels, APageTakesInAThousandAtMost) {
    std::string html;
    for (size_t i = 0; i <= MaxPanels; ++i)
        html += "<PANEL NAME=n" + std::to_string(i) + ">";
    PanelPage page(html);
    EXPECT_EQ(page.created.size(), MaxPanels);
    EXPECT_EQ(page.list.Panels.size(), MaxPanels);
    EXPECT_EQ(page.created.back(), "n" + std::to_string(MaxPanels - 1) + "||");
    // The one past the bound is a box of its own size that nobody fills.
    const TSection& section = *SectionWith(page.list, "\x04");
    EXPECT_FALSE(section.Panels().back()->TakenIn);
    EXPECT_EQ(section.Panels().back()->BoxWidth, DefaultPanelWidth);
    page.list.Reset();
    EXPECT_EQ(page.destroyed.size(), MaxPanels);
}

// On screen a panel's widget shows it; a printed page draws a box in the
// panel's colour with its ALT text, unless the host said not to.
TEST(Panels, APrintedPageDrawsTheBox) {
    PanelPage page("<PANEL ALT=\"a clock\" WIDTH=80 HEIGHT=40>");
    const TInlinePanel& panel = *page.list.Panels.at(0);
    const std::string box = "RECT " + std::to_string(panel.LeftX) + " " +
                            std::to_string(panel.PaintTop) + " " +
                            std::to_string(panel.LeftX + panel.BoxWidth) + " " +
                            std::to_string(panel.PaintTop + panel.BoxHeight);
    const auto print = [&](bool asBox) {
        page.list.Panels[0]->PrintAsBox = asBox;
        TSectionList copy(page.canvas);
        copy.CopyForPrinting(page.list);
        LayOutAgain(copy, page.canvas, TLayoutSettings());
        RecordingCanvas printer;
        copy.PaintCell(printer, {0, 0, 600, 400}, 600, 0, 0);
        return printer.Log;
    };
    RecordingCanvas screen;
    page.list.PaintCell(screen, {0, 0, 600, 400}, 600, 0, 0);
    EXPECT_EQ(screen.Log.find("RECT"), std::string::npos) << screen.Log;
    const std::string printed = print(true);
    EXPECT_NE(printed.find(box), std::string::npos) << printed;
    EXPECT_NE(printed.find("TEXT " + std::to_string(panel.LeftX + 15) + " " +
                           std::to_string(panel.PaintTop + 15) + " \"a clock\""),
              std::string::npos)
        << printed;
    EXPECT_EQ(print(false).find("RECT"), std::string::npos);
}

} // namespace
} // namespace lumo::test

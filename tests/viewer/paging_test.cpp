// Paged output: a document cut into pages on a page device that records
// what it is asked to do, with the recording canvas's fixed metrics
// (16-pixel lines in the default font) and a 96 dpi sheet, so page
// positions are exact.
#include "viewer/paged_output.h"

#include "platform/recording_canvas.h"

#include "tests/support/layout_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace lumo {
namespace {

// A 96 dpi sheet: 800 x 1100 with 20-pixel strips the printer cannot reach.
TPageMetrics Sheet() {
    return {96, 96, 800, 1100, 20, 20, 760, 1060};
}

// Whole-inch margins (2.54 cm) put the body at 96 - 20 = 76 device pixels.
constexpr TPrintMargins InchMargins{2.54, 2.54, 2.54, 2.54};

class RecordedPages : public TPageDevice {
public:
    TPageMetrics Metrics() const override { return metrics; }
    void BeginDoc(const std::string& title) override { Event("begin " + title); }
    Canvas& PageCanvas() override {
        if (pages.empty()) pages.emplace_back();
        return canvas;
    }
    void NewPage() override {
        Event("new");
        Keep();
        pages.emplace_back();
    }
    void EndDoc() override {
        Event("end");
        Keep();
    }
    void Abort() override {
        Event("abort");
        canvas.Log.clear();
    }

    TPageMetrics metrics = Sheet();
    RecordingCanvas canvas;
    std::string events;
    std::vector<std::string> pages; // the canvas log of each page drawn

private:
    void Event(const std::string& e) { events += events.empty() ? e : ";" + e; }
    void Keep() {
        if (!pages.empty()) pages.back() = canvas.Log;
        canvas.Log.clear();
    }
};

struct Job {
    explicit Job(std::string_view html, TPagingKind kind = TPagingKind::Print,
                 TPageSelection pages = {})
        : doc(html) {
        job.Kind = kind;
        job.Pages = pages;
        job.Margins = InchMargins;
        job.Title = "T";
        hooks.Header = [this](Canvas& c, int page, int W, int H, bool& stop) {
            bands += "header " + std::to_string(page) + " " + std::to_string(W) + "x" +
                     std::to_string(H) + ";";
            c.TextOut(0, 0, "header " + std::to_string(page));
            stop = stop || page == stopAfter;
        };
        hooks.Footer = [this](Canvas& c, int page, int W, int H, bool&) {
            bands += "footer " + std::to_string(page) + " " + std::to_string(W) + "x" +
                     std::to_string(H) + ";";
            c.TextOut(0, 0, "footer " + std::to_string(page));
        };
        hooks.PageEvent = [this](int page, bool& stop) {
            progress.push_back(page);
            stop = stop || page == cancelAt;
        };
    }
    int Run() { return RunPaging(doc.list, doc.canvas, device, job, hooks); }

    test::Doc doc;
    RecordedPages device;
    TPagingJob job;
    TPagingHooks hooks;
    std::string bands;
    std::vector<int> progress;
    int stopAfter = 0, cancelAt = 0;
};

// n blocks of exactly one page body (1060 - 2 * 76 = 908 pixels), with no
// page margins, so the document is n bodies high.
std::string Bodies(int n) {
    std::string html = "<BODY MARGINHEIGHT=0 MARGINWIDTH=0>";
    for (int i = 0; i < n; ++i)
        html += "<DIV STYLE=\"height: 908px\">block " + std::to_string(i) + "</DIV>";
    return html;
}

std::vector<std::string> TextsOn(const std::string& log) {
    std::vector<std::string> texts;
    size_t at = 0;
    while ((at = log.find("TEXT ", at)) != std::string::npos) {
        const size_t quote = log.find('"', at);
        texts.push_back(log.substr(quote + 1, log.find('"', quote + 1) - quote - 1));
        at = quote;
    }
    return texts;
}

TEST(PageGeometry, MarginsAreMeasuredFromTheSheetsEdge) {
    const TPageGeometry g = ComputePageGeometry(Sheet(), InchMargins);
    EXPECT_EQ(g.LeftMargin, 76);
    EXPECT_EQ(g.TopMargin, 76);
    EXPECT_EQ(g.BodyWidth, 760 - 76 - 76);
    EXPECT_EQ(g.BodyHeight, 1060 - 76 - 76);
    EXPECT_EQ(g.PageWidth, 760);
    EXPECT_EQ(g.PageHeight, 1060);

    // At 1200 dpi the body comes back in screen units.
    const TPageMetrics fine{1200, 1200, 10000, 13750, 250, 250, 9500, 13250};
    const TPageGeometry h = ComputePageGeometry(fine, InchMargins);
    EXPECT_EQ(h.LeftMargin, 950);
    EXPECT_EQ(h.Left, 76);
    EXPECT_EQ(h.Width, 9500 * 96 / 1200 - 2 * 76);

    // Margins of nothing put the body where the printer cannot reach.
    const TPageGeometry zero = ComputePageGeometry(Sheet(), {0, 0, 0, 0});
    EXPECT_EQ(zero.LeftMargin, -20);
    EXPECT_EQ(zero.BodyWidth, 800);
}

TEST(PageGeometry, MarginsLeavingLessThanAnInchAreRefused) {
    const struct {
        TPrintMargins margins;
        bool refused;
    } rows[] = {
        {{2, 2, 2, 3}, false},      {{10, 10, 2, 2}, false}, // 6.5 cm of 26.5 left across
        {{12.5, 12.5, 2, 2}, true}, {{2, 2, 13, 13}, false}, // 3.1 cm of 29.1 left down
        {{2, 2, 14, 14}, true},     {{2, 2, 1e300, 2}, true},
        {{-1, 2, 2, 2}, true},      {{2, 2, 2, std::nan("")}, true},
    };
    TPageMetrics sheet = Sheet();
    sheet.PhysicalWidth = 1000; // 26.5 cm across
    sheet.PrintableWidth = 960;
    for (const auto& row : rows) {
        bool refused = false;
        try {
            ComputePageGeometry(sheet, row.margins);
        } catch (const EPrintError&) {
            refused = true;
        }
        EXPECT_EQ(refused, row.refused) << row.margins.Left << " " << row.margins.Top;
    }
}

TEST(Paging, PagesBeforeTheRangeAreCutButNotDrawn) {
    Job job(Bodies(5), TPagingKind::Print, TPageSelection(3, 4));
    EXPECT_EQ(job.Run(), 4);
    EXPECT_EQ(job.device.events, "begin T;new;end");
    ASSERT_EQ(job.device.pages.size(), 2u);
    EXPECT_EQ(job.bands, "header 3 760x76;footer 3 760x76;header 4 760x76;footer 4 760x76;");
    EXPECT_EQ(TextsOn(job.device.pages[0]),
              (std::vector<std::string>{"block 2", "header 3", "footer 3"}));
    EXPECT_EQ(TextsOn(job.device.pages[1]),
              (std::vector<std::string>{"block 3", "header 4", "footer 4"}));
    EXPECT_EQ(job.progress, (std::vector<int>{1, 1, 2, 3, 4}));
}

TEST(Paging, PageListsPrintOnlyTheirPages) {
    Job job(Bodies(5), TPagingKind::Print, TPageSelection({{1, 1}, {5, 5}}));
    EXPECT_EQ(job.Run(), 5);
    EXPECT_EQ(job.bands, "header 1 760x76;footer 1 760x76;header 5 760x76;footer 5 760x76;");
}

TEST(Paging, ARangePastTheEndAbortsTheJob) {
    Job job(Bodies(2), TPagingKind::Print, TPageSelection(3, 4));
    EXPECT_EQ(job.Run(), 2);
    EXPECT_EQ(job.device.events, "begin T;abort");
    EXPECT_TRUE(job.device.pages.empty());
    EXPECT_EQ(job.bands, "");
}

TEST(Paging, ADocumentThatFitsExactlyHasNoEmptyLastPage) {
    for (int n : {1, 2, 3}) {
        Job job(Bodies(n), TPagingKind::Preview);
        EXPECT_EQ(job.Run(), n);
        EXPECT_EQ(job.device.pages.size(), static_cast<size_t>(n));
    }
}

TEST(Paging, ADocumentThatDrawsNothingHasNothingToPrint) {
    const struct {
        const char* html;
        int pages;
    } rows[] = {
        {"", 0},
        {"<BODY>  </BODY>", 0},
        {"<P><P>&#32;<BR>", 0},
        {"x", 1},
        {"<HR>", 1},
        {"<TABLE BORDER><TR><TD></TABLE>", 1},
    };
    for (const auto& row : rows)
        for (const TPagingKind kind : {TPagingKind::Print, TPagingKind::Preview}) {
            Job job(row.html, kind);
            EXPECT_EQ(job.Run(), row.pages) << row.html;
            EXPECT_EQ(job.device.pages.size(), static_cast<size_t>(row.pages)) << row.html;
            EXPECT_EQ(job.device.events.rfind(";abort") != std::string::npos, row.pages == 0)
                << row.html;
        }
}

TEST(Paging, StoppingEndsTheJobAfterThePage) {
    Job cancelled(Bodies(5));
    cancelled.cancelAt = 2;
    EXPECT_EQ(cancelled.Run(), 2);
    EXPECT_EQ(cancelled.device.events, "begin T;new;end");

    Job fromHook(Bodies(5));
    fromHook.stopAfter = 3;
    EXPECT_EQ(fromHook.Run(), 3);

    // Stopped before the first page: nothing begins to print.
    Job early(Bodies(5));
    early.cancelAt = 1;
    EXPECT_EQ(early.Run(), 0);
    EXPECT_EQ(early.device.events, "begin T;abort");
}

TEST(Paging, ALineCrossingThePageEndStartsTheNextPage) {
    // 908 / 16 = 56.75 lines: the 57th line crosses the end of page 1.
    std::string html = "<BODY MARGINHEIGHT=0 MARGINWIDTH=0>";
    for (int i = 0; i < 80; ++i)
        html += "Line" + std::to_string(i) + "<BR>";
    Job job(html, TPagingKind::Preview);
    EXPECT_EQ(job.Run(), 2);
    const std::vector<std::string> first = TextsOn(job.device.pages[0]);
    const std::vector<std::string> second = TextsOn(job.device.pages[1]);
    ASSERT_GE(first.size(), 3u);
    EXPECT_EQ(first[first.size() - 3], "Line55");
    EXPECT_EQ(second.front(), "Line56");
    // What the paint pass left below the page end is blanked.
    EXPECT_NE(job.device.pages[0].find("FILL 76 972 685 984"), std::string::npos)
        << job.device.pages[0];
}

TEST(Paging, ThePreviewStopsAt9999Pages) {
    // About 27,000 bodies of 108 pixels.
    std::string html = "<BODY MARGINHEIGHT=0>";
    for (int i = 0; i < 3; ++i)
        html += "<DIV STYLE=\"height: 1000000px\">tall</DIV>";
    Job job(html, TPagingKind::Preview);
    job.device.metrics = {96, 96, 400, 300, 0, 0, 400, 300};
    EXPECT_EQ(job.Run(), MaxPreviewPages);
    EXPECT_EQ(job.device.pages.size(), static_cast<size_t>(MaxPreviewPages));
}

} // namespace
} // namespace lumo

// The frame browser on a page of 20 column sets of 20 rows each (400
// frames, each with a short page of its own), served from memory: loading
// it, and laying the frame sets out again for a new size, with and without
// the viewers' own layouts that the resize schedules.
#include "frames/frame_browser.h"

#include "frames/page_frame_set.h"
#include "platform/stream.h"
#include <QCoreApplication>
#include <QEvent>

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

using namespace lumo;

std::string NestedPage(int sets, int frames) {
    std::string html = "<TITLE>400 frames</TITLE><FRAMESET COLS=\"";
    for (int i = 0; i < sets; ++i)
        html += i ? ",*" : "*";
    html += "\">";
    for (int i = 0; i < sets; ++i) {
        html += "<FRAMESET ROWS=\"";
        for (int j = 0; j < frames; ++j)
            html += j ? ",*" : "*";
        html += "\">";
        for (int j = 0; j < frames; ++j)
            html += "<FRAME SRC=\"f" + std::to_string(i * frames + j) + ".htm\">";
        html += "</FRAMESET>";
    }
    return html + "</FRAMESET>";
}

std::unique_ptr<TFrameBrowser> MakeBrowser(TMemoryStream& stream, const std::string& page) {
    auto browser = std::make_unique<TFrameBrowser>();
    browser->resize(800, 600);
    browser->show();
    browser->OnGetPostRequest = [&stream, page](QWidget* sender, bool, const std::string& url,
                                                const std::string&, bool, std::string&,
                                                TContentKind& kind, TStream*& result) {
        kind = ckHTML;
        stream.Assign(dynamic_cast<TFrameBrowser*>(sender) ? std::string(page)
                                                           : "<P>Frame " + url + " text");
        result = &stream;
    };
    return browser;
}

void Settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_Load400Frames(benchmark::State& state) {
    const std::string page = NestedPage(20, 20);
    TMemoryStream stream;
    for (auto _ : state) {
        auto browser = MakeBrowser(stream, page);
        browser->OpenAddress("http://bench/frames.htm");
        Settle(); // the viewers lay out and paint
        benchmark::DoNotOptimize(browser->GetViewerCount());
        state.PauseTiming();
        browser.reset();
        Settle();
        state.ResumeTiming();
    }
}

// Lays the page out again for alternating sizes. The viewers' own layouts
// wait in the event queue; they are timed too when withViewers says so.
void Resize400Frames(benchmark::State& state, bool withViewers) {
    TMemoryStream stream;
    auto browser = MakeBrowser(stream, NestedPage(20, 20));
    browser->OpenAddress("http://bench/frames.htm");
    Settle();
    bool wide = false;
    for (auto _ : state) {
        browser->resize(wide ? 800 : 1000, wide ? 600 : 700);
        wide = !wide;
        if (!withViewers) state.PauseTiming();
        Settle();
        if (!withViewers) state.ResumeTiming();
    }
}

void BM_Resize400FramesSets(benchmark::State& state) {
    Resize400Frames(state, false);
}

void BM_Resize400FramesWithViewers(benchmark::State& state) {
    Resize400Frames(state, true);
}

BENCHMARK(BM_Load400Frames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resize400FramesSets)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Resize400FramesWithViewers)->Unit(benchmark::kMillisecond);

} // namespace

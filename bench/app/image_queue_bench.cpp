// The window's picture queue against a local nginx (LUMO_BENCH_BASE), run by
// bench/app/images.sh beside curl:
// - a page of 25 pictures of 20 KB (gallery25.htm), from the request until
//   the status says "DONE", reloaded each round so every picture is fetched;
// - a page of 500 small pictures of unknown size (gallery500.htm): the same
//   time, the most processor time the event loop spent in one pass while they
//   came (a tick with its layout and paint), and the layouts the page made.
#include "app/main_window.h"
#include "frames/frame_browser.h"
#include "net/disk_cache.h"
#include "net/tls_context.h"
#include "viewer/html_viewer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

using namespace lumo;

std::string Address(const char* page) {
    const char* base = std::getenv("LUMO_BENCH_BASE");
    return std::string(base ? base : "http://127.0.0.1:8080") + "/" + page;
}

// The most processor time the event loop spent between waking and blocking
// again: what one tick with its layout and paint costs, however loaded the
// machine is.
class BusyPasses {
public:
    BusyPasses() {
        auto* dispatcher = QAbstractEventDispatcher::instance();
        QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, &context_,
                         [this] { start_ = ThreadNanoseconds(); });
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, &context_, [this] {
            if (start_ >= 0) longest_ = std::max(longest_, ThreadNanoseconds() - start_);
        });
    }
    double LongestMilliseconds() const { return longest_ / 1e6; }

private:
    static int64_t ThreadNanoseconds() {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return int64_t{now.tv_sec} * 1000000000 + now.tv_nsec;
    }
    QObject context_;
    int64_t start_ = -1;
    int64_t longest_ = 0;
};

void UntilDone(benchmark::State& state, const char* page) {
    TMainWindow form;
    form.resize(800, 600);
    form.show();
    form.DiskCache().EraseAll(); // left by an earlier repetition
    BusyPasses passes;
    bool first = true;
    int layouts = 0;
    // Over https: the full handshakes of the first round, and those of all
    // rounds (sessions resumed spare the rest).
    TTlsContext& tls = TTlsContext::Shared();
    tls.ForgetSessions(); // each repetition starts as a new run does
    const int64_t fullAtStart = tls.FullHandshakes(), resumedAtStart = tls.ResumedHandshakes();
    int64_t fullFirstRound = -1;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        // Reload after the first round: past the cache, as a first visit goes.
        if (first)
            form.NavigateTo(Address(page));
        else
            form.ReloadClick();
        first = false;
        const int layoutsBefore = form.FrameBrowser->FocusedViewer()
                                      ? form.FrameBrowser->FocusedViewer()->LayoutCount()
                                      : 0;
        while (form.Status2->text() != "DONE" || form.ImagesDone < form.ImagesTotal)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.SetIterationTime(clock.nsecsElapsed() / 1e9);
        if (THTMLViewer* viewer = form.FrameBrowser->FocusedViewer())
            layouts = viewer->LayoutCount() - layoutsBefore;
        if (form.ImagesDone == 0) state.SkipWithError("no picture arrived");
        if (fullFirstRound < 0) fullFirstRound = tls.FullHandshakes() - fullAtStart;
    }
    const double rounds = static_cast<double>(std::max<int64_t>(state.iterations(), 1));
    state.counters["full_handshakes_first_round"] = static_cast<double>(fullFirstRound);
    state.counters["full_handshakes_a_round"] =
        static_cast<double>(tls.FullHandshakes() - fullAtStart) / rounds;
    state.counters["resumed_a_round"] =
        static_cast<double>(tls.ResumedHandshakes() - resumedAtStart) / rounds;
    state.counters["pictures"] = form.ImagesDone;
    state.counters["layouts"] = layouts;
    state.counters["longest_pass_ms"] = passes.LongestMilliseconds();
}

void BM_25PicturesUntilDone(benchmark::State& state) {
    UntilDone(state, "gallery25.htm");
}

void BM_500PicturesUntilDone(benchmark::State& state) {
    UntilDone(state, "gallery500.htm");
}

// Medians of repetitions: one slow round (the machine is shared) moves no figure.
BENCHMARK(BM_25PicturesUntilDone)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(4)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_500PicturesUntilDone)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

// The viewer on generated pages, 800x600, beside Qt's rich-text browser
// widget doing the same jobs: opening a file until the first screen is
// painted, laying out again after a resize, painting the screen after
// scrolling one page, and a search through the whole document for a text
// that is not there. The pages come from LUMO_BENCH_PAGES.
#include "platform/file_system.h"
#include "viewer/html_viewer.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string PagePath(const std::string& name) {
    const char* folder = std::getenv("LUMO_BENCH_PAGES");
    return std::string(folder ? folder : ".") + "/" + name;
}

QString PageText(const std::string& name) {
    auto text = lumo::ReadWholeFile(PagePath(name), 64 << 20);
    return text ? QString::fromLatin1(text->data(), static_cast<qsizetype>(text->size()))
                : QString();
}

constexpr const char* Missing = "zq-not-in-the-page";

// Paints the widget's whole area now, whatever the platform exposes.
void PaintNow(QWidget& widget) {
    static QImage target(800, 600, QImage::Format_RGB32);
    widget.render(&target);
}

// --- The viewer -------------------------------------------------------------

void OpenToPainted(benchmark::State& state, const std::string& name) {
    for (auto _ : state) {
        auto viewer = std::make_unique<lumo::THTMLViewer>();
        viewer->resize(800, 600);
        viewer->show();
        viewer->OpenFile(PagePath(name));
        PaintNow(*viewer->PaintPanel());
        benchmark::DoNotOptimize(viewer->DocHeight());
        state.PauseTiming(); // freeing the document is not part of opening it
        viewer.reset();
        state.ResumeTiming();
    }
}

std::unique_ptr<lumo::THTMLViewer> OpenViewer(const std::string& name) {
    auto viewer = std::make_unique<lumo::THTMLViewer>();
    viewer->resize(800, 600);
    viewer->show();
    viewer->OpenFile(PagePath(name));
    QCoreApplication::processEvents();
    return viewer;
}

void Relayout(benchmark::State& state, const std::string& name) {
    auto viewer = OpenViewer(name);
    int i = 0;
    for (auto _ : state) {
        viewer->resize(i++ % 2 ? 800 : 640, 600);
        QCoreApplication::processEvents(); // the one layout of the burst
        PaintNow(*viewer->PaintPanel());
    }
}

void ScrollOnePage(benchmark::State& state, const std::string& name) {
    auto viewer = OpenViewer(name);
    const int page = viewer->PaintPanel()->height() - 16;
    for (auto _ : state) {
        if (viewer->ScrollY() + page >= viewer->DocHeight() - 600) viewer->ScrollTo(0);
        viewer->ScrollTo(viewer->ScrollY() + page);
        PaintNow(*viewer->PaintPanel());
    }
}

void FindAcross(benchmark::State& state, const std::string& name) {
    auto viewer = OpenViewer(name);
    for (auto _ : state)
        benchmark::DoNotOptimize(viewer->FindNext(Missing, false));
}

// --- The peer ---------------------------------------------------------------

std::unique_ptr<QTextBrowser> OpenBrowser(const QString& html) {
    auto browser = std::make_unique<QTextBrowser>();
    browser->resize(800, 600);
    browser->show();
    browser->setHtml(html);
    browser->document()->size(); // the whole layout, as the viewer makes it
    PaintNow(*browser->viewport());
    return browser;
}

void PeerOpenToPainted(benchmark::State& state, const std::string& name) {
    const QString html = PageText(name);
    for (auto _ : state) {
        auto browser = OpenBrowser(html);
        state.PauseTiming();
        browser.reset();
        state.ResumeTiming();
    }
}

void PeerRelayout(benchmark::State& state, const std::string& name) {
    auto browser = OpenBrowser(PageText(name));
    int i = 0;
    for (auto _ : state) {
        browser->resize(i++ % 2 ? 800 : 640, 600);
        QCoreApplication::processEvents();
        browser->document()->size();
        PaintNow(*browser->viewport());
    }
}

void PeerScrollOnePage(benchmark::State& state, const std::string& name) {
    auto browser = OpenBrowser(PageText(name));
    QScrollBar* bar = browser->verticalScrollBar();
    for (auto _ : state) {
        if (bar->value() + bar->pageStep() >= bar->maximum()) bar->setValue(0);
        bar->setValue(bar->value() + bar->pageStep());
        PaintNow(*browser->viewport());
    }
}

void PeerFindAcross(benchmark::State& state, const std::string& name) {
    auto browser = OpenBrowser(PageText(name));
    for (auto _ : state)
        benchmark::DoNotOptimize(browser->document()->find(Missing).isNull());
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    struct Job {
        const char* name;
        void (*ours)(benchmark::State&, const std::string&);
        void (*peer)(benchmark::State&, const std::string&);
        benchmark::TimeUnit unit;
    };
    const Job jobs[] = {
        {"Open", OpenToPainted, PeerOpenToPainted, benchmark::kMillisecond},
        {"Relayout", Relayout, PeerRelayout, benchmark::kMillisecond},
        {"Scroll", ScrollOnePage, PeerScrollOnePage, benchmark::kMicrosecond},
        {"Find", FindAcross, PeerFindAcross, benchmark::kMillisecond},
    };
    for (const char* page : {"text_1m.html", "text_5m.html"}) {
        const std::string name = page;
        for (const Job& job : jobs) {
            auto ours = job.ours;
            auto peer = job.peer;
            benchmark::RegisterBenchmark((std::string(job.name) + "/" + name).c_str(),
                                         [ours, name](benchmark::State& s) { ours(s, name); })
                ->Unit(job.unit);
            benchmark::RegisterBenchmark((std::string("Peer") + job.name + "/" + name).c_str(),
                                         [peer, name](benchmark::State& s) { peer(s, name); })
                ->Unit(job.unit);
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// Pages of 100 and 10,000 form controls in the viewer: the load with its
// layout, painting a screen after a scroll (which places the widgets in
// view), and a submission of the whole form. Run with bench/layout/run.sh;
// the 100-control page is the peer of the 10,000-control one.
#include "layout/section_list.h"
#include "viewer/html_viewer.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace lumo {
namespace {

std::string FormPage(int controls) {
    std::string html = "<FORM ACTION=/find>";
    for (int i = 0; i < controls; ++i) {
        const std::string n = std::to_string(i);
        switch (i % 4) {
        case 0: html += "<INPUT NAME=e" + n + " VALUE=v" + n + ">"; break;
        case 1: html += "<INPUT TYPE=checkbox NAME=c" + n + " CHECKED>"; break;
        case 2: html += "<SELECT NAME=s" + n + "><OPTION>a<OPTION SELECTED>b</SELECT>"; break;
        default: html += "<INPUT TYPE=radio NAME=r VALUE=" + n + "><BR>"; break;
        }
    }
    return html + "</FORM>";
}

struct Shown {
    explicit Shown(int controls) : page(FormPage(controls)) {
        viewer.resize(800, 600);
        viewer.show();
        viewer.OpenText(page);
        QApplication::processEvents();
    }
    std::string page;
    THTMLViewer viewer;
};

void Load(benchmark::State& state) {
    Shown shown(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        shown.viewer.OpenText(shown.page);
        shown.viewer.PaintPanel()->repaint();
    }
}

void ScrollPaint(benchmark::State& state) {
    Shown shown(static_cast<int>(state.range(0)));
    int y = 0;
    for (auto _ : state) {
        y = (y + 400) % std::max(1, shown.viewer.DocHeight());
        shown.viewer.ScrollTo(y);
        shown.viewer.PaintPanel()->repaint();
    }
}

void Submit(benchmark::State& state) {
    Shown shown(static_cast<int>(state.range(0)));
    TSectionList& root = shown.viewer.SectionList();
    size_t results = 0;
    root.OnFormSubmit = [&](TFormSubmission s) { results += s.Results.size(); };
    for (auto _ : state)
        root.SubmitForm(*root.FormControls.front());
    benchmark::DoNotOptimize(results);
}

BENCHMARK(Load)->Arg(100)->Arg(10000)->Unit(benchmark::kMillisecond);
// The 100-control page is hardly taller than the window, so its scrolls bring
// no new controls into view; every scroll of the 1,000-control page does, as
// on the 10,000-control one: those two show whether the cost is flat.
BENCHMARK(ScrollPaint)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(Submit)->Arg(100)->Arg(10000)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace lumo

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    return benchmark::RunSpecifiedBenchmarks() > 0 ? 0 : 1;
}

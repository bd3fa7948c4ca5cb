// Parse, build and layout of generated pages at 800 pixels with the real
// fonts, painting an 800x600 window of them, and the same with the fixed
// metrics of the recording canvas. The pages come from LUMO_BENCH_PAGES.
#include "builder/document_dump.h"
#include "layout/section_list.h"
#include "platform/file_system.h"
#include "platform/qt_canvas.h"
#include "platform/recording_canvas.h"

#include <QGuiApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string Page(const std::string& name) {
    const char* folder = std::getenv("LUMO_BENCH_PAGES");
    auto text = lumo::ReadWholeFile(std::string(folder ? folder : ".") + "/" + name, 64 << 20);
    return text ? *text : std::string();
}

void BuildAndLayOut(benchmark::State& state, const std::string& name, bool fixed) {
    const std::string html = Page(name);
    if (html.empty()) {
        state.SkipWithError("page missing");
        return;
    }
    QImage scratch(8, 8, QImage::Format_RGB32);
    std::unique_ptr<lumo::Canvas> canvas;
    if (fixed)
        canvas = std::make_unique<lumo::RecordingCanvas>();
    else
        canvas = std::make_unique<lumo::QtCanvas>(scratch);
    lumo::TLayoutSettings settings;
    settings.Width = 800;
    int height = 0;
    for (auto _ : state) {
        lumo::TSectionList list(*canvas);
        height = lumo::BuildAndLayOut(list, html, *canvas, settings).Height;
        benchmark::DoNotOptimize(height);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(html.size()));
    state.counters["height"] = height;
}

void Paint(benchmark::State& state, const std::string& name) {
    const std::string html = Page(name);
    if (html.empty()) {
        state.SkipWithError("page missing");
        return;
    }
    QImage window(800, 600, QImage::Format_RGB32);
    QImage scratch(8, 8, QImage::Format_RGB32);
    lumo::QtCanvas measure(scratch);
    lumo::TSectionList list(measure);
    lumo::TLayoutSettings settings;
    settings.Width = 800;
    const int height = lumo::BuildAndLayOut(list, html, measure, settings).Height;
    int top = 0;
    for (auto _ : state) {
        lumo::QtCanvas canvas(window);
        list.SetScrollY(top);
        list.PaintCell(canvas, {0, 0, 800, 600}, 800, 0, 0);
        top = (top + 7919) % std::max(1, height - 600);
    }
}

void Relayout(benchmark::State& state, const std::string& name) {
    const std::string html = Page(name);
    QImage scratch(8, 8, QImage::Format_RGB32);
    lumo::QtCanvas canvas(scratch);
    lumo::TSectionList list(canvas);
    lumo::TLayoutSettings settings;
    settings.Width = 800;
    lumo::BuildAndLayOut(list, html, canvas, settings);
    int widths[] = {640, 800};
    int i = 0;
    for (auto _ : state) {
        settings.Width = widths[i++ % 2];
        benchmark::DoNotOptimize(lumo::LayOutAgain(list, canvas, settings).Height);
    }
}

// 2x2 tables nested depth deep, one inside a cell of the one before.
std::string NestedTables(int depth) {
    std::string html;
    for (int i = 0; i < depth; ++i)
        html += "<TABLE BORDER=1><TR><TD>left " + std::to_string(i) + "<TD>";
    html += "core";
    for (int i = 0; i < depth; ++i)
        html += "<TR><TD>below<TD>the table</TABLE>";
    return html;
}

std::string LongTable(int rows) {
    std::string html = "<TABLE BORDER=1 WIDTH=100%>";
    for (int i = 0; i < rows; ++i)
        html += "<TR><TD>row " + std::to_string(i) + "<TD>some text in the second cell<TD>3";
    return html + "</TABLE>";
}

// Lays the built page out again (the build itself is not timed).
void TableLayout(benchmark::State& state, const std::string& html) {
    lumo::RecordingCanvas canvas;
    lumo::TSectionList list(canvas);
    lumo::TLayoutSettings settings;
    settings.Width = 800;
    lumo::BuildAndLayOut(list, html, canvas, settings);
    for (auto _ : state)
        benchmark::DoNotOptimize(lumo::LayOutAgain(list, canvas, settings).Height);
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    for (const char* page : {"text_100k.html", "text_1m.html", "text_5m.html", "tables_500.html"}) {
        const std::string name = page;
        benchmark::RegisterBenchmark(("Build/" + name).c_str(), [name](benchmark::State& s) {
            BuildAndLayOut(s, name, false);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BuildFixed/" + name).c_str(), [name](benchmark::State& s) {
            BuildAndLayOut(s, name, true);
        })->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("Paint/" + name).c_str(), [name](benchmark::State& s) {
            Paint(s, name);
        })->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("Relayout/" + name).c_str(), [name](benchmark::State& s) {
            Relayout(s, name);
        })->Unit(benchmark::kMillisecond);
    }
    // 1 to 12 deep, then 24 and 48 to show the growth stays linear.
    for (int depth : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 24, 48}) {
        const std::string html = NestedTables(depth);
        benchmark::RegisterBenchmark(("NestedTables/" + std::to_string(depth)).c_str(),
                                     [html](benchmark::State& s) { TableLayout(s, html); })
            ->Unit(benchmark::kMicrosecond);
    }
    const std::string rows = LongTable(5000);
    benchmark::RegisterBenchmark("TableRows/5000", [rows](benchmark::State& s) {
        TableLayout(s, rows);
    })->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

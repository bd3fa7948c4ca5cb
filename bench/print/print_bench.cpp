// Printing one page of a long generated page (LUMO_BENCH_PAGE) into a PDF
// file: page 1, 100 and 1,000. Each job copies and lays out the whole
// document, then pages it to the page asked for; the pages before it are
// cut but not drawn, so the cost beyond page 1 is what finding a page end
// costs, page by page.
#include "print/printer_device.h"
#include "viewer/html_viewer.h"
#include "viewer/page_device.h"

#include <QApplication>
#include <QDir>
#include <QPrinter>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

lumo::THTMLViewer& Viewer() {
    static std::unique_ptr<lumo::THTMLViewer> viewer = [] {
        auto v = std::make_unique<lumo::THTMLViewer>();
        v->resize(800, 600);
        const char* page = std::getenv("LUMO_BENCH_PAGE");
        v->OpenFile(page ? page : "long.html");
        return v;
    }();
    return *viewer;
}

void PrintPage(benchmark::State& state) {
    const int page = static_cast<int>(state.range(0));
    lumo::THTMLViewer& viewer = Viewer();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QDir::temp().filePath("lumo-bench-page.pdf"));
    for (auto _ : state) {
        lumo::TPrinterDevice device(printer);
        viewer.PrintPages(device, lumo::TPageSelection(page, page));
        if (device.PageNumber() != 1) state.SkipWithError("the page was not printed");
    }
    state.counters["pages"] = viewer.PrintedPages();
    QDir::temp().remove("lumo-bench-page.pdf");
}
BENCHMARK(PrintPage)->Arg(1)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

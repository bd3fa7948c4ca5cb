// A download into a file through the download window (its texts updated as
// the bytes come) from a local nginx, and one keystroke's completion in the
// address box over 50,000 remembered addresses, with and without the
// look-up list. LUMO_BENCH_BASE names the server, LUMO_BENCH_TARGET the file
// written.
#include "app/download_dialog.h"
#include "app/lookup_combo_box.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace lumo;

std::string Env(const char* name, const char* otherwise) {
    const char* value = std::getenv(name);
    return value ? value : otherwise;
}

void BM_Download500MB(benchmark::State& state) {
    const std::string target = Env("LUMO_BENCH_TARGET", "/tmp/lumo-bench-download.bin");
    int64_t bytes = 0;
    for (auto _ : state) {
        TDownloadDialog form;
        form.URL = Env("LUMO_BENCH_BASE", "http://127.0.0.1:8080") + "/500mb.bin";
        form.FileName = target;
        form.exec();
        if (!form.Succeeded()) state.SkipWithError("download failed");
        bytes += form.BytesReceived;
    }
    std::filesystem::remove(target);
    state.SetBytesProcessed(bytes);
}

// One keystroke in a box of 50,000 addresses; text is set before each.
void TimeKeystroke(benchmark::State& state, bool autoDropList, const std::string& text) {
    TLookUpComboBox box;
    std::vector<std::string> items;
    for (int i = 0; i < 50000; ++i)
        items.push_back("http://www.host" + std::to_string(i * 7919 % 50000) + ".example/page.htm");
    box.SetItems(items);
    box.AutoDropList = autoDropList;
    box.show();
    for (auto _ : state) {
        box.SetText(text);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_6, Qt::NoModifier, "6");
        QCoreApplication::sendEvent(&box, &key);
        benchmark::DoNotOptimize(box.lineEdit()->selectedText());
    }
}

void BM_CompletionOf50000(benchmark::State& state) {
    TimeKeystroke(state, false, "http://www.host2345");
}

// Nearly every address matches: the look-up list is filled and shown too.
void BM_LookUpListOf50000(benchmark::State& state) {
    TimeKeystroke(state, true, "http://www.host");
}

BENCHMARK(BM_Download500MB)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CompletionOf50000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LookUpListOf50000)->Unit(benchmark::kMicrosecond);

} // namespace

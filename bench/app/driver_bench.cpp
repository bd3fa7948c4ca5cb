// The main window's fetch of a 50 MB page from a local nginx (its status
// text and gauge updated on every block, the copy for the cache written),
// beside the bare HTTP connection fetching the same page into memory, so
// what the status costs shows. LUMO_BENCH_BASE names the server.
#include "app/main_window.h"
#include "frames/frame_browser.h"
#include "net/http_connection.h"
#include "platform/stream.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

namespace {

using namespace lumo;

std::string PageAddress() {
    const char* base = std::getenv("LUMO_BENCH_BASE");
    return std::string(base ? base : "http://127.0.0.1:8080") + "/50mb.htm";
}

void BM_DriverFetch50MB(benchmark::State& state) {
    TMainWindow form;
    int64_t bytes = 0;
    for (auto _ : state) {
        std::string newURL;
        TContentKind kind = ckHTML;
        TStream* stream = nullptr;
        // Reload: past the cache, as the first visit goes.
        form.GetPostRequest(form.FrameBrowser, true, PageAddress(), "", true, newURL, kind, stream);
        bytes += stream->Size();
    }
    state.SetBytesProcessed(bytes);
}

void BM_ConnectionFetch50MB(benchmark::State& state) {
    int64_t bytes = 0;
    TMemoryStream memory; // kept, as the window keeps its stream
    for (auto _ : state) {
        THTTPConnection connection;
        memory.Clear();
        connection.UseStream(&memory);
        connection.Get(PageAddress());
        bytes += memory.Size();
    }
    state.SetBytesProcessed(bytes);
}

BENCHMARK(BM_DriverFetch50MB)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_ConnectionFetch50MB)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

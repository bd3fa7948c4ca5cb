// Fetching over HTTP from a local nginx into a discarding stream, and 25
// images with at most 10 connections at once. bench/net/run.sh starts the
// server, runs this and curl in the same run, and prints the ratios.
#include "net/http_connection.h"
#include "platform/lumo_application.h"
#include "platform/message_loop.h"
#include "platform/stream.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string Base() {
    const char* base = std::getenv("LUMO_BENCH_BASE");
    return base ? base : "http://127.0.0.1:8080";
}

void Fetch(benchmark::State& state, const std::string& path) {
    const std::string url = Base() + path;
    int64_t bytes = 0;
    for (auto _ : state) {
        lumo::THTTPConnection connection;
        lumo::TNullStream discard;
        connection.UseStream(&discard);
        connection.Get(url);
        bytes += discard.Size();
    }
    state.SetBytesProcessed(bytes);
}

void BM_Fetch1MB(benchmark::State& state) {
    Fetch(state, "/1mb.bin");
}
void BM_Fetch100MB(benchmark::State& state) {
    Fetch(state, "/100mb.bin");
}

void BM_25ImagesTenAtOnce(benchmark::State& state) {
    for (auto _ : state) {
        int next = 0, running = 0, done = 0;
        std::vector<std::unique_ptr<lumo::THTTPConnection>> connections(25);
        std::function<void()> startMore = [&] {
            while (running < 10 && next < 25) {
                const int i = next++;
                auto& c = connections[i];
                c = std::make_unique<lumo::THTTPConnection>();
                c->OnRequestDone = [&, i](void*, lumo::THttpRequest, uint16_t error) {
                    if (error) state.SkipWithError("fetch failed");
                    lumo::DeferDelete(std::move(connections[i]));
                    --running;
                    ++done;
                    startMore();
                };
                ++running;
                c->GetAsync(Base() + "/img" + std::to_string(i) + ".gif");
            }
        };
        startMore();
        lumo::WaitUntil([&] { return done == 25; });
    }
}

BENCHMARK(BM_Fetch1MB)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Fetch100MB)->Unit(benchmark::kMillisecond)->MinTime(5.0);
BENCHMARK(BM_25ImagesTenAtOnce)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    lumo::LumoApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

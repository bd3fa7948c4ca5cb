// Fetching over HTTP from a local nginx into a discarding stream, and 25
// images with at most 10 connections at once; the same through a local
// dante SOCKS 5 server; and a file of short lines read in line mode, all of
// it in one burst. bench/net/run.sh starts the servers, runs this and curl
// in the same run, and prints the ratios.
#include "net/http_connection.h"
#include "net/socket.h"
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

// "host:port" of the SOCKS 5 server, or nothing.
std::string SocksServer() {
    const char* socks = std::getenv("LUMO_BENCH_SOCKS");
    return socks ? socks : "";
}

enum class Socks { No, Yes };

void Fetch(benchmark::State& state, const std::string& path, Socks socks = Socks::No) {
    const std::string url = Base() + path;
    const std::string server = SocksServer();
    if (socks == Socks::Yes && server.empty()) return state.SkipWithError("no SOCKS server");
    int64_t bytes = 0;
    for (auto _ : state) {
        lumo::THTTPConnection connection;
        lumo::TNullStream discard;
        connection.UseStream(&discard);
        if (socks == Socks::Yes)
            connection.Socks = {server.substr(0, server.find(':')),
                                server.substr(server.find(':') + 1), "5", "", ""};
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

void BM_Fetch100MBThroughSocks(benchmark::State& state) {
    Fetch(state, "/100mb.bin", Socks::Yes);
}

// The file /lines<N>.txt holds N short lines; nginx sends it at once, and
// every line is delivered through OnDataAvailable and read by itself.
void BM_LineMode(benchmark::State& state) {
    const auto count = state.range(0);
    const std::string base = Base().substr(7); // after "http://"
    for (auto _ : state) {
        lumo::TSocket s;
        int64_t lines = 0;
        bool closed = false;
        s.SetAddr(base.substr(0, base.find(':')));
        s.SetPort(base.substr(base.find(':') + 1));
        s.SetLineMode(true);
        s.LineEnd = "\n";
        s.OnSessionConnected = [&](lumo::TAsyncSocket* sock, uint16_t) {
            sock->SendString("GET /lines" + std::to_string(count) + ".txt HTTP/1.0\r\n\r\n");
        };
        s.OnDataAvailable = [&](lumo::TAsyncSocket* sock, uint16_t) {
            char line[256];
            if (sock->Receive(line, sizeof line) > 0) ++lines;
        };
        s.OnSessionClosed = [&](lumo::TAsyncSocket*, uint16_t) { closed = true; };
        s.Connect();
        lumo::WaitUntil([&] { return closed; });
        if (lines < count) state.SkipWithError("lines missing");
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.SetComplexityN(count);
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
                c->OnRequestDone = [&, i](lumo::TURLConnection&, lumo::THttpRequest,
                                          uint16_t error) {
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
BENCHMARK(BM_Fetch100MBThroughSocks)->Unit(benchmark::kMillisecond)->MinTime(5.0);
BENCHMARK(BM_LineMode)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->Complexity(benchmark::oN);

} // namespace

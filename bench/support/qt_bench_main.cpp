// The entry of the benchmarks that need a Qt application: offscreen unless
// the environment names a platform, then Google Benchmark's usual run.
#include "platform/lumo_application.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    lumo::LumoApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// The unzip window extracting each archive named in LUMO_BENCH_ARCHIVES
// (separated by ':'): the time of a whole extraction, and how many times a
// second the window lets the event loop run, which is how often it can
// redraw. bench/tools/run.sh makes the archives and prints the figures.
#include "platform/lumo_application.h"
#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "tools/unzip_window.h"

#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>

namespace {

// A failure must not wait for a click that never comes.
class StandardErrorBoxes : public lumo::MessageBoxes {
public:
    lumo::MessageAnswer Show(lumo::MessageKind, const std::string&, const std::string& text,
                             lumo::MessageButtons) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        return lumo::MessageAnswer::No;
    }
};

// Each run writes into a folder of its own. A few large files go at once;
// thousands of small ones stay until run.sh removes its folder, since
// removing them slows the file creation of the next run by seconds.
void RemoveIfFew(const std::string& folder) {
    int entries = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        (void)entry;
        if (++entries > 10) return;
    }
    std::filesystem::remove_all(folder);
}

void WindowUnzip(benchmark::State& state, const std::string& archive) {
    static int runs = 0;
    int64_t passes = 0;
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string target = archive + ".window" + std::to_string(runs++);
        lumo::TUnzipWindow form;
        form.ZipFileEdit->setText(QString::fromStdString(archive));
        form.TargetDirEdit->setText(QString::fromStdString(target));
        // A task that posts itself again counts the event loop's passes.
        std::function<void()> probe = [&] {
            ++passes;
            if (form.Running()) lumo::PostTask(probe);
        };
        lumo::PostTask(probe);
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        form.UnzipButtonClick();
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.PauseTiming();
        lumo::ProcessMessages();
        RemoveIfFew(target);
        state.ResumeTiming();
    }
    state.counters["updates_per_s"] = seconds > 0 ? static_cast<double>(passes) / seconds : 0;
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    lumo::LumoApplication app(argc, argv);
    StandardErrorBoxes boxes;
    lumo::SetMessageBoxes(&boxes);
    const char* list = std::getenv("LUMO_BENCH_ARCHIVES");
    std::istringstream archives(list ? list : "");
    for (std::string archive; std::getline(archives, archive, ':');) {
        const std::string name = "Window/" + std::filesystem::path(archive).filename().string();
        benchmark::RegisterBenchmark(name.c_str(),
                                     [archive](benchmark::State& s) { WindowUnzip(s, archive); })
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

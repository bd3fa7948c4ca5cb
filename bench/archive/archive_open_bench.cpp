// Opens a web archive file as the window does and prints
// "SECONDS MB/S ENTRIES PEAK-MIB SAVED": the time to open it, the file's
// megabytes over that time, the captures indexed, the peak resident memory
// and whether the saved index was used.
//
//   bench_archive_open FILE INDEX-FOLDER
#include "net/web_archive.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

double PeakMiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with("VmHWM:")) return std::atof(line.c_str() + 6) / 1024;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_archive_open FILE INDEX-FOLDER\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const lumo::TWebArchive archive(argv[1], argv[2]);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double megabytes = static_cast<double>(std::filesystem::file_size(argv[1])) / 1e6;
    std::printf("%.3f %.0f %zu %.1f %s\n", seconds, megabytes / seconds,
                archive.Index().Entries().size(), PeakMiB(),
                archive.IndexWasSaved() ? "saved" : "built");
    return 0;
}

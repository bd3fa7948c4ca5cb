// The whole unzip engine over an arbitrary archive: the directory, every
// decoder and the writing of members into a folder of the fuzzer's own.
#include "fuzz/fuzz_support.h"
#include "tools/unzip_engine.h"

#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace lumo;
    const std::string archive = fuzz::WorkFolder() + "input.zip";
    const std::string target = fuzz::WorkFolder() + "out";
    fuzz::WriteFile(archive, data, size);
    std::filesystem::remove_all(target);

    TUnzipJob job;
    job.ArchiveName = archive;
    job.TargetDir = target;
    // Declared sizes past this are refused before writing, so a member that
    // expands a thousandfold cannot fill the disk.
    job.FreeSpace = [] { return uint64_t{64} << 20; };
    bool yes = false;
    job.OnQuestion = [&](const std::string&) {
        yes = !yes;
        return yes ? TQuestionAnswer::Yes : TQuestionAnswer::No;
    };
    uint64_t written = 0;
    job.OnReport = [&](int64_t code, const TUnzipReport& report) {
        if (report.Status == TReportStatus::BytesWritten) written += static_cast<uint64_t>(code);
    };
    SelectedSize(job);
    ListArchive(job);
    ExtractArchive(job);
    if (written > (uint64_t{64} << 20)) __builtin_trap(); // more than the sizes allowed
    job.Recurse = TRecurse::No;
    job.Specs = {"*.txt", "?"};
    ExtractArchive(job);
    return 0;
}

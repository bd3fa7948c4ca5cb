#include "tools/unzipper.h"

#include "tools/unzip_engine.h"

namespace lumo {
namespace {

TUnzipJob JobOf(const TUnzipper& unzip, const bool* cancel) {
    TUnzipJob job;
    job.ArchiveName = unzip.ArchiveName;
    job.TargetDir = unzip.TargetDir;
    job.Specs = unzip.FileSpecs.empty() ? std::vector<std::string>{"*.*"} : unzip.FileSpecs;
    job.Recurse = unzip.DontRecurse ? TRecurse::No : TRecurse::Yes;
    job.OnReport = unzip.OnReport;
    job.OnQuestion = unzip.OnQuestion;
    job.Cancel = cancel;
    job.FreeSpace = unzip.FreeSpace;
    return job;
}

} // namespace

int TUnzipper::Extract() {
    if (ArchiveName.empty() || TargetDir.empty()) return ResultCode(TUnzipResult::NoParameters);
    if (ArchiveName.size() > MaxNameLength || TargetDir.size() > MaxNameLength)
        return ResultCode(TUnzipResult::ParameterTooLong);
    cancel_ = false;
    return ResultCode(ExtractArchive(JobOf(*this, &cancel_)));
}

int TUnzipper::List() {
    if (ArchiveName.empty() || !OnReport) return ResultCode(TUnzipResult::NoParameters);
    if (ArchiveName.size() > MaxNameLength) return ResultCode(TUnzipResult::ParameterTooLong);
    return ResultCode(ListArchive(JobOf(*this, nullptr)));
}

uint64_t TUnzipper::TotalSize() const {
    return SelectedSize(JobOf(*this, nullptr));
}

} // namespace lumo

// The extraction engine: reads an archive's directory, selects members by
// the file specifications and writes them below the target folder, reporting
// each step. It knows nothing of windows, so the headless command, the tests
// and the fuzz target run the same code as the unzip window.
#pragma once

#include "tools/member_name.h"
#include "tools/unzip_codes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumo {

struct TUnzipJob {
    std::string ArchiveName; // ANSI
    std::string TargetDir;   // ANSI; made when missing
    std::vector<std::string> Specs{"*.*"};
    TRecurse Recurse = TRecurse::Yes;
    TUnzipReportEvent OnReport;
    TUnzipQuestionEvent OnQuestion; // none: existing files are kept
    const bool* Cancel = nullptr;   // set during a report to stop after the current piece
    // The free bytes of the target's file system; the system's answer when empty.
    std::function<uint64_t()> FreeSpace;
};

// Extracts the selected members. Every selected member is reported as started
// and then as done or failed; the others are not mentioned. Returns Ok when
// every selected member was extracted, an archive-wide failure (nothing
// written), or the result of the first member that failed.
//
// Before anything is written: an archive that needs Zip64 or spans disks is
// refused, and so are selected members that need more than the free space.
// Members whose names lead outside the target, symbolic links, members whose
// bytes overlap another's, encrypted members and unknown methods fail alone.
TUnzipResult ExtractArchive(const TUnzipJob& job);

// Reports every selected member as Listed.
TUnzipResult ListArchive(const TUnzipJob& job);

// The sum of the selected members' sizes as the central directory records
// them; 0 when the archive cannot be read.
uint64_t SelectedSize(const TUnzipJob& job);

} // namespace lumo

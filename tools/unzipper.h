// The unzip component: the archive, the target folder and the member
// specifications a window or a script sets, and the operations that run the
// extraction engine with them.
#pragma once

#include "tools/unzip_codes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace lumo {

class TUnzipper {
public:
    // Longer names are refused, never cut: a cut target folder is another folder.
    static constexpr size_t MaxNameLength = 255;

    std::string ArchiveName; // ANSI
    std::string TargetDir;   // ANSI
    std::vector<std::string> FileSpecs{"*.*"};
    bool DontRecurse = false;
    TUnzipReportEvent OnReport;
    TUnzipQuestionEvent OnQuestion;
    // Tests replace the free space of the target folder.
    std::function<uint64_t()> FreeSpace;

    // Extracts the matching members into the target folder. -500 without an
    // archive name or a target folder, -501 when one is longer than 255
    // characters; otherwise the engine's result (0 when every member was
    // extracted).
    int Extract();
    // Reports each matching member with status -1005. -500 without an archive
    // name or a report callback.
    int List();
    // The sum of the matching members' sizes as the central directory records them.
    uint64_t TotalSize() const;
    // Asks a running extraction (from inside a report) to stop.
    void Cancel() { cancel_ = true; }

private:
    bool cancel_ = false;
};

} // namespace lumo

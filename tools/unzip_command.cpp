#include "tools/unzip_command.h"

#include "platform/ansi.h"
#include "tools/unzipper.h"

namespace lumo {

int RunUnzipCommand(const std::string& archive, const std::string& target,
                    const std::vector<std::string>& patterns, std::FILE* out, std::FILE* err) {
    TUnzipper unzip;
    unzip.ArchiveName = archive;
    unzip.TargetDir = target;
    if (!patterns.empty()) unzip.FileSpecs = patterns;
    int reported = 0;
    unzip.OnReport = [&](int64_t code, const TUnzipReport& report) {
        if (report.Status == TReportStatus::MemberDone) {
            std::fprintf(out, "done %s\n", report.Utf8Name.c_str());
        } else if (report.Status == TReportStatus::MemberFailed) {
            const auto result = static_cast<TUnzipResult>(code);
            std::fprintf(out, "failed %s: %d %s\n", report.Utf8Name.c_str(), ResultCode(result),
                         UnzipMessage(result));
        } else {
            return;
        }
        ++reported;
    };
    const int result = unzip.Extract();
    std::fflush(out);
    if (result != 0 && reported == 0)
        std::fprintf(err, "lumo: %s: %s\n", AnsiToUtf8(archive).c_str(),
                     UnzipMessage(static_cast<TUnzipResult>(result)));
    return result == 0 ? 0 : 1;
}

} // namespace lumo

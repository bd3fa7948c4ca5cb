#include "tools/unzip_engine.h"

#include "platform/ansi.h"
#include "platform/file_system.h"
#include "tools/archive_file.h"
#include "tools/member_decoders.h"
#include "tools/member_stream.h"
#include "tools/target_folder.h"
#include "tools/zip_directory.h"

#include <optional>

namespace lumo {
namespace {

struct TMember {
    const TZipEntry* entry;
    std::string utf8Name;
    std::optional<std::string> path; // below the target; none when unsafe
};

// An archive whose directory has been read, with each member's data placed.
struct TOpenArchive {
    std::unique_ptr<TArchiveFile> file;
    TZipDirectory directory;
    std::vector<TMember> selected;
};

TUnzipResult OpenArchive(const TUnzipJob& job, TOpenArchive& archive) {
    archive.file = TArchiveFile::Open(NativePath(job.ArchiveName));
    if (!archive.file) return TUnzipResult::CannotOpen;
    const TUnzipResult read = ReadZipDirectory(*archive.file, archive.directory);
    if (read != TUnzipResult::Ok) return read;
    LocateMemberData(*archive.file, archive.directory);
    MarkOverlaps(archive.directory);
    std::vector<std::string> specs;
    for (const std::string& pattern : job.Specs)
        specs.push_back(AnsiToUtf8(pattern));
    for (const TZipEntry& entry : archive.directory.Entries) {
        TMember member{&entry, MemberNameUtf8(entry), std::nullopt};
        member.path = SafeRelativePath(member.utf8Name);
        std::string_view matched = member.path ? *member.path : member.utf8Name;
        while (matched.ends_with('/'))
            matched.remove_suffix(1);
        if (MatchesSpecs(specs, matched, job.Recurse))
            archive.selected.push_back(std::move(member));
    }
    return TUnzipResult::Ok;
}

// Why a member is not even tried, or Ok.
TUnzipResult Refusal(const TMember& member) {
    const TZipEntry& e = *member.entry;
    // Only a folder may name the target itself.
    if (!member.path || (member.path->empty() && !e.IsFolder())) return TUnzipResult::UnsafeName;
    if (e.IsSymlink()) return TUnzipResult::Symlink;
    if (e.Place != TUnzipResult::Ok) return e.Place;
    if (e.IsFolder()) return TUnzipResult::Ok;
    if (e.Encrypted()) return TUnzipResult::Encrypted;
    if (!MethodSupported(e.Method)) return TUnzipResult::UnsupportedMethod;
    return TUnzipResult::Ok;
}

// The bytes the members that will be tried need; 64 bits hold the sum of
// 65535 sizes under 4 GB.
uint64_t NeededBytes(const std::vector<TMember>& members) {
    uint64_t total = 0;
    for (const TMember& m : members)
        if (!m.entry->IsFolder() && Refusal(m) == TUnzipResult::Ok)
            total += m.entry->UncompressedSize;
    return total;
}

class TExtraction {
public:
    TExtraction(const TUnzipJob& job, TOpenArchive& archive, TTargetFolder& target)
        : job_(job), archive_(archive), target_(target) {}

    TUnzipResult Run() {
        TUnzipResult first = TUnzipResult::Ok;
        for (const TMember& member : archive_.selected) {
            if (job_.Cancel && *job_.Cancel) return TUnzipResult::Cancelled;
            TUnzipReport report{Utf8ToAnsi(member.utf8Name), member.utf8Name,
                                TReportStatus::MemberStart};
            Report(0, report);
            current_ = &report;
            const TUnzipResult result = ExtractMember(member);
            current_ = nullptr;
            report.Status = result == TUnzipResult::Ok ? TReportStatus::MemberDone
                                                       : TReportStatus::MemberFailed;
            Report(ResultCode(result), report);
            if (first == TUnzipResult::Ok) first = result;
        }
        return first;
    }

private:
    void Report(int64_t code, const TUnzipReport& report) const {
        if (job_.OnReport) job_.OnReport(code, report);
    }

    void ReportWritten(size_t length) const {
        if (!current_ || !job_.OnReport) return;
        TUnzipReport written = *current_;
        written.Status = TReportStatus::BytesWritten;
        job_.OnReport(static_cast<int64_t>(length), written);
    }

    TUnzipResult ExtractMember(const TMember& member) {
        if (const TUnzipResult refused = Refusal(member); refused != TUnzipResult::Ok)
            return refused;
        const TZipEntry& e = *member.entry;
        if (e.IsFolder())
            return member.path->empty() ? TUnzipResult::Ok : target_.MakeFolders(*member.path);
        TTargetFile file;
        const auto replace = [&] {
            return job_.OnQuestion && job_.OnQuestion(current_->FileName) == TQuestionAnswer::Yes;
        };
        if (const TUnzipResult created = target_.CreateFile(*member.path, replace, file);
            created != TUnzipResult::Ok)
            return created;
        TMemberInput input(*archive_.file, e.DataStart, e.CompressedSize);
        TMemberOutput output(
            e.UncompressedSize,
            [&](const unsigned char* data, size_t length) { return file.Write(data, length); },
            [&](size_t length) { ReportWritten(length); }, job_.Cancel);
        TUnzipResult result = Decode(e, input, output);
        const TUnzipResult checked = output.Finish(e.Crc32);
        if (result == TUnzipResult::Ok) result = checked;
        if (result != TUnzipResult::Ok) {
            file.Remove();
            return result;
        }
        return file.Finish(target_.ModificationTime(e.DosDate, e.DosTime));
    }

    TUnzipResult Decode(const TZipEntry& e, TMemberInput& input, TMemberOutput& output) {
        switch (e.Method) {
        case 0: return CopyStored(input, output);
        case 1: return Unshrink(input, output);
        case 6: return Explode(input, output, e.Flags);
        case 8: return inflater_.Inflate(input, output);
        default: return TUnzipResult::UnsupportedMethod;
        }
    }

    const TUnzipJob& job_;
    TOpenArchive& archive_;
    TTargetFolder& target_;
    TInflater inflater_;
    const TUnzipReport* current_ = nullptr;
};

} // namespace

TUnzipResult ExtractArchive(const TUnzipJob& job) {
    TOpenArchive archive;
    if (const TUnzipResult opened = OpenArchive(job, archive); opened != TUnzipResult::Ok)
        return opened;
    if (archive.directory.Entries.empty()) return TUnzipResult::Empty;
    if (archive.selected.empty()) return TUnzipResult::NoMatch;
    ForceDirectories(job.TargetDir);
    TTargetFolder target(NativePath(job.TargetDir));
    if (!target.IsOpen()) return TUnzipResult::WriteError;
    const uint64_t free = job.FreeSpace ? job.FreeSpace() : target.FreeBytes();
    if (NeededBytes(archive.selected) > free) return TUnzipResult::NoSpace;
    return TExtraction(job, archive, target).Run();
}

TUnzipResult ListArchive(const TUnzipJob& job) {
    TOpenArchive archive;
    if (const TUnzipResult opened = OpenArchive(job, archive); opened != TUnzipResult::Ok)
        return opened;
    for (const TMember& member : archive.selected)
        if (job.OnReport)
            job.OnReport(0, {Utf8ToAnsi(member.utf8Name), member.utf8Name, TReportStatus::Listed});
    return TUnzipResult::Ok;
}

uint64_t SelectedSize(const TUnzipJob& job) {
    TOpenArchive archive;
    return OpenArchive(job, archive) == TUnzipResult::Ok ? NeededBytes(archive.selected) : 0;
}

} // namespace lumo

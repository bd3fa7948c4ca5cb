// An open web archive file (WARC or ARC, plain or gzipped): its index, the
// documents of its captures, and the index page the program shows for it.
#pragma once

#include "net/archive_index.h"
#include "net/archive_record_reader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace lumo {

// A captured document as its server sent it.
struct TCapturedDocument {
    int Status = 200;
    std::string ContentType;
    std::string Location; // of a captured redirection
    std::string Body;
};

class TWebArchive {
public:
    // A captured document longer than this is not shown, as for a local file.
    static constexpr int64_t MaxDocumentSize = 256 * 1024 * 1024;
    // The index page lists at most this many pages; the filter finds the others.
    static constexpr size_t MaxIndexRows = 10'000;

    // Opens the file with the index saved in indexFolder for a file of its
    // size and time, or builds the index and saves it there. Throws
    // Exception when the file cannot be opened.
    TWebArchive(const std::string& fileName, const std::string& indexFolder);

    const std::string& FileName() const { return fileName_; }
    // The file's own name, without its folder.
    std::string Name() const;
    const TArchiveIndex& Index() const { return index_; }
    // Whether the index came from an earlier opening.
    bool IndexWasSaved() const { return indexWasSaved_; }

    // The document of a capture (of the record a revisit repeats). Throws
    // Exception when the record cannot be read.
    TCapturedDocument Read(const TArchiveEntry& entry) const;

    // The page that lists the captured HTML pages whose address or title
    // holds filter (any case), sorted by address. selfAddress is the
    // archive's own address: a capture's link is selfAddress?capture=PLACE,
    // and the filter form sends selfAddress?filter=TEXT.
    std::string IndexPage(const std::string& selfAddress, std::string_view filter) const;

    // The date of the page shown last: its frames and pictures, and the
    // pages its links lead to, take the captures nearest to it.
    uint64_t PageDate = 0;

    // While the window goes back or forward in its history, or reloads, a
    // page shows again the capture it was shown from, not the one nearest
    // the page shown last.
    bool ReturningToShown = false;
    // The capture the page at the address (as ArchiveKey compares them) was
    // last shown from, or null.
    const TArchiveEntry* ShownCapture(std::string_view address) const;
    void NoteShown(std::string_view address, const TArchiveEntry& entry);
    // As if no page had been shown: no date, no capture to return to.
    void ForgetPagesShown();

private:
    std::string fileName_;
    std::unique_ptr<TWebArchiveFile> file_;
    TArchiveIndex index_;
    bool indexWasSaved_ = false;
    std::unordered_map<std::string, const TArchiveEntry*> shown_; // by ArchiveKey
};

// Marks the archive (if any) as returning to the pages it has shown for
// as long as the scope lasts.
class TReturnToShownScope {
public:
    explicit TReturnToShownScope(std::shared_ptr<TWebArchive> archive);
    ~TReturnToShownScope();
    TReturnToShownScope(const TReturnToShownScope&) = delete;
    TReturnToShownScope& operator=(const TReturnToShownScope&) = delete;

private:
    std::shared_ptr<TWebArchive> archive_;
};

// Whether a file's name is that of an archive: ".warc", ".arc", either with ".gz".
bool IsArchiveFileName(std::string_view fileName);

// "OFFSET" or "OFFSET-INNER", as the index page's links name a capture.
std::string PlaceText(TRecordPlace place);
bool ParsePlaceText(std::string_view text, TRecordPlace& place);

// The file that holds the saved index of an archive in indexFolder.
std::string ArchiveIndexFile(const std::string& indexFolder, const std::string& archiveFile);

} // namespace lumo

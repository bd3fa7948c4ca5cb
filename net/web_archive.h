// An open web archive file (WARC or ARC, plain or gzipped): its index, the
// documents of its captures, and the index page the program shows for it.
#pragma once

#include "net/archive_index.h"
#include "net/archive_record_reader.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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

private:
    std::string fileName_;
    std::unique_ptr<TWebArchiveFile> file_;
    TArchiveIndex index_;
    bool indexWasSaved_ = false;
};

// Whether a file's name is that of an archive: ".warc", ".arc", either with ".gz".
bool IsArchiveFileName(std::string_view fileName);

// "OFFSET" or "OFFSET-INNER", as the index page's links name a capture.
std::string PlaceText(TRecordPlace place);
bool ParsePlaceText(std::string_view text, TRecordPlace& place);

// The file that holds the saved index of an archive in indexFolder.
std::string ArchiveIndexFile(const std::string& indexFolder, const std::string& archiveFile);

} // namespace lumo

// The index of a web archive file: one entry for every capture a page can
// be served from (responses, resources and revisits), in the order of the
// file, found by address and date. It is built in one pass over the file,
// reading only the records' headers and the heads of their responses, and
// kept in a small text file so that opening the archive again reads no record.
#pragma once

#include "net/archive_record_reader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

enum class TCaptureKind : uint8_t { Response, Resource, Revisit };

struct TArchiveEntry {
    std::string Address;     // as the record names it
    std::string ContentType; // of the captured document
    std::string Title;       // of a captured HTML page
    uint64_t Date = 0;       // YYYYMMDDhhmmss
    TRecordPlace Place;
    int64_t Length = 0; // of the record (its gzip member) in the file
    int Status = 200;
    TCaptureKind Kind = TCaptureKind::Response;
    int32_t Original = -1; // a revisit's: the entry whose document it repeats
};

// A record that could not be read, and why.
struct TArchiveError {
    int64_t Offset = 0;
    std::string Message;
};

// Whether a look-up may end on a captured redirection.
enum class TRedirects { Take, Avoid };

class TArchiveIndex {
public:
    // Past this the rest of a file is left out, so memory stays bounded.
    static constexpr size_t MaxEntries = 2'000'000;
    static constexpr size_t MaxErrors = 1000;

    static TArchiveIndex Build(const TWebArchiveFile& file);
    // The saved index of a file of that size and time; nothing when there
    // is none, it is another file's or it cannot be read.
    static std::optional<TArchiveIndex> Load(const std::string& indexFile, int64_t size,
                                             int64_t modified);
    bool Save(const std::string& indexFile, int64_t size, int64_t modified) const;

    const std::vector<TArchiveEntry>& Entries() const { return entries_; }
    const std::vector<TArchiveError>& Errors() const { return errors_; }

    // The capture of the address (as ArchiveKey compares them) nearest to
    // the date, the latest when the date is 0; null when there is none.
    const TArchiveEntry* Find(std::string_view address, uint64_t date,
                              TRedirects redirects = TRedirects::Take) const;
    // The entry of the record at that place, or null.
    const TArchiveEntry* AtPlace(TRecordPlace place) const;
    // The entry whose document a capture shows: a revisit's original.
    const TArchiveEntry* DocumentOf(const TArchiveEntry& entry) const;

private:
    class TBuilder;
    // Makes the keys and sorts the entries by them.
    void MakeKeys();
    // Whether byKey_ lists every entry once, sorted by key and date.
    bool OrderHolds() const;

    std::vector<TArchiveEntry> entries_;
    std::vector<TArchiveError> errors_;
    std::vector<std::string> keys_; // ArchiveKey of each entry
    std::vector<uint32_t> byKey_;   // entries sorted by key, then date
};

// The JSON line --archive-list prints for an entry.
std::string ArchiveEntryJson(const TArchiveEntry& entry);

// Whether a content type is that of an HTML page.
bool IsHtmlType(std::string_view contentType);

} // namespace lumo

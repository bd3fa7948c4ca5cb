// The directory of a ZIP archive: the end record, found from the end of the
// file, and the central directory's entries it points to. Sizes, CRC and
// offsets come from the central directory only; a member's local header
// gives just the place where its data starts.
#pragma once

#include "tools/unzip_codes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lumo {

class TArchiveFile;

struct TZipEntry {
    std::string RawName; // the name's bytes as stored
    uint16_t VersionMadeBy = 0;
    uint16_t Flags = 0;
    uint16_t Method = 0;
    uint16_t DosTime = 0;
    uint16_t DosDate = 0;
    uint32_t Crc32 = 0;
    uint64_t CompressedSize = 0;
    uint64_t UncompressedSize = 0;
    uint32_t ExternalAttributes = 0;
    uint64_t LocalHeaderOffset = 0; // as recorded

    // Whether the local header and the data were found where they may be
    // (LocateMemberData, MarkOverlaps), and where.
    TUnzipResult Place = TUnzipResult::NoLocalHeader;
    uint64_t HeaderStart = 0;
    uint64_t DataStart = 0;

    bool Encrypted() const { return Flags & 0x41; } // traditional or strong encryption
    bool Utf8Name() const { return Flags & 0x800; }
    bool IsFolder() const;
    bool IsSymlink() const; // a Unix mode of a symbolic link
    uint64_t DataEnd() const { return DataStart + CompressedSize; }
};

struct TZipDirectory {
    std::vector<TZipEntry> Entries;
    uint64_t DirectoryStart = 0; // where the central directory really starts
    // Bytes before the archive (a self-extractor's program, or a writer that
    // counted wrong): recorded offsets are moved by this much.
    uint64_t Shift = 0;
};

// Reads the end record and the central directory. A directory larger than this
// is refused as damaged rather than read into memory.
static constexpr uint64_t MaxDirectorySize = 64 * 1024 * 1024;
TUnzipResult ReadZipDirectory(TArchiveFile& file, TZipDirectory& directory);

// Finds each entry's local header and where its data starts, and refuses
// data that runs into the central directory.
void LocateMemberData(TArchiveFile& file, TZipDirectory& directory);

// Marks every entry whose bytes, from its local header to the end of its data,
// overlap another entry's: such archives expand the same bytes many times.
void MarkOverlaps(TZipDirectory& directory);

} // namespace lumo

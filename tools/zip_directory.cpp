#include "tools/zip_directory.h"

#include "tools/archive_file.h"

#include <algorithm>

namespace lumo {
namespace {

constexpr uint32_t EndSignature = 0x06054b50;     // "PK\5\6"
constexpr uint32_t CentralSignature = 0x02014b50; // "PK\1\2"
constexpr uint32_t LocalSignature = 0x04034b50;   // "PK\3\4"
constexpr size_t EndRecordSize = 22;
constexpr size_t CentralHeaderSize = 46;
constexpr size_t LocalHeaderSize = 30;
constexpr size_t MaxCommentLength = 0xFFFF;

uint16_t Get16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

uint32_t Get32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

bool HasSignature(TArchiveFile& file, uint64_t offset, uint32_t signature) {
    unsigned char bytes[4];
    return file.ReadAt(offset, bytes, 4) && Get32(bytes) == signature;
}

struct EndRecord {
    uint64_t position = 0;
    uint16_t disk = 0;
    uint16_t directoryDisk = 0;
    uint16_t entriesHere = 0;
    uint16_t entries = 0;
    uint32_t directorySize = 0;
    uint32_t directoryOffset = 0;
    uint16_t commentLength = 0;
};

EndRecord ParseEndRecord(const unsigned char* p, uint64_t position) {
    return {position,      Get16(p + 4),  Get16(p + 6),  Get16(p + 8),
            Get16(p + 10), Get32(p + 12), Get32(p + 16), Get16(p + 20)};
}

// Every "PK\5\6" in the last bytes of the file, those whose comment ends
// exactly at the end of the file first (a comment may itself hold the
// signature), each group from the end backwards.
std::vector<EndRecord> EndRecordCandidates(TArchiveFile& file) {
    const uint64_t size = file.Size();
    if (size < EndRecordSize) return {};
    const size_t tailLength =
        static_cast<size_t>(std::min<uint64_t>(size, EndRecordSize + MaxCommentLength));
    const uint64_t tailStart = size - tailLength;
    std::vector<unsigned char> tail(tailLength);
    if (!file.ReadAt(tailStart, tail.data(), tailLength)) return {};
    std::vector<EndRecord> exact, others;
    for (size_t i = tailLength - EndRecordSize + 1; i-- > 0;) {
        if (Get32(&tail[i]) != EndSignature) continue;
        const EndRecord end = ParseEndRecord(&tail[i], tailStart + i);
        const bool fits = end.position + EndRecordSize + end.commentLength == size;
        (fits ? exact : others).push_back(end);
    }
    exact.insert(exact.end(), others.begin(), others.end());
    return exact;
}

// Where the central directory of this end record is, or why it cannot be read.
TUnzipResult PlaceDirectory(TArchiveFile& file, const EndRecord& end, TZipDirectory& directory) {
    if (end.entries == 0xFFFF || end.entriesHere == 0xFFFF || end.directorySize == 0xFFFFFFFF ||
        end.directoryOffset == 0xFFFFFFFF)
        return TUnzipResult::Zip64;
    if (end.disk != 0 || end.directoryDisk != 0 || end.entriesHere != end.entries)
        return TUnzipResult::MultiDisk;
    directory.DirectoryStart = end.position;
    directory.Shift = 0;
    if (end.entries == 0) return TUnzipResult::Ok;
    const uint64_t size = end.directorySize;
    if (size > end.position || size > MaxDirectorySize ||
        size < uint64_t{end.entries} * CentralHeaderSize)
        return TUnzipResult::Damaged;
    const uint64_t stated = end.directoryOffset;
    if (stated + size <= end.position && HasSignature(file, stated, CentralSignature)) {
        directory.DirectoryStart = stated;
        return TUnzipResult::Ok;
    }
    // The directory sits right before the end record but later than recorded:
    // bytes were put in front of the archive, and every offset moves with it.
    const uint64_t actual = end.position - size;
    if (actual > stated && HasSignature(file, actual, CentralSignature)) {
        directory.DirectoryStart = actual;
        directory.Shift = actual - stated;
        return TUnzipResult::Ok;
    }
    return TUnzipResult::Damaged;
}

TUnzipResult ParseEntry(const unsigned char* p, TZipEntry& entry) {
    entry.VersionMadeBy = Get16(p + 4);
    entry.Flags = Get16(p + 8);
    entry.Method = Get16(p + 10);
    entry.DosTime = Get16(p + 12);
    entry.DosDate = Get16(p + 14);
    entry.Crc32 = Get32(p + 16);
    const uint32_t compressed = Get32(p + 20);
    const uint32_t uncompressed = Get32(p + 24);
    const uint16_t nameLength = Get16(p + 28);
    entry.ExternalAttributes = Get32(p + 38);
    const uint32_t offset = Get32(p + 42);
    entry.RawName.assign(reinterpret_cast<const char*>(p + CentralHeaderSize), nameLength);
    if (compressed == 0xFFFFFFFF || uncompressed == 0xFFFFFFFF || offset == 0xFFFFFFFF)
        return TUnzipResult::Zip64;
    if (Get16(p + 34) != 0) return TUnzipResult::MultiDisk;
    entry.CompressedSize = compressed;
    entry.UncompressedSize = uncompressed;
    entry.LocalHeaderOffset = offset;
    return TUnzipResult::Ok;
}

// The size was checked by PlaceDirectory, unless there are no entries.
TUnzipResult ReadEntries(TArchiveFile& file, uint64_t size, uint16_t count,
                         TZipDirectory& directory) {
    if (count == 0) return TUnzipResult::Ok;
    std::vector<unsigned char> bytes(static_cast<size_t>(size));
    if (!file.ReadAt(directory.DirectoryStart, bytes.data(), bytes.size()))
        return TUnzipResult::Damaged;
    directory.Entries.resize(count);
    size_t at = 0;
    for (TZipEntry& entry : directory.Entries) {
        if (bytes.size() - at < CentralHeaderSize) return TUnzipResult::Damaged;
        const unsigned char* p = &bytes[at];
        if (Get32(p) != CentralSignature) return TUnzipResult::Damaged;
        const size_t length =
            CentralHeaderSize + size_t{Get16(p + 28)} + Get16(p + 30) + Get16(p + 32);
        if (bytes.size() - at < length) return TUnzipResult::Damaged;
        if (const TUnzipResult r = ParseEntry(p, entry); r != TUnzipResult::Ok) return r;
        at += length;
    }
    return TUnzipResult::Ok;
}

} // namespace

bool TZipEntry::IsFolder() const {
    return !RawName.empty() && (RawName.back() == '/' || RawName.back() == '\\');
}

bool TZipEntry::IsSymlink() const {
    constexpr uint32_t TypeMask = 0170000, SymbolicLink = 0120000;
    return ((ExternalAttributes >> 16) & TypeMask) == SymbolicLink;
}

TUnzipResult ReadZipDirectory(TArchiveFile& file, TZipDirectory& directory) {
    const std::vector<EndRecord> candidates = EndRecordCandidates(file);
    if (candidates.empty()) return TUnzipResult::NotZip;
    // The first record that leads to a directory wins; a signature inside a
    // comment or trailing bytes leads nowhere and is passed over.
    for (const EndRecord& end : candidates) {
        directory = {};
        const TUnzipResult placed = PlaceDirectory(file, end, directory);
        if (placed == TUnzipResult::Damaged) continue;
        if (placed != TUnzipResult::Ok) return placed;
        const TUnzipResult read = ReadEntries(file, end.directorySize, end.entries, directory);
        if (read == TUnzipResult::Damaged) continue;
        return read;
    }
    directory = {};
    return TUnzipResult::Damaged;
}

void LocateMemberData(TArchiveFile& file, TZipDirectory& directory) {
    for (TZipEntry& entry : directory.Entries) {
        entry.Place = TUnzipResult::NoLocalHeader;
        const uint64_t moved = entry.LocalHeaderOffset + directory.Shift;
        for (const uint64_t at : {moved, entry.LocalHeaderOffset}) {
            unsigned char header[LocalHeaderSize];
            if (at + LocalHeaderSize > directory.DirectoryStart ||
                !file.ReadAt(at, header, LocalHeaderSize) || Get32(header) != LocalSignature)
                continue;
            entry.HeaderStart = at;
            entry.DataStart = at + LocalHeaderSize + Get16(header + 26) + Get16(header + 28);
            const bool inside = entry.DataStart <= directory.DirectoryStart &&
                                entry.CompressedSize <= directory.DirectoryStart - entry.DataStart;
            entry.Place = inside ? TUnzipResult::Ok : TUnzipResult::Damaged;
            break;
        }
    }
}

void MarkOverlaps(TZipDirectory& directory) {
    std::vector<TZipEntry*> placed;
    for (TZipEntry& entry : directory.Entries)
        if (entry.Place == TUnzipResult::Ok) placed.push_back(&entry);
    std::sort(placed.begin(), placed.end(), [](const TZipEntry* a, const TZipEntry* b) {
        return a->HeaderStart < b->HeaderStart;
    });
    TZipEntry* reaching = nullptr; // the entry reaching furthest so far
    for (TZipEntry* entry : placed) {
        if (reaching && entry->HeaderStart < reaching->DataEnd()) {
            entry->Place = TUnzipResult::Overlap;
            reaching->Place = TUnzipResult::Overlap;
        }
        if (!reaching || entry->DataEnd() > reaching->DataEnd()) reaching = entry;
    }
}

} // namespace lumo

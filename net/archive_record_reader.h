// Reading the records of a web archive file: WARC (versions 0.17 to 1.1) or
// the older ARC with its one-line record headers (versions 1 and 2), plain or
// as a series of gzip members. Records are read by their place in the file;
// nothing holds more than one record's header and a bounded part of its
// content in memory, and a damaged record costs only itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <zlib.h>

namespace lumo {

enum class TArchiveFormat { Warc, Arc };

// Where a record starts: the file offset of its gzip member (of the record
// itself in a plain file) and how many inflated bytes of that member come
// before it (0 unless one member holds several records).
struct TRecordPlace {
    int64_t Offset = 0;
    int64_t Inner = 0;
    friend bool operator==(const TRecordPlace&, const TRecordPlace&) = default;
};

// An open archive file, read by offset.
class TWebArchiveFile {
public:
    // Throws Exception when the file cannot be opened.
    explicit TWebArchiveFile(const std::string& fileName);
    ~TWebArchiveFile();
    TWebArchiveFile(const TWebArchiveFile&) = delete;
    TWebArchiveFile& operator=(const TWebArchiveFile&) = delete;

    int64_t Size() const { return size_; }
    int64_t ModifiedSeconds() const { return modified_; }
    // The file starts with a gzip member.
    bool Compressed() const { return compressed_; }
    TArchiveFormat Format() const { return format_; }
    // Up to count bytes at offset; fewer at the end of the file or on an error.
    size_t ReadAt(int64_t offset, char* buffer, size_t count) const;

private:
    int fd_ = -1;
    int64_t size_ = 0;
    int64_t modified_ = 0;
    bool compressed_ = false;
    TArchiveFormat format_ = TArchiveFormat::Warc;
};

// The bytes from an offset on: those of a plain file up to its end, or the
// inflated bytes of the one gzip member that starts there.
class TRecordStream {
public:
    TRecordStream(const TWebArchiveFile& file, int64_t offset);
    ~TRecordStream();
    TRecordStream(const TRecordStream&) = delete;
    TRecordStream& operator=(const TRecordStream&) = delete;

    size_t Read(char* buffer, size_t count);
    // The next count bytes (at most 4,096) without taking them; fewer at the end.
    std::string_view Peek(size_t count);
    // A line ending in LF (or CR LF), without its end. False at the end of
    // the bytes, and for a line longer than maxLength (which is then passed over).
    bool ReadLine(std::string& line, size_t maxLength);
    // Passes over count bytes (a plain file's without reading them); returns
    // how many there were.
    int64_t Skip(int64_t count);
    // Bytes given out or passed over since the start.
    int64_t Position() const { return position_; }
    // No byte is left. For a gzip member, MemberEnd then says where the next
    // member starts.
    bool AtEnd();
    int64_t MemberEnd() const { return memberEnd_; }
    // Why the bytes ended early ("bad gzip data"), or empty.
    const std::string& Error() const { return error_; }

private:
    bool Fill();
    bool FillInflated();

    const TWebArchiveFile& file_;
    const bool compressed_;
    int64_t fileOffset_; // the next byte of the file to read
    int64_t position_ = 0;
    int64_t memberEnd_ = -1;
    size_t readAhead_ = 64 * 1024; // how much the next read of a plain file asks for
    std::vector<char> out_;
    size_t outStart_ = 0, outEnd_ = 0;
    std::vector<char> in_;
    z_stream zip_{};
    bool zipOpen_ = false;
    bool ended_ = false;
    std::string error_;
};

// What a record's header says. ARC records are all responses.
struct TRecordHeader {
    std::string Type; // "response", "revisit", "resource", "request", "warcinfo", ...
    std::string TargetURI;
    uint64_t Date = 0;       // YYYYMMDDhhmmss as a number
    std::string ContentType; // of the record's block
    std::string RecordID, RefersTo, RefersToTargetURI, PayloadDigest;
    uint64_t RefersToDate = 0;
    int64_t ContentLength = -1; // bytes of the block
};

// A WARC record's first line: "WARC/1.0", or an older or newer version of
// at most MaxWarcVersionLine characters.
inline constexpr size_t MaxWarcVersionLine = 12;
bool IsWarcVersionLine(std::string_view line);

// Reads the header of the record at the stream's position, passing over
// the blank lines between records. False at the end of the bytes; false with
// a message in error when what is there is no record header.
bool ReadRecordHeader(TRecordStream& stream, TArchiveFormat format, TRecordHeader& header,
                      std::string& error);

// The one-line header of an ARC record (version 1: address, IP, date,
// content type, length; version 2 has five more fields before the length).
bool ParseArcHeaderLine(std::string_view line, TRecordHeader& header);

// A WARC date ("2026-12-07T11:35:21Z", fractions of a second allowed) or an
// ARC one ("20261207113521", shorter ones padded) as YYYYMMDDhhmmss; 0 when
// it is none.
uint64_t ParseArchiveDate(std::string_view text);

// Seconds since 1970 of a YYYYMMDDhhmmss number, for comparing dates.
int64_t ArchiveDateSeconds(uint64_t date);

// The head of a captured HTTP response: its status and header lines.
struct THttpHead {
    int Status = 200;
    std::string ContentType;
    std::string Location;
    std::vector<std::string> Lines; // every header line, as captured
};

// Reads the status line and header lines of a captured response from at
// most limit bytes of the stream (the record's block); the limit then
// holds what is left of the block. False when the block holds no HTTP
// response head.
bool ReadHttpHead(TRecordStream& stream, int64_t& limit, THttpHead& head);

// The text of the first TITLE element in the start of a page, blanks folded.
std::string TitleOf(std::string_view page);

} // namespace lumo

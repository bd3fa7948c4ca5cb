#include "net/archive_record_reader.h"

#include "platform/exception.h"
#include "platform/file_system.h"
#include "platform/text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace lumo {

namespace {

constexpr size_t BufferSize = 64 * 1024;
constexpr size_t FirstRead = 4096;
constexpr size_t MaxPeek = 4096;
constexpr size_t MaxHeaderLine = 16 * 1024;
constexpr int MaxHeaderLines = 500;
constexpr int MaxBlankLines = 64;

bool IsGzipStart(std::string_view bytes) {
    return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
           static_cast<unsigned char>(bytes[1]) == 0x8B && bytes[2] == 8;
}

// Splits "Name: value" into its trimmed parts; false without a colon.
bool SplitHeaderLine(std::string_view line, std::string_view& name, std::string_view& value) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    name = Trim(line.substr(0, colon));
    value = Trim(line.substr(colon + 1));
    return true;
}

// Some writers put the address between angle brackets.
std::string WithoutBrackets(std::string_view value) {
    if (value.size() >= 2 && value.front() == '<' && value.back() == '>')
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

void TakeWarcField(TRecordHeader& header, std::string_view name, std::string_view value) {
    if (SameText(name, "WARC-Type"))
        header.Type = LowerCase(value);
    else if (SameText(name, "WARC-Target-URI"))
        header.TargetURI = WithoutBrackets(value);
    else if (SameText(name, "WARC-Date"))
        header.Date = ParseArchiveDate(value);
    else if (SameText(name, "Content-Type"))
        header.ContentType = std::string(value);
    else if (SameText(name, "Content-Length")) {
        int64_t length = 0;
        header.ContentLength = ParseInteger(value, length) && length >= 0 ? length : -1;
    } else if (SameText(name, "WARC-Record-ID"))
        header.RecordID = WithoutBrackets(value);
    else if (SameText(name, "WARC-Refers-To"))
        header.RefersTo = WithoutBrackets(value);
    else if (SameText(name, "WARC-Refers-To-Target-URI"))
        header.RefersToTargetURI = WithoutBrackets(value);
    else if (SameText(name, "WARC-Refers-To-Date"))
        header.RefersToDate = ParseArchiveDate(value);
    else if (SameText(name, "WARC-Payload-Digest"))
        header.PayloadDigest = std::string(value);
}

bool ReadWarcHeader(TRecordStream& stream, TRecordHeader& header, std::string& error) {
    std::string line;
    for (int i = 0; i < MaxHeaderLines; ++i) {
        if (!stream.ReadLine(line, MaxHeaderLine)) {
            error = "the record's header is cut short";
            return false;
        }
        if (line.empty()) {
            if (header.ContentLength >= 0) return true;
            error = "the record has no Content-Length";
            return false;
        }
        std::string_view name, value;
        if (SplitHeaderLine(line, name, value)) TakeWarcField(header, name, value);
    }
    error = "the record's header has too many lines";
    return false;
}

// Splits at runs of spaces.
std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ')
            ++i;
        if (i > start) fields.push_back(line.substr(start, i - start));
    }
    return fields;
}

int DaysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int>(doe) - 719468;
}

} // namespace

// --- The file --------------------------------------------------------------------------

TWebArchiveFile::TWebArchiveFile(const std::string& fileName) {
    fd_ = ::open(NativePath(fileName).c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
        throw Exception("Cannot open file " + fileName);
    }
    size_ = info.st_size;
    modified_ = info.st_mtime;
    char start[16] = {};
    const size_t got = ReadAt(0, start, sizeof start);
    compressed_ = IsGzipStart(std::string_view(start, got));
    std::string first;
    TRecordStream stream(*this, 0);
    stream.ReadLine(first, 64);
    format_ = IsWarcVersionLine(first) ? TArchiveFormat::Warc : TArchiveFormat::Arc;
}

TWebArchiveFile::~TWebArchiveFile() {
    if (fd_ >= 0) ::close(fd_);
}

size_t TWebArchiveFile::ReadAt(int64_t offset, char* buffer, size_t count) const {
    size_t done = 0;
    while (done < count) {
        const ssize_t n =
            ::pread(fd_, buffer + done, count - done, offset + static_cast<int64_t>(done));
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

// --- The bytes of a record -------------------------------------------------------------

TRecordStream::TRecordStream(const TWebArchiveFile& file, int64_t offset)
    : file_(file), compressed_(file.Compressed()), fileOffset_(offset), out_(BufferSize) {
    if (!compressed_) return;
    in_.resize(BufferSize);
    zipOpen_ = inflateInit2(&zip_, 16 + MAX_WBITS) == Z_OK;
    if (!zipOpen_) {
        error_ = "cannot inflate";
        ended_ = true;
    }
}

TRecordStream::~TRecordStream() {
    if (zipOpen_) inflateEnd(&zip_);
}

bool TRecordStream::FillInflated() {
    while (true) {
        if (zip_.avail_in == 0) {
            const size_t got = file_.ReadAt(fileOffset_, in_.data(), in_.size());
            if (got == 0) {
                error_ = "the gzip member is cut short";
                ended_ = true;
                return false;
            }
            fileOffset_ += static_cast<int64_t>(got);
            zip_.next_in = reinterpret_cast<Bytef*>(in_.data());
            zip_.avail_in = static_cast<uInt>(got);
        }
        zip_.next_out = reinterpret_cast<Bytef*>(out_.data() + outEnd_);
        zip_.avail_out = static_cast<uInt>(out_.size() - outEnd_);
        const int result = inflate(&zip_, Z_NO_FLUSH);
        outEnd_ = out_.size() - zip_.avail_out;
        if (result == Z_STREAM_END) {
            memberEnd_ = fileOffset_ - zip_.avail_in;
            ended_ = true;
            return outEnd_ > outStart_;
        }
        if (result != Z_OK && result != Z_BUF_ERROR) {
            error_ = "bad gzip data";
            ended_ = true;
            return outEnd_ > outStart_;
        }
        if (outEnd_ > outStart_) return true;
    }
}

bool TRecordStream::Fill() {
    if (outStart_ == outEnd_) outStart_ = outEnd_ = 0;
    if (ended_) return false;
    if (outStart_ > 0 && outEnd_ == out_.size()) {
        // Room for a peek that straddles the end of the buffer.
        std::memmove(out_.data(), out_.data() + outStart_, outEnd_ - outStart_);
        outEnd_ -= outStart_;
        outStart_ = 0;
    }
    if (compressed_) return FillInflated();
    // After a skip the next read is small: most of the time only a record's
    // header is wanted there. Reads grow again as more is read in a row.
    const size_t want = std::min(readAhead_, out_.size() - outEnd_);
    readAhead_ = std::min(readAhead_ * 2, out_.size());
    const size_t got = file_.ReadAt(fileOffset_, out_.data() + outEnd_, want);
    if (got == 0) {
        ended_ = true;
        return false;
    }
    fileOffset_ += static_cast<int64_t>(got);
    outEnd_ += got;
    return true;
}

size_t TRecordStream::Read(char* buffer, size_t count) {
    size_t done = 0;
    while (done < count) {
        if (outStart_ == outEnd_ && !Fill()) break;
        const size_t n = std::min(count - done, outEnd_ - outStart_);
        std::memcpy(buffer + done, out_.data() + outStart_, n);
        outStart_ += n;
        done += n;
    }
    position_ += static_cast<int64_t>(done);
    return done;
}

std::string_view TRecordStream::Peek(size_t count) {
    count = std::min(count, MaxPeek);
    while (outEnd_ - outStart_ < count && Fill()) {
    }
    return {out_.data() + outStart_, std::min(count, outEnd_ - outStart_)};
}

bool TRecordStream::ReadLine(std::string& line, size_t maxLength) {
    line.clear();
    bool tooLong = false;
    bool any = false;
    while (true) {
        if (outStart_ == outEnd_ && !Fill()) return any && !tooLong;
        any = true;
        const char* start = out_.data() + outStart_;
        const size_t available = outEnd_ - outStart_;
        const void* lf = std::memchr(start, '\n', available);
        const size_t n = lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) : available;
        if (!tooLong && line.size() + n <= maxLength)
            line.append(start, n);
        else
            tooLong = true;
        const size_t taken = lf ? n + 1 : n;
        outStart_ += taken;
        position_ += static_cast<int64_t>(taken);
        if (!lf) continue;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return !tooLong;
    }
}

int64_t TRecordStream::Skip(int64_t count) {
    if (count <= 0) return 0;
    int64_t done = 0;
    const int64_t buffered = std::min<int64_t>(count, static_cast<int64_t>(outEnd_ - outStart_));
    outStart_ += static_cast<size_t>(buffered);
    done += buffered;
    if (!compressed_ && done < count) {
        // A plain file's bytes are passed over without reading them.
        const int64_t n = std::min(count - done, std::max<int64_t>(file_.Size() - fileOffset_, 0));
        fileOffset_ += n;
        if (n > 0) readAhead_ = FirstRead;
        done += n;
    }
    while (done < count) {
        if (outStart_ == outEnd_ && !Fill()) break;
        const int64_t n =
            std::min<int64_t>(count - done, static_cast<int64_t>(outEnd_ - outStart_));
        outStart_ += static_cast<size_t>(n);
        done += n;
    }
    position_ += done;
    return done;
}

bool TRecordStream::AtEnd() {
    return outStart_ == outEnd_ && !Fill();
}

// --- Record headers --------------------------------------------------------------------

uint64_t ParseArchiveDate(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            digits += c;
        else if (c == '.' || c == 'Z' || c == '+')
            break; // fractions of a second and zones end the part that counts
        else if (c != '-' && c != 'T' && c != ':')
            return 0;
    }
    if (digits.size() < 4 || digits.size() > 14) return 0;
    // Month and day count from 1.
    static constexpr std::string_view Padding = "00000101000000";
    digits += Padding.substr(digits.size());
    uint64_t date = 0;
    ParseInteger(digits, date);
    return date;
}

int64_t ArchiveDateSeconds(uint64_t date) {
    const int seconds = static_cast<int>(date % 100);
    const int minutes = static_cast<int>(date / 100 % 100);
    const int hours = static_cast<int>(date / 10000 % 100);
    const unsigned day = static_cast<unsigned>(date / 1000000 % 100);
    const unsigned month = static_cast<unsigned>(date / 100000000 % 100);
    const int year = static_cast<int>(date / 10000000000);
    const int64_t days = DaysFromCivil(year, month, day);
    return days * 86400 + hours * 3600 + minutes * 60 + seconds;
}

bool IsWarcVersionLine(std::string_view line) {
    return line.starts_with("WARC/") && line.size() <= MaxWarcVersionLine;
}

bool ParseArcHeaderLine(std::string_view line, TRecordHeader& header) {
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() != 5 && fields.size() != 10) return false;
    int64_t length = 0;
    if (!ParseInteger(fields.back(), length) || length < 0) return false;
    const uint64_t date = ParseArchiveDate(fields[2]);
    if (date == 0 || fields[0].find(':') == std::string_view::npos) return false;
    header.Type = fields[0].starts_with("filedesc:") ? "warcinfo" : "response";
    header.TargetURI = std::string(fields[0]);
    header.Date = date;
    header.ContentType = std::string(fields[3]);
    header.ContentLength = length;
    return true;
}

bool ReadRecordHeader(TRecordStream& stream, TArchiveFormat format, TRecordHeader& header,
                      std::string& error) {
    header = TRecordHeader();
    error.clear();
    std::string line;
    for (int blanks = 0;; ++blanks) {
        if (!stream.ReadLine(line, MaxHeaderLine)) {
            if (!stream.AtEnd()) error = "a header line is too long";
            return false;
        }
        if (!line.empty()) break;
        if (blanks == MaxBlankLines) {
            error = "no record header";
            return false;
        }
    }
    if (format == TArchiveFormat::Arc) {
        if (ParseArcHeaderLine(line, header)) return true;
        error = "no record header";
        return false;
    }
    if (!IsWarcVersionLine(line)) {
        error = "no record header";
        return false;
    }
    return ReadWarcHeader(stream, header, error);
}

// --- The captured response -------------------------------------------------------------

bool ReadHttpHead(TRecordStream& stream, int64_t& limit, THttpHead& head) {
    head = THttpHead();
    if (!stream.Peek(5).starts_with("HTTP/")) return false;
    std::string line;
    const int64_t start = stream.Position();
    const auto left = [&] { return limit - (stream.Position() - start); };
    if (!stream.ReadLine(line, MaxHeaderLine)) return false;
    const std::vector<std::string_view> status = Fields(line);
    if (status.size() < 2 || !ParseInteger(status[1], head.Status)) head.Status = 0;
    for (int i = 0; i < MaxHeaderLines && left() > 0; ++i) {
        if (!stream.ReadLine(line, MaxHeaderLine) || line.empty()) break;
        std::string_view name, value;
        if (!SplitHeaderLine(line, name, value)) continue;
        if (SameText(name, "Content-Type"))
            head.ContentType = std::string(value);
        else if (SameText(name, "Location"))
            head.Location = std::string(value);
        head.Lines.push_back(line);
    }
    limit = std::max<int64_t>(left(), 0);
    return true;
}

std::string TitleOf(std::string_view page) {
    const std::string lower = LowerCase(page);
    const size_t open = lower.find("<title");
    if (open == std::string::npos) return {};
    const size_t start = lower.find('>', open);
    if (start == std::string::npos) return {};
    const size_t end = lower.find("</title", start);
    const std::string_view text =
        page.substr(start + 1, (end == std::string::npos ? page.size() : end) - start - 1);
    std::string title;
    for (char c : text) {
        const bool blank = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        if (blank && (title.empty() || title.back() == ' ')) continue;
        title += blank ? ' ' : c;
    }
    while (!title.empty() && title.back() == ' ')
        title.pop_back();
    return title.substr(0, 200);
}

} // namespace lumo

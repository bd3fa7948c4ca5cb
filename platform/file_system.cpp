#include "platform/file_system.h"

#include "platform/ansi.h"
#include "platform/text.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace lumo {

namespace fs = std::filesystem;

namespace {

// The bytes a local name writes as escapes.
bool EscapedInName(unsigned char c) {
    return c < 0x20 || c >= 0x7F ||
           std::string_view("%#?:\\|\"").find(static_cast<char>(c)) != std::string_view::npos;
}

bool OutsidePlainText(unsigned char c) {
    return c < 0x20 || c >= 0x7F || c == '%';
}

bool Always(unsigned char) {
    return true;
}

} // namespace

fs::path NativePath(std::string_view name) {
    std::string bytes;
    size_t plain = 0; // the start of the characters not yet taken
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char byte = 0;
        if (!PercentEscapeAt(name, i, byte)) continue;
        bytes += AnsiToUtf8(name.substr(plain, i - plain));
        bytes += static_cast<char>(byte);
        i += 2;
        plain = i + 1;
    }
    bytes += AnsiToUtf8(name.substr(std::min(plain, name.size())));
    // A NUL would end the name early for the system: "a.txt%00.htm" is no a.txt.
    if (bytes.find('\0') != std::string::npos) return {};
    return fs::path(std::move(bytes));
}

std::string AnsiName(const fs::path& path) {
    return EncodePercents(path.native(), EscapedInName);
}

std::string LocalName(std::string_view name) {
    std::string out;
    out.reserve(name.size());
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char byte = 0;
        if (PercentEscapeAt(name, i, byte)) {
            out += EncodePercents(std::string_view(reinterpret_cast<const char*>(&byte), 1),
                                  EscapedInName);
            i += 2;
        } else if (static_cast<unsigned char>(name[i]) >= 0x80) {
            out += EncodePercents(AnsiToUtf8(name.substr(i, 1)), Always);
        } else {
            out += EncodePercents(name.substr(i, 1), OutsidePlainText);
        }
    }
    return out;
}

bool FileExists(std::string_view name) {
    std::error_code ec;
    return fs::is_regular_file(NativePath(name), ec);
}

bool DirectoryExists(std::string_view name) {
    std::error_code ec;
    return fs::is_directory(NativePath(name), ec);
}

bool ForceDirectories(std::string_view name) {
    std::error_code ec;
    const fs::path path = NativePath(name);
    fs::create_directories(path, ec);
    return fs::is_directory(path, ec);
}

size_t WriteToDescriptor(int fd, const void* bytes, size_t count) {
    const char* at = static_cast<const char*>(bytes);
    size_t written = 0;
    while (written < count) {
        const ssize_t n = ::write(fd, at + written, count - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            break;
        }
        written += static_cast<size_t>(n);
    }
    return written;
}

TNewFile CreateNewFile(std::string_view name, std::string_view bytes) {
    const fs::path path = NativePath(name);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return errno == EEXIST ? TNewFile::Exists : TNewFile::Failed;
    const bool written = WriteToDescriptor(fd, bytes.data(), bytes.size()) == bytes.size();
    if (::close(fd) == 0 && written) return TNewFile::Created;
    ::unlink(path.c_str());
    return TNewFile::Failed;
}

bool RemoveFile(std::string_view name) {
    std::error_code ec;
    return fs::remove(NativePath(name), ec);
}

std::optional<std::string> ReadWholeFile(std::string_view name, size_t maxBytes, TOverLimit over) {
    const fs::path path = NativePath(name);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    if (const auto size = fs::file_size(path, ec); !ec)
        bytes.reserve(std::min<uintmax_t>(size, maxBytes));
    char buffer[65536];
    while (in) {
        in.read(buffer, sizeof buffer);
        const auto got = static_cast<size_t>(in.gcount());
        if (bytes.size() + got > maxBytes) {
            if (over == TOverLimit::Refuse) return std::nullopt;
            bytes.append(buffer, maxBytes - bytes.size());
            return bytes;
        }
        bytes.append(buffer, got);
    }
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool WriteFileAtomically(std::string_view name, std::string_view bytes, TFlush flush) {
    TAtomicFile file(name, flush);
    return file.Open() && file.Write(bytes) && file.Commit();
}

bool WriteFileIfChanged(std::string_view name, std::string_view bytes) {
    // A larger file is refused unread: it cannot hold these bytes.
    const std::optional<std::string> held = ReadWholeFile(name, bytes.size());
    return (held && *held == bytes) || WriteFileAtomically(name, bytes);
}

void FlushFileSystem(std::string_view folder) {
    const int fd = ::open(NativePath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::syncfs(fd);
    ::close(fd);
}

std::vector<std::string> SplitLines(std::string_view text, TLoneCR loneCR) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool crlf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if (text[i] != '\n' && !crlf && (text[i] != '\r' || loneCR == TLoneCR::Kept)) continue;
        lines.emplace_back(text.substr(start, i - start));
        if (crlf) ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

} // namespace lumo

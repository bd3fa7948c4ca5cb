#include "platform/file_system.h"

#include "platform/ansi.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace lumo {

namespace fs = std::filesystem;

fs::path NativePath(std::string_view ansiName) {
    return fs::path(AnsiToUtf8(ansiName));
}

std::string AnsiName(const fs::path& path) {
    return Utf8ToAnsi(path.string());
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

TNewFile CreateNewFile(std::string_view name) {
    const int fd = ::open(NativePath(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd >= 0) {
        ::close(fd);
        return TNewFile::Created;
    }
    return errno == EEXIST ? TNewFile::Exists : TNewFile::Failed;
}

bool RemoveFile(std::string_view name) {
    std::error_code ec;
    return fs::remove(NativePath(name), ec);
}

std::optional<std::string> ReadWholeFile(std::string_view name, size_t maxBytes) {
    const fs::path path = NativePath(name);
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes;
    if (const auto size = fs::file_size(path, ec); !ec && size <= maxBytes) bytes.reserve(size);
    char buffer[65536];
    while (in) {
        in.read(buffer, sizeof buffer);
        const auto got = static_cast<size_t>(in.gcount());
        if (bytes.size() + got > maxBytes) return std::nullopt;
        bytes.append(buffer, got);
    }
    if (in.bad()) return std::nullopt;
    return bytes;
}

bool WriteFileAtomically(std::string_view name, std::string_view bytes) {
    const fs::path target = NativePath(name);
    fs::path temporary = target;
    temporary += ".tmp" + std::to_string(::getpid());
    FILE* out = std::fopen(temporary.c_str(), "wb");
    if (!out) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    written = std::fflush(out) == 0 && written;
    written = ::fsync(::fileno(out)) == 0 && written;
    written = std::fclose(out) == 0 && written;
    std::error_code ec;
    if (written) fs::rename(temporary, target, ec);
    if (!written || ec) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
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

#include "tools/archive_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumo {

std::unique_ptr<TArchiveFile> TArchiveFile::Open(const std::filesystem::path& name) {
    // A pipe or a device would block or never end: only regular files are archives.
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<TArchiveFile>(new TArchiveFile(fd, static_cast<uint64_t>(info.st_size)));
}

TArchiveFile::TArchiveFile(int fd, uint64_t size) : fd_(fd), size_(size) {}

TArchiveFile::~TArchiveFile() {
    ::close(fd_);
}

bool TArchiveFile::ReadDirect(uint64_t offset, void* out, size_t length) {
    auto* to = static_cast<unsigned char*>(out);
    while (length > 0) {
        const ssize_t got = ::pread(fd_, to, length, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        to += got;
        offset += static_cast<uint64_t>(got);
        length -= static_cast<size_t>(got);
    }
    return true;
}

bool TArchiveFile::ReadAt(uint64_t offset, void* out, size_t length) {
    if (offset > size_ || length > size_ - offset) return false;
    if (length == 0) return true;
    if (length >= WindowSize) return ReadDirect(offset, out, length);
    const bool inWindow = offset >= windowStart_ && offset - windowStart_ + length <= windowLength_;
    if (!inWindow) {
        window_.resize(WindowSize);
        windowLength_ = static_cast<size_t>(std::min<uint64_t>(WindowSize, size_ - offset));
        windowStart_ = offset;
        if (!ReadDirect(offset, window_.data(), windowLength_)) {
            windowLength_ = 0;
            return false;
        }
    }
    std::memcpy(out, window_.data() + (offset - windowStart_), length);
    return true;
}

} // namespace lumo

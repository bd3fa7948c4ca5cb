// An archive opened for reading at offsets. Small reads are served from a
// window of the file read ahead, so walking the headers and the data of many
// small members costs one system call per window instead of one per read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <vector>

namespace lumo {

class TArchiveFile {
public:
    // Null when the file cannot be opened or is not a regular file.
    static std::unique_ptr<TArchiveFile> Open(const std::filesystem::path& name);
    ~TArchiveFile();
    TArchiveFile(const TArchiveFile&) = delete;
    TArchiveFile& operator=(const TArchiveFile&) = delete;

    uint64_t Size() const { return size_; }

    // Reads exactly `length` bytes at `offset`; false when they are not all
    // there or the read fails.
    bool ReadAt(uint64_t offset, void* out, size_t length);

    static constexpr size_t WindowSize = 256 * 1024;

private:
    TArchiveFile(int fd, uint64_t size);
    bool ReadDirect(uint64_t offset, void* out, size_t length);

    int fd_;
    uint64_t size_;
    std::vector<unsigned char> window_;
    uint64_t windowStart_ = 0;
    size_t windowLength_ = 0;
};

} // namespace lumo

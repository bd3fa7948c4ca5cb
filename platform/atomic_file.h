// A file written whole or not at all. The bytes go into a temporary file
// beside the target; Commit sends them to the disk, checks that the file
// holds every byte written and only then renames it over the target. A
// failed write, or a writer dropped without a Commit, removes the temporary
// file, so a file already at the target stays as it was.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace lumo {

// Whether written bytes must reach the disk before the write returns (what the
// user keeps) or may follow later (copies that can be fetched again).
enum class TFlush { Now, Later };

class TAtomicFile {
public:
    // name is a local file name (platform/file_system.h).
    explicit TAtomicFile(std::string_view name, TFlush flush = TFlush::Now);
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Creates the temporary file; false when it cannot be made.
    bool Open();
    // Appends bytes; false when they were not all written, and from then on.
    bool Write(const void* bytes, size_t count);
    bool Write(std::string_view bytes) { return Write(bytes.data(), bytes.size()); }
    // Puts the file in place of the target; false (and the target untouched)
    // when anything failed.
    bool Commit();

    int64_t Written() const { return written_; }
    // The system's reason for the first failure ("File too large"), or empty.
    const std::string& Error() const { return error_; }

private:
    bool Fail();
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temporary_;
    TFlush flush_;
    int fd_ = -1;
    int64_t written_ = 0;
    bool failed_ = false;
    std::string error_;
};

// A write past the process's file size limit fails with an error instead of
// ending the program, so whoever writes can say so and keep older files.
void FailWritesPastFileSizeLimit();

} // namespace lumo

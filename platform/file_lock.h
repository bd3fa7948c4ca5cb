// An exclusive lock on a file or folder, held for the life of the object.
// The program holds one on the cache's "Monitor.txt" so that only the first
// of several copies sharing a folder writes the state files back, and one on
// the bookmarks folder while it merges and saves the bookmark file.
#pragma once

#include <memory>
#include <string_view>

namespace lumo {

class ExclusiveFileLock {
public:
    // Creates the file if needed and locks it without waiting. When another
    // process holds the lock, or the file cannot be created, returns null.
    // On success the file is truncated to be empty.
    static std::unique_ptr<ExclusiveFileLock> Acquire(std::string_view fileName);
    // Locks a folder for a short change of the files in it, waiting up to
    // waitMs while another process holds it; null when it cannot be had.
    static std::unique_ptr<ExclusiveFileLock> AcquireFolder(std::string_view folder, int waitMs);

    ~ExclusiveFileLock();
    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

private:
    explicit ExclusiveFileLock(int fd) : fd_(fd) {}
    int fd_;
};

} // namespace lumo

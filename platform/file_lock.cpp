#include "platform/file_lock.h"

#include "platform/file_system.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace lumo {

std::unique_ptr<ExclusiveFileLock> ExclusiveFileLock::Acquire(std::string_view fileName) {
    // Open without truncating: the file belongs to whoever holds the lock.
    const int fd = ::open(NativePath(fileName).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return nullptr;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::ftruncate(fd, 0) != 0) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<ExclusiveFileLock>(new ExclusiveFileLock(fd));
}

std::unique_ptr<ExclusiveFileLock> ExclusiveFileLock::AcquireFolder(std::string_view folder,
                                                                    int waitMs) {
    const int fd = ::open(NativePath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) ||
            std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            return nullptr;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return std::unique_ptr<ExclusiveFileLock>(new ExclusiveFileLock(fd));
}

ExclusiveFileLock::~ExclusiveFileLock() {
    ::close(fd_);
}

} // namespace lumo

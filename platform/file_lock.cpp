#include "platform/file_lock.h"

#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/file.h>
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

ExclusiveFileLock::~ExclusiveFileLock() {
    ::close(fd_);
}

} // namespace lumo

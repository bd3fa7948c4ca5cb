#include "platform/atomic_file.h"

#include "platform/file_system.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace lumo {

namespace fs = std::filesystem;

TAtomicFile::TAtomicFile(std::string_view name, TFlush flush)
    : target_(NativePath(name)), flush_(flush) {
    temporary_ = target_;
    temporary_ += ".tmp" + std::to_string(::getpid());
}

TAtomicFile::~TAtomicFile() {
    Discard();
}

bool TAtomicFile::Open() {
    Discard();
    failed_ = false;
    error_.clear();
    written_ = 0;
    if (target_.empty()) {
        failed_ = true;
        error_ = std::strerror(ENOENT);
        return false;
    }
    fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0) return Fail();
    return true;
}

bool TAtomicFile::Write(const void* bytes, size_t count) {
    if (fd_ < 0 || failed_) return false;
    const size_t written = WriteToDescriptor(fd_, bytes, count);
    written_ += static_cast<int64_t>(written);
    return written == count || Fail();
}

bool TAtomicFile::Commit() {
    if (fd_ < 0 || failed_) return false;
    // The file on the disk must hold every byte handed over: what a reader
    // finds at the target is all that was written.
    struct stat status {};
    if (flush_ == TFlush::Now && ::fsync(fd_) != 0) return Fail();
    if (::fstat(fd_, &status) != 0) return Fail();
    if (status.st_size != written_) {
        errno = EIO;
        return Fail();
    }
    std::error_code ec;
    if (::close(std::exchange(fd_, -1)) != 0)
        ec.assign(errno, std::generic_category());
    else
        fs::rename(temporary_, target_, ec);
    if (!ec) return true;
    failed_ = true;
    error_ = ec.message();
    fs::remove(temporary_, ec);
    return false;
}

bool TAtomicFile::Fail() {
    if (!failed_) error_ = std::strerror(errno);
    failed_ = true;
    Discard();
    return false;
}

void TAtomicFile::Discard() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
    std::error_code ignored;
    fs::remove(temporary_, ignored);
}

void FailWritesPastFileSizeLimit() {
    std::signal(SIGXFSZ, SIG_IGN);
}

} // namespace lumo

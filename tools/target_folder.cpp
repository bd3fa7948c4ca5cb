#include "tools/target_folder.h"

#include <cerrno>
#include <ctime>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace lumo {
namespace {

void CloseIfOpen(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

TUnzipResult WhyNotOpened(int error) {
    // A symbolic link (ELOOP with O_NOFOLLOW) or a file where a folder should be.
    return error == ELOOP || error == ENOTDIR ? TUnzipResult::LinkOnPath : TUnzipResult::WriteError;
}

// One folder below another, made when missing; never through a link.
int OpenChildFolder(int parent, const std::string& name) {
    constexpr int Flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(parent, name.c_str(), Flags);
    if (fd < 0 && errno == ENOENT) {
        if (::mkdirat(parent, name.c_str(), 0777) != 0 && errno != EEXIST) return -1;
        fd = ::openat(parent, name.c_str(), Flags);
    }
    return fd;
}

} // namespace

TTargetFile::~TTargetFile() {
    Remove();
}

bool TTargetFile::Write(const unsigned char* data, size_t length) {
    while (length > 0) {
        const ssize_t done = ::write(fd_, data, length);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        data += done;
        length -= static_cast<size_t>(done);
    }
    return true;
}

TUnzipResult TTargetFile::Finish(int64_t modified) {
    if (modified >= 0) {
        const struct timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(modified), 0}};
        ::futimens(fd_, times);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        ::unlinkat(folder_, name_.c_str(), 0);
        return TUnzipResult::WriteError;
    }
    return TUnzipResult::Ok;
}

void TTargetFile::Remove() {
    if (fd_ < 0) return;
    CloseIfOpen(fd_);
    ::unlinkat(folder_, name_.c_str(), 0);
}

TTargetFolder::TTargetFolder(const std::filesystem::path& root) {
    root_ = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

TTargetFolder::~TTargetFolder() {
    CloseIfOpen(lastFd_);
    CloseIfOpen(root_);
}

uint64_t TTargetFolder::FreeBytes() const {
    struct statvfs info {};
    if (::fstatvfs(root_, &info) != 0) return std::numeric_limits<uint64_t>::max();
    const uint64_t blocks = info.f_bavail, blockSize = info.f_frsize;
    if (blockSize != 0 && blocks > std::numeric_limits<uint64_t>::max() / blockSize)
        return std::numeric_limits<uint64_t>::max();
    return blocks * blockSize;
}

int64_t TTargetFolder::ModificationTime(uint16_t dosDate, uint16_t dosTime) {
    if (dosDate == 0) return -1;
    const uint32_t key = uint32_t{dosDate} << 16 | dosTime;
    if (key == lastDosTime_) return lastTime_;
    std::tm t{};
    t.tm_year = ((dosDate >> 9) & 0x7F) + 80;
    t.tm_mon = ((dosDate >> 5) & 0x0F) - 1;
    t.tm_mday = dosDate & 0x1F;
    t.tm_hour = dosTime >> 11;
    t.tm_min = (dosTime >> 5) & 0x3F;
    t.tm_sec = (dosTime & 0x1F) * 2;
    t.tm_isdst = -1; // DOS times are local times
    lastDosTime_ = key;
    lastTime_ = std::mktime(&t);
    return lastTime_;
}

int TTargetFolder::OpenFolder(std::string_view folder, TUnzipResult& why) {
    if (folder.empty()) return root_;
    if (lastFd_ >= 0 && folder == lastFolder_) return lastFd_;
    CloseIfOpen(lastFd_);
    int fd = root_;
    for (size_t start = 0; start <= folder.size();) {
        size_t end = folder.find('/', start);
        if (end == std::string_view::npos) end = folder.size();
        const int child = OpenChildFolder(fd, std::string(folder.substr(start, end - start)));
        const int error = errno;
        if (fd != root_) ::close(fd);
        if (child < 0) {
            why = WhyNotOpened(error);
            return -1;
        }
        fd = child;
        start = end + 1;
    }
    lastFolder_ = folder;
    lastFd_ = fd;
    return fd;
}

TUnzipResult TTargetFolder::MakeFolders(std::string_view folder) {
    TUnzipResult why = TUnzipResult::Ok;
    return OpenFolder(folder, why) >= 0 ? TUnzipResult::Ok : why;
}

TUnzipResult TTargetFolder::CreateFile(std::string_view path, const std::function<bool()>& replace,
                                       TTargetFile& file) {
    const size_t slash = path.rfind('/');
    const std::string_view folder = slash == std::string_view::npos ? "" : path.substr(0, slash);
    const std::string name(slash == std::string_view::npos ? path : path.substr(slash + 1));
    TUnzipResult why = TUnzipResult::Ok;
    const int dir = OpenFolder(folder, why);
    if (dir < 0) return why;
    // O_EXCL with O_NOFOLLOW: a link of that name is never followed, and a
    // replaced file is removed first, so a second name of it stays as it was.
    constexpr int Flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::openat(dir, name.c_str(), Flags, 0666);
    if (fd < 0 && errno == EEXIST) {
        struct stat info {};
        if (::fstatat(dir, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(info.st_mode))
            return TUnzipResult::Exists;
        if (!replace || !replace()) return TUnzipResult::Exists;
        if (::unlinkat(dir, name.c_str(), 0) != 0) return TUnzipResult::WriteError;
        fd = ::openat(dir, name.c_str(), Flags, 0666);
    }
    if (fd < 0) return TUnzipResult::WriteError;
    file.fd_ = fd;
    file.folder_ = dir;
    file.name_ = name;
    return TUnzipResult::Ok;
}

} // namespace lumo

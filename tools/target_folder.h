// Where members are written: one folder, opened once, and everything below
// it reached through descriptors opened without following symbolic links, so
// neither a link in the archive nor one already on disk can lead a file
// elsewhere.
#pragma once

#include "tools/unzip_codes.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace lumo {

class TTargetFolder;

// A member's file while it is written. A file not finished is removed, so a
// failed member never leaves a part that looks whole.
class TTargetFile {
public:
    TTargetFile() = default;
    ~TTargetFile();
    TTargetFile(const TTargetFile&) = delete;
    TTargetFile& operator=(const TTargetFile&) = delete;

    bool Write(const unsigned char* data, size_t length);
    // Sets the modification time (seconds since 1970; none when negative) and
    // closes the file.
    TUnzipResult Finish(int64_t modified);
    void Remove();

private:
    friend class TTargetFolder;
    int fd_ = -1;
    int folder_ = -1; // borrowed from the target folder
    std::string name_;
};

class TTargetFolder {
public:
    // Opens the folder, following a link the caller named; !IsOpen() on failure.
    explicit TTargetFolder(const std::filesystem::path& root);
    ~TTargetFolder();
    TTargetFolder(const TTargetFolder&) = delete;
    TTargetFolder& operator=(const TTargetFolder&) = delete;

    bool IsOpen() const { return root_ >= 0; }
    // Bytes an ordinary user may still write on the folder's file system.
    uint64_t FreeBytes() const;
    // A DOS date and time (local time) in seconds since 1970; -1 when the date is 0.
    int64_t ModificationTime(uint16_t dosDate, uint16_t dosTime);

    // Makes the folders of a relative path ("a/b", parts without "..").
    TUnzipResult MakeFolders(std::string_view folder);
    // Creates the file at a relative path. Where a file or link of that name
    // exists, it is replaced only when replace() says so; a folder never is.
    TUnzipResult CreateFile(std::string_view path, const std::function<bool()>& replace,
                            TTargetFile& file);

private:
    // The folder's descriptor, owned by this object; -1 with the reason in why.
    int OpenFolder(std::string_view folder, TUnzipResult& why);

    int root_ = -1;
    // The folder opened last: members of one folder follow each other.
    std::string lastFolder_;
    int lastFd_ = -1;
    // The time converted last: members often share one, and each conversion
    // reads the time zone file again.
    uint32_t lastDosTime_ = 0;
    int64_t lastTime_ = -1;
};

} // namespace lumo

// The unzip component's vocabulary: result codes with their messages, the
// report record and the callbacks a caller hooks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace lumo {

// Results of the engine for the archive or one member. 0 is success; every
// failure is negative, so a caller can return any of them as the result.
enum class TUnzipResult : int {
    Ok = 0,
    CannotOpen = -1,        // the archive is missing, unreadable or not a regular file
    NotZip = -2,            // no end record
    Damaged = -3,           // the central directory or a member's place in the file is wrong
    Zip64 = -4,             // a size, an offset or the member count needs Zip64
    MultiDisk = -5,         // part of an archive spread over several disks
    UnsupportedMethod = -6, // a compression method other than 0, 1, 6 and 8
    Encrypted = -7,
    BadData = -8, // the compressed data cannot be decoded
    BadCrc = -9,
    BadSize = -10,    // the data decodes to another size than the one recorded
    UnsafeName = -11, // absolute, a drive, or a ".." part
    Symlink = -12,    // a symbolic link member; never created
    Overlap = -13,    // the member's bytes overlap another member's
    NoSpace = -14,    // the members need more than the target's free space
    WriteError = -15,
    Exists = -16,        // a file of that name exists and was kept
    NoLocalHeader = -17, // no local header where the directory says
    Cancelled = -18,
    NoMatch = -19,           // no member matches the specifications
    LinkOnPath = -20,        // a folder on the way is a symbolic link or not a folder
    Empty = -21,             // the archive has no members
    NoParameters = -500,     // the archive name or the target folder is empty
    ParameterTooLong = -501, // the archive name or the target folder is over 255 characters
};

// A short English text for a result, for messages and the headless output.
const char* UnzipMessage(TUnzipResult result);

inline int ResultCode(TUnzipResult result) {
    return static_cast<int>(result);
}

// The status of a report: what the engine tells its caller.
enum class TReportStatus : int {
    MemberStart = -1000,  // the record holds the member's name
    BytesWritten = -1001, // the return code holds their number
    MemberDone = -1002,
    MemberFailed = -1003, // the return code holds the result code
    Listed = -1005,       // one entry of the list operation
};

struct TUnzipReport {
    std::string FileName; // the member's name, in the ANSI code page
    std::string Utf8Name; // the same name as UTF-8, for output that keeps every character
    TReportStatus Status = TReportStatus::MemberStart;
};

using TUnzipReportEvent = std::function<void(int64_t returnCode, const TUnzipReport& report)>;

enum class TQuestionAnswer { No, Yes };
// Asked before an existing file is replaced; fileName is ANSI.
using TUnzipQuestionEvent = std::function<TQuestionAnswer(const std::string& fileName)>;

} // namespace lumo

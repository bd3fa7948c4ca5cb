#include "tools/unzip_codes.h"

namespace lumo {
namespace {

struct ResultText {
    TUnzipResult result;
    const char* text;
};

constexpr ResultText ResultTexts[] = {
    {TUnzipResult::Ok, "done"},
    {TUnzipResult::CannotOpen, "cannot open the archive"},
    {TUnzipResult::NotZip, "not a ZIP archive"},
    {TUnzipResult::Damaged, "the archive is damaged"},
    {TUnzipResult::Zip64,
     "Zip64 archives (members over 4 GB or more than 65535 members) are not supported"},
    {TUnzipResult::MultiDisk, "archives spread over several disks are not supported"},
    {TUnzipResult::UnsupportedMethod, "the compression method is not supported"},
    {TUnzipResult::Encrypted, "encrypted members are not supported"},
    {TUnzipResult::BadData, "the compressed data is damaged"},
    {TUnzipResult::BadCrc, "the CRC-32 does not match"},
    {TUnzipResult::BadSize, "the size does not match"},
    {TUnzipResult::UnsafeName, "the name leads outside the target folder"},
    {TUnzipResult::Symlink, "symbolic links are not created"},
    {TUnzipResult::Overlap, "the member's data overlaps another member (a zip bomb?)"},
    {TUnzipResult::NoSpace, "not enough free space in the target folder"},
    {TUnzipResult::WriteError, "cannot write the file"},
    {TUnzipResult::Exists, "a file of that name exists and was kept"},
    {TUnzipResult::NoLocalHeader, "the member's local header is missing"},
    {TUnzipResult::Cancelled, "cancelled"},
    {TUnzipResult::NoMatch, "no member matches the file specifications"},
    {TUnzipResult::LinkOnPath, "a folder on the way is a symbolic link or not a folder"},
    {TUnzipResult::Empty, "zipfile is empty"},
    {TUnzipResult::NoParameters, "no archive or target folder given"},
    {TUnzipResult::ParameterTooLong,
     "the archive name or the target folder is longer than 255 characters"},
};

} // namespace

const char* UnzipMessage(TUnzipResult result) {
    for (const ResultText& row : ResultTexts)
        if (row.result == result) return row.text;
    return "unknown error";
}

} // namespace lumo

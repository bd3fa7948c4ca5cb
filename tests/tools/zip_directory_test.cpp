// Finding the end record and the central directory in hand-made bytes.
#include "tools/archive_file.h"
#include "tools/zip_directory.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

// An end record: disk, directory's disk, entries here, entries, directory
// size and offset, comment.
std::string EndRecord(uint16_t disk, uint16_t directoryDisk, uint16_t here, uint16_t entries,
                      uint32_t size, uint32_t offset, const std::string& comment = "") {
    std::string r = "PK\x05\x06";
    const auto put = [&r](uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            r += static_cast<char>(value >> (8 * i));
    };
    put(disk, 2);
    put(directoryDisk, 2);
    put(here, 2);
    put(entries, 2);
    put(size, 4);
    put(offset, 4);
    put(comment.size(), 2);
    return r + comment;
}

TEST(ZipDirectory, EndRecordsThatLeadNowhere) {
    struct Row {
        const char* what;
        std::string bytes;
        TUnzipResult result;
    } rows[] = {
        {"nothing", "", TUnzipResult::NotZip},
        {"text", "just some text, no signature anywhere", TUnzipResult::NotZip},
        {"empty", EndRecord(0, 0, 0, 0, 0, 0), TUnzipResult::Ok},
        // No entries: the directory's size is never read, however large.
        {"empty, huge size", EndRecord(0, 0, 0, 0, 0x2E000000, 0x626D6D6F) + "bla",
         TUnzipResult::Ok},
        {"count of Zip64", EndRecord(0, 0, 0xFFFF, 0xFFFF, 46, 0), TUnzipResult::Zip64},
        {"offset of Zip64", EndRecord(0, 0, 1, 1, 46, 0xFFFFFFFF), TUnzipResult::Zip64},
        {"second disk", EndRecord(1, 1, 1, 1, 46, 0), TUnzipResult::MultiDisk},
        {"counts differ", EndRecord(0, 0, 1, 2, 92, 0), TUnzipResult::MultiDisk},
        {"directory past the record", EndRecord(0, 0, 1, 1, 46, 0), TUnzipResult::Damaged},
        {"directory too small for its entries",
         std::string(100, 'x') + EndRecord(0, 0, 3, 3, 100, 0), TUnzipResult::Damaged},
    };
    test::TempFolder work;
    for (const Row& row : rows) {
        work.Write("a.zip", row.bytes);
        auto file = TArchiveFile::Open(work / "a.zip");
        ASSERT_TRUE(file) << row.what;
        TZipDirectory directory;
        EXPECT_EQ(ReadZipDirectory(*file, directory), row.result) << row.what;
        EXPECT_TRUE(directory.Entries.empty()) << row.what;
    }
}

TEST(ZipDirectory, OnlyRegularFilesAreArchives) {
    test::TempFolder work;
    EXPECT_FALSE(TArchiveFile::Open(work.Path()));          // a folder
    EXPECT_FALSE(TArchiveFile::Open(work / "missing.zip")); // nothing
    EXPECT_FALSE(TArchiveFile::Open("/dev/zero"));          // never ends
}

} // namespace
} // namespace lumo

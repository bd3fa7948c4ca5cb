// Finding the end record and the central directory in hand-made bytes.
#include "tools/archive_file.h"
#include "tools/zip_directory.h"

#include "tests/support/temp_folder.h"
#include "tests/tools/zip_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

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

// A central directory is read up to 64 MiB, and one byte more is refused
// unread. The test names the number itself, so a moved limit fails it. The
// directory is one entry and zeros after it, in a sparse file, so the zeros
// cost no disk.
TEST(ZipDirectory, DirectoriesUpToTheirLimit) {
    test::TempFolder work;
    const std::string name = work / "big.zip";
    constexpr uint64_t limit = 64 << 20;
    for (const uint64_t size : {limit, limit + 1}) {
        work.Write("big.zip", std::string("PK\x01\x02", 4) + std::string(42, '\0'));
        std::filesystem::resize_file(name, size);
        std::ofstream(name, std::ios::binary | std::ios::app)
            << EndRecord(0, 0, 1, 1, static_cast<uint32_t>(size), 0);
        auto file = TArchiveFile::Open(name);
        ASSERT_TRUE(file);
        TZipDirectory directory;
        const bool fits = size == limit;
        EXPECT_EQ(ReadZipDirectory(*file, directory),
                  fits ? TUnzipResult::Ok : TUnzipResult::Damaged)
            << size;
        EXPECT_EQ(directory.Entries.size(), fits ? 1u : 0u) << size;
    }
}

// An archive cut anywhere has no end record; a directory cut anywhere, with
// an end record that says so, is damaged. Neither is read past its end.
TEST(ZipDirectory, ArchivesAndDirectoriesCutAtEveryLength) {
    test::TempFolder work;
    test::RunPython("with zipfile.ZipFile(sys.argv[1], 'w') as z:\n"
                    "    z.writestr('a.txt', 'first')\n"
                    "    z.writestr('sub/b.txt', 'second', compress_type=zipfile.ZIP_DEFLATED)\n",
                    {work / "whole.zip"});
    const std::string whole = work.Read("whole.zip");
    const auto read = [&](const std::string& bytes, TZipDirectory& directory) {
        work.Write("cut.zip", bytes);
        auto file = TArchiveFile::Open(work / "cut.zip");
        return file ? ReadZipDirectory(*file, directory) : TUnzipResult::NotZip;
    };
    for (size_t length = 0; length < whole.size(); ++length) {
        TZipDirectory directory;
        EXPECT_EQ(read(whole.substr(0, length), directory), TUnzipResult::NotZip) << length;
        EXPECT_TRUE(directory.Entries.empty());
    }
    constexpr size_t EndSize = 22; // the archive has no comment
    const std::string end = whole.substr(whole.size() - EndSize);
    const uint32_t start =
        static_cast<unsigned char>(end[16]) | static_cast<unsigned char>(end[17]) << 8 |
        static_cast<unsigned char>(end[18]) << 16 | static_cast<unsigned char>(end[19]) << 24;
    const std::string members = whole.substr(0, start);
    const std::string central = whole.substr(start, whole.size() - EndSize - start);
    for (size_t length = 0; length <= central.size(); ++length) {
        TZipDirectory directory;
        const TUnzipResult result = read(
            members + central.substr(0, length) + EndRecord(0, 0, 2, 2, length, start), directory);
        if (length < central.size()) {
            EXPECT_EQ(result, TUnzipResult::Damaged) << length;
            continue;
        }
        ASSERT_EQ(result, TUnzipResult::Ok);
        ASSERT_EQ(directory.Entries.size(), 2u);
        EXPECT_EQ(directory.Entries[1].RawName, "sub/b.txt");
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

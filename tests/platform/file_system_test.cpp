#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/program_folder.h"
#include "platform/resources.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace lumo {
namespace {

TEST(FileSystem, SplitsLinesAtEveryKindOfLineEnd) {
    struct Row {
        const char* text;
        std::vector<std::string> lines;
    } rows[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\nb", {"a", "b"}},
        {"a\nb\rc\r\n", {"a", "b", "c"}},
        {"\r\n80\r\n", {"", "80"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\r\r\n", {"a", ""}},
    };
    for (const auto& row : rows)
        EXPECT_EQ(SplitLines(row.text), row.lines) << row.text;
    EXPECT_EQ(JoinLines({"", "80"}), "\r\n80\r\n");
    EXPECT_EQ(SplitLines("a\rb\r\nc\nd\r", TLoneCR::Kept),
              (std::vector<std::string>{"a\rb", "c", "d\r"}));
}

TEST(FileSystem, ReadsOnlyRegularFilesWithinTheLimit) {
    test::TempFolder folder;
    folder.Write("a.txt", "hello");
    EXPECT_EQ(ReadWholeFile(folder / "a.txt", 5), "hello");
    EXPECT_FALSE(ReadWholeFile(folder / "a.txt", 4));
    EXPECT_FALSE(ReadWholeFile(folder / "missing", 100));
    EXPECT_FALSE(ReadWholeFile(folder.Path(), 100)); // a folder
    ASSERT_EQ(mkfifo((folder / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(ReadWholeFile(folder / "fifo", 100)); // would block for ever
    EXPECT_FALSE(ReadWholeFile("/dev/zero", 100));     // would never end
}

TEST(FileSystem, AtomicWriteReplacesTheWholeFile) {
    test::TempFolder folder;
    folder.Write("state.txt", "old content that is longer");
    ASSERT_TRUE(WriteFileAtomically(folder / "state.txt", "new"));
    EXPECT_EQ(folder.Read("state.txt"), "new");
    // Nothing is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(folder.Path()))
        ++files;
    EXPECT_EQ(files, 1);
    EXPECT_FALSE(WriteFileAtomically(folder / "no/such/folder/x", "data"));
}

TEST(FileSystem, FoldersAndNamesOutsideAscii) {
    test::TempFolder folder;
    const std::string nested = folder / "a/b/\xE9t\xE9/";
    EXPECT_TRUE(ForceDirectories(nested));
    EXPECT_TRUE(DirectoryExists(nested));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() + "a/b/\xC3\xA9t\xC3\xA9")); // UTF-8 on disk
    ASSERT_TRUE(WriteFileAtomically(nested + "f.txt", "x"));
    EXPECT_TRUE(FileExists(nested + "f.txt"));
    EXPECT_TRUE(RemoveFile(nested + "f.txt"));
    EXPECT_FALSE(RemoveFile(nested + "f.txt"));
}

TEST(FileSystem, ProgramFolderFollowsLumoHome) {
    test::TempFolder folder;
    test::ScopedHome home(folder.Path().substr(0, folder.Path().size() - 1));
    EXPECT_EQ(ProgramFolder(), folder.Path());
}

TEST(FileLock, OnlyOneHolderAtATime) {
    test::TempFolder folder;
    folder.Write("Monitor.txt", "left over");
    auto first = ExclusiveFileLock::Acquire(folder / "Monitor.txt");
    ASSERT_TRUE(first);
    EXPECT_EQ(folder.Read("Monitor.txt"), ""); // the holder starts it empty
    EXPECT_FALSE(ExclusiveFileLock::Acquire(folder / "Monitor.txt"));
    first.reset();
    EXPECT_TRUE(ExclusiveFileLock::Acquire(folder / "Monitor.txt"));
    EXPECT_FALSE(ExclusiveFileLock::Acquire(folder / "missing/Monitor.txt"));
}

TEST(Resources, FoundByNameAndTypeWithoutCase) {
    const auto help = FindResource("help", "html");
    ASSERT_TRUE(help);
    EXPECT_NE(help->find("<TITLE>"), std::string::npos);
    EXPECT_EQ(FindResource("HELP", "HTML"), help);
    EXPECT_FALSE(FindResource("help", "gif"));
    EXPECT_FALSE(FindResource("missing", "html"));
    EXPECT_FALSE(FindResource("", "html"));
}

} // namespace
} // namespace lumo

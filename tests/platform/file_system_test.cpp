#include "platform/atomic_file.h"
#include "platform/atomic_file_device.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/heap_pages.h"
#include "platform/program_folder.h"
#include "platform/resources.h"

#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
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

// A state file that already holds the bytes is left as it is (the same
// file, not a new one renamed over it); any difference, even of one byte or
// in length, writes it.
TEST(FileSystem, WriteIfChangedLeavesAFileThatHoldsTheBytes) {
    test::TempFolder folder;
    const std::string name = folder / "state.txt";
    const auto fileId = [&] {
        struct stat info {};
        return ::stat(name.c_str(), &info) == 0 ? info.st_ino : 0;
    };
    ASSERT_TRUE(WriteFileIfChanged(name, "abc"));
    const std::string large(200000, 'x');
    const struct {
        std::string bytes;
        bool sameFile;
    } steps[] = {{"abc", true}, {"abd", false}, {"abcd", false}, {"", false},
                 {"", true},    {large, false}, {large, true}};
    for (const auto& step : steps) {
        const auto before = fileId();
        ASSERT_TRUE(WriteFileIfChanged(name, step.bytes));
        EXPECT_EQ(folder.Read("state.txt"), step.bytes);
        EXPECT_EQ(fileId() == before, step.sameFile) << step.bytes.size();
    }
}

// A file is written whole or the older one stays: a write past the
// process's file size limit fails instead of ending it, and so does a writer
// dropped before its Commit.
TEST(FileSystem, AFileNotWrittenWholeLeavesTheOlderOne) {
    FailWritesPastFileSizeLimit();
    test::TempFolder folder;
    const auto onlyFile = [&] {
        EXPECT_EQ(folder.Read("state.txt"), "older");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
    };
    const std::string bytes(10000, 'x');
    folder.Write("state.txt", "older");
    rlimit unlimited{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &unlimited), 0);
    {
        TAtomicFile file(folder / "state.txt");
        ASSERT_TRUE(file.Open());
        rlimit limit = unlimited;
        limit.rlim_cur = 4096;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
        const bool written = file.Write(bytes);
        ::setrlimit(RLIMIT_FSIZE, &unlimited);
        EXPECT_FALSE(written);
        EXPECT_FALSE(file.Write("more")); // a file with a hole is no file
        EXPECT_FALSE(file.Commit());
        EXPECT_EQ(file.Error(), "File too large");
    }
    onlyFile();
    {
        TAtomicFile file(folder / "state.txt");
        ASSERT_TRUE(file.Open() && file.Write(bytes));
    }
    onlyFile();
    TAtomicFile file(folder / "state.txt");
    EXPECT_TRUE(file.Open() && file.Write(bytes) && file.Commit());
    EXPECT_EQ(folder.Read("state.txt"), bytes);
    TAtomicFile elsewhere(folder / "no/such/folder/state.txt");
    EXPECT_FALSE(elsewhere.Open());
    EXPECT_EQ(elsewhere.Error(), "No such file or directory");
}

// The device Qt's writers write through: for writing only, and the file is
// in place after Commit and not before.
TEST(FileSystem, AFileDeviceWritesWholeFilesOnly) {
    test::TempFolder folder;
    TAtomicFileDevice device(folder / "out.pdf");
    EXPECT_FALSE(device.open(QIODevice::ReadOnly));
    EXPECT_FALSE(device.open(QIODevice::ReadWrite));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 0);
    ASSERT_TRUE(device.open(QIODevice::WriteOnly));
    EXPECT_EQ(device.write("%PDF", 4), 4);
    EXPECT_FALSE(folder.Exists("out.pdf"));
    EXPECT_TRUE(device.Commit());
    EXPECT_EQ(folder.Read("out.pdf"), "%PDF");
    TAtomicFileDevice elsewhere(folder / "no/such/folder/out.pdf");
    EXPECT_FALSE(elsewhere.open(QIODevice::WriteOnly));
    EXPECT_FALSE(elsewhere.Commit());
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

TEST(FileSystem, LocalNamesHoldEveryNativeName) {
    // A native name, the program's name for it, and back.
    const struct {
        std::string native, name;
    } rows[] = {
        {"/tmp/\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.htm",
         "/tmp/%D0%9F%D1%80%D0%B8%D0%B2%D0%B5%D1%82.htm"},
        {"/tmp/a#b.htm", "/tmp/a%23b.htm"},
        {"/tmp/50%.htm", "/tmp/50%25.htm"},
        {"/tmp/50%41.htm", "/tmp/50%2541.htm"},
        {"/tmp/x:y.htm", "/tmp/x%3Ay.htm"},
        {"/tmp/a\\b?c|d\"e.htm", "/tmp/a%5Cb%3Fc%7Cd%22e.htm"},
        {"/tmp/caf\xC3\xA9 au lait.htm", "/tmp/caf%C3%A9 au lait.htm"},
        {"/tmp/\xE9t\xE9.htm", "/tmp/%E9t%E9.htm"}, // not UTF-8: the bytes all the same
        {"/tmp/tab\there", "/tmp/tab%09here"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(AnsiName(row.native), row.name) << row.native;
        EXPECT_EQ(NativePath(row.name).native(), row.native) << row.name;
        EXPECT_EQ(LocalName(row.name), row.name) << row.name;
    }
    // Other ways of writing the same names.
    const struct {
        const char* name;
        const char* local;
    } same[] = {
        {"/tmp/caf\xE9.htm", "/tmp/caf%C3%A9.htm"}, // ANSI text is UTF-8 on disk
        {"/tmp/caf%c3%a9.htm", "/tmp/caf%C3%A9.htm"},
        {"/tmp/%41b%20c.htm", "/tmp/Ab c.htm"},
        {"/tmp/50%.htm", "/tmp/50%25.htm"},
        {"/tmp/a%zz", "/tmp/a%25zz"},
        {"c:\\dir\\x.htm", "c:\\dir\\x.htm"}, // written separators and drives stay
        {"a%2Fb", "a/b"},
    };
    for (const auto& row : same) {
        EXPECT_EQ(LocalName(row.name), row.local) << row.name;
        EXPECT_EQ(NativePath(row.name), NativePath(row.local)) << row.name;
    }
    // A NUL names no file.
    EXPECT_EQ(NativePath("/tmp/a.txt%00.htm"), std::filesystem::path());
    EXPECT_EQ(LocalName("/tmp/a.txt%00.htm"), "/tmp/a.txt%00.htm");
}

TEST(FileSystem, FilesOfAnyNameAreFound) {
    test::TempFolder folder;
    for (const std::string name : {"\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82.htm",
                                   "a#b.htm", "50%.htm", "x:y.htm", "a\\b.htm", "\xE9t\xE9.htm"}) {
        folder.Write(name, name);
        const std::string local = AnsiName(folder.Path() + name);
        EXPECT_TRUE(FileExists(local)) << name;
        EXPECT_EQ(ReadWholeFile(local, 100), name);
    }
    folder.Write("a.txt", "secret");
    EXPECT_FALSE(FileExists(AnsiName(folder.Path()) + "a.txt%00.htm"));
    EXPECT_FALSE(ReadWholeFile(AnsiName(folder.Path()) + "a.txt%00", 100));
}

TEST(FileSystem, ProgramFolderFollowsLumoHome) {
    test::TempFolder folder;
    test::ScopedHome home(folder.Path().substr(0, folder.Path().size() - 1));
    EXPECT_EQ(ProgramFolder(), folder.Path());
}

// This test program lies in a build folder of the user's own, which it may
// write: without LUMO_HOME that is where its files go.
TEST(FileSystem, AProgramInAFolderOfItsOwnKeepsItsFilesThere) {
    test::ScopedHome unset("");
    const std::string exe = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    if (IsSystemFolder(exe)) GTEST_SKIP() << "built in a system folder: " << exe;
    EXPECT_EQ(ProgramFolder(), exe + "/");
}

TEST(FileSystem, AnInstalledProgramKeepsItsFilesInTheUsersDataFolder) {
    const std::string data = "/home/u/.local/share/Lumo 10/";
    const struct {
        const char* name;
        TFolderFacts facts; // home, executable's folder, writable, owned, installed, data
        std::string folder;
    } rows[] = {
        {"LUMO_HOME", {"/tmp/h", "/usr/bin/", true, true, true, data}, "/tmp/h/"},
        {"a build of the user's",
         {"", "/home/u/lumo/build/", true, true, false, data},
         "/home/u/lumo/build/"},
        {"root running the package", {"", "/usr/bin/", true, true, true, data}, data},
        {"root in a system folder", {"", "/usr/local/bin/", true, true, false, data}, data},
        {"root in /opt", {"", "/opt/lumo/", true, true, false, data}, data},
        {"another user's folder", {"", "/home/v/lumo/", true, false, false, data}, data},
        {"not writable", {"", "/home/u/lumo/", false, true, false, data}, data},
        {"installed for the user", {"", "/home/u/.local/bin/", true, true, true, data}, data},
        {"no data folder", {"", "/usr/bin/", false, false, true, ""}, "/usr/bin/"},
        {"nothing known", {"", "", false, false, false, ""}, "./"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ChooseProgramFolder(row.facts), row.folder) << row.name;

    const struct {
        const char* folder;
        bool system;
    } folders[] = {{"/", true},         {"/usr", true},        {"/usr/local/bin/", true},
                   {"/opt/lumo", true}, {"/usrx/", false},     {"/optical/bin/", false},
                   {"/home/u/", false}, {"/tmp/lumo/", false}, {"/srv/www/", true}};
    for (const auto& row : folders)
        EXPECT_EQ(IsSystemFolder(row.folder), row.system) << row.folder;
}

TEST(FileSystem, AnInstallsTranslationsAreFoundBesideItsBinFolder) {
    test::TempFolder prefix;
    ASSERT_TRUE(ForceDirectories(prefix / "bin"));
    EXPECT_EQ(ShippedLanguagesFolder(prefix / "bin/"), "");
    ASSERT_TRUE(ForceDirectories(prefix / "share/lumo/languages"));
    for (const std::string& bin : {prefix / "bin", prefix / "bin/"})
        EXPECT_EQ(ShippedLanguagesFolder(bin), prefix / "share/lumo/languages/") << bin;
    EXPECT_EQ(ShippedLanguagesFolder(""), "");
}

TEST(HeapPages, AlignUpGoesToTheNextMultipleOrStays) {
    EXPECT_EQ(AlignUp(0, 4096), 0u);
    EXPECT_EQ(AlignUp(1, 4096), 4096u);
    EXPECT_EQ(AlignUp(4095, 4096), 4096u);
    EXPECT_EQ(AlignUp(4096, 4096), 4096u);
    EXPECT_EQ(AlignUp(4097, 4096), 8192u);
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

// A free folder is had at once, even with no time to wait; a held one is
// not had after the wait.
TEST(FileLock, FoldersWaitOnlyWhileHeld) {
    test::TempFolder folder;
    auto first = ExclusiveFileLock::AcquireFolder(folder.Path(), 0);
    ASSERT_TRUE(first);
    EXPECT_FALSE(ExclusiveFileLock::AcquireFolder(folder.Path(), 30));
    first.reset();
    EXPECT_TRUE(ExclusiveFileLock::AcquireFolder(folder.Path(), 0));
    EXPECT_FALSE(ExclusiveFileLock::AcquireFolder(folder / "missing", 0));
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

#include "net/disk_cache.h"

#include "platform/file_system.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace lumo {
namespace {

class DiskCacheTest : public testing::Test {
protected:
    std::string Cache() const { return folder.Path() + "Cache/"; }
    // Adds an address and stores a file for it, as the main window does.
    std::string Store(TDiskCache& cache, const std::string& url, int kind = 0) {
        const std::string file = cache.Add(url, kind, false);
        EXPECT_FALSE(file.empty()) << url;
        std::ofstream(file) << url;
        return file;
    }
    test::TempFolder folder;
};

TEST(DiskCacheKey, KeysAndFileNames) {
    EXPECT_EQ(CacheKeyOf("HTTP://WWW.Srv/A.htm"), "srv/a.htm");
    EXPECT_EQ(CacheKeyOf("http://srv/a.htm"), "srv/a.htm");
    EXPECT_EQ(CacheKeyOf("x http://www.a/"), "a/");
    EXPECT_EQ(CacheKeyOf("http://srv/a\r\nb"), "srv/a%0D%0Ab");

    for (const char* good : {"m12345", "m1.htm", "m12345.html", "m99.jpeg", "m7.txt"})
        EXPECT_TRUE(IsCacheFileName(good)) << good;
    for (const char* bad : {"", "m", "x123.htm", "m12.exe", "m1/../../x", "../m1.htm", "m1.htm ",
                            "m-1.htm", "m1234567890", "M1.htm", "m1.HTM"})
        EXPECT_FALSE(IsCacheFileName(bad)) << bad;
}

TEST_F(DiskCacheTest, CreatesItsFolderAndStartsNumbering) {
    TDiskCache cache(Cache());
    EXPECT_TRUE(std::filesystem::is_directory(Cache()));
    EXPECT_EQ(cache.Add("http://srv/x.GIF", 2, false), Cache() + "m12345.gif");
    EXPECT_EQ(cache.Add("http://srv/cgi/q?x=1", 0, false), Cache() + "m12346");
    EXPECT_EQ(cache.Add("http://srv/page.jpeg", 2, false), Cache() + "m12347.jpeg");
    EXPECT_EQ(cache.Add("http://srv/a.b.htm", 0, false), Cache() + "m12348.htm");
    // The same address again: the same file, no new number, the kind unchanged.
    EXPECT_EQ(cache.Add("http://WWW.srv/X.gif", 0, false), Cache() + "m12345.gif");
    EXPECT_EQ(cache.NextFileNumber(), 12349);
    std::string file;
    int kind = -1;
    ASSERT_TRUE(cache.Lookup("http://srv/x.gif", file, kind));
    EXPECT_EQ(file, Cache() + "m12345.gif");
    EXPECT_EQ(kind, 2);
}

TEST_F(DiskCacheTest, OnlyHttpIsCachedAndFailedEntriesAreNeverFound) {
    TDiskCache cache(Cache());
    EXPECT_EQ(cache.Add("file:///C|/a.htm", 0, false), "");
    EXPECT_EQ(cache.Add("res:///support.htm", 0, false), "");
    EXPECT_EQ(cache.Count(), 0u);

    EXPECT_FALSE(cache.Add("http://srv/broken.htm", 0, true).empty());
    std::string file = "x";
    int kind = 5;
    EXPECT_FALSE(cache.Lookup("http://srv/broken.htm", file, kind));
    EXPECT_EQ(file, "");
    EXPECT_EQ(kind, 0);
    EXPECT_EQ(cache.IndexText(), "srv/broken.htm* 0 m12345.htm\r\n");

    // The same place over https is another document.
    cache.Store("http://srv/a.htm", 0, "plain");
    cache.Store("https://srv/a.htm", 0, "secure");
    ASSERT_TRUE(cache.Lookup("https://srv/a.htm", file, kind));
    EXPECT_EQ(ReadWholeFile(file, 100), "secure");
    ASSERT_TRUE(cache.Lookup("http://srv/a.htm", file, kind));
    EXPECT_EQ(ReadWholeFile(file, 100), "plain");
}

// A page's charset is kept beside its kind, so a copy reads as the server
// named it; a name that could break the index's fields is dropped.
TEST_F(DiskCacheTest, CharsetsAreKeptWithTheKind) {
    {
        TDiskCache cache(Cache());
        cache.SetSaveOnDestroy(true);
        cache.Add("http://srv/koi.txt", 1, false, "koi8-r");
        cache.Add("http://srv/odd.htm", 0, false, "a b\r\nc");
        EXPECT_EQ(cache.IndexText(),
                  "srv/koi.txt 1;koi8-r m12345.txt\r\nsrv/odd.htm 0 m12346.htm\r\n");
    }
    TDiskCache again(Cache());
    std::string file, charset = "x";
    int kind = -1;
    ASSERT_TRUE(again.Lookup("http://srv/koi.txt", file, kind, &charset));
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(charset, "koi8-r");
    ASSERT_TRUE(again.Lookup("http://srv/odd.htm", file, kind, &charset));
    EXPECT_EQ(charset, "");
}

TEST_F(DiskCacheTest, TheHundredAndFirstEntryEvictsTheOldest) {
    TDiskCache cache(Cache());
    const std::string first = Store(cache, "http://srv/0.htm");
    for (int i = 1; i < 100; ++i)
        Store(cache, "http://srv/" + std::to_string(i) + ".htm");
    EXPECT_TRUE(std::filesystem::exists(first));
    Store(cache, "http://srv/100.htm");
    EXPECT_EQ(cache.Count(), 100u);
    EXPECT_FALSE(std::filesystem::exists(first));
    std::string file;
    int kind;
    EXPECT_FALSE(cache.Lookup("http://srv/0.htm", file, kind));
    EXPECT_TRUE(cache.Lookup("http://srv/1.htm", file, kind));
    EXPECT_TRUE(cache.Lookup("http://srv/100.htm", file, kind));
}

TEST_F(DiskCacheTest, ACopyThatCannotBeWrittenLeavesNoEntry) {
    TDiskCache cache(Cache());
    ASSERT_TRUE(cache.Store("http://srv/a.htm", 0, "whole"));
    std::string file;
    int kind = 0;
    ASSERT_TRUE(cache.Lookup("http://srv/a.htm", file, kind));
    std::string bytes;
    std::getline(std::ifstream(file), bytes);
    EXPECT_EQ(bytes, "whole");
    // The copy's place cannot take a file, as on a full disk.
    std::filesystem::remove(file);
    std::filesystem::create_directories(file + "/held");
    EXPECT_FALSE(cache.Store("http://srv/a.htm", 0, "newer"));
    EXPECT_FALSE(cache.Lookup("http://srv/a.htm", file, kind));
    // Nor does a new address whose file cannot be made at all.
    std::filesystem::remove_all(Cache());
    std::ofstream(folder.Path() + "Cache") << "a file where the folder was";
    EXPECT_FALSE(cache.Store("http://srv/b.htm", 0, "bytes"));
    EXPECT_FALSE(cache.Lookup("http://srv/b.htm", file, kind));
    EXPECT_EQ(cache.Count(), 0u);
}

TEST_F(DiskCacheTest, RemoveAndEraseAllDeleteFiles) {
    TDiskCache cache(Cache());
    const std::string a = Store(cache, "http://srv/a.htm");
    const std::string b = Store(cache, "http://srv/b.htm");
    cache.Remove("http://srv/a.htm");
    cache.Remove("http://srv/never.htm");
    EXPECT_FALSE(std::filesystem::exists(a));
    EXPECT_TRUE(std::filesystem::exists(b));
    std::filesystem::remove(b); // a listed file that vanished is not an error
    Store(cache, "http://srv/c.htm");
    cache.EraseAll();
    EXPECT_EQ(cache.Count(), 0u);
    EXPECT_EQ(cache.IndexText(), "");
}

TEST_F(DiskCacheTest, IndexRoundTrip) {
    {
        TDiskCache cache(Cache());
        Store(cache, "http://srv/index.htm", 0);
        Store(cache, "http://srv/pic.gif", 2);
        Store(cache, "http://srv/a file with spaces.txt", 1);
        cache.SetSaveOnDestroy(true);
    }
    EXPECT_EQ(folder.Read("Cache/cachinfo.txt"),
              "srv/index.htm 0 m12345.htm\r\nsrv/pic.gif 2 m12346.gif\r\n"
              "srv/a file with spaces.txt 1 m12347.txt\r\n");
    TDiskCache cache(Cache());
    std::string file;
    int kind;
    ASSERT_TRUE(cache.Lookup("http://srv/a file with spaces.txt", file, kind));
    EXPECT_EQ(file, Cache() + "m12347.txt");
    EXPECT_EQ(kind, 1);
    EXPECT_EQ(cache.NextFileNumber(), 12348);
}

TEST_F(DiskCacheTest, WithoutSaveOnDestroyTheIndexIsLeftAlone) {
    folder.Write("Cache/cachinfo.txt", "srv/a.htm 0 m12399.htm\r\n");
    {
        TDiskCache cache(Cache());
        EXPECT_EQ(cache.NextFileNumber(), 12400);
        cache.Add("http://srv/b.htm", 0, false);
    }
    EXPECT_EQ(folder.Read("Cache/cachinfo.txt"), "srv/a.htm 0 m12399.htm\r\n");
}

TEST_F(DiskCacheTest, CorruptAndTamperedIndexesLoadWhatTheyCan) {
    folder.Write("outside.txt", "precious");
    folder.Write("Cache/cachinfo.txt", "srv/good.htm 0 m20.htm\r\n"
                                       "just-one-field\r\n"
                                       "srv/evil.htm 0 ../outside.txt\r\n"
                                       "srv/evil2.htm 0 /etc/passwd\r\n"
                                       "\r\n"
                                       "srv/kind.htm x m21.htm\r\n"
                                       "srv/big.htm 0 m999999999\r\n"
                                       "srv/cut.htm 0 m");
    TDiskCache cache(Cache());
    EXPECT_EQ(cache.Count(), 3u);
    std::string file;
    int kind = -1;
    EXPECT_TRUE(cache.Lookup("http://srv/kind.htm", file, kind));
    EXPECT_EQ(kind, 0); // not a number
    EXPECT_FALSE(cache.Lookup("http://srv/evil.htm", file, kind));
    // One past the highest number in use, wherever it stands.
    EXPECT_EQ(cache.NextFileNumber(), 1000000000);
    cache.EraseAll();
    EXPECT_EQ(folder.Read("outside.txt"), "precious");
}

TEST_F(DiskCacheTest, AHugeIndexIsCutToCapacityOnLoad) {
    std::string index;
    for (int i = 0; i < 50000; ++i)
        index += "srv/" + std::to_string(i) + ".htm 0 m" + std::to_string(i) + ".htm\r\n";
    folder.Write("Cache/cachinfo.txt", index);
    folder.Write("Cache/m0.htm", "old");
    folder.Write("Cache/m49999.htm", "new");
    TDiskCache cache(Cache());
    EXPECT_EQ(cache.Count(), 100u);
    EXPECT_FALSE(folder.Exists("Cache/m0.htm"));
    EXPECT_TRUE(folder.Exists("Cache/m49999.htm"));
    std::string file;
    int kind;
    EXPECT_TRUE(cache.Lookup("http://srv/49900.htm", file, kind));
    EXPECT_FALSE(cache.Lookup("http://srv/49899.htm", file, kind));
}

TEST_F(DiskCacheTest, ASecondCopyNeverTouchesTheFilesOfTheFirst) {
    folder.Write("Cache/cachinfo.txt", "srv/a.htm 0 m12345.htm\r\n");
    folder.Write("Cache/m12345.htm", "first a");
    TDiskCache first(Cache());
    TDiskCache second(Cache(), TCacheFolder::Shared);
    // Both copies read the same index; the first then goes on numbering.
    EXPECT_EQ(Store(first, "http://srv/b.htm"), Cache() + "m12346.htm");
    // The second skips the numbers whose files exist, and stores its own copy
    // of an address the first one has.
    const std::string c = Store(second, "http://srv/c.htm");
    EXPECT_EQ(c, Cache() + "m12347.htm");
    const std::string a = Store(second, "http://srv/a.htm");
    EXPECT_EQ(a, Cache() + "m12348.htm");
    EXPECT_EQ(second.Add("http://srv/a.htm", 0, false), a); // its own now
    // The first skips what the second made.
    EXPECT_EQ(first.Add("http://srv/d.htm", 0, false), Cache() + "m12349.htm");

    // Evicting, removing and erasing delete only the second copy's own files.
    for (int i = 0; i < 120; ++i)
        Store(second, "http://srv/more" + std::to_string(i) + ".htm");
    EXPECT_FALSE(std::filesystem::exists(c)); // its own, evicted
    second.EraseAll();
    TDiskCache guest(Cache(), TCacheFolder::Shared);
    guest.Remove("http://srv/a.htm");
    guest.EraseAll();
    EXPECT_EQ(folder.Read("Cache/m12345.htm"), "first a");
    EXPECT_EQ(folder.Read("Cache/m12346.htm"), "http://srv/b.htm");
    EXPECT_TRUE(folder.Exists("Cache/m12349.htm"));
    EXPECT_FALSE(std::filesystem::exists(a));
    int left = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(Cache()))
        ++left;
    EXPECT_EQ(left, 4); // the index and the first copy's three files

    // A second copy that finds the index too long leaves the files alone.
    std::string index;
    for (int i = 0; i < 150; ++i)
        index += "srv/" + std::to_string(i) + ".htm 0 m" + std::to_string(i) + ".htm\r\n";
    folder.Write("Cache/cachinfo.txt", index);
    folder.Write("Cache/m0.htm", "old");
    TDiskCache third(Cache(), TCacheFolder::Shared);
    EXPECT_EQ(third.Count(), 100u);
    EXPECT_TRUE(folder.Exists("Cache/m0.htm"));
}

} // namespace
} // namespace lumo

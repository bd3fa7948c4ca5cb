// Archives made by the tests with Python's zipfile (and struct, for lies the
// library would not write) and with Info-ZIP zip: hostile names, links,
// unsupported methods, a zip bomb, sizes and CRC that lie, data descriptors,
// comments holding the end signature, overlapping members, Zip64 and split
// archives, existing files and long paths.
#include "tests/support/temp_folder.h"
#include "tests/tools/zip_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>

namespace lumo {
namespace {

namespace fs = std::filesystem;
using Members = std::vector<std::pair<std::string, int>>;

class CraftedArchive : public testing::Test {
protected:
    void SetUp() override { LUMO_NEED_PROGRAM("python3"); }

    std::string Archive(const char* name = "a.zip") const { return work / name; }
    std::string Target() const { return work / "out/"; }
    // Every change below the work folder is inside the target.
    void ExpectOnlyTargetChanged(const std::map<std::string, std::string>& before) const {
        for (const std::string& changed : test::Changes(before, test::TreeOf(work.Path())))
            EXPECT_TRUE(changed.starts_with("out")) << changed;
    }

    test::TempFolder work;
};

TEST_F(CraftedArchive, NamesThatLeadOutFailAloneAndWriteNothingOutside) {
    fs::create_directories(work / "deep/er");
    test::RunPython(R"PY(
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    for name in ['ok.txt', '../x', '/abs', 'a\\..\\x', 'C:/drive.txt', 'sub/./y.txt', 'a//b.txt',
                 '..\\..\\win.txt']:
        z.writestr(zipfile.ZipInfo(name), 'bytes of ' + name)
)PY",
                    {Archive()});
    const auto before = test::TreeOf(work.Path());
    const test::TExtraction done = test::Extract(Archive(), work / "deep/er/out");
    EXPECT_EQ(done.result, -11);
    EXPECT_EQ(done.members, (Members{{"ok.txt", 0},
                                     {"../x", -11},
                                     {"/abs", -11},
                                     {"a/../x", -11},
                                     {"C:/drive.txt", -11},
                                     {"sub/./y.txt", 0},
                                     {"a//b.txt", 0},
                                     {"../../win.txt", -11}}));
    for (const std::string& changed : test::Changes(before, test::TreeOf(work.Path())))
        EXPECT_TRUE(changed.starts_with("deep/er/out")) << changed;
    EXPECT_EQ(work.Read("deep/er/out/sub/y.txt"), "bytes of sub/./y.txt");
    EXPECT_FALSE(fs::exists("/abs"));
}

TEST_F(CraftedArchive, SymbolicLinksAreNeverCreated) {
    LUMO_NEED_PROGRAM("zip");
    fs::create_directories(work / "src");
    work.Write("src/real.txt", "real");
    work.Write("secret.txt", "outside");
    fs::create_symlink("real.txt", work / "src/near");
    fs::create_symlink(work / "secret.txt", work / "src/far");
    fs::create_symlink("..", work / "src/up");
    std::string output;
    ASSERT_EQ(test::RunProgram("zip", {"-q", "-y", "-r", Archive(), "."}, &output, work / "src"), 0)
        << output;
    const test::TExtraction done = test::Extract(Archive(), Target());
    EXPECT_EQ(test::InfoZipListing(Archive()).size(), 4u);
    std::map<std::string, int> results(done.members.begin(), done.members.end());
    EXPECT_EQ(results, (std::map<std::string, int>{
                           {"real.txt", 0}, {"near", -12}, {"far", -12}, {"up", -12}}));
    EXPECT_EQ(test::TreeOf(Target()), (std::map<std::string, std::string>{{"real.txt", "real"}}));
}

TEST_F(CraftedArchive, LinksAlreadyInTheTargetAreNeverFollowed) {
    test::RunPython(R"PY(
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('sub/x.txt', 'through a linked folder')
    z.writestr('file.txt', 'over a linked file')
)PY",
                    {Archive()});
    fs::create_directories(work / "elsewhere");
    work.Write("secret.txt", "outside");
    fs::create_directories(Target());
    fs::create_directory_symlink(work / "elsewhere", work / "out/sub");
    fs::create_symlink(work / "secret.txt", work / "out/file.txt");

    // Without the question's yes the link stays; with it only the link goes.
    EXPECT_EQ(test::Extract(Archive(), Target()).members,
              (Members{{"sub/x.txt", -20}, {"file.txt", -16}}));
    int asked = 0;
    const auto yes = [&](const std::string& name) {
        EXPECT_EQ(name, "file.txt");
        ++asked;
        return TQuestionAnswer::Yes;
    };
    EXPECT_EQ(test::Extract(Archive(), Target(), {"*.*"}, yes).members,
              (Members{{"sub/x.txt", -20}, {"file.txt", 0}}));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(fs::is_empty(work / "elsewhere"));
    EXPECT_EQ(work.Read("secret.txt"), "outside");
    EXPECT_FALSE(fs::is_symlink(work / "out/file.txt"));
    EXPECT_EQ(work.Read("out/file.txt"), "over a linked file");
}

TEST_F(CraftedArchive, ExistingFilesAreReplacedOnlyAfterTheQuestionsYes) {
    test::RunPython("with zipfile.ZipFile(sys.argv[1], 'w') as z: z.writestr('a.txt', 'new')",
                    {Archive()});
    work.Write("out/a.txt", "old");
    const auto answer = [](TQuestionAnswer a) { return [a](const std::string&) { return a; }; };
    EXPECT_EQ(test::Extract(Archive(), Target()).members, (Members{{"a.txt", -16}}));
    EXPECT_EQ(test::Extract(Archive(), Target(), {"*.*"}, answer(TQuestionAnswer::No)).result, -16);
    EXPECT_EQ(work.Read("out/a.txt"), "old");
    EXPECT_EQ(test::Extract(Archive(), Target(), {"*.*"}, answer(TQuestionAnswer::Yes)).result, 0);
    EXPECT_EQ(work.Read("out/a.txt"), "new");
}

TEST_F(CraftedArchive, Bzip2AndLzmaMembersFailAloneWithMinusSix) {
    test::RunPython(R"PY(
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('b.txt', 'bzip2 ' * 100, compress_type=zipfile.ZIP_BZIP2)
    z.writestr('s.txt', 'stored')
    z.writestr('l.txt', 'lzma ' * 100, compress_type=zipfile.ZIP_LZMA)
    z.writestr('d.txt', 'deflated ' * 100, compress_type=zipfile.ZIP_DEFLATED)
)PY",
                    {Archive()});
    const test::TExtraction done = test::Extract(Archive(), Target());
    EXPECT_EQ(done.result, -6);
    EXPECT_EQ(done.members, (Members{{"b.txt", -6}, {"s.txt", 0}, {"l.txt", -6}, {"d.txt", 0}}));
    EXPECT_EQ(test::TreeOf(Target()).size(), 2u);
}

// 1 GiB of zeros deflated into about 1 MB: repeated blocks after full flushes.
constexpr const char* ZipBomb = R"PY(
chunk = bytes(1 << 20)
c = zlib.compressobj(9, zlib.DEFLATED, -15)
block = c.compress(chunk) + c.flush(zlib.Z_FULL_FLUSH)
data = block * 1024 + c.flush()
crc = 0
for _ in range(1024):
    crc = zlib.crc32(chunk, crc)
write_zip(sys.argv[1], [('zeros.bin', 8, data, crc, 1 << 30), ('small.txt', 0, b'hi', zlib.crc32(b'hi'), 2)])
)PY";

TEST_F(CraftedArchive, AGigabyteOfZerosIsCheckedAgainstFreeSpaceAndItsDeclaredSize) {
    LUMO_NEED_PROGRAM("unzip");
    test::RunPython(ZipBomb, {Archive()});
    ASSERT_LT(fs::file_size(Archive()), 2u << 20);
    EXPECT_EQ(test::InfoZipListing(Archive()).at("zeros.bin"), uint64_t{1} << 30);

    TUnzipper unzip;
    unzip.ArchiveName = Archive();
    unzip.TargetDir = Target();
    EXPECT_EQ(unzip.TotalSize(), (uint64_t{1} << 30) + 2);
    // Not enough room: refused before anything is written.
    unzip.FreeSpace = [] { return uint64_t{512} << 20; };
    const test::TExtraction refused = test::Extract(unzip);
    EXPECT_EQ(refused.result, -14);
    EXPECT_EQ(refused.starts, 0);
    EXPECT_TRUE(test::TreeOf(Target()).empty());

    // A declared size of 1 MiB: writing stops there and the member fails.
    test::RunPython("patch_central(sys.argv[1], 0, 'usize', 1 << 20)", {Archive()});
    const test::TExtraction stopped = test::Extract(Archive(), Target());
    EXPECT_EQ(stopped.members, (Members{{"zeros.bin", -10}, {"small.txt", 0}}));
    EXPECT_LE(stopped.bytesReported, (uint64_t{1} << 20) + 2);
    EXPECT_EQ(test::TreeOf(Target()), (std::map<std::string, std::string>{{"small.txt", "hi"}}));
}

TEST_F(CraftedArchive, DeclaredSizesAreSummedInSixtyFourBits) {
    // Two members that say 3 GiB each: 6 GiB, which 32 bits would wrap to 2.
    test::RunPython(R"PY(
write_zip(sys.argv[1], [('a', 0, b'x', zlib.crc32(b'x'), 1), ('b', 0, b'y', zlib.crc32(b'y'), 1)])
patch_central(sys.argv[1], 0, 'usize', 3 << 30)
patch_central(sys.argv[1], 1, 'usize', 3 << 30)
)PY",
                    {Archive()});
    TUnzipper unzip;
    unzip.ArchiveName = Archive();
    unzip.TargetDir = Target();
    EXPECT_EQ(unzip.TotalSize(), uint64_t{6} << 30);
    unzip.FreeSpace = [] { return uint64_t{5} << 30; };
    EXPECT_EQ(test::Extract(unzip).result, -14);
    unzip.FreeSpace = [] { return uint64_t{7} << 30; };
    EXPECT_EQ(test::Extract(unzip).members, (Members{{"a", -10}, {"b", -10}}));
}

TEST_F(CraftedArchive, SizesAndCrcThatLieFailTheMemberAndLeaveNoFile) {
    // Each member's central record is patched in another way; the local
    // headers' sizes are zeroed, since only the central directory counts.
    test::RunPython(R"PY(
text = ('line %d of the member\n' * 2000 % tuple(range(2000))).encode()
crc = zlib.crc32(text)
members = [('good.txt', 8, deflate(text), crc, len(text)),
           ('crc.txt', 8, deflate(text), crc ^ 1, len(text)),
           ('short.txt', 8, deflate(text), crc, len(text) - 1),
           ('long.txt', 8, deflate(text), crc, len(text) + 1),
           ('stored-short.txt', 0, text, crc, len(text) - 1),
           ('stored-crc.txt', 0, text, crc ^ 0x80000000, len(text)),
           ('truncated.txt', 8, deflate(text)[:-100], crc, len(text)),
           ('last.txt', 8, deflate(text), crc, len(text))]
write_zip(sys.argv[1], members)
data = bytearray(open(sys.argv[1], 'rb').read())
for header in central_headers(data):
    local = struct.unpack_from('<I', data, header + 42)[0]
    struct.pack_into('<III', data, local + 14, 0, 0, 0)
open(sys.argv[1], 'wb').write(data)
# The last member's data now runs into the central directory.
patch_central(sys.argv[1], 7, 'csize', 1 << 20)
)PY",
                    {Archive()});
    const test::TExtraction done = test::Extract(Archive(), Target());
    EXPECT_EQ(done.result, -9);
    EXPECT_EQ(done.members, (Members{{"good.txt", 0},
                                     {"crc.txt", -9},
                                     {"short.txt", -10},
                                     {"long.txt", -10},
                                     {"stored-short.txt", -10},
                                     {"stored-crc.txt", -9},
                                     {"truncated.txt", -8},
                                     {"last.txt", -3}}));
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "line " + std::to_string(i) + " of the member\n";
    EXPECT_EQ(test::TreeOf(Target()), (std::map<std::string, std::string>{{"good.txt", text}}));
}

TEST_F(CraftedArchive, DataDescriptorsFromZipFd) {
    LUMO_NEED_PROGRAM("zip");
    LUMO_NEED_PROGRAM("unzip");
    fs::create_directories(work / "src/folder");
    work.Write("src/a.txt", std::string(50000, 'a'));
    work.Write("src/folder/b.bin", "binary\x01\x02");
    work.Write("src/empty", "");
    std::string output;
    ASSERT_EQ(test::RunProgram("zip", {"-q", "-r", "-fd", Archive(), "."}, &output, work / "src"),
              0)
        << output;
    const test::TExtraction done = test::Extract(Archive(), Target());
    EXPECT_EQ(done.result, 0);
    EXPECT_EQ(done.members.size(), 4u); // with the folder
    auto source = test::TreeOf(work / "src");
    EXPECT_EQ(test::TreeOf(Target()), source);
    EXPECT_TRUE(test::InfoZipTestsClean(Archive()));
    EXPECT_EQ(test::InfoZipListing(Archive()).size(), 4u);
}

TEST_F(CraftedArchive, EndSignatureInsideTheComment) {
    LUMO_NEED_PROGRAM("zip");
    test::RunPython(R"PY(
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('a.txt', 'first')
    z.writestr('b.txt', 'second')
    z.comment = b'see PK\x05\x06' + bytes(range(1, 30)) + b' and PK\x05\x06\xff\xff'
)PY",
                    {Archive()});
    EXPECT_EQ(test::Extract(Archive(), Target()).members, (Members{{"a.txt", 0}, {"b.txt", 0}}));

    // The same through zip's own comment.
    work.Write("c.txt", "third");
    work.Write("comment", "PK\x05\x06\x01\x01\x01\x01trailing words\n"); // says disk 257
    std::string output;
    ASSERT_EQ(test::RunProgram("sh", {"-c", "zip -q -z " + Archive("z.zip") + " c.txt < comment"},
                               &output, work.Path()),
              0)
        << output;
    EXPECT_EQ(test::Extract(Archive("z.zip"), work / "z").members, (Members{{"c.txt", 0}}));
}

TEST_F(CraftedArchive, OverlappingMembersAreRefusedAndTheOthersExtracted) {
    test::RunPython(R"PY(
def member(name, text):
    return (name, 0, text, zlib.crc32(text), len(text))
# One local header named by two central records.
write_zip(sys.argv[1], [member('a.txt', b'A' * 100), member('b.txt', b'B' * 100)])
data = bytearray(open(sys.argv[1], 'rb').read())
headers = central_headers(data)
first = data[headers[0]:headers[1]]
end = data.rfind(b'PK\x05\x06')
count, size, start = struct.unpack_from('<HII', data, end + 10)
data[end:end] = first
end += len(first)
struct.pack_into('<HHI', data, end + 8, count + 1, count + 1, size + len(first))
open(sys.argv[1], 'wb').write(data)
# Member b's data reaches over c's local header.
write_zip(sys.argv[2], [member('a.txt', b'A' * 10), member('b.txt', b'B' * 10),
                        member('c.txt', b'C' * 10)])
patch_central(sys.argv[2], 1, 'csize', 50)
# Member b's data reaches one byte into c's local header.
write_zip(sys.argv[3], [member('a.txt', b'A' * 10), member('b.txt', b'B' * 10),
                        member('c.txt', b'C' * 10)])
patch_central(sys.argv[3], 1, 'csize', 11)
)PY",
                    {Archive("shared.zip"), Archive("reach.zip"), Archive("edge.zip")});
    EXPECT_EQ(test::Extract(Archive("shared.zip"), work / "shared").members,
              (Members{{"a.txt", -13}, {"b.txt", 0}, {"a.txt", -13}}));
    EXPECT_EQ(test::Extract(Archive("reach.zip"), work / "reach").members,
              (Members{{"a.txt", 0}, {"b.txt", -13}, {"c.txt", -13}}));
    EXPECT_EQ(test::Extract(Archive("edge.zip"), work / "edge").members,
              (Members{{"a.txt", 0}, {"b.txt", -13}, {"c.txt", -13}}));
}

TEST_F(CraftedArchive, Zip64AndSplitArchivesAreRefusedWhole) {
    LUMO_NEED_PROGRAM("zip");
    work.Write("src/a.txt", "small");
    std::mt19937 generator(7);
    std::string random(300000, '\0');
    for (char& c : random)
        c = static_cast<char>(generator());
    work.Write("src/r.bin", random);
    std::string output;
    ASSERT_EQ(
        test::RunProgram("zip", {"-q", "-fz", Archive("z64.zip"), "a.txt"}, &output, work / "src"),
        0)
        << output;
    ASSERT_EQ(test::RunProgram("zip", {"-q", "-s", "64k", Archive("split.zip"), "r.bin", "a.txt"},
                               &output, work / "src"),
              0)
        << output;
    const auto before = test::TreeOf(work.Path());
    EXPECT_EQ(test::Extract(Archive("z64.zip"), Target()).result, -4);
    EXPECT_EQ(test::Extract(Archive("split.zip"), Target()).result, -5);
    EXPECT_EQ(test::TreeOf(work.Path()), before);
    EXPECT_STREQ(UnzipMessage(TUnzipResult::Zip64),
                 "Zip64 archives (members over 4 GB or more than 65535 members) are not "
                 "supported");
}

TEST_F(CraftedArchive, PathsOver255CharactersAreRefusedNotCut) {
    test::RunPython("with zipfile.ZipFile(sys.argv[1], 'w') as z: z.writestr('a.txt', 'x')",
                    {Archive()});
    const std::string base = work / "t";
    const std::string longest = base + std::string(255 - base.size(), 'x');
    ASSERT_EQ(longest.size(), 255u);
    EXPECT_EQ(test::Extract(Archive(), longest + "y").result, -501);
    EXPECT_FALSE(fs::exists(longest + "y"));
    EXPECT_FALSE(fs::exists(longest)); // the cut name is not used either
    EXPECT_EQ(test::Extract(Archive(), longest).result, 0);
    EXPECT_TRUE(fs::exists(longest + "/a.txt"));

    const std::string longArchive = work / (std::string(255, 'z') + ".zip");
    TUnzipper unzip;
    unzip.ArchiveName = longArchive;
    unzip.TargetDir = Target();
    EXPECT_EQ(unzip.Extract(), -501);
    unzip.ArchiveName.clear();
    EXPECT_EQ(unzip.Extract(), -500);
    unzip.ArchiveName = Archive();
    unzip.TargetDir.clear();
    EXPECT_EQ(unzip.Extract(), -500);
    EXPECT_EQ(unzip.List(), -500); // no report callback
}

TEST_F(CraftedArchive, SpecificationsAndRecurseChooseTheMembers) {
    test::RunPython(R"PY(
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    for name in ['README', 'top.txt', 'pics/a.gif', 'pics/deep/b.GIF', 'docs/c.txt']:
        z.writestr(name, name)
)PY",
                    {Archive()});
    struct Row {
        std::vector<std::string> specs;
        bool dontRecurse;
        std::vector<std::string> names;
    } rows[] = {
        {{"*.*"}, false, {"README", "top.txt", "pics/a.gif", "pics/deep/b.GIF", "docs/c.txt"}},
        {{"*.*"}, true, {"README", "top.txt"}},
        {{"*.gif"}, false, {"pics/a.gif", "pics/deep/b.GIF"}},
        {{"pics/*.gif"}, true, {"pics/a.gif"}},
        {{"*.txt", "README"}, false, {"README", "top.txt", "docs/c.txt"}},
    };
    int n = 0;
    for (const Row& row : rows) {
        TUnzipper unzip;
        unzip.ArchiveName = Archive();
        unzip.TargetDir = work / std::to_string(n++);
        unzip.FileSpecs = row.specs;
        unzip.DontRecurse = row.dontRecurse;
        std::vector<std::string> listed;
        unzip.OnReport = [&](int64_t, const TUnzipReport& r) { listed.push_back(r.FileName); };
        EXPECT_EQ(unzip.List(), 0);
        EXPECT_EQ(listed, row.names) << row.specs[0];
        std::vector<std::string> extracted;
        for (const auto& [name, code] : test::Extract(unzip).members)
            extracted.push_back(name);
        EXPECT_EQ(extracted, row.names) << row.specs[0];
    }
    EXPECT_EQ(test::Extract(Archive(), work / "none", {"*.exe"}).result, -19);
    EXPECT_FALSE(fs::exists(work / "none"));
}

TEST_F(CraftedArchive, ZipMadeTreesComeBackWholeWithTheirDates) {
    LUMO_NEED_PROGRAM("zip");
    LUMO_NEED_PROGRAM("unzip");
    // Info-ZIP's local headers carry longer extra fields than its central
    // ones: the data starts after the local header's own lengths.
    fs::create_directories(work / "src/empty/folder");
    work.Write("src/text.txt", std::string(100000, 't') + "end");
    work.Write("src/stored.png", "\x89PNG not compressed");
    work.Write("src/a/b/c.txt", "deep");
    const auto when = fs::last_write_time(work / "src/a/b/c.txt") - std::chrono::hours(24 * 400);
    fs::last_write_time(work / "src/a/b/c.txt", when);
    std::string output;
    ASSERT_EQ(
        test::RunProgram("zip", {"-q", "-r", "-n", ".png", Archive(), "."}, &output, work / "src"),
        0)
        << output;
    const auto before = test::TreeOf(work.Path());
    EXPECT_EQ(test::Extract(Archive(), Target()).result, 0);
    EXPECT_EQ(test::TreeOf(Target()), test::TreeOf(work / "src"));
    const auto age = fs::last_write_time(work / "out/a/b/c.txt") - when;
    EXPECT_LT(std::chrono::abs(age), std::chrono::seconds(3)); // DOS times count 2 s
    ExpectOnlyTargetChanged(before);
    EXPECT_EQ(test::InfoZipListing(Archive()).size(), test::TreeOf(Target()).size());
    // Nobody need listen: without a report handler the same tree comes back.
    TUnzipper quiet;
    quiet.ArchiveName = Archive();
    quiet.TargetDir = work / "quiet";
    EXPECT_EQ(quiet.Extract(), 0);
    EXPECT_EQ(test::TreeOf(work / "quiet"), test::TreeOf(work / "src"));
}

} // namespace
} // namespace lumo

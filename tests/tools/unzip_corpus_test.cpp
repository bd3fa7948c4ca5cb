// Archives from outside the project: DOS PKZIP's shrunk, imploded, reduced
// and deflated members, other libraries' odd and broken archives, and
// path-traversal samples.
#include "tests/support/corpus.h"
#include "tests/support/temp_folder.h"
#include "tests/tools/zip_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace lumo {
namespace {

namespace fs = std::filesystem;
using test::CorpusPath;

constexpr int Done = 0;

// Every member as its result code, counted.
std::map<int, int> Outcomes(const test::TExtraction& extraction) {
    std::map<int, int> counts;
    for (const auto& [name, code] : extraction.members)
        ++counts[code];
    return counts;
}

// The extracted tree holds exactly what Info-ZIP lists, with the same sizes.
void ExpectInfoZipListing(const std::string& archive,
                          const std::map<std::string, std::string>& tree) {
    ASSERT_TRUE(test::InfoZipTestsClean(archive)) << archive;
    const std::map<std::string, uint64_t> listing = test::InfoZipListing(archive);
    ASSERT_FALSE(listing.empty()) << archive;
    for (const auto& [name, length] : listing) {
        if (name.ends_with('/')) {
            EXPECT_EQ(tree.count(name.substr(0, name.size() - 1)), 1u) << archive << ": " << name;
            continue;
        }
        const auto file = tree.find(name);
        ASSERT_NE(file, tree.end()) << archive << ": " << name;
        EXPECT_EQ(file->second.size(), length) << archive << ": " << name;
    }
}

TEST(UnzipCorpus, PkzipShrunkAndImplodedMembersMatchTheDeflatedCopy) {
    const std::string dir = CorpusPath("zip/pkzip-dos");
    LUMO_NEED_CORPUS(dir);
    LUMO_NEED_PROGRAM("unzip");
    test::TempFolder work;
    const test::TExtraction deflated = test::Extract(dir + "/PKZ204EX.ZIP", work / "deflated");
    ASSERT_EQ(deflated.result, 0);
    const auto reference = test::TreeOf(work / "deflated");
    ASSERT_EQ(reference.size(), 15u);
    ExpectInfoZipListing(dir + "/PKZ204EX.ZIP", reference);
    // 0.80 and 1.10 shrink only, 1.10 implode only, 1.10 maximal and default.
    for (const char* name :
         {"PKZ80A1.ZIP", "PKZ110ES.ZIP", "PKZ110EI.ZIP", "PKZ110EX.ZIP", "PKZ110.ZIP"}) {
        const std::string target = work / name;
        const test::TExtraction extraction = test::Extract(dir + "/" + name, target);
        EXPECT_EQ(extraction.result, 0) << name;
        EXPECT_EQ(Outcomes(extraction), (std::map<int, int>{{Done, 15}})) << name;
        EXPECT_TRUE(test::TreeOf(target) == reference) << name << " differs from the deflated copy";
        ExpectInfoZipListing(dir + "/" + name, test::TreeOf(target));
    }
}

TEST(UnzipCorpus, ReducedMembersFailAloneWithMinusSix) {
    const std::string dir = CorpusPath("zip/pkzip-dos");
    LUMO_NEED_CORPUS(dir);
    test::TempFolder work;
    ASSERT_EQ(test::Extract(dir + "/PKZ204EX.ZIP", work / "deflated").result, 0);
    const test::TExtraction extraction = test::Extract(dir + "/PKZ90B4.ZIP", work / "reduced");
    EXPECT_EQ(extraction.result, -6);
    EXPECT_EQ(Outcomes(extraction), (std::map<int, int>{{Done, 8}, {-6, 7}}));
    // The shrunk and stored members are whole; nothing is left of the others.
    const auto reference = test::TreeOf(work / "deflated");
    const auto tree = test::TreeOf(work / "reduced");
    EXPECT_EQ(tree.size(), 8u);
    for (const auto& [name, code] : extraction.members) {
        if (code == Done)
            EXPECT_EQ(tree.at(name), reference.at(name)) << name;
        else
            EXPECT_EQ(tree.count(name), 0u) << name;
    }
}

struct ArchiveRow {
    const char* file;
    int result;                // of the whole extraction
    std::map<int, int> counts; // members by result
    bool infoZipValid = false; // Info-ZIP's unzip lists and tests it clean
};

// What our rules make of each sample: sizes and CRC from the central
// directory, names refused when they lead out, links never made, overlapping
// members refused, Zip64 and multi-disk archives refused whole, and a
// signature inside a comment or trailing bytes passed over.
const ArchiveRow ArchiveRows[] = {
    {"commons-compress/COMPRESS-214_unix_symlinks.zip", -12, {{Done, 12}, {-12, 9}}},
    {"commons-compress/COMPRESS-227.zip", -13, {{-13, 2}}}, // two members share one header
    {"commons-compress/COMPRESS-264.zip", 0, {{Done, 1}}, true},
    {"commons-compress/COMPRESS-380__COMPRESS-380.zip", -6, {{-6, 1}}}, // deflate64
    {"commons-compress/COMPRESS-546.zip", -2, {}},
    {"commons-compress/COMPRESS-548.zip", -2, {}},
    {"commons-compress/COMPRESS-647__test.zip", -2, {}},
    {"commons-compress/COMPRESS-692__compress-692.zip", -6, {{Done, 1}, {-6, 5}}}, // zstd
    {"commons-compress/SHRUNK.ZIP", 0, {{Done, 2}}, true},
    {"commons-compress/ZipFile-method.zip", -3, {}}, // the directory is not where it says
    {"commons-compress/archive_with_bytes_after_data.zip", 0, {{Done, 2}}, true},
    {"commons-compress/archive_with_trailer.zip", 0, {{Done, 2}}, true},
    // Data descriptors after stored data, some contradicting the data: the
    // central directory's sizes hold, and its offsets move with the
    // directory, which starts later than the end record says.
    {"commons-compress/bla-stored-dd-contradicts-actualsize.zip", 0, {{Done, 2}}},
    {"commons-compress/bla-stored-dd-nosig.zip", 0, {{Done, 2}}},
    {"commons-compress/bla-stored-dd-sizes-differ.zip", 0, {{Done, 2}}},
    {"commons-compress/bla-stored-dd.zip", 0, {{Done, 2}}},
    {"commons-compress/bla-stored.zip", 0, {{Done, 2}}, true},
    {"commons-compress/bla.zip", 0, {{Done, 2}}, true},
    {"commons-compress/bzip2-zip.zip", -6, {{-6, 1}}},
    {"commons-compress/imploding-4Kdict-2trees.zip", 0, {{Done, 1}}, true},
    {"commons-compress/imploding-8Kdict-3trees.zip", 0, {{Done, 1}}, true},
    {"commons-compress/invalid-zip.zip", -2, {}},
    {"commons-compress/longpath__minotaur.zip", 0, {{Done, 19}}, true},
    {"commons-compress/lorem-ipsum-deflate64.zip", -6, {{-6, 1}}},
    {"commons-compress/lorem-ipsum-implode.zip", 0, {{Done, 1}}, true},
    {"commons-compress/mixed.zip", 0, {{Done, 2}}, true},
    {"commons-compress/moby-imploded.zip", 0, {{Done, 135}}, true},
    {"commons-compress/moby.zip", -6, {{-6, 1}}},                           // tokenized
    {"commons-compress/password-encrypted.zip", -7, {{Done, 3}, {-7, 10}}}, // folders pass
    {"commons-compress/test-method-xz.zip", -6, {{-6, 1}}},
    {"commons-compress/utf8-winzip-test.zip", 0, {{Done, 3}}},
    {"zip2/aes_archive.zip", -7, {{-7, 4}}},
    {"zip2/comment_garbage.zip", -21, {}}, // an empty archive with bytes after it
    {"zip2/data_descriptor.zip", 0, {{Done, 1}}, true},
    {"zip2/extended_timestamp_bad.zip", 0, {{Done, 2}}}, // extra fields are not read
    {"zip2/files_and_dirs.zip", 0, {{Done, 3}}, true},
    {"zip2/invalid_cde_number_of_files_allocation_greater_offset.zip", -5, {}},
    {"zip2/invalid_cde_number_of_files_allocation_smaller_offset.zip", -21, {}},
    {"zip2/invalid_offset.zip", -3, {}},
    {"zip2/invalid_offset2.zip", -4, {}},
    {"zip2/legacy__implode.zip", 0, {{Done, 1}}, true},
    {"zip2/legacy__reduce.zip", -6, {{-6, 1}}},
    {"zip2/legacy__shrink.zip", 0, {{Done, 1}}, true},
    {"zip2/misaligned_comment.zip", -21, {}},
    {"zip2/non_utf8.zip", 0, {{Done, 2}}},
    {"zip2/ppmd.zip", -6, {{-6, 1}}},
    {"zip2/symlink.zip", -12, {{-12, 1}}},
    // "PK\6\6" and "PK\6\7" in a name sit where Zip64 records would: the end
    // record needs none, so the archive is an ordinary one.
    {"zip2/zip64_magic_in_filename_1.zip", 0, {{Done, 1}}},
    {"zip2/zip64_magic_in_filename_2.zip", 0, {{Done, 1}}},
};

TEST(UnzipCorpus, OtherLibrariesSamplesFollowOurRules) {
    const std::string dir = CorpusPath("zip");
    LUMO_NEED_CORPUS(dir);
    LUMO_NEED_PROGRAM("unzip");
    test::TempFolder work;
    int n = 0;
    for (const ArchiveRow& row : ArchiveRows) {
        const std::string archive = dir + "/" + row.file;
        const std::string target = work / std::to_string(n++);
        const test::TExtraction extraction = test::Extract(archive, target);
        EXPECT_EQ(extraction.result, row.result) << row.file;
        EXPECT_EQ(Outcomes(extraction), row.counts) << row.file;
        const auto tree = test::TreeOf(target);
        for (const auto& [path, what] : tree)
            EXPECT_FALSE(what.starts_with("link")) << row.file << ": " << path;
        if (row.infoZipValid) ExpectInfoZipListing(archive, tree);
    }
}

TEST(UnzipCorpus, ContentsAndNamesOfTheOddOnes) {
    const std::string dir = CorpusPath("zip");
    LUMO_NEED_CORPUS(dir);
    test::TempFolder work;
    const std::string first = test::TreeOf(dir + "/zip2").at("folder__first.txt");
    for (const char* legacy : {"legacy__shrink.zip", "legacy__implode.zip"}) {
        ASSERT_EQ(test::Extract(dir + "/zip2/" + legacy, work / legacy).result, 0);
        const auto tree = test::TreeOf(work / legacy);
        ASSERT_EQ(tree.size(), 1u) << legacy;
        EXPECT_EQ(tree.begin()->second, first) << legacy;
    }
    // Stored members followed by data descriptors: the same bytes as without.
    ASSERT_EQ(test::Extract(dir + "/commons-compress/bla-stored.zip", work / "plain").result, 0);
    for (const char* dd :
         {"bla-stored-dd.zip", "bla-stored-dd-nosig.zip", "bla-stored-dd-sizes-differ.zip",
          "bla-stored-dd-contradicts-actualsize.zip"}) {
        ASSERT_EQ(test::Extract(dir + "/commons-compress/" + dd, work / dd).result, 0);
        EXPECT_EQ(test::TreeOf(work / dd), test::TreeOf(work / "plain")) << dd;
    }
    // Names without the UTF-8 flag are code page 437, whatever their writer meant.
    ASSERT_EQ(test::Extract(dir + "/commons-compress/utf8-winzip-test.zip", work / "cp").result, 0);
    EXPECT_EQ(test::TreeOf(work / "cp").count("\xC3\x96lf\xC3\xA4sser.txt"), 1u); // Ölfässer
    // Control characters in a name become '_'.
    ASSERT_EQ(test::Extract(dir + "/zip2/zip64_magic_in_filename_2.zip", work / "pk").result, 0);
    const auto pk = test::TreeOf(work / "pk");
    ASSERT_EQ(pk.size(), 1u);
    EXPECT_TRUE(pk.begin()->first.starts_with("PK__PK__"));
}

TEST(UnzipCorpus, PathTraversalSamplesWriteNothingOutsideTheTarget) {
    const std::string dir = CorpusPath("zip/path-traversal");
    LUMO_NEED_CORPUS(dir);
    // Where the samples aim when followed from a target in /tmp.
    const std::vector<std::string> aims = {"/tmp/moo", "/tmp/evil.txt", "/tmp/Temp/evil.txt"};
    std::map<std::string, bool> existed;
    for (const std::string& aim : aims)
        existed[aim] = fs::exists(fs::symlink_status(aim));
    int archives = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (entry.path().extension() != ".zip") continue;
        ++archives;
        const std::string name = entry.path().filename().string();
        test::TempFolder root;
        const std::string target = root / "a/b/target/";
        fs::create_directories(target);
        const auto before = test::TreeOf(root.Path());
        test::Extract(entry.path().string(), target);
        const auto after = test::TreeOf(root.Path());
        for (const std::string& changed : test::Changes(before, after)) {
            EXPECT_TRUE(changed.starts_with("a/b/target/")) << name << " wrote " << changed;
            EXPECT_FALSE(after.at(changed).starts_with("link"))
                << name << " made a link " << changed;
        }
        EXPECT_EQ(test::Changes(after, before), std::vector<std::string>{}) << name << " removed";
        for (const std::string& aim : aims)
            EXPECT_EQ(fs::exists(fs::symlink_status(aim)), existed[aim]) << name << ": " << aim;
    }
    EXPECT_EQ(archives, 10);
}

} // namespace
} // namespace lumo

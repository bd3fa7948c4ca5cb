// Pure rules of the unzip engine: safe paths, specifications, names, progress.
#include "tools/member_name.h"
#include "tools/unzip_progress.h"
#include "tools/zip_directory.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

TEST(SafeRelativePath, RefusesEveryWayOutOfTheTarget) {
    struct Row {
        const char* name;
        const char* path; // null: refused; "": the target itself (only a folder may be)
    } rows[] = {
        {"a.txt", "a.txt"},
        {"dir/sub/a.txt", "dir/sub/a.txt"},
        {"dir/", "dir"},
        {"./a.txt", "a.txt"},
        {"a//b/./c", "a/b/c"},
        {"..a/b..", "..a/b.."}, // dots inside a part are a name
        {"../x", nullptr},
        {"a/../x", nullptr},
        {"a/..", nullptr},
        {"/abs", nullptr},
        {"//tmp/moo", nullptr},
        {"C:x.txt", nullptr},
        {"c:/windows/x", nullptr},
        {"/", nullptr},
        {"./", ""},
        {"", ""},
    };
    for (const Row& row : rows) {
        const std::optional<std::string> path = SafeRelativePath(row.name);
        if (row.path)
            EXPECT_EQ(path, std::optional<std::string>(row.path)) << row.name;
        else
            EXPECT_EQ(path, std::nullopt) << row.name;
    }
}

TEST(MemberNameUtf8, ReadsTheCodePageOfTheFlagAndKeepsOneLine) {
    struct Row {
        const char* raw;
        uint16_t flags;
        const char* utf8;
    } rows[] = {
        {"\x80pfel\x94.txt", 0, "\xC3\x87pfel\xC3\xB6.txt"}, // code page 437: Ç, ö
        {"\xC3\xA4.txt", 0x800, "\xC3\xA4.txt"},             // UTF-8 flag: ä as it stands
        {"\xC3.txt", 0x800, "?.txt"},                        // malformed UTF-8
        {"a\\..\\x", 0, "a/../x"},                           // "\" is a separator
        {"bad\nname\x7F", 0, "bad_name_"},                   // controls never reach a line
    };
    for (const Row& row : rows) {
        TZipEntry entry;
        entry.RawName = row.raw;
        entry.Flags = row.flags;
        EXPECT_EQ(MemberNameUtf8(entry), row.utf8) << row.raw;
    }
    TZipEntry withNul;
    withNul.RawName = std::string("a\0b", 3);
    EXPECT_EQ(MemberNameUtf8(withNul), "a_b");
}

TEST(MatchesSpecs, WildcardsRecurseAndTheDosStarDotStar) {
    struct Row {
        std::vector<std::string> specs;
        const char* path;
        TRecurse recurse;
        bool matches;
    } rows[] = {
        {{"*.*"}, "README", TRecurse::Yes, true},
        {{"*.*"}, "a/b/c.txt", TRecurse::Yes, true},
        {{"*.*"}, "a/b/c.txt", TRecurse::No, false},
        {{"*.*"}, "top.txt", TRecurse::No, true},
        {{"*.TXT"}, "dir/notes.txt", TRecurse::Yes, true},
        {{"*.txt"}, "dir/notes.txt", TRecurse::No, false},
        {{"dir/*.txt"}, "dir/notes.txt", TRecurse::No, true},
        {{"dir/*.txt"}, "x/dir/notes.txt", TRecurse::Yes, true},
        {{"dir/*"}, "dir/sub/notes.txt", TRecurse::No, false}, // '*' stays in one part
        {{"te?t.*"}, "test.doc", TRecurse::Yes, true},
        {{"te?t.*"}, "tet.doc", TRecurse::Yes, false},
        {{"read*.*"}, "README", TRecurse::Yes, true},
        {{"*.gif", "*.jpg"}, "pic.jpg", TRecurse::Yes, true},
        {{"*.gif", "*.jpg"}, "pic.png", TRecurse::Yes, false},
        {{"a*b*c"}, "aXbYbZc", TRecurse::No, true},
        {{"?.txt"}, "\xC3\xA4.txt", TRecurse::No, true}, // one character, two bytes
    };
    for (const Row& row : rows)
        EXPECT_EQ(MatchesSpecs(row.specs, row.path, row.recurse), row.matches)
            << row.specs[0] << " " << row.path;
}

TEST(SplitSpecs, BlanksSeparateAndQuotesJoin) {
    EXPECT_EQ(SplitSpecs(""), std::vector<std::string>{"*.*"});
    EXPECT_EQ(SplitSpecs("  "), std::vector<std::string>{"*.*"});
    EXPECT_EQ(SplitSpecs("*.txt  *.gif"), (std::vector<std::string>{"*.txt", "*.gif"}));
    EXPECT_EQ(SplitSpecs("\"my file.txt\" b"), (std::vector<std::string>{"my file.txt", "b"}));
}

TEST(ProgressPercent, StaysWithinTheBarAndNeverDividesByZero) {
    struct Row {
        uint64_t done, total;
        int percent;
    } rows[] = {
        {0, 0, 0},       // an archive of empty members
        {5, 0, 0},       //
        {0, 200, 0},     //
        {1, 200, 1},     // 0.5 rounds up
        {199, 200, 100}, //
        {200, 200, 100}, //
        {600, 200, 100}, // more than recorded: held at 100, not 300
        {uint64_t{1} << 40, uint64_t{3} << 40, 33},
        {~uint64_t{0}, 1, 100},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ProgressPercent(row.done, row.total), row.percent)
            << row.done << "/" << row.total;
}

TEST(UpdateThrottle, LetsAboutThirtyUpdatesASecondThrough) {
    TUpdateThrottle throttle;
    int passed = 0;
    for (int64_t ms = 0; ms < 1000; ++ms)
        passed += throttle.Due(ms) ? 1 : 0;
    EXPECT_EQ(passed, 31); // at 0, 33, 66, ..., 990
    throttle.Reset();
    EXPECT_TRUE(throttle.Due(991));
}

} // namespace
} // namespace lumo

// Golden layout dumps of the pages under tests/data/layout. Run with
// LUMO_REBASELINE=1 (or layout_driver --rebaseline) to rewrite the expected
// files after a deliberate change.
#include "golden_layout.h"

#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace lumo::test {
namespace {

TEST(GoldenLayout, MatchExpectedDumps) {
    if (std::getenv("LUMO_REBASELINE")) {
        RebaselineGoldenPages();
        GTEST_SKIP() << "expected dumps rewritten";
    }
    auto names = GoldenPages();
    ASSERT_GE(names.size(), 10u);
    for (const std::string& name : names) {
        auto expected = ReadWholeFile(GoldenFolder() + name + ".layout", 1 << 20);
        ASSERT_TRUE(expected) << "no expected dump for " << name;
        EXPECT_EQ(GoldenDump(name), *expected) << "layout dump of " << name << ".htm differs";
    }
}

} // namespace
} // namespace lumo::test

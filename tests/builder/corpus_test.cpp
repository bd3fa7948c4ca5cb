// Every page of the outside corpus, malformed legacy pages included, builds,
// lays out at two widths and paints, under the sanitizers.
#include "tests/support/layout_fixture.h"

#include "platform/file_system.h"
#include "tests/support/corpus.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace lumo::test {
namespace {

TEST(Corpus, EveryPageBuildsLaysOutAndPaints) {
    const std::string corpus = test::CorpusPath("html");
    LUMO_NEED_CORPUS(corpus);
    int pages = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(corpus)) {
        const auto ext = entry.path().extension().string();
        if (ext != ".htm" && ext != ".html") continue;
        auto html = ReadWholeFile(AnsiName(entry.path()), 8 << 20);
        ASSERT_TRUE(html) << entry.path();
        SCOPED_TRACE(entry.path().string());
        Doc doc(*html, 800);
        const int height = doc.result.Height;
        doc.Paint(0, 600, 800);
        doc.Paint(std::max(0, height - 600), height, 800);
        doc.LayOut(200);
        doc.Paint(0, 600, 200);
        doc.list.SelStart = 0;
        doc.list.SelEnd = 1 << 30;
        doc.list.GetSelectedText();
        doc.list.FindText(0, "the", false);
        ++pages;
    }
    EXPECT_GT(pages, 20);
}

} // namespace
} // namespace lumo::test

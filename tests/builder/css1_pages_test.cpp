// The CSS1 test pages of the corpus that need no tables or pictures to pass,
// checked where each page says a passing rendering shows its result.
#include "tests/builder/style_page.h"
#include "tests/support/corpus.h"

#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace lumo::test {
namespace {

std::string Folder() {
    return CorpusPath("html/css1-testsuite-html4");
}

// The page, with its linked sheets read from beside it.
StylePage Css1Page(const std::string& name, int width = 600) {
    const std::string folder = Folder();
    auto html = ReadWholeFile(folder + "/" + name + ".htm", 1 << 20);
    EXPECT_TRUE(html) << name;
    return StylePage(html ? *html : "", width,
                     [folder](const std::string& address, std::string& text) {
                         auto sheet = ReadWholeFile(folder + "/" + address, 1 << 20);
                         if (sheet) text = *sheet;
                         return sheet.has_value();
                     });
}

// Every line that starts with text is green, and there are count of them.
void ExpectGreenLines(const StylePage& page, std::string_view text, int count) {
    int n = 0;
    for (QRect line = page.Line(text); !line.isEmpty(); line = page.Line(text, ++n))
        EXPECT_TRUE(page.Mostly(line, Tint::Green)) << text << " #" << n;
    EXPECT_EQ(n, count) << text;
}

TEST(Css1Pages, ColoursByClassCascadeAndImportance) {
    LUMO_NEED_CORPUS(Folder());
    {
        const StylePage page = Css1Page("c13-inheritance-000");
        ExpectGreenLines(page, "This sentence should be green.", 1);
        ExpectGreenLines(page, "This sentence should be white on green.", 1);
        // FAIL in white on white; the second needs DFN to be known.
        ExpectGreenLines(page, "PASS", 2);
    }
    ExpectGreenLines(Css1Page("c14-classes-000"), "This sentence should be green.", 6);
    ExpectGreenLines(Css1Page("c31-important-000"), "This line should be green.", 3);
    ExpectGreenLines(Css1Page("c32-cascading-000"), "This should be green.", 11);
}

TEST(Css1Pages, LengthsOfTheElementsOwnFont) {
    LUMO_NEED_CORPUS(Folder());
    {
        // Ten-pixel text, a 1em border and margin around 100 px: 120 px wide squares.
        const StylePage page = Css1Page("c412-blockw-000");
        for (int n : {0, 1}) {
            const QRect square = page.Box("TBlock <div> at (20,", n);
            EXPECT_EQ(square.width(), 120) << n;
            EXPECT_EQ(square.left(), 10 + 10) << n;
            EXPECT_TRUE(page.Mostly({square.left(), square.center().y(), 10, 1}, Tint::Green)) << n;
        }
    }
    {
        // 4em of 24 px, a 1em left padding and medium borders; lines half an inch.
        const StylePage page = Css1Page("c548-ln-ht-000");
        EXPECT_EQ(page.Box("TBlock <div>").width(), 96 + 24 + 2 * 4);
        EXPECT_EQ(page.Box("TBlock <pre>").width(), 120 + 2 * 4);
        EXPECT_EQ(page.Line("X").height(), 48);
    }
    {
        // A 1ex top border and 1em width of 40 px text, in a table cell.
        const StylePage page = Css1Page("c61-ex-len-000");
        const QRect test = page.Box("TBlock <div>", 1);
        EXPECT_EQ(test.width(), 40);
        EXPECT_EQ(test.height(), 20);
        EXPECT_TRUE(page.Mostly(test.adjusted(2, 2, -2, -2), Tint::Blue));
    }
}

// Each big box stands level with the line of the small box of its colour, or
// right below that line when it does not fit beside the text there.
TEST(Css1Pages, FloatsLevelWithTheLineTheyAreMetOn) {
    LUMO_NEED_CORPUS(Folder());
    const StylePage page = Css1Page("c414-flt-ln-000");
    auto lineEndingWith = [&](std::string_view end) {
        const size_t at = page.dump.find(std::string(end) + "\"\n");
        int x = 0, y = 0, h = 0;
        if (at != std::string::npos)
            std::sscanf(page.dump.c_str() + page.dump.rfind(" x=", at), " x=%d y=%d h=%d", &x, &y,
                        &h);
        return QRect(x, y, 1, h);
    };
    for (const char* side : {"float-left", "float-right"}) {
        const QRect small = lineEndingWith(side == std::string_view("float-left") ? " A " : " B ");
        ASSERT_GT(small.height(), 0) << side;
        const int top = page.Box(side).top();
        EXPECT_TRUE(top == small.top() || top == small.top() + small.height()) << side;
    }
    EXPECT_EQ(page.Box("float-right").top(), lineEndingWith(" B ").top());
}

} // namespace
} // namespace lumo::test

// How text looks once style reaches it: decorations, alignment, indents,
// case and inline boxes, checked through layout positions and through
// pixels of pages painted with the installed fonts (large solid shapes, so
// anti-aliasing cannot blur the answer).
#include "tests/support/layout_fixture.h"

#include "platform/qt_canvas.h"

#include <QImage>

#include <gtest/gtest.h>

namespace lumo::test {
namespace {

// A page laid out and painted with the installed fonts.
struct Picture {
    explicit Picture(const std::string& html, int width = 400, int height = 200)
        : image(width, height, QImage::Format_RGB32) {
        list.SetDefaults(TDefaultLook{});
        TLayoutSettings settings;
        settings.Width = width;
        result = BuildAndLayOut(list, html, measure, settings);
        image.fill(Qt::white);
        QtCanvas canvas(image);
        list.SetScrollY(0);
        list.PaintCell(canvas, {0, 0, width, height}, width, 0, 0);
    }
    bool IsRed(int x, int y) const {
        const QColor c = image.pixelColor(x, y);
        return c.red() > 200 && c.green() < 80 && c.blue() < 80;
    }
    // The runs of red rows in column x: each drawn line is one band.
    int RedBands(int x, int top, int bottom) const {
        int bands = 0;
        bool inBand = false;
        for (int y = top; y < bottom; ++y) {
            const bool red = IsRed(x, y);
            bands += red && !inBand;
            inBand = red;
        }
        return bands;
    }

    QImage scratch{8, 8, QImage::Format_RGB32};
    QtCanvas measure{scratch};
    TSectionList list{measure};
    QImage image;
    TLayoutResult result;
};

// Blank glyphs under a decoration, so only the lines are red.
TEST(TextDecoration, EachListedLineIsDrawn) {
    const struct {
        const char* value;
        int bands;
    } rows[] = {
        {"overline", 1}, {"underline overline", 2}, {"underline line-through overline", 3},
        {"none", 0},     {"blink underline", 1},
    };
    for (const auto& row : rows) {
        Picture page("<BODY STYLE=\"margin:0\"><DIV STYLE=\"font-size:60px;color:red;"
                     "text-decoration:" +
                     std::string(row.value) + "\">&nbsp;&nbsp;&nbsp;&nbsp;.</DIV>");
        EXPECT_EQ(page.RedBands(20, 0, 100), row.bands) << row.value;
    }
}

// Pages below are laid out with the recording canvas: 8-pixel characters,
// 16-pixel lines, 10 pixels of body margin on each side.

TEST(InlineElements, PhraseElementsAreKnownAndStayInline) {
    constexpr TColor red = 0x0000FF;
    Doc doc("<STYLE>dfn, q, abbr, acronym { color: red }</STYLE>"
            "<P>a <DFN>b</DFN> <Q>c</Q> <ABBR>d</ABBR> <ACRONYM>e</ACRONYM> <INS>f</INS> "
            "<DEL>g</DEL> h");
    ASSERT_EQ(All<TSection>(doc.list).size(), 1u);
    for (const char* word : {"b", "c", "d", "e"})
        EXPECT_EQ(RunOf(doc.list, word)->PlainFont.Color, red) << word;
    const TMyFont& ins = RunOf(doc.list, "f")->PlainFont;
    const TMyFont& del = RunOf(doc.list, "g")->PlainFont;
    const TMyFont& after = RunOf(doc.list, "h")->PlainFont;
    EXPECT_TRUE(ins.Underline && !ins.StrikeOut);
    EXPECT_TRUE(del.StrikeOut && !del.Underline);
    EXPECT_FALSE(after.Underline || after.StrikeOut);
}

} // namespace
} // namespace lumo::test

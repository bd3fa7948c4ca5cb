// Where pages end: lines that stand beside others (in the cells of a table
// row, or beside a float) end at other heights than theirs, and each must
// print whole, on one page. Checked on the pixels of the printed pages, as
// the text of the file also holds what the blanking below a page end hides.
#include "print/printer_device.h"

#include "tests/print/print_fixture.h"
#include "tests/support/pdf_tools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <vector>

namespace lumo::test {
namespace {

constexpr int Dpi = 150;

// The height of the inked rows inside a word's box; 0 when none is inked.
int InkHeight(const QImage& page, const PdfWord& word) {
    const double scale = Dpi / 72.0;
    const int left = static_cast<int>(word.XMin * scale),
              right = static_cast<int>(word.XMax * scale);
    int top = -1, bottom = -1;
    for (int y = static_cast<int>(word.YMin * scale); y < std::ceil(word.YMax * scale); ++y)
        for (int x = left; x < right; ++x)
            if (qGray(page.pixel(x, y)) < 128) {
                if (top < 0) top = y;
                bottom = y;
                break;
            }
    return top < 0 ? 0 : bottom - top + 1;
}

std::string Numbered(const char* format, int i) {
    char text[32];
    std::snprintf(text, sizeof text, format, i);
    return text;
}

// n lines "A000", "A001", ... in the default font.
std::string SmallLines(int n) {
    std::string html;
    for (int i = 0; i < n; ++i)
        html += Numbered("A%03d<BR>", i);
    return html;
}

// n lines twice as high, whose ends fall between those of SmallLines.
std::string LargeLines(int n) {
    std::string html;
    for (int i = 0; i < n; ++i)
        html += Numbered("<FONT SIZE=6>B%03d</FONT><BR>", i);
    return html;
}

TEST_F(PrintTest, LinesBesideOthersPrintWholeOnOnePage) {
    if (!HasPdfTools()) GTEST_SKIP() << "poppler-utils is not installed";
    const struct {
        const char* file;
        std::string html;
    } rows[] = {
        {"row.pdf", "<TABLE><TR><TD VALIGN=TOP>" + SmallLines(300) + "<TD VALIGN=TOP>" +
                        LargeLines(120) + "</TABLE>"},
        {"float.pdf",
         "<TABLE ALIGN=RIGHT><TR><TD>" + LargeLines(60) + "</TABLE>" + SmallLines(300)},
    };
    for (const auto& row : rows) {
        Open(row.html);
        {
            TPrinterDevice device(Pdf(row.file));
            viewer.PrintPages(device, TPageSelection());
        }
        // Each small line's inked height on every page that shows it.
        std::map<std::string, std::vector<int>> shown;
        std::map<int, QImage> pages;
        int whole = 0;
        for (const PdfWord& word : PdfWords(folder / row.file)) {
            if (word.Text.size() != 4 || word.Text[0] != 'A') continue;
            if (!pages.count(word.Page))
                pages[word.Page] = RenderPdfPage(folder / row.file, word.Page, Dpi);
            ASSERT_FALSE(pages[word.Page].isNull());
            if (const int height = InkHeight(pages[word.Page], word); height > 0) {
                shown[word.Text].push_back(height);
                whole = std::max(whole, height);
            }
        }
        ASSERT_GE(pages.size(), 3u) << row.file;
        for (int i = 0; i < 300; ++i) {
            const std::string line = Numbered("A%03d", i);
            ASSERT_EQ(shown[line].size(), 1u) << row.file << " " << line;
            EXPECT_GE(shown[line][0], whole - 1) << row.file << " " << line << " is cut";
        }
    }
}

} // namespace
} // namespace lumo::test

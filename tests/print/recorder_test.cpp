// The printer and the page recorder: what a job leaves behind, and recorded
// pages that look like the printed ones.
#include "print/page_recorder.h"
#include "print/print_status_dialog.h"
#include "print/printer_device.h"

#include "tests/print/print_fixture.h"
#include "tests/support/pdf_tools.h"

#include <QDir>
#include <QPainter>

#include <cstdlib>

#include <gtest/gtest.h>

namespace lumo::test {
namespace {

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const EPrintError& e) {
        return e.what();
    }
    return {};
}

// The mean difference of two pictures' grey levels over blocks of 4 x 4
// pixels (0 to 255), so the smoothing of letter edges does not count.
double BlockDifference(const QImage& a, const QImage& b) {
    const int w = std::min(a.width(), b.width()) / 4, h = std::min(a.height(), b.height()) / 4;
    const auto block = [](const QImage& image, int bx, int by) {
        int sum = 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                sum += qGray(image.pixel(bx * 4 + x, by * 4 + y));
        return sum / 16.0;
    };
    double total = 0;
    for (int by = 0; by < h; ++by)
        for (int bx = 0; bx < w; ++bx)
            total += std::abs(block(a, bx, by) - block(b, bx, by));
    return total / (w * h);
}

int DarkPixels(const QImage& image) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    return dark;
}

TEST_F(PrintTest, ThePrinterKeepsToItsOrder) {
    TPrinterDevice device(Pdf("order.pdf"));
    EXPECT_EQ(ErrorOf([&] { device.NewPage(); }), "Printer is not currently printing");
    device.BeginDoc("Привет, a title longer than thirty-one bytes");
    EXPECT_EQ(ErrorOf([&] { device.BeginDoc("again"); }), "Printing in progress");
    // Nothing is written before the first page is drawn on.
    EXPECT_FALSE(folder.Exists("order.pdf"));
    device.PageCanvas();
    device.NewPage();
    EXPECT_EQ(device.PageNumber(), 2);
    device.EndDoc();
    const auto info = ReadPdfInfo(folder / "order.pdf");
    if (!info) GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    EXPECT_EQ(info->Pages, 2);
    EXPECT_EQ(info->Title, "Привет, a title longer than thirty-one bytes");
}

TEST_F(PrintTest, TheFileIsNamedByThePagesOwnTitle) {
    if (!HasPdfTools()) GTEST_SKIP() << "pdfinfo (poppler-utils) is not installed";
    // "Привет" in the page's code page, which Windows-1252 cannot hold.
    Open("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=windows-1251\">"
         "<TITLE>\xCF\xF0\xE8\xE2\xE5\xF2</TITLE>Text");
    TPrinterDevice device(Pdf("title.pdf"));
    viewer.PrintPages(device, TPageSelection());
    EXPECT_EQ(ReadPdfInfo(folder / "title.pdf")->Title, "Привет");
}

// The file is written beside its name and takes it only when it is whole.
TEST_F(PrintTest, AJobThatDoesNotEndLeavesTheOlderFileAsItWas) {
    const std::function<void(TPrinterDevice&)> ends[] = {
        [](TPrinterDevice& device) { device.Abort(); }, // before any page
        [](TPrinterDevice& device) {
            device.PageCanvas().TextOut(10, 10, "half a job");
            device.Abort();
            EXPECT_TRUE(device.Aborted());
        },
        [](TPrinterDevice& device) { device.PageCanvas(); }, // still running when the printer goes
    };
    for (const auto& end : ends) {
        folder.Write("kept.pdf", "an older file");
        {
            TPrinterDevice device(Pdf("kept.pdf"));
            device.BeginDoc("t");
            end(device);
        }
        EXPECT_EQ(folder.Read("kept.pdf"), "an older file");
        EXPECT_EQ(QDir(QString::fromStdString(folder.Path())).entryList(QDir::Files).size(), 1);
    }
    TPrinterDevice device(Pdf("kept.pdf"));
    device.BeginDoc("t");
    device.PageCanvas().TextOut(10, 10, "a whole job");
    EXPECT_EQ(folder.Read("kept.pdf"), "an older file");
    device.EndDoc();
    EXPECT_EQ(folder.Read("kept.pdf").substr(0, 5), "%PDF-");
}

TEST_F(PrintTest, AFileThatCannotBeWrittenIsAnError) {
    Open(LongPage(3));
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(folder / "missing/folder/out.pdf"));
    TPrinterDevice device(printer);
    EXPECT_EQ(ErrorOf([&] { viewer.PrintPages(device, TPageSelection()); }),
              "Cannot write the file " + (folder / "missing/folder/out.pdf") +
                  ": No such file or directory");
    EXPECT_FALSE(viewer.Printing());
}

TEST_F(PrintTest, TheRecorderDropsALastPageNothingWasDrawnOn) {
    TPageRecorder recorder(printer);
    recorder.BeginDoc("t");
    recorder.PageCanvas();
    recorder.NewPage();
    recorder.EndDoc();
    EXPECT_EQ(recorder.PageCount(), 1);
    recorder.BeginDoc("t");
    recorder.PageCanvas();
    recorder.NewPage();
    recorder.PageCanvas();
    recorder.EndDoc();
    EXPECT_EQ(recorder.PageCount(), 2);
}

TEST_F(PrintTest, RecordedPagesLookLikeThePrintedOnes) {
    if (!HasPdfTools()) GTEST_SKIP() << "poppler-utils (pdftoppm) is not installed";
    Open(LongPage(40));
    TPageRecorder recorder(Pdf("same.pdf"));
    const int pages = viewer.PreviewPages(recorder);
    ASSERT_GE(pages, 2);
    TPrinterDevice device(printer);
    viewer.PrintPages(device, TPageSelection());
    EXPECT_EQ(ReadPdfInfo(folder / "same.pdf")->Pages, pages);
    const TPageMetrics m = recorder.Metrics();
    for (int page : {1, pages}) {
        const QImage printed = RenderPdfPage(folder / "same.pdf", page, 96);
        ASSERT_FALSE(printed.isNull());
        QImage recorded(printed.size(), QImage::Format_RGB32);
        recorded.fill(Qt::white);
        {
            QPainter painter(&recorded);
            painter.setRenderHint(QPainter::Antialiasing);
            recorder.DrawPage(
                painter, page - 1,
                QRectF(0, 0, m.PhysicalWidth * 96.0 / m.LogX, m.PhysicalHeight * 96.0 / m.LogY));
        }
        EXPECT_GT(DarkPixels(recorded), 1000) << "page " << page;
        // Letters smoothed another way differ by about 2.5; the same page
        // two pixels to the side by about 5.
        const double difference = BlockDifference(recorded, printed);
        EXPECT_LT(difference, 4.0) << "page " << page;
        if (difference >= 4.0 && std::getenv("LUMO_BUILD_DIR")) {
            const QString name =
                QString("%1/preview-page-%2-").arg(std::getenv("LUMO_BUILD_DIR")).arg(page);
            recorded.save(name + "FAILED.png");
            printed.save(name + "printed.png");
        }
    }
}

TEST_F(PrintTest, BackgroundsPrintOnlyWhenAsked) {
    Open("<DIV STYLE=\"background-color: #0000FF; height: 100px\">Blue</DIV>");
    for (const THTMLViewerOptions options : {0u, unsigned{htPrintTableBackground}}) {
        viewer.SetHtOptions(options);
        TPageRecorder recorder(printer);
        ASSERT_EQ(viewer.PreviewPages(recorder), 1);
        const TPageMetrics m = recorder.Metrics();
        QImage page(m.PhysicalWidth * 96 / m.LogX, m.PhysicalHeight * 96 / m.LogY,
                    QImage::Format_RGB32);
        page.fill(Qt::white);
        {
            QPainter painter(&page);
            recorder.DrawPage(painter, 0, page.rect());
        }
        int blue = 0;
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x)
                blue += page.pixel(x, y) == qRgb(0, 0, 255);
        // The block is the page body's width and 100 pixels high.
        EXPECT_EQ(blue > 50000, options != 0) << blue;
    }
}

TEST_F(PrintTest, CancellingAfterPageTwoEndsThePrintJobThere) {
    if (!HasPdfTools()) GTEST_SKIP() << "poppler-utils (pdfinfo) is not installed";
    Open(LongPage(60));
    TPrintStatusDialog status;
    std::vector<int> shown;
    status.OnProgress = [&](int page) {
        shown.push_back(page);
        if (page == 2) status.CancelClick();
    };
    TPrinterDevice device(Pdf("cancelled.pdf"));
    EXPECT_TRUE(status.DoPrint(viewer, device, TPageSelection()));
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 1, 2}));
    // The pages printed before the cancel make the job, as on paper.
    EXPECT_EQ(ReadPdfInfo(folder / "cancelled.pdf")->Pages, 2);

    // Cancelled before the first page asked for: nothing is written.
    status.OnProgress = [&](int page) {
        if (page == 2) status.CancelClick();
    };
    TPrinterDevice later(Pdf("later.pdf"));
    EXPECT_TRUE(status.DoPrint(viewer, later, TPageSelection(4, 5)));
    EXPECT_FALSE(folder.Exists("later.pdf"));

    // A cancelled preview shows nothing.
    TPageRecorder recorder(printer);
    EXPECT_TRUE(status.DoPreview(viewer, recorder));
    EXPECT_EQ(recorder.PageCount(), 2);
}

TEST_F(PrintTest, TheViewerIsHeldWhileAJobRuns) {
    Open(LongPage(60));
    folder.Write("other.htm", "<TITLE>Other</TITLE>Other page");
    std::vector<std::string> titles;
    viewer.OnPageEvent = [&](THTMLViewer* v, int page, bool&) {
        if (page != 1) return;
        v->OpenFile(folder / "other.htm"); // refused: the job prints the page it began with
        titles.push_back(v->PageTitle().toStdString());
    };
    TPageRecorder recorder(printer);
    viewer.PreviewPages(recorder);
    EXPECT_EQ(titles, (std::vector<std::string>{"Long", "Long"}));
    EXPECT_FALSE(viewer.Printing());
    viewer.OpenFile(folder / "other.htm");
    EXPECT_EQ(viewer.PageTitle(), "Other");
}

} // namespace
} // namespace lumo::test

// The print preview: where its panels go at each zoom, and the window's
// pages, tools and printing.
#include "print/page_recorder.h"
#include "print/print_preview.h"

#include "tests/print/print_fixture.h"
#include "tests/support/pdf_tools.h"

#include <QComboBox>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace lumo::test {
namespace {

// An A4 sheet at 1200 dpi.
const TPageMetrics A4{1200, 1200, 9917, 14033, 167, 167, 9583, 13699};

TPreviewLayout LayOut(TZoomEntry entry, int width, int height, bool two = false,
                      double custom = 1.0) {
    TPreviewLayoutInput in;
    in.ClientWidth = width;
    in.ClientHeight = height;
    in.Page = A4;
    in.Entry = entry;
    in.CustomFactor = custom;
    in.TwoPages = two;
    return LayOutPreview(in);
}

TEST(PreviewLayout, ZoomEntriesGiveTheirFactors) {
    // Fitting the page: 980 - 20 pixels for 11.69 inches at 96 to the inch.
    const TPreviewLayout page = LayOut(TZoomEntry::FitToPage, 1200, 980);
    EXPECT_NEAR(page.Factor, 960.0 / 96 / (14033.0 / 1200), 1e-9);
    EXPECT_EQ(page.PanelHeight, 960);
    EXPECT_EQ(page.PanelWidth, 678);
    EXPECT_EQ(page.Top, 10);

    // A smaller page is centred both ways in a container the size of the view.
    const TPreviewLayout half = LayOut(TZoomEntry::Zoom50, 1200, 980);
    EXPECT_EQ(half.PanelHeight, 561);
    EXPECT_EQ(half.PanelWidth, 397);
    EXPECT_EQ(half.ContainerWidth, 1199);
    EXPECT_EQ(half.ContainerHeight, 979);
    EXPECT_EQ(half.Top, (979 - 561) / 2);
    EXPECT_EQ(half.FirstLeft, 1199 / 2 - 397 / 2);

    const TPreviewLayout width = LayOut(TZoomEntry::FitToWidth, 800, 600);
    EXPECT_EQ(width.PanelWidth, 780);
    EXPECT_EQ(width.ContainerHeight, width.PanelHeight + 20);
    EXPECT_EQ(width.Top, 10);

    EXPECT_EQ(LayOut(TZoomEntry::Zoom200, 800, 600).Factor, 2.0);
    EXPECT_EQ(LayOut(TZoomEntry::Custom, 800, 600, false, 1.75).Factor, 1.75);
}

TEST(PreviewLayout, TwoPagesOnlyWhenFittingThePage) {
    const TPreviewLayout two = LayOut(TZoomEntry::FitToPage, 1600, 980, true);
    EXPECT_TRUE(two.TwoPages);
    EXPECT_EQ(two.SecondLeft, two.FirstLeft + two.PanelWidth + 20);
    EXPECT_EQ(two.FirstLeft, 1599 / 2 - (2 * (two.PanelWidth + 20) - 20) / 2);
    EXPECT_FALSE(LayOut(TZoomEntry::Zoom100, 1600, 980, true).TwoPages);
}

TEST(PreviewLayout, ZoomStaysBetweenTenAndAThousandPercent) {
    // A view too small to fit anything, and zooms out of bounds.
    EXPECT_EQ(LayOut(TZoomEntry::FitToPage, 10, 10).Factor, MinZoom);
    EXPECT_EQ(LayOut(TZoomEntry::FitToWidth, -50, 0).Factor, MinZoom);
    EXPECT_EQ(LayOut(TZoomEntry::Custom, 800, 600, false, 1e9).Factor, MaxZoom);
    EXPECT_EQ(LayOut(TZoomEntry::Custom, 800, 600, false, 0).Factor, MinZoom);
    EXPECT_GT(LayOut(TZoomEntry::FitToPage, 10, 10).PanelWidth, 0);
    // A sheet without size is taken as an inch.
    TPreviewLayoutInput empty;
    empty.ClientWidth = 500;
    empty.ClientHeight = 500;
    EXPECT_EQ(LayOutPreview(empty).PanelHeight, std::lround(96 * (480.0 / 96)));
}

class PreviewTest : public PrintTest {
protected:
    // A preview of a document of about three pages.
    std::unique_ptr<TPrintPreview> Preview() {
        Open(LongPage(50));
        auto form = std::make_unique<TPrintPreview>(nullptr, viewer, Pdf("preview.pdf"));
        form->resize(1000, 800);
        EXPECT_TRUE(form->Render());
        form->show();
        QCoreApplication::processEvents();
        return form;
    }
};

int DarkPixels(QWidget* panel) {
    const QImage image = panel->grab().toImage();
    int dark = 0;
    for (int y = 2; y < image.height() - 2; ++y)
        for (int x = 2; x < image.width() - 2; ++x)
            dark += qGray(image.pixel(x, y)) < 100;
    return dark;
}

TEST_F(PreviewTest, PagesAndTheirButtons) {
    auto form = Preview();
    const int count = form->Recorder().PageCount();
    ASSERT_GE(count, 3);
    EXPECT_EQ(form->PageLabel->text(), QString("Page 1 of %1").arg(count));
    EXPECT_FALSE(form->PrevPageButton->isEnabled());
    EXPECT_FALSE(form->FirstPageButton->isEnabled());
    EXPECT_TRUE(form->NextPageButton->isEnabled());
    EXPECT_TRUE(form->GoPageButton->isEnabled());
    form->NextPageClick();
    EXPECT_EQ(form->PageLabel->text(), QString("Page 2 of %1").arg(count));
    form->ChoosePage = [](int current, int pages) {
        EXPECT_EQ(current, 2);
        return std::optional<int>(pages);
    };
    form->GoPageClick();
    EXPECT_EQ(form->CurrentPage(), count - 1);
    EXPECT_FALSE(form->NextPageButton->isEnabled());
    EXPECT_FALSE(form->LastPageButton->isEnabled());
    EXPECT_TRUE(form->PrevPageButton->isEnabled());
    form->FirstPageClick();
    EXPECT_EQ(form->CurrentPage(), 0);
}

TEST_F(PreviewTest, TwoPagesOnTheLastPageShowAnEmptySecondPanel) {
    auto form = Preview();
    form->TwoPageClick();
    QCoreApplication::processEvents();
    EXPECT_TRUE(form->SecondPanel->isVisible());
    EXPECT_GT(DarkPixels(form->SecondPanel), 100); // page 2 beside page 1
    form->LastPageClick();
    QCoreApplication::processEvents();
    EXPECT_GT(DarkPixels(form->FirstPanel), 100);
    EXPECT_EQ(DarkPixels(form->SecondPanel), 0);
    // Any zoom but the whole page shows one page.
    form->ZoomBoxChange(static_cast<int>(TZoomEntry::Zoom100));
    EXPECT_FALSE(form->SecondPanel->isVisible());
    EXPECT_EQ(form->ZoomLabel->text(), "100%");
}

TEST_F(PreviewTest, TheZoomToolZoomsAboutThePointClicked) {
    auto form = Preview();
    form->ZoomBoxChange(static_cast<int>(TZoomEntry::Zoom100));
    const QPoint point(form->Layout().PanelWidth / 4, form->Layout().PanelHeight / 2);
    form->PanelMousePress(0, point, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(form->Layout().Factor, 1.5);
    EXPECT_EQ(form->ZoomBox->currentIndex(), static_cast<int>(TZoomEntry::Custom));
    EXPECT_EQ(form->ZoomLabel->text(), "150%");
    // The point clicked is in the middle of the view.
    const QScrollBar* v = form->ScrollBox->verticalScrollBar();
    const int middle = v->value() + form->ScrollBox->viewport()->height() / 2;
    EXPECT_NEAR(middle, form->Layout().Top + form->Layout().PanelHeight / 2, 2);
    // Clicks on the second panel do nothing; the right button zooms out.
    form->PanelMousePress(1, point, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(form->Layout().Factor, 1.5);
    form->PanelMousePress(0, point, Qt::RightButton);
    EXPECT_DOUBLE_EQ(form->Layout().Factor, 1.0);
    // Zooming out for ever stops at ten percent, and a click on the tiny
    // page still works.
    for (int i = 0; i < 20; ++i)
        form->PanelMousePress(0, {1, 1}, Qt::RightButton);
    EXPECT_DOUBLE_EQ(form->Layout().Factor, MinZoom);
    for (int i = 0; i < 20; ++i)
        form->PanelMousePress(0, {0, 0}, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(form->Layout().Factor, MaxZoom);
}

TEST_F(PreviewTest, TheHandToolDragsThePage) {
    auto form = Preview();
    form->ZoomBoxChange(static_cast<int>(TZoomEntry::Zoom200));
    form->SelectTool(TPrintPreview::TTool::Hand);
    QScrollBar* v = form->ScrollBox->verticalScrollBar();
    v->setValue(300);
    form->PanelMousePress(0, {100, 100}, Qt::LeftButton);
    const QPoint start = form->FirstPanel->mapToGlobal(QPoint(100, 100));
    form->PanelMouseMove(start + QPoint(0, -50));
    EXPECT_EQ(v->value(), 350);
    form->PanelMouseRelease();
    form->PanelMouseMove(start + QPoint(0, -200));
    EXPECT_EQ(v->value(), 350);
}

TEST_F(PreviewTest, PrintingFromThePreviewPrintsTheRangeAsked) {
    if (!HasPdfTools()) GTEST_SKIP() << "poppler-utils (pdftotext) is not installed";
    auto form = Preview();
    form->ChoosePrintPages = [&](QPrinter& p, int count) {
        EXPECT_EQ(&p, &printer);
        EXPECT_EQ(count, form->Recorder().PageCount());
        return std::optional<TPageSelection>(TPageSelection(2, 3));
    };
    form->PrintClick();
    const std::vector<std::string> pages = PdfPageTexts(folder / "preview.pdf");
    ASSERT_EQ(pages.size(), 2u);
    // The footer's right part is the page number.
    EXPECT_NE(pages[0].find("today"), std::string::npos);
    EXPECT_NE(pages[0].rfind("2"), std::string::npos);
    EXPECT_TRUE(viewer.Printing()); // the preview still holds it
    form.reset();
    EXPECT_FALSE(viewer.Printing());
}

} // namespace
} // namespace lumo::test

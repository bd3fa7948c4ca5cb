// Printing from the main window: pages with their headers and footers in a
// PDF file, read back with the poppler tools, and lumo --print-pdf.
#include "app/main_window.h"
#include "frames/frame.h"
#include "frames/frame_browser.h"
#include "frames/page_frame_set.h"
#include "print/margin_text.h"
#include "print/print_settings_dialog.h"
#include "print/printer_device.h"
#include "viewer/html_viewer.h"

#include "tests/app/run_lumo.h"
#include "tests/print/print_fixture.h"
#include "tests/support/local_servers.h"
#include "tests/support/pdf_tools.h"
#include "tests/support/pump.h"
#include "tests/support/recording_boxes.h"
#include "tests/support/temp_folder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <unistd.h>

namespace lumo {
namespace {

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// The last line of a page's text that holds anything.
std::string LastLine(const std::string& page) {
    std::string last;
    size_t from = 0;
    while (from < page.size()) {
        const size_t end = std::min(page.find('\n', from), page.size());
        const std::string line = page.substr(from, end - from);
        if (line.find_first_not_of(' ') != std::string::npos) last = line;
        from = end + 1;
    }
    return last;
}

class PrintCommandTest : public testing::Test {
protected:
    PrintCommandTest() {
        form.resize(640, 480);
        form.show();
        QCoreApplication::processEvents();
    }
    ~PrintCommandTest() override { form.close(); }

    void Open(std::string_view html) {
        home.Write("page.htm", html);
        form.NavigateTo("file://" + (home / "page.htm"));
    }
    // Prints into the folder; the pages' texts, or none when the tools are missing.
    std::vector<std::string> Print(const TPageSelection& pages = {}) {
        EXPECT_EQ(form.PrintToPdf(home / "out.pdf", pages), "");
        return test::PdfPageTexts(home / "out.pdf");
    }

    test::TempFolder home;
    test::ScopedHome scopedHome{home.Path()};
    test::RecordingBoxes boxes;
    TMainWindow form;
};

TEST_F(PrintCommandTest, PagesCarryTheirHeaderAndFooter) {
    if (!test::HasPdfTools()) GTEST_SKIP() << "poppler-utils is not installed";
    Open(test::LongPage(40));
    const std::vector<std::string> pages = Print();
    ASSERT_GE(pages.size(), 2u);
    const auto info = test::ReadPdfInfo(home / "out.pdf");
    EXPECT_EQ(info->Pages, static_cast<int>(pages.size()));
    EXPECT_NEAR(info->Width, 595.3, 1); // A4, the default paper
    EXPECT_NEAR(info->Height, 841.9, 1);
    EXPECT_EQ(info->Title, "Long");

    // The title at the left of the header, the address at its right.
    const std::string address = "file://" + (home / "page.htm");
    std::map<std::string, test::PdfWord> first;
    for (const test::PdfWord& w : test::PdfWords(home / "out.pdf"))
        if (w.Page == 1 && !first.count(w.Text)) first[w.Text] = w;
    ASSERT_TRUE(first.count("Long") && first.count(address));
    EXPECT_LT(first["Long"].XMin, 60);
    EXPECT_LT(first["Long"].YMax, 57); // inside the top margin of 2 cm
    EXPECT_GT(first[address].XMax, 595 - 60);
    EXPECT_NEAR(first[address].YMin, first["Long"].YMin, 0.5);
    // An 8-point header: its words are about 8 points high, as the body's
    // 12-point words are about 12.
    EXPECT_NEAR(first["Long"].YMax - first["Long"].YMin, 8 * 1.15, 1.0);
    EXPECT_NEAR(first["Paragraph"].YMax - first["Paragraph"].YMin, 12 * 1.15, 1.5);

    // Today's date at the left of the footer, the page number at its right.
    const std::string today = FormatDate("dd-mmm-yyyy", Now());
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::string footer = LastLine(pages[i]);
        EXPECT_EQ(footer.substr(0, footer.find(' ')), today) << footer;
        EXPECT_EQ(footer.substr(footer.rfind(' ') + 1), std::to_string(i + 1)) << footer;
    }
}

TEST_F(PrintCommandTest, EveryLinePrintsOnceAcrossPageEnds) {
    if (!test::HasPdfTools()) GTEST_SKIP() << "poppler-utils is not installed";
    Open(test::LongPage(60));
    const std::vector<std::string> pages = Print();
    ASSERT_GE(pages.size(), 3u);
    std::string all;
    for (const std::string& page : pages)
        all += page;
    for (int i = 0; i < 60; ++i)
        EXPECT_EQ(Count(all, "Paragraph " + std::to_string(i) + " holds"), 1) << i;
    EXPECT_EQ(Count(all, "document."), 60); // the second line of each
}

TEST_F(PrintCommandTest, ARangePrintsItsPagesWithTheirNumbers) {
    if (!test::HasPdfTools()) GTEST_SKIP() << "poppler-utils is not installed";
    Open(test::LongPage(80));
    form.PrintSettings.FooterCenter = "Page [page] of [page]";
    const std::vector<std::string> pages = Print(TPageSelection(3, 4));
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(LastLine(pages[0]).find("Page 3 of [page]"), std::string::npos);
    EXPECT_EQ(LastLine(pages[0]).back(), '3');
    EXPECT_EQ(LastLine(pages[1]).back(), '4');
    EXPECT_EQ(pages[0].find("Paragraph 0 "), std::string::npos);
}

TEST_F(PrintCommandTest, BlocksOfAPageBodyEachMakeOnePage) {
    if (!test::HasPdfTools()) GTEST_SKIP() << "poppler-utils is not installed";
    QPrinter printer(QPrinter::HighResolution);
    const int body =
        ComputePageGeometry(PrinterMetrics(printer), form.PrintSettings.Margins).Height;
    std::string html = "<BODY MARGINHEIGHT=0>";
    for (int i = 0; i < 4; ++i)
        html += "<DIV STYLE=\"height: " + std::to_string(body) + "px\">Block " + std::to_string(i) +
                "</DIV>";
    Open(html);
    const std::vector<std::string> pages = Print();
    ASSERT_EQ(pages.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_NE(pages[i].find("Block " + std::to_string(i)), std::string::npos) << i;
}

TEST_F(PrintCommandTest, MarginsOfNothingAndMarginsTooWide) {
    Open(test::LongPage(5));
    form.PrintSettings.Margins = {0, 0, 0, 0};
    EXPECT_EQ(form.PrintToPdf(home / "zero.pdf", {}), "");
    EXPECT_TRUE(home.Exists("zero.pdf"));
    form.PrintSettings.Margins = {2, 2, 15, 15};
    EXPECT_EQ(form.PrintToPdf(home / "wide.pdf", {}),
              "The print margins leave less than an inch of the page for the text");
    EXPECT_FALSE(home.Exists("wide.pdf"));
}

TEST_F(PrintCommandTest, NothingToPrintIsSaid) {
    EXPECT_EQ(form.PrintToPdf(home / "none.pdf", {}), "there is no page to print");
    Open(test::LongPage(2));
    EXPECT_EQ(form.PrintToPdf(home / "past.pdf", TPageSelection(3, 4)),
              "none of the pages asked for is among the page's 1 page");
    EXPECT_FALSE(home.Exists("none.pdf"));
    EXPECT_FALSE(home.Exists("past.pdf"));
}

TEST_F(PrintCommandTest, TheFileMenuPrintsThroughTheDialogAndTheStatusWindow) {
    Open(test::LongPage(30));
    auto* file = form.findChild<QMenu*>("File1");
    emit file->aboutToShow();
    EXPECT_TRUE(form.Print1->isEnabled());
    EXPECT_TRUE(form.PrintPreview->isEnabled());
    form.Printer().setOutputFormat(QPrinter::PdfFormat);
    form.Printer().setOutputFileName(QString::fromStdString(home / "menu.pdf"));
    form.ChoosePrintPages = [](QPrinter&, int) {
        return std::optional<TPageSelection>(TPageSelection(2, 2));
    };
    form.Print1->trigger();
    EXPECT_TRUE(home.Exists("menu.pdf"));
    if (const auto info = test::ReadPdfInfo(home / "menu.pdf")) {
        EXPECT_EQ(info->Pages, 1);
    }
    // Cancelled in the dialog: nothing is printed.
    form.ChoosePrintPages = [](QPrinter&, int) { return std::optional<TPageSelection>(); };
    form.Printer().setOutputFileName(QString::fromStdString(home / "none.pdf"));
    form.Print1->trigger();
    EXPECT_FALSE(home.Exists("none.pdf"));
}

TEST_F(PrintCommandTest, ABadMarginInTheSettingsKeepsWhatCameBefore) {
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QLineEdit*>("HeaderCenterEdit")->setText("[page]");
        dialog->findChild<QLineEdit*>("MarginLeftEdit")->setText("1");
        dialog->findChild<QLineEdit*>("MarginTopEdit")->setText("abc");
        dialog->findChild<QPushButton*>("OKButton")->click();
    });
    try {
        form.Printsetttings1Click();
        ADD_FAILURE() << "abc was taken";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
    EXPECT_EQ(form.PrintSettings.HeaderCenter, "[page]");
    EXPECT_EQ(form.PrintSettings.Margins.Left, 1.0);
    EXPECT_EQ(form.PrintSettings.Margins.Top, 2.0);
    EXPECT_EQ(form.PrintSettings.Margins.Bottom, 3.0);
}

TEST_F(PrintCommandTest, LoadsAndRefreshesWaitWhileThePreviewHoldsThePage) {
    Open("<TITLE>First</TITLE><META HTTP-EQUIV=\"Refresh\" CONTENT=\"1; URL=second.htm\">First");
    home.Write("second.htm", "<TITLE>Second</TITLE>Second page");
    home.Write("third.htm", "<TITLE>Third</TITLE>Third page");
    std::vector<std::string> titles;
    // Once the preview is up (after its status window), the window's loads
    // are refused, and the refresh, due after a second, waits.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* preview = QApplication::activeModalWidget();
        if (!preview || preview->objectName() != "PreviewForm") return;
        poll.stop();
        form.NavigateTo("file://" + (home / "third.htm"));
        titles.push_back(form.ActiveViewer()->PageTitle().toStdString());
        test::PumpFor(1500);
        titles.push_back(form.ActiveViewer()->PageTitle().toStdString());
        preview->close();
    });
    poll.start(10);
    form.PrintPreviewClick();
    EXPECT_EQ(titles, (std::vector<std::string>{"First", "First"}));
    EXPECT_TRUE(test::PumpUntil([&] { return form.ActiveViewer()->PageTitle() == "Second"; }));
    form.NavigateTo("file://" + (home / "third.htm"));
    EXPECT_EQ(form.ActiveViewer()->PageTitle(), "Third");
}

TEST_F(PrintCommandTest, TheFrameThatLastHadTheFocusIsPrinted) {
    if (!test::HasPdfTools()) GTEST_SKIP() << "poppler-utils is not installed";
    home.Write("left.htm", "<TITLE>Left</TITLE>Leftside words");
    home.Write("right.htm", "<TITLE>Right</TITLE>Rightside words");
    Open("<TITLE>Frames</TITLE><FRAMESET COLS=\"50%,*\"><FRAME NAME=a SRC=left.htm>"
         "<FRAME NAME=b SRC=right.htm></FRAMESET>");
    // No frame has had the focus yet: there is nothing to print.
    EXPECT_EQ(form.PrintToPdf(home / "none.pdf", {}), "none of the page's frames is active");
    EXPECT_FALSE(home.Exists("none.pdf"));
    QApplication::setActiveWindow(&form);
    form.FrameBrowser->ShownFrameSet()->FrameNamed("b")->Viewer->setFocus();
    QCoreApplication::processEvents();
    const std::vector<std::string> pages = Print();
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("Rightside"), std::string::npos);
    EXPECT_EQ(pages[0].find("Leftside"), std::string::npos);
    EXPECT_EQ(pages[0].substr(0, pages[0].find(' ')), "Right"); // its own title
}

// --- The program ------------------------------------------------------------

// The program goes offscreen by itself to print.
test::LumoRun PrintPdf(const std::string& home, const QStringList& args,
                       const QStringList& wrapper = {}) {
    return test::RunLumo(home, QStringList{"--print-pdf"} + args,
                         {{"QT_QPA_PLATFORM", ""}, {"DISPLAY", ""}}, wrapper);
}

TEST(PrintPdfProgram, PrintsALocalPage) {
    test::TempFolder home;
    home.Write("page.htm", test::LongPage(50));
    const std::string out = home / "page.pdf";
    const test::LumoRun run = PrintPdf(home.Path(), {QString::fromStdString(out), "--pages", "2-3",
                                                     QString::fromStdString(home / "page.htm")});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto info = test::ReadPdfInfo(out);
    if (!info) GTEST_SKIP() << "poppler-utils is not installed";
    EXPECT_EQ(info->Pages, 2);
    const std::vector<std::string> pages = test::PdfPageTexts(out);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(pages[0].substr(0, pages[0].find(' ')), "Long");
    EXPECT_EQ(LastLine(pages[1]).back(), '3');
}

TEST(PrintPdfProgram, PrintsAPageFromAServer) {
    test::TempFolder site;
    site.Write("page.htm", test::LongPage(50));
    const std::unique_ptr<test::LocalServer> nginx = test::LocalServer::StartNginx(site.Path());
    if (!nginx) GTEST_SKIP() << "nginx is not installed";
    test::TempFolder home;
    const std::string out = home / "page.pdf";
    const std::string address = nginx->Address("/page.htm");
    const test::LumoRun run =
        PrintPdf(home.Path(), {QString::fromStdString(out), QString::fromStdString(address)});
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    const auto info = test::ReadPdfInfo(out);
    if (!info) GTEST_SKIP() << "poppler-utils is not installed";
    EXPECT_GE(info->Pages, 2);
    const std::vector<test::PdfWord> words = test::PdfWords(out);
    const auto header = std::find_if(words.begin(), words.end(),
                                     [&](const test::PdfWord& w) { return w.Text == address; });
    ASSERT_NE(header, words.end());
    EXPECT_EQ(header->Page, 1);
    EXPECT_GT(header->XMax, 595 - 60);
}

TEST(PrintPdfProgram, FailuresAreReportedAndWriteNoFile) {
    test::TempFolder home;
    home.Write("short.htm", "<TITLE>Short</TITLE>One line");
    home.Write("empty.htm", "<TITLE>Empty</TITLE><BODY> <P> </BODY>");
    const struct {
        QStringList args;
        const char* message;
    } rows[] = {
        {{"missing.htm"}, "Cannot open file"},
        {{"empty.htm"}, "the page has nothing to print"},
        {{"--pages", "3-4", "short.htm"}, "none of the pages asked for is among the page's 1 page"},
        {{"--pages", "4-3", "short.htm"}, "--pages needs FIRST-LAST"},
    };
    for (const auto& row : rows) {
        QStringList args{QString::fromStdString(home / "out.pdf")};
        for (const QString& a : row.args)
            args << (a.startsWith("-") || a[0].isDigit()
                         ? a
                         : QString::fromStdString(home / a.toStdString()));
        const test::LumoRun run = PrintPdf(home.Path(), args);
        EXPECT_NE(run.exitCode, 0) << row.message;
        EXPECT_NE(run.errors.find(row.message), std::string::npos) << run.errors;
        EXPECT_FALSE(home.Exists("out.pdf")) << row.message;
    }
    const test::LumoRun unwritable =
        PrintPdf(home.Path(), {QString::fromStdString(home / "no/such/folder/out.pdf"),
                               QString::fromStdString(home / "short.htm")});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.errors.find("Cannot write the file"), std::string::npos)
        << unwritable.errors;
}

// A file that cannot be written whole is an error, and a file already at
// its name stays as it was.
TEST(PrintPdfProgram, AFileNotWrittenWholeKeepsTheOlderOne) {
    test::TempFolder home, target;
    home.Write("long.htm", test::LongPage(400));
    // Root writes into any folder unless it gives up that power.
    const bool root = ::geteuid() == 0;
    if (root && QStandardPaths::findExecutable("setpriv").isEmpty())
        GTEST_SKIP() << "setpriv (util-linux) is not installed";
    const struct {
        const char* name;
        QStringList wrapper;
        const char* reason;
    } rows[] = {
        // ulimit counts blocks of 1024 bytes; the PDF takes more than 20.
        {"size limit", {"sh", "-c", "ulimit -f 20 && exec \"$0\" \"$@\""}, "File too large"},
        {"read-only folder",
         root ? QStringList{"setpriv", "--bounding-set=-dac_override,-dac_read_search"}
              : QStringList{},
         "Permission denied"},
    };
    const std::string out = target / "out.pdf";
    for (const auto& row : rows) {
        target.Write("out.pdf", "an older file");
        const bool readOnly = std::string_view(row.name) == "read-only folder";
        if (readOnly) std::filesystem::permissions(target.Path(), std::filesystem::perms(0555));
        const test::LumoRun run =
            PrintPdf(home.Path(), {test::Q(out), test::Q(home / "long.htm")}, row.wrapper);
        std::filesystem::permissions(target.Path(), std::filesystem::perms(0755));
        EXPECT_EQ(run.exitCode, 1) << row.name;
        EXPECT_NE(run.errors.find("lumo: Cannot write the file " + out + ": " + row.reason),
                  std::string::npos)
            << row.name << ": " << run.errors;
        EXPECT_EQ(target.Read("out.pdf"), "an older file") << row.name;
        EXPECT_EQ(QDir(test::Q(target.Path())).entryList(QDir::Files).size(), 1) << row.name;
    }
    // Without a limit the same page prints, over the older file.
    const test::LumoRun run = PrintPdf(home.Path(), {test::Q(out), test::Q(home / "long.htm")});
    EXPECT_EQ(run.exitCode, 0) << run.errors;
    EXPECT_GT(target.Read("out.pdf").size(), 20u * 1024);
}

} // namespace
} // namespace lumo

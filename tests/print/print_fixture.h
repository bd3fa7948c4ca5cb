// A shown viewer with a page from a temporary folder, printed with the
// default header and footer settings, and a printer that writes PDF files
// into the folder.
#pragma once

#include "print/print_settings.h"
#include "viewer/html_viewer.h"

#include "tests/support/temp_folder.h"

#include <QCoreApplication>
#include <QPrinter>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace lumo::test {

class PrintTest : public testing::Test {
protected:
    PrintTest() {
        viewer.resize(600, 400);
        viewer.SetDefBackground(0xFFFFFF);
        viewer.show();
        const auto band = [this](TPageBand which) {
            return [this, which](THTMLViewer* v, Canvas& canvas, int page, int W, int, bool&) {
                const TMacroValues values{v->PageTitle().toStdString(), v->DocumentFile(), "today",
                                          page};
                DrawPageBand(canvas, which, settings, values, W);
            };
        };
        viewer.OnPrintHeader = band(TPageBand::Header);
        viewer.OnPrintFooter = band(TPageBand::Footer);
        QCoreApplication::processEvents();
    }

    void Open(std::string_view html) {
        folder.Write("page.htm", html);
        viewer.OpenFile(folder / "page.htm");
    }
    // The printer, writing into the folder's file name.
    QPrinter& Pdf(std::string_view name) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(folder / name));
        return printer;
    }

    TempFolder folder;
    THTMLViewer viewer;
    TPrintSettings settings;
    QPrinter printer{QPrinter::HighResolution};
};

// n paragraphs of two lines each at 600 pixels.
inline std::string LongPage(int n) {
    std::string html = "<TITLE>Long</TITLE>";
    for (int i = 0; i < n; ++i)
        html += "<P>Paragraph " + std::to_string(i) +
                " holds words enough to fill more than one line of the printed page, so that "
                "lines break the same way in every copy of the document.</P>";
    return html;
}

} // namespace lumo::test

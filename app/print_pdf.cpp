#include "app/print_pdf.h"

#include "app/command_line.h"
#include "app/http_form.h"
#include "platform/ansi.h"
#include "platform/app_exception.h"
#include "platform/message_loop.h"
#include "platform/qt_text.h"
#include "print/vw_printer.h"
#include "viewer/html_viewer.h"

#include <QPrinter>

#include <algorithm>
#include <cstdio>

namespace lumo {

std::string THTTPForm::PrintToPdf(const std::string& fileName, const TPageSelection& pages) {
    THTMLViewer* viewer = ActiveViewer();
    if (!viewer) return "there is no page to print";
    // A printer of its own, so the print dialog's choices stay as they were.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(ToQString(fileName));
    PrepareToPrint(*viewer);
    TvwPrinter device(printer);
    try {
        viewer->PrintPages(device, pages);
    } catch (const std::exception& e) {
        return e.what();
    }
    if (device.PageNumber() > 0) return {};
    const int count = viewer->PrintedPages();
    if (count == 0) return "the page has nothing to print";
    return "none of the pages asked for is among the page's " + std::to_string(count) +
           (count == 1 ? " page" : " pages");
}

int PrintPdf(THTTPForm& form, const TCommandLine& line) {
    // A page that fails to load is an error here, not a box nobody reads.
    std::string error;
    SetExceptionHandler([&error](const std::exception& e) {
        if (error.empty()) error = e.what();
    });
    form.FormShow(line.Address);
    const int timeoutMs = std::min(line.TimeoutSeconds, 86400) * 1000;
    if (error.empty() && !WaitUntil([&] { return !error.empty() || form.PageShown(); }, timeoutMs))
        error = "the page was not shown within " + std::to_string(line.TimeoutSeconds) + " s";
    if (error.empty())
        error = form.PrintToPdf(line.PrintPdfFile, TPageSelection(line.FromPage, line.ToPage));
    SetExceptionHandler([&form](const std::exception& e) { form.AppException(e); });
    form.close();
    if (error.empty()) return 0;
    std::fprintf(stderr, "lumo: %s\n", AnsiToUtf8(error).c_str());
    return 1;
}

} // namespace lumo

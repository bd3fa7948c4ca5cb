// The main window's print commands: the print dialog and the status window,
// the preview, the print settings, the header and footer of every page, and
// printing into a PDF file for lumo --print-pdf.
#include "app/main_window.h"

#include "frames/frame_browser.h"
#include "platform/qt_text.h"
#include "print/print_dialog.h"
#include "print/print_preview.h"
#include "print/print_settings_dialog.h"
#include "print/print_status_dialog.h"
#include "print/printer_device.h"
#include "viewer/html_viewer.h"

#include <QAction>
#include <QPrinter>

#include <exception>

namespace lumo {

THTMLViewer* TMainWindow::ActiveViewer() const {
    return FrameBrowser->FocusedViewer();
}

QPrinter& TMainWindow::Printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void TMainWindow::PrepareToPrint(THTMLViewer& viewer) {
    viewer.OnPrintHeader = [this](THTMLViewer* sender, Canvas& canvas, int page, int W, int H,
                                  bool& stop) { PrintHeader(sender, canvas, page, W, H, stop); };
    viewer.OnPrintFooter = [this](THTMLViewer* sender, Canvas& canvas, int page, int W, int H,
                                  bool& stop) { PrintFooter(sender, canvas, page, W, H, stop); };
    const TPrintMargins& m = PrintSettings.Margins;
    viewer.PrintMarginLeft = m.Left;
    viewer.PrintMarginRight = m.Right;
    viewer.PrintMarginTop = m.Top;
    viewer.PrintMarginBottom = m.Bottom;
}

void TMainWindow::Print1Click() {
    THTMLViewer* viewer = ActiveViewer();
    // A page still loading (or printing) is printed once it is there.
    if (!viewer || FrameBrowser->Processing()) return;
    QPrinter& printer = Printer();
    const std::optional<TPageSelection> pages =
        ChoosePrintPages
            ? ChoosePrintPages(printer, TPageSelection::AllPages)
            : ShowPrintDialog(this, printer, TPageSelection::AllPages, TPrintToFile::Offered);
    if (!pages) return;
    PrepareToPrint(*viewer);
    TPrinterDevice device(printer);
    TPrintStatusDialog status(this);
    status.DoPrint(*viewer, device, *pages);
}

void TMainWindow::PrintPreviewClick() {
    THTMLViewer* viewer = ActiveViewer();
    if (!viewer || FrameBrowser->Processing()) return;
    PrepareToPrint(*viewer);
    TPrintPreview preview(this, *viewer, Printer());
    if (preview.Render()) preview.exec();
}

void TMainWindow::Printsetttings1Click() {
    TPrintSettingsDialog dialog(this);
    dialog.SetValues(PrintSettings);
    if (dialog.exec() == QDialog::Accepted) dialog.CopyTo(PrintSettings);
}

void TMainWindow::DrawPageBand(TPageBand band, THTMLViewer* viewer, Canvas& canvas, int page,
                               int W) {
    if (!ActiveViewer() || !viewer) return;
    TMacroValues values;
    values.Title = viewer->PageTitle().toStdString();
    values.File = viewer->DocumentFile();
    values.Date = FormatDate(PrintSettings.DateFormat, Now());
    values.Page = page;
    lumo::DrawPageBand(canvas, band, PrintSettings, values, W);
}

void TMainWindow::PrintHeader(THTMLViewer* sender, Canvas& canvas, int page, int W, int, bool&) {
    DrawPageBand(TPageBand::Header, sender, canvas, page, W);
}

void TMainWindow::PrintFooter(THTMLViewer* sender, Canvas& canvas, int page, int W, int, bool&) {
    DrawPageBand(TPageBand::Footer, sender, canvas, page, W);
}

std::string TMainWindow::PrintToPdf(const std::string& fileName, const TPageSelection& pages) {
    THTMLViewer* viewer = ActiveViewer();
    // Without a focused frame a frameset has no active viewer to print.
    if (!viewer && FrameBrowser->GetViewerCount() > 1) return "none of the page's frames is active";
    if (!viewer) return "there is no page to print";
    // A printer of its own, so the print dialog's choices stay as they were.
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(ToQString(fileName));
    PrepareToPrint(*viewer);
    TPrinterDevice device(printer);
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

} // namespace lumo

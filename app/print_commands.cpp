// The main window's print commands: the print dialog and the status window,
// the preview, the print settings, and the header and footer of every page.
#include "app/http_form.h"

#include "print/preview_form.h"
#include "print/print_dialog.h"
#include "print/print_settings_form.h"
#include "print/prn_status_form.h"
#include "print/vw_printer.h"
#include "viewer/html_viewer.h"

#include <QAction>
#include <QPrinter>

namespace lumo {

void THTTPForm::InstallPrinting() {
    Viewer->OnPrintHeader = [this](THTMLViewer* sender, Canvas& canvas, int page, int W, int H,
                                   bool& stop) { PrintHeader(sender, canvas, page, W, H, stop); };
    Viewer->OnPrintFooter = [this](THTMLViewer* sender, Canvas& canvas, int page, int W, int H,
                                   bool& stop) { PrintFooter(sender, canvas, page, W, H, stop); };
}

THTMLViewer* THTTPForm::ActiveViewer() const {
    return Viewer;
}

QPrinter& THTTPForm::Printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

void THTTPForm::FileMenuOpening() {
    const bool viewer = ActiveViewer() != nullptr;
    Print1->setEnabled(viewer);
    PrintPreview->setEnabled(viewer);
}

void THTTPForm::PrepareToPrint(THTMLViewer& viewer) {
    const TPrintMargins& m = PrintSettings.Margins;
    viewer.PrintMarginLeft = m.Left;
    viewer.PrintMarginRight = m.Right;
    viewer.PrintMarginTop = m.Top;
    viewer.PrintMarginBottom = m.Bottom;
}

void THTTPForm::Print1Click() {
    THTMLViewer* viewer = ActiveViewer();
    if (!viewer) return;
    QPrinter& printer = Printer();
    const std::optional<TPageSelection> pages =
        ChoosePrintPages
            ? ChoosePrintPages(printer, TPageSelection::AllPages)
            : ShowPrintDialog(this, printer, TPageSelection::AllPages, TPrintToFile::Offered);
    if (!pages) return;
    PrepareToPrint(*viewer);
    TvwPrinter device(printer);
    TPrnStatusForm status(this);
    status.DoPrint(*viewer, device, *pages);
}

void THTTPForm::PrintPreviewClick() {
    THTMLViewer* viewer = ActiveViewer();
    if (!viewer) return;
    PrepareToPrint(*viewer);
    TPreviewForm preview(this, *viewer, Printer());
    if (preview.Render()) preview.exec();
}

void THTTPForm::Printsetttings1Click() {
    TPrintSettingsF dialog(this);
    dialog.SetValues(PrintSettings);
    if (dialog.exec() == QDialog::Accepted) dialog.CopyTo(PrintSettings);
}

void THTTPForm::DrawPageBand(TPageBand band, THTMLViewer* viewer, Canvas& canvas, int page, int W) {
    if (!ActiveViewer() || !viewer) return;
    TMacroValues values;
    values.Title = viewer->PageTitle();
    values.File = viewer->DocumentFile();
    values.Date = FormatDate(PrintSettings.DateFormat, Now());
    values.Page = page;
    lumo::DrawPageBand(canvas, band, PrintSettings, values, W);
}

void THTTPForm::PrintHeader(THTMLViewer* sender, Canvas& canvas, int page, int W, int, bool&) {
    DrawPageBand(TPageBand::Header, sender, canvas, page, W);
}

void THTTPForm::PrintFooter(THTMLViewer* sender, Canvas& canvas, int page, int W, int, bool&) {
    DrawPageBand(TPageBand::Footer, sender, canvas, page, W);
}

} // namespace lumo

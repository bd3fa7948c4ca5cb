// The printer of a print job: begin a document, draw on the page canvas,
// new page, end or abort. It prints on a QPrinter, or into the PDF file the
// QPrinter names (where no printer is installed, or the user asked for a
// file), laid out as the QPrinter's pages.
//
// The job starts at its first page: the printer (or the PDF file) is opened
// when the page canvas is first asked for, so a job that never draws leaves
// nothing behind. A PDF file is written beside its name and takes the name
// only once the whole file is on the disk: a job that fails or is aborted
// leaves a file already there as it was.
#pragma once

#include "viewer/page_device.h"

#include <QImage>

#include <memory>
#include <string>

class QPdfWriter;
class QPrinter;

namespace lumo {

class QtCanvas;
class TAtomicFileDevice;

// The metrics of printer's sheet and printable area, in its pixels.
TPageMetrics PrinterMetrics(const QPrinter& printer);

class TPrinterDevice : public TPageDevice {
public:
    // printer must outlive the wrapper.
    explicit TPrinterDevice(QPrinter& printer);
    ~TPrinterDevice() override; // aborts a job still running
    TPrinterDevice(const TPrinterDevice&) = delete;
    TPrinterDevice& operator=(const TPrinterDevice&) = delete;

    TPageMetrics Metrics() const override;
    // Raises EPrintError "Printing in progress" inside a job. The title
    // (UTF-8) names the job and the PDF file's document.
    void BeginDoc(const std::string& title) override;
    // Raises EPrintError when the printer or the file cannot be opened.
    Canvas& PageCanvas() override;
    // Raises EPrintError "Printer is not currently printing" outside a job.
    void NewPage() override;
    // Raises EPrintError when the file cannot be written whole.
    void EndDoc() override;
    void Abort() override;

    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    // The page being printed, from 1; 0 before the first page is begun.
    int PageNumber() const { return pageNumber_; }

private:
    bool WritesPdfFile() const;
    QPaintDevice& OpenPdfFile();
    void Start();
    void Finish();
    std::string CannotWrite(const std::string& reason) const;

    QPrinter& printer_;
    QImage reference_; // text is measured as the document was laid out
    // Painting goes to canvas_ on the printer or on pdf_, which writes
    // through pdfFile_; they go in that order.
    std::unique_ptr<TAtomicFileDevice> pdfFile_;
    std::unique_ptr<QPdfWriter> pdf_;
    std::unique_ptr<QtCanvas> canvas_;
    std::string title_;
    bool printing_ = false;
    bool aborted_ = false;
    int pageNumber_ = 0;
};

} // namespace lumo

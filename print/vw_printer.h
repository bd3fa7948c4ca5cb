// The printer of a print job: begin a document, draw on the page canvas,
// new page, end or abort. It prints on a QPrinter, which writes a PDF file
// where no printer is installed.
//
// The job starts at its first page: the printer (or the PDF file) is opened
// when the page canvas is first asked for, so a job that never draws leaves
// nothing behind, and an aborted job removes the PDF file it began (the
// printer's own abort does not stop a PDF file from being written).
#pragma once

#include "viewer/page_device.h"

#include <QImage>

#include <memory>
#include <string>

class QPrinter;

namespace lumo {

class QtCanvas;

// The metrics of printer's sheet and printable area, in its pixels.
TPageMetrics PrinterMetrics(const QPrinter& printer);

class TvwPrinter : public TPageDevice {
public:
    // printer must outlive the wrapper.
    explicit TvwPrinter(QPrinter& printer);
    ~TvwPrinter() override; // aborts a job still running
    TvwPrinter(const TvwPrinter&) = delete;
    TvwPrinter& operator=(const TvwPrinter&) = delete;

    TPageMetrics Metrics() const override;
    // Raises EPrintError "Printing in progress" inside a job.
    void BeginDoc(const std::string& title) override;
    // Raises EPrintError when the printer or the file cannot be opened.
    Canvas& PageCanvas() override;
    // Raises EPrintError "Printer is not currently printing" outside a job.
    void NewPage() override;
    // Raises EPrintError when the file cannot be finished; it is removed then.
    void EndDoc() override;
    void Abort() override;

    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    // The page being printed, from 1; 0 before the first page is begun.
    int PageNumber() const { return pageNumber_; }

private:
    void Start();
    void Finish();
    void RemoveUnfinishedFile();

    QPrinter& printer_;
    QImage reference_; // text is measured as the document was laid out
    std::unique_ptr<QtCanvas> canvas_;
    std::string title_;
    bool printing_ = false;
    bool aborted_ = false;
    int pageNumber_ = 0;
};

} // namespace lumo

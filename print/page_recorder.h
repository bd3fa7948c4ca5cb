// The page recorder of the print preview: every page of a job is recorded
// as a picture (a QPicture) in the printer's pixels, from the top left of
// its printable area, to be played back scaled onto the preview's panels.
#pragma once

#include "viewer/page_device.h"

#include <QImage>
#include <QPicture>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPainter;
class QPrinter;
class QRectF;

namespace lumo {

class QtCanvas;

class TPageRecorder : public TPageDevice {
public:
    // Records pages for the sheet of printer, read when a document begins;
    // printer must outlive the recorder.
    explicit TPageRecorder(QPrinter& printer);
    ~TPageRecorder() override;
    TPageRecorder(const TPageRecorder&) = delete;
    TPageRecorder& operator=(const TPageRecorder&) = delete;

    // The metrics recorded at the beginning of the document, which its pages
    // keep; the printer's before any is recorded.
    TPageMetrics Metrics() const override;
    // Drops the pages of an earlier document and starts the first page.
    // Raises EPrintError "Printer not available" when there is no printer
    // to lay pages out for.
    void BeginDoc(const std::string& title) override;
    // Marks the page as used.
    Canvas& PageCanvas() override;
    void NewPage() override;
    // Drops a last page that nothing was asked to draw on.
    void EndDoc() override;
    // Drops every page.
    void Abort() override;

    bool Printing() const { return printing_; }
    int PageCount() const { return static_cast<int>(pages_.size()); }
    const QPicture& Page(int index) const { return *pages_.at(static_cast<size_t>(index)); }
    // Plays a page onto painter with the whole sheet scaled to target.
    void DrawPage(QPainter& painter, int index, const QRectF& target) const;

    // After every new page, with the number of pages so far.
    std::function<void(TPageRecorder* Sender, int NumPage, bool& StopPrinting)> OnPageEvent;

private:
    void EndPicture();

    QPrinter& printer_;
    QImage reference_; // text is measured as the document was laid out
    TPageMetrics metrics_;
    std::vector<std::unique_ptr<QPicture>> pages_;
    std::unique_ptr<QtCanvas> canvas_;
    bool used_ = false;
    bool printing_ = false;
};

} // namespace lumo

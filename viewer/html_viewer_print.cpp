// The viewer's printing: the document's pages go to a printer or to the
// preview's page recorder through the paging code, with the viewer's
// margins, title and header and footer hooks.
#include "layout/section_list.h"
#include "platform/qt_canvas.h"
#include "viewer/html_viewer.h"
#include "viewer/paged_output.h"

#include <QImage>

namespace lumo {

THTMLViewer::TPrintHold::TPrintHold(THTMLViewer& viewer) : viewer_(&viewer) {
    ++viewer.printHolds_;
}

THTMLViewer::TPrintHold::~TPrintHold() {
    if (viewer_) --viewer_->printHolds_;
}

void THTMLViewer::PrintPages(TPageDevice& printer, const TPageSelection& pages) {
    TPagingJob job;
    job.Kind = TPagingKind::Print;
    job.Pages = pages;
    RunPrintJob(printer, job);
}

int THTMLViewer::PreviewPages(TPageDevice& recorder) {
    TPagingJob job;
    job.Kind = TPagingKind::Preview;
    return RunPrintJob(recorder, job);
}

int THTMLViewer::RunPrintJob(TPageDevice& device, TPagingJob& job) {
    if (jobRunning_) throw EPrintError("Printing in progress");
    bool stop = false;
    if (OnPageEvent) OnPageEvent(this, 0, stop);
    printedPages_ = 0;
    if (processing_ || sectionList_->empty() || stop) return 0;
    job.Margins = {PrintMarginLeft, PrintMarginRight, PrintMarginTop, PrintMarginBottom};
    job.Title = pageTitle_.toStdString();

    TPrintHold hold(*this);
    // The job pumps messages between pages: it must not lean on anything the
    // viewer could drop meanwhile, the viewer itself included.
    QPointer<THTMLViewer> self(this);
    struct TJobScope {
        QPointer<THTMLViewer> viewer;
        ~TJobScope() {
            if (viewer) viewer->jobRunning_ = false;
        }
    } scope{self};
    jobRunning_ = true;
    // Pages are measured on a device of their own, as the screen measures.
    QImage reference(8, 8, QImage::Format_RGB32);
    QtCanvas measure(reference);
    const auto band = [self](TPagePrinted THTMLViewer::*hook) {
        return [self, hook](Canvas& canvas, int page, int w, int h, bool& stopPrinting) {
            if (self && self->*hook) (self->*hook)(self, canvas, page, w, h, stopPrinting);
        };
    };
    TPagingHooks hooks;
    hooks.Header = band(&THTMLViewer::OnPrintHeader);
    hooks.Footer = band(&THTMLViewer::OnPrintFooter);
    hooks.PageEvent = [self](int page, bool& stopPrinting) {
        if (!self) {
            stopPrinting = true; // the viewer went while messages were handled
            return;
        }
        if (self->OnPageEvent) self->OnPageEvent(self, page, stopPrinting);
    };
    const int last = RunPaging(*sectionList_, measure, device, job, hooks);
    if (self) printedPages_ = last;
    return last;
}

} // namespace lumo

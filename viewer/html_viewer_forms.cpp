// The viewer's side of forms: placing the control widgets, keeping a focused
// control in view, image buttons, and handing submissions on.
#include "layout/section_list.h"
#include "viewer/form_widgets.h"
#include "viewer/html_viewer.h"

namespace lumo {

namespace {

// A control this close to the panel's edge counts as out of view.
constexpr int ViewMargin = 20;

} // namespace

void THTMLViewer::PlaceControls() {
    if (processing_ || !formWidgets_) return;
    formWidgets_->Place(HScroll(), ScrollY());
    PlacePanels();
}

void THTMLViewer::ScrollControlIntoView(TFormControl& control) {
    if (processing_ || sectionList_->IsPrinting) return;
    const int top = ScrollY(), height = PanelHeight();
    if (control.PaintTop >= top + ViewMargin &&
        control.PaintTop + control.BoxHeight <= top + height - ViewMargin) {
        PlaceControls();
        return;
    }
    ScrollTo(control.PaintTop - height / 2);
    PlaceControls();
}

void THTMLViewer::ClickImageControl(TFormControl& control) {
    const unsigned document = documentSerial_;
    if (OnObjectClick) OnObjectClick(this, &control, control.OnClickText);
    if (document != documentSerial_) return; // the handler replaced the page
    control.ClickX = control.PendingX;
    control.ClickY = control.PendingY;
    sectionList_->SubmitForm(control);
}

void THTMLViewer::QueueSubmission(TFormSubmission submission) {
    // Each submission is kept whole and delivered in turn: a second one
    // made before the first is delivered never overwrites it.
    submissions_.push_back({documentSerial_, std::move(submission)});
    QMetaObject::invokeMethod(
        this, [this] { DeliverSubmission(); }, Qt::QueuedConnection);
}

void THTMLViewer::DeliverSubmission() {
    if (submissions_.empty()) return;
    TQueuedSubmission queued = std::move(submissions_.front());
    submissions_.pop_front();
    // A form whose page has gone since is dropped.
    if (queued.Document != documentSerial_ || !OnFormSubmit) return;
    const TFormSubmission& s = queued.Submission;
    OnFormSubmit(this, s.Action, s.Target, s.EncType, s.Method, s.Results);
}

} // namespace lumo

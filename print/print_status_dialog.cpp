#include "print/print_status_dialog.h"

#include "platform/message_window.h"
#include "platform/types.h"
#include "print/page_recorder.h"
#include "viewer/html_viewer.h"
#include "viewer/page_device.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumo {

namespace {

constexpr unsigned RenderPreviewMessage = WM_USER + 22;
constexpr unsigned PrintMessage = WM_USER + 23;

} // namespace

TPrintStatusDialog::TPrintStatusDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("PrnStatusForm");
    setWindowTitle("Printing");
    setModal(true);
    auto* column = new QVBoxLayout(this);
    StatusLabel = new QLabel("Formating", this);
    StatusLabel->setObjectName("StatusLabel");
    StatusLabel->setMinimumWidth(180);
    StatusLabel->setAlignment(Qt::AlignCenter);
    CancelButton = new QPushButton("Cancel", this);
    CancelButton->setObjectName("CancelButton");
    column->addWidget(StatusLabel);
    column->addWidget(CancelButton, 0, Qt::AlignHCenter);
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelClick(); });
    messages_ = std::make_unique<MessageWindow>([this](UINT msg, WPARAM, LPARAM) -> LRESULT {
        if (msg != RenderPreviewMessage && msg != PrintMessage) return 0;
        try {
            work_();
        } catch (...) {
            error_ = std::current_exception();
        }
        running_ = false;
        done(cancelled_ ? QDialog::Rejected : QDialog::Accepted);
        return 0;
    });
}

TPrintStatusDialog::~TPrintStatusDialog() = default;

bool TPrintStatusDialog::DoPreview(THTMLViewer& viewer, TPageRecorder& recorder) {
    return Run(viewer, RenderPreviewMessage,
               [&recorder](THTMLViewer& v) { v.PreviewPages(recorder); });
}

bool TPrintStatusDialog::DoPrint(THTMLViewer& viewer, TPageDevice& printer,
                                 const TPageSelection& pages) {
    return Run(viewer, PrintMessage,
               [&printer, pages](THTMLViewer& v) { v.PrintPages(printer, pages); });
}

bool TPrintStatusDialog::Run(THTMLViewer& viewer, unsigned message,
                             std::function<void(THTMLViewer&)> work) {
    cancelled_ = false;
    error_ = nullptr;
    running_ = true;
    // The window's loop handles messages before the job starts; the viewer
    // may go meanwhile.
    QPointer<THTMLViewer> target(&viewer);
    work_ = [target, work = std::move(work)] {
        if (target) work(*target);
    };
    auto previous = std::move(viewer.OnPageEvent);
    viewer.OnPageEvent = [this](THTMLViewer*, int page, bool& stop) { Progress(page, stop); };
    messages_->Post(message);
    const int result = exec();
    if (target) target->OnPageEvent = std::move(previous);
    work_ = nullptr;
    if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
    return result != QDialog::Accepted;
}

void TPrintStatusDialog::Progress(int page, bool& stop) {
    if (!cancelled_) {
        StatusLabel->setText(page == 0 ? QString("Formating")
                                       : QString("Page Number %1").arg(page));
        StatusLabel->repaint();
        if (OnProgress) OnProgress(page);
    }
    // A click on Cancel is seen at the next page boundary.
    if (cancelled_) stop = true;
}

void TPrintStatusDialog::CancelClick() {
    cancelled_ = true;
}

void TPrintStatusDialog::reject() {
    if (running_)
        CancelClick();
    else
        QDialog::reject();
}

} // namespace lumo

#include "print/page_recorder.h"

#include "platform/color_names.h"
#include "platform/qt_canvas.h"
#include "print/printer_device.h"

#include <QPainter>
#include <QPrinter>

namespace lumo {

TPageRecorder::TPageRecorder(QPrinter& printer)
    : printer_(printer), reference_(8, 8, QImage::Format_RGB32) {}

TPageRecorder::~TPageRecorder() {
    EndPicture();
}

TPageMetrics TPageRecorder::Metrics() const {
    return printing_ || !pages_.empty() ? metrics_ : PrinterMetrics(printer_);
}

void TPageRecorder::BeginDoc(const std::string&) {
    if (!printer_.isValid()) throw EPrintError("Printer not available");
    EndPicture();
    pages_.clear();
    metrics_ = PrinterMetrics(printer_);
    printing_ = true;
    NewPage();
}

void TPageRecorder::NewPage() {
    if (!printing_) throw EPrintError("Printer is not currently printing");
    const bool first = pages_.empty();
    EndPicture(); // completes the previous page's picture
    pages_.push_back(std::make_unique<QPicture>());
    canvas_ = std::make_unique<QtCanvas>(*pages_.back(), reference_);
    // The whole sheet is paper, the unprintable strips too.
    canvas_->SetBrush(clWhite, BrushStyle::Solid);
    canvas_->FillRect({-metrics_.OffsetX, -metrics_.OffsetY,
                       metrics_.PhysicalWidth - metrics_.OffsetX,
                       metrics_.PhysicalHeight - metrics_.OffsetY});
    if (first) {
        FontSpec font;
        font.Name = "Arial";
        font.Size = 10;
        canvas_->SetFont(font);
        canvas_->SetBrush(clWhite, BrushStyle::Clear);
    }
    used_ = false;
    bool stop = false;
    if (OnPageEvent) OnPageEvent(this, PageCount(), stop);
}

Canvas& TPageRecorder::PageCanvas() {
    if (!canvas_) throw EPrintError("Printer is not currently printing");
    used_ = true;
    return *canvas_;
}

void TPageRecorder::EndDoc() {
    if (!printing_) return;
    printing_ = false;
    EndPicture();
    if (!used_ && !pages_.empty()) pages_.pop_back();
}

void TPageRecorder::Abort() {
    printing_ = false;
    EndPicture();
    pages_.clear();
}

void TPageRecorder::EndPicture() {
    canvas_.reset();
}

void TPageRecorder::DrawPage(QPainter& painter, int index, const QRectF& target) const {
    if (index < 0 || index >= PageCount() || metrics_.PhysicalWidth <= 0 ||
        metrics_.PhysicalHeight <= 0)
        return;
    painter.save();
    painter.translate(target.topLeft());
    painter.scale(target.width() / metrics_.PhysicalWidth,
                  target.height() / metrics_.PhysicalHeight);
    painter.translate(metrics_.OffsetX, metrics_.OffsetY);
    painter.drawPicture(0, 0, Page(index));
    painter.restore();
}

} // namespace lumo

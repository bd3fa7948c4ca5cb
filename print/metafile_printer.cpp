#include "print/metafile_printer.h"

#include "platform/color_names.h"
#include "platform/qt_canvas.h"
#include "print/vw_printer.h"

#include <QPainter>
#include <QPrinter>

namespace lumo {

TMetaFilePrinter::TMetaFilePrinter(QPrinter& printer)
    : printer_(printer), reference_(8, 8, QImage::Format_RGB32) {}

TMetaFilePrinter::~TMetaFilePrinter() {
    EndPicture();
}

TPageMetrics TMetaFilePrinter::Metrics() const {
    return printing_ || !pages_.empty() ? metrics_ : PrinterMetrics(printer_);
}

void TMetaFilePrinter::BeginDoc(const std::string&) {
    if (!printer_.isValid()) throw EPrintError("Printer not available");
    EndPicture();
    pages_.clear();
    metrics_ = PrinterMetrics(printer_);
    printing_ = true;
    NewPage();
}

void TMetaFilePrinter::NewPage() {
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

Canvas& TMetaFilePrinter::PageCanvas() {
    if (!canvas_) throw EPrintError("Printer is not currently printing");
    used_ = true;
    return *canvas_;
}

void TMetaFilePrinter::EndDoc() {
    if (!printing_) return;
    printing_ = false;
    EndPicture();
    if (!used_ && !pages_.empty()) pages_.pop_back();
}

void TMetaFilePrinter::Abort() {
    printing_ = false;
    EndPicture();
    pages_.clear();
}

void TMetaFilePrinter::EndPicture() {
    canvas_.reset();
}

void TMetaFilePrinter::DrawPage(QPainter& painter, int index, const QRectF& target) const {
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

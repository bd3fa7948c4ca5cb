#include "print/vw_printer.h"

#include "platform/qt_canvas.h"
#include "platform/qt_text.h"

#include <QFile>
#include <QPrinter>

namespace lumo {

TPageMetrics PrinterMetrics(const QPrinter& printer) {
    const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
    const QRect page = printer.pageRect(QPrinter::DevicePixel).toRect();
    TPageMetrics m;
    m.LogX = printer.logicalDpiX();
    m.LogY = printer.logicalDpiY();
    m.PhysicalWidth = paper.width();
    m.PhysicalHeight = paper.height();
    m.OffsetX = page.x() - paper.x();
    m.OffsetY = page.y() - paper.y();
    m.PrintableWidth = page.width();
    m.PrintableHeight = page.height();
    return m;
}

TvwPrinter::TvwPrinter(QPrinter& printer)
    : printer_(printer), reference_(8, 8, QImage::Format_RGB32) {}

TvwPrinter::~TvwPrinter() {
    if (printing_) Abort();
}

TPageMetrics TvwPrinter::Metrics() const {
    return PrinterMetrics(printer_);
}

void TvwPrinter::BeginDoc(const std::string& title) {
    if (printing_) throw EPrintError("Printing in progress");
    title_ = title.substr(0, 31);
    printing_ = true;
    aborted_ = false;
    pageNumber_ = 0;
}

void TvwPrinter::Start() {
    printer_.setDocName(ToQString(title_));
    printer_.setCreator(QStringLiteral("Lumo 10"));
    canvas_ = std::make_unique<QtCanvas>(printer_, reference_);
    if (!canvas_->Painter().isActive()) {
        canvas_.reset();
        printing_ = false;
        if (printer_.outputFormat() == QPrinter::PdfFormat)
            throw EPrintError("Cannot write the file " + FromQString(printer_.outputFileName()));
        throw EPrintError("Printer selected is not valid");
    }
    pageNumber_ = 1;
}

Canvas& TvwPrinter::PageCanvas() {
    if (!printing_) throw EPrintError("Printer is not currently printing");
    if (!canvas_) Start();
    return *canvas_;
}

void TvwPrinter::NewPage() {
    if (!printing_) throw EPrintError("Printer is not currently printing");
    if (!canvas_) Start();
    printer_.newPage();
    ++pageNumber_;
}

void TvwPrinter::EndDoc() {
    if (!printing_) return;
    const bool written = !canvas_ || canvas_->Painter().end();
    Finish();
    if (!written) {
        RemoveUnfinishedFile();
        throw EPrintError("Cannot write the file " + FromQString(printer_.outputFileName()));
    }
}

void TvwPrinter::Abort() {
    if (!printing_) return;
    aborted_ = true;
    if (canvas_) {
        if (printer_.outputFormat() == QPrinter::NativeFormat) printer_.abort();
        canvas_->Painter().end();
        RemoveUnfinishedFile();
    }
    Finish();
}

void TvwPrinter::Finish() {
    canvas_.reset();
    printing_ = false;
}

void TvwPrinter::RemoveUnfinishedFile() {
    if (printer_.outputFormat() == QPrinter::PdfFormat && !printer_.outputFileName().isEmpty())
        QFile::remove(printer_.outputFileName());
}

} // namespace lumo

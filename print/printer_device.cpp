#include "print/printer_device.h"

#include "platform/atomic_file_device.h"
#include "platform/file_system.h"
#include "platform/qt_canvas.h"
#include "platform/qt_text.h"

#include <QFile>
#include <QPdfWriter>
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

TPrinterDevice::TPrinterDevice(QPrinter& printer)
    : printer_(printer), reference_(8, 8, QImage::Format_RGB32) {}

TPrinterDevice::~TPrinterDevice() {
    if (printing_) Abort();
}

TPageMetrics TPrinterDevice::Metrics() const {
    return PrinterMetrics(printer_);
}

void TPrinterDevice::BeginDoc(const std::string& title) {
    if (printing_) throw EPrintError("Printing in progress");
    title_ = title;
    printing_ = true;
    aborted_ = false;
    pageNumber_ = 0;
}

bool TPrinterDevice::WritesPdfFile() const {
    return printer_.outputFormat() == QPrinter::PdfFormat;
}

// The file gets the printer's pages, resolution and document name, so it is
// the file the printer itself would have written.
QPaintDevice& TPrinterDevice::OpenPdfFile() {
    const QString name = printer_.outputFileName();
    pdfFile_ = std::make_unique<TAtomicFileDevice>(
        AnsiName(std::filesystem::path(QFile::encodeName(name).toStdString())));
    if (name.isEmpty() || !pdfFile_->open(QIODevice::WriteOnly)) {
        const std::string reason = name.isEmpty() ? std::string() : pdfFile_->Error();
        pdfFile_.reset();
        throw EPrintError(CannotWrite(reason));
    }
    pdf_ = std::make_unique<QPdfWriter>(pdfFile_.get());
    pdf_->setPageLayout(printer_.pageLayout());
    pdf_->setResolution(printer_.resolution());
    pdf_->setTitle(QString::fromStdString(title_));
    pdf_->setCreator(QStringLiteral("Lumo 10"));
    return *pdf_;
}

void TPrinterDevice::Start() {
    QPaintDevice* device = &printer_;
    if (WritesPdfFile()) {
        device = &OpenPdfFile();
    } else {
        printer_.setDocName(QString::fromStdString(title_));
        printer_.setCreator(QStringLiteral("Lumo 10"));
    }
    canvas_ = std::make_unique<QtCanvas>(*device, reference_);
    if (!canvas_->Painter().isActive()) {
        Finish();
        throw EPrintError(WritesPdfFile() ? CannotWrite({}) : "Printer selected is not valid");
    }
    pageNumber_ = 1;
}

Canvas& TPrinterDevice::PageCanvas() {
    if (!printing_) throw EPrintError("Printer is not currently printing");
    if (!canvas_) Start();
    return *canvas_;
}

void TPrinterDevice::NewPage() {
    if (!printing_) throw EPrintError("Printer is not currently printing");
    if (!canvas_) Start();
    if (pdf_)
        pdf_->newPage();
    else
        printer_.newPage();
    ++pageNumber_;
}

void TPrinterDevice::EndDoc() {
    if (!printing_) return;
    // The painter writes the file's last objects as it ends; the file is
    // whole only when every one of its writes reached the disk.
    const bool ended = !canvas_ || canvas_->Painter().end();
    const bool written = ended && (!pdfFile_ || pdfFile_->Commit());
    const std::string reason = pdfFile_ ? pdfFile_->Error() : std::string();
    Finish();
    if (!written) throw EPrintError(CannotWrite(reason));
}

void TPrinterDevice::Abort() {
    if (!printing_) return;
    aborted_ = true;
    if (canvas_) {
        if (!pdf_) printer_.abort();
        canvas_->Painter().end();
    }
    Finish(); // an unfinished PDF file goes without taking its name
}

void TPrinterDevice::Finish() {
    canvas_.reset();
    pdf_.reset();
    pdfFile_.reset();
    printing_ = false;
}

std::string TPrinterDevice::CannotWrite(const std::string& reason) const {
    std::string message = "Cannot write the file " + FromQString(printer_.outputFileName());
    return reason.empty() ? message : message + ": " + reason;
}

} // namespace lumo

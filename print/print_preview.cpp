#include "print/print_preview.h"

#include "platform/resources.h"
#include "print/page_recorder.h"
#include "print/print_dialog.h"
#include "print/print_status_dialog.h"
#include "print/printer_device.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusTipEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace lumo {

namespace {

// A page panel: paints and clicks go to the window.
class TPreviewPanel : public QWidget {
public:
    TPreviewPanel(TPrintPreview& form, int index, QWidget* parent)
        : QWidget(parent), form_(form), index_(index) {
        setObjectName(index == 0 ? "PagePanel1" : "PagePanel2");
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        form_.PaintPanel(index_, painter);
    }
    void mousePressEvent(QMouseEvent* e) override {
        form_.PanelMousePress(index_, e->position().toPoint(), e->button());
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        form_.PanelMouseMove(e->globalPosition().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent*) override { form_.PanelMouseRelease(); }

private:
    TPrintPreview& form_;
    int index_;
};

// The tool cursors are pictures of the program; the system's stand in if
// one is missing.
QCursor ToolCursor(const char* name, Qt::CursorShape fallback, int hotX, int hotY) {
    QPixmap picture;
    if (const auto bytes = FindResource(name, "CURSOR"))
        picture.loadFromData(reinterpret_cast<const uchar*>(bytes->data()),
                             static_cast<uint>(bytes->size()), "XPM");
    return picture.isNull() ? QCursor(fallback) : QCursor(picture, hotX, hotY);
}

QToolButton* Button(QWidget* parent, QBoxLayout* row, const char* name, const char* caption,
                    const char* tip) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setStatusTip(tip);
    button->setToolTip(tip);
    row->addWidget(button);
    return button;
}

} // namespace

TPrintPreview::TPrintPreview(QWidget* owner, THTMLViewer& viewer, QPrinter& printer)
    : QDialog(owner), viewer_(&viewer), hold_(viewer), printer_(printer) {
    setObjectName("PreviewForm");
    setWindowTitle("Preview Form");
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    CreateToolbar();
    CreatePageArea();
    HintLabel = new QLabel(this);
    HintLabel->setObjectName("HintLabel");
    column->addWidget(HintLabel);
    recorder_ = std::make_unique<TPageRecorder>(printer);
    SelectTool(TTool::Zoom);
    setWindowState(Qt::WindowMaximized);
}

TPrintPreview::~TPrintPreview() = default;

void TPrintPreview::CreateToolbar() {
    auto* bar = new QWidget(this);
    bar->setObjectName("ToolBar");
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    OnePageButton = Button(bar, row, "OnePageButton", "&1", "Show one page");
    TwoPageButton = Button(bar, row, "TwoPageButton", "&2", "Show two pages");
    FitPageButton = Button(bar, row, "FitPageButton", "Fit to Page", "Show the whole page");
    FitWidthButton = Button(bar, row, "FitWidthButton", "Fit to Width", "Fit the page's width");
    FitPageButton->setCheckable(true);
    FitWidthButton->setCheckable(true);
    ZoomBox = new QComboBox(bar);
    ZoomBox->setObjectName("ZoomBox");
    for (std::string_view text : kZoomEntryTexts)
        ZoomBox->addItem(QString::fromLatin1(text.data(), static_cast<int>(text.size())));
    row->addWidget(ZoomBox);
    ZoomLabel = new QLabel(bar);
    ZoomLabel->setObjectName("ZoomLabel");
    ZoomLabel->setMinimumWidth(48);
    row->addWidget(ZoomLabel);
    ZoomToolButton =
        Button(bar, row, "ZoomToolButton", "Zoom", "Click to zoom in, right click to zoom out");
    HandToolButton = Button(bar, row, "HandToolButton", "Hand", "Drag the page");
    ZoomToolButton->setCheckable(true);
    HandToolButton->setCheckable(true);
    GridButton = Button(bar, row, "GridButton", "Grid", "Show a grid over the page");
    GridButton->setCheckable(true);
    UnitsBox = new QComboBox(bar);
    UnitsBox->setObjectName("UnitsBox");
    UnitsBox->addItems({"Inches", "Centimeters"});
    row->addWidget(UnitsBox);
    FirstPageButton = Button(bar, row, "FirstPageButton", "|<", "First page");
    PrevPageButton = Button(bar, row, "PrevPageButton", "Pre&v", "Previous page");
    NextPageButton = Button(bar, row, "NextPageButton", "&Next", "Next page");
    LastPageButton = Button(bar, row, "LastPageButton", ">|", "Last page");
    GoPageButton = Button(bar, row, "GoPageButton", "Go to...", "Go to a page");
    PageLabel = new QLabel(bar);
    PageLabel->setObjectName("PageLabel");
    row->addWidget(PageLabel);
    row->addStretch(1);
    PrintButton = Button(bar, row, "PrintButton", "&Print...", "Print pages of the document");
    CloseButton = Button(bar, row, "CloseButton", "&Close", "Close the preview");
    static_cast<QBoxLayout*>(layout())->addWidget(bar);

    connect(OnePageButton, &QToolButton::clicked, this, [this] { OnePageClick(); });
    connect(TwoPageButton, &QToolButton::clicked, this, [this] { TwoPageClick(); });
    connect(FitPageButton, &QToolButton::clicked, this, [this] { FitPageClick(); });
    connect(FitWidthButton, &QToolButton::clicked, this, [this] { FitWidthClick(); });
    connect(ZoomBox, &QComboBox::activated, this, [this](int i) { ZoomBoxChange(i); });
    connect(ZoomToolButton, &QToolButton::clicked, this, [this] { SelectTool(TTool::Zoom); });
    connect(HandToolButton, &QToolButton::clicked, this, [this] { SelectTool(TTool::Hand); });
    connect(GridButton, &QToolButton::toggled, this, [this] { Container->update(); });
    connect(UnitsBox, &QComboBox::currentIndexChanged, this, [this] {
        if (GridButton->isChecked()) Container->update();
    });
    connect(FirstPageButton, &QToolButton::clicked, this, [this] { FirstPageClick(); });
    connect(PrevPageButton, &QToolButton::clicked, this, [this] { PrevPageClick(); });
    connect(NextPageButton, &QToolButton::clicked, this, [this] { NextPageClick(); });
    connect(LastPageButton, &QToolButton::clicked, this, [this] { LastPageClick(); });
    connect(GoPageButton, &QToolButton::clicked, this, [this] { GoPageClick(); });
    connect(PrintButton, &QToolButton::clicked, this, [this] { PrintClick(); });
    connect(CloseButton, &QToolButton::clicked, this, [this] { close(); });
}

void TPrintPreview::CreatePageArea() {
    ScrollBox = new QScrollArea(this);
    ScrollBox->setObjectName("ScrollBox");
    ScrollBox->setWidgetResizable(false);
    ScrollBox->setBackgroundRole(QPalette::Dark);
    Container = new QWidget;
    Container->setObjectName("Container");
    FirstPanel = new TPreviewPanel(*this, 0, Container);
    SecondPanel = new TPreviewPanel(*this, 1, Container);
    SecondPanel->hide();
    ScrollBox->setWidget(Container);
    static_cast<QBoxLayout*>(layout())->addWidget(ScrollBox, 1);
}

bool TPrintPreview::Render() {
    if (!viewer_) return false;
    TPrintStatusDialog status(this);
    if (status.DoPreview(*viewer_, *recorder_)) return false;
    SetEntry(TZoomEntry::FitToPage);
    ShowPage(0);
    return true;
}

// --- Layout ------------------------------------------------------------------

void TPrintPreview::SetEntry(TZoomEntry entry) {
    entry_ = entry;
    // Any view but the whole page shows one page.
    if (entry_ != TZoomEntry::FitToPage) twoPages_ = false;
    ZoomBox->setCurrentIndex(static_cast<int>(entry_));
    LayOutTwice();
}

void TPrintPreview::LayOutTwice() {
    // Scroll bars that come or go change the room the second pass sees.
    LayOut();
    LayOut();
}

void TPrintPreview::LayOut() {
    FitPageButton->setChecked(entry_ == TZoomEntry::FitToPage);
    FitWidthButton->setChecked(entry_ == TZoomEntry::FitToWidth);
    TPreviewLayoutInput in;
    in.ClientWidth = ScrollBox->viewport()->width();
    in.ClientHeight = ScrollBox->viewport()->height();
    in.ScreenPixelsPerInch = std::max(1, logicalDpiY());
    in.Page = recorder_->Metrics();
    in.Entry = entry_;
    in.CustomFactor = customFactor_;
    in.TwoPages = twoPages_;
    layout_ = LayOutPreview(in);
    customFactor_ = layout_.Factor;
    Container->resize(layout_.ContainerWidth, layout_.ContainerHeight);
    FirstPanel->setGeometry(layout_.FirstLeft, layout_.Top, layout_.PanelWidth,
                            layout_.PanelHeight);
    SecondPanel->setGeometry(layout_.SecondLeft, layout_.Top, layout_.PanelWidth,
                             layout_.PanelHeight);
    SecondPanel->setVisible(layout_.TwoPages);
    ZoomLabel->setText(QString("%1%").arg(std::lround(layout_.Factor * 100)));
    Container->update();
}

void TPrintPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    LayOutTwice();
}

void TPrintPreview::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    LayOutTwice();
}

bool TPrintPreview::event(QEvent* event) {
    // The hints of the window's buttons show in its own hint line.
    if (event->type() == QEvent::StatusTip) {
        HintLabel->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QDialog::event(event);
}

void TPrintPreview::OnePageClick() {
    twoPages_ = false;
    SetEntry(TZoomEntry::FitToPage);
}

void TPrintPreview::TwoPageClick() {
    twoPages_ = true;
    SetEntry(TZoomEntry::FitToPage);
    ShowPage(currentPage_);
}

void TPrintPreview::FitPageClick() {
    SetEntry(TZoomEntry::FitToPage);
}

void TPrintPreview::FitWidthClick() {
    SetEntry(TZoomEntry::FitToWidth);
}

void TPrintPreview::ZoomBoxChange(int entry) {
    if (entry < 0 || entry >= static_cast<int>(kZoomEntryTexts.size())) entry = 0;
    SetEntry(static_cast<TZoomEntry>(entry));
}

// --- Pages -------------------------------------------------------------------

void TPrintPreview::ShowPage(int index) {
    const int count = recorder_->PageCount();
    currentPage_ = std::clamp(index, 0, std::max(0, count - 1));
    PageLabel->setText(QString("Page %1 of %2").arg(currentPage_ + 1).arg(count));
    UpdateButtons();
    FirstPanel->update();
    SecondPanel->update();
}

void TPrintPreview::UpdateButtons() {
    const int count = recorder_->PageCount();
    const bool next = count > currentPage_ + 1, previous = currentPage_ >= 1;
    NextPageButton->setEnabled(next);
    LastPageButton->setEnabled(next);
    PrevPageButton->setEnabled(previous);
    FirstPageButton->setEnabled(previous);
    GoPageButton->setEnabled(count > 1);
}

void TPrintPreview::FirstPageClick() {
    ShowPage(0);
}
void TPrintPreview::PrevPageClick() {
    ShowPage(currentPage_ - 1);
}
void TPrintPreview::NextPageClick() {
    ShowPage(currentPage_ + 1);
}
void TPrintPreview::LastPageClick() {
    ShowPage(recorder_->PageCount() - 1);
}

void TPrintPreview::GoPageClick() {
    const int count = recorder_->PageCount();
    std::optional<int> page;
    if (ChoosePage) {
        page = ChoosePage(currentPage_ + 1, count);
    } else {
        bool ok = false;
        const int chosen = QInputDialog::getInt(this, "Go to Page Number",
                                                "Page number:", currentPage_ + 1, 1, count, 1, &ok);
        if (ok) page = chosen;
    }
    if (page) ShowPage(*page - 1);
}

void TPrintPreview::PrintClick() {
    const int count = recorder_->PageCount();
    const std::optional<TPageSelection> pages =
        ChoosePrintPages ? ChoosePrintPages(printer_, count)
                         : ShowPrintDialog(this, printer_, count, TPrintToFile::NotOffered);
    if (!pages || !viewer_) return;
    TPrinterDevice printer(printer_);
    TPrintStatusDialog status(this);
    status.DoPrint(*viewer_, printer, *pages);
}

// --- Tools -------------------------------------------------------------------

void TPrintPreview::SelectTool(TTool tool) {
    tool_ = tool;
    ZoomToolButton->setChecked(tool == TTool::Zoom);
    HandToolButton->setChecked(tool == TTool::Hand);
    const QCursor cursor = tool == TTool::Zoom
                               ? ToolCursor("ZOOM_CURSOR", Qt::CrossCursor, 6, 6)
                               : ToolCursor("HAND_CURSOR", Qt::OpenHandCursor, 8, 8);
    FirstPanel->setCursor(cursor);
    SecondPanel->setCursor(cursor);
}

void TPrintPreview::PanelMousePress(int panel, QPoint point, Qt::MouseButton button) {
    if (tool_ == TTool::Hand) {
        dragging_ = true;
        dragFrom_ = (panel == 0 ? FirstPanel : SecondPanel)->mapToGlobal(point);
        return;
    }
    if (panel != 0 || (button != Qt::LeftButton && button != Qt::RightButton)) return;
    if (layout_.PanelWidth <= 0 || layout_.PanelHeight <= 0) return;
    // The point is held as a fraction of the page, so it stays under the
    // middle of the view whatever the new size.
    const double fx = static_cast<double>(point.x()) / layout_.PanelWidth;
    const double fy = static_cast<double>(point.y()) / layout_.PanelHeight;
    customFactor_ = ClampZoom(layout_.Factor * (button == Qt::LeftButton ? 1.5 : 1 / 1.5));
    SetEntry(TZoomEntry::Custom);
    const QSize view = ScrollBox->viewport()->size();
    ScrollBox->horizontalScrollBar()->setValue(
        static_cast<int>(layout_.FirstLeft + fx * layout_.PanelWidth - view.width() / 2.0));
    ScrollBox->verticalScrollBar()->setValue(
        static_cast<int>(layout_.Top + fy * layout_.PanelHeight - view.height() / 2.0));
}

void TPrintPreview::PanelMouseMove(QPoint globalPoint) {
    if (!dragging_) return;
    const QPoint moved = globalPoint - dragFrom_;
    dragFrom_ = globalPoint;
    QScrollBar* h = ScrollBox->horizontalScrollBar();
    QScrollBar* v = ScrollBox->verticalScrollBar();
    h->setValue(h->value() - moved.x());
    v->setValue(v->value() - moved.y());
}

void TPrintPreview::PanelMouseRelease() {
    dragging_ = false;
}

// --- Painting ----------------------------------------------------------------

void TPrintPreview::PaintPanel(int panel, QPainter& painter) {
    const int index = currentPage_ + panel;
    if (index >= recorder_->PageCount()) return; // past the last page the panel stays empty
    const QRect area(0, 0, layout_.PanelWidth, layout_.PanelHeight);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    recorder_->DrawPage(painter, index, area);
    if (GridButton->isChecked()) DrawGrid(painter);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}

void TPrintPreview::DrawGrid(QPainter& painter) {
    const TPageMetrics m = recorder_->Metrics();
    if (m.PhysicalWidth <= 0 || m.PhysicalHeight <= 0 || m.LogX <= 0 || m.LogY <= 0) return;
    const double unit = UnitsBox->currentIndex() == 1 ? 2.54 : 1.0;
    painter.save();
    painter.scale(static_cast<double>(layout_.PanelWidth) / m.PhysicalWidth,
                  static_cast<double>(layout_.PanelHeight) / m.PhysicalHeight);
    QPen pen(QColor(0xC0, 0xC0, 0xC0));
    pen.setCosmetic(true);
    painter.setPen(pen);
    const long across = std::lround(static_cast<double>(m.PhysicalWidth) / m.LogX * unit);
    for (long i = 1; i <= across; ++i) {
        const int x = static_cast<int>(std::lround(m.LogX * i / unit));
        painter.drawLine(x, 0, x, m.PhysicalHeight);
    }
    const long down = std::lround(static_cast<double>(m.PhysicalHeight) / m.LogY * unit);
    for (long i = 1; i <= down; ++i) {
        const int y = static_cast<int>(std::lround(m.LogY * i / unit));
        painter.drawLine(0, y, m.PhysicalWidth, y);
    }
    painter.restore();
}

} // namespace lumo

#include "viewer/paint_panel.h"

#include "viewer/html_viewer.h"

#include <QMouseEvent>
#include <QPaintEvent>

namespace lumo {

TPaintPanel::TPaintPanel(THTMLViewer& viewer) : QWidget(&viewer), viewer_(viewer) {
    setObjectName("PaintPanel");
    // Every pixel of an update is painted from the off-screen bitmap.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

void TPaintPanel::paintEvent(QPaintEvent* event) {
    viewer_.PaintPanelRect(*this, event->rect());
}

void TPaintPanel::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    viewer_.DocMouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TPaintPanel::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    viewer_.DocMouseMove(event->buttons(), event->modifiers(), p.x(), p.y());
}

void TPaintPanel::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    viewer_.DocMouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

void TPaintPanel::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    viewer_.DocMouseDouble(event->button(), event->modifiers(), p.x(), p.y());
}

void TPaintPanel::wheelEvent(QWheelEvent* event) {
    viewer_.wheelEvent(event);
}

void TPaintPanel::leaveEvent(QEvent*) {
    viewer_.MouseLeft();
}

} // namespace lumo

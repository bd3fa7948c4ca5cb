#include "frames/frame_tree_panel.h"

#include "frames/frame.h"
#include "frames/page_frame_set.h"

#include <QMouseEvent>

namespace lumo {

TFrameTreePanel::TFrameTreePanel(QWidget* parent, TPageFrameSet* master)
    : QFrame(parent), MasterSet(master) {
    setMouseTracking(true);
    SetBevel(0);
}

TFrameTreePanel::~TFrameTreePanel() = default;

TFrameBrowser& TFrameTreePanel::Browser() const {
    return MasterSet->OwningBrowser;
}

TNestedFrameSet* TFrameTreePanel::OwnerSet() const {
    QWidget* parent = parentWidget();
    if (auto* frame = dynamic_cast<TFrame*>(parent)) return frame->ParentSet;
    return dynamic_cast<TNestedFrameSet*>(parent);
}

void TFrameTreePanel::SetBounds(const QRect& bounds) {
    setGeometry(bounds);
    Arrange();
}

void TFrameTreePanel::Retire() {
    hide();
    deleteLater();
}

void TFrameTreePanel::SetBevel(int width) {
    if (width <= 0) {
        setFrameStyle(QFrame::NoFrame);
        setLineWidth(0);
        return;
    }
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(width);
}

void TFrameTreePanel::mousePressEvent(QMouseEvent* event) {
    BorderMouseDown(this, event->button(), event->globalPosition().toPoint());
}

void TFrameTreePanel::mouseMoveEvent(QMouseEvent* event) {
    BorderMouseMove(this, event->globalPosition().toPoint());
}

void TFrameTreePanel::mouseReleaseEvent(QMouseEvent* event) {
    BorderMouseUp(this, event->button(), event->globalPosition().toPoint());
}

} // namespace lumo

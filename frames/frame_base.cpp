#include "frames/frame_base.h"

#include "frames/frame.h"
#include "frames/frame_set.h"

#include <QMouseEvent>

namespace lumo {

TbrFrameBase::TbrFrameBase(QWidget* parent, TbrFrameSet* master)
    : QFrame(parent), MasterSet(master) {
    setMouseTracking(true);
    SetBevel(0);
}

TbrFrameBase::~TbrFrameBase() = default;

TFrameBrowser& TbrFrameBase::Browser() const {
    return MasterSet->OwningBrowser;
}

TbrSubFrameSet* TbrFrameBase::OwnerSet() const {
    QWidget* parent = parentWidget();
    if (auto* frame = dynamic_cast<TbrFrame*>(parent)) return frame->ParentSet;
    return dynamic_cast<TbrSubFrameSet*>(parent);
}

void TbrFrameBase::SetBounds(const QRect& bounds) {
    setGeometry(bounds);
    Arrange();
}

void TbrFrameBase::Retire() {
    hide();
    deleteLater();
}

void TbrFrameBase::SetBevel(int width) {
    if (width <= 0) {
        setFrameStyle(QFrame::NoFrame);
        setLineWidth(0);
        return;
    }
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(width);
}

void TbrFrameBase::mousePressEvent(QMouseEvent* event) {
    BorderMouseDown(this, event->button(), event->globalPosition().toPoint());
}

void TbrFrameBase::mouseMoveEvent(QMouseEvent* event) {
    BorderMouseMove(this, event->globalPosition().toPoint());
}

void TbrFrameBase::mouseReleaseEvent(QMouseEvent* event) {
    BorderMouseUp(this, event->button(), event->globalPosition().toPoint());
}

} // namespace lumo

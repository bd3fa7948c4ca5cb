// Dragging the boundary between two children of a frame set. A boundary
// within reach of the mouse shows a split cursor; pressing there draws a
// line that follows the mouse inside the band between the neighbouring
// boundaries; releasing moves the boundary there. Boundaries next to a
// NORESIZE frame stay where they are.
#include "frames/frame_browser.h"
#include "frames/nested_frame_set.h"
#include "frames/page_frame_set.h"

#include <QRubberBand>

#include <algorithm>
#include <cstdlib>

namespace lumo {

namespace {

constexpr int OuterEdgeReach = 4; // events this near a set's edge belong to the set around it
constexpr int BoundaryReach = 5;  // a boundary nearer than this can be grabbed

} // namespace

bool TNestedFrameSet::NearOuterEdge(const QPoint& local) const {
    return local.x() < OuterEdgeReach || local.y() < OuterEdgeReach ||
           local.x() >= width() - OuterEdgeReach || local.y() >= height() - OuterEdgeReach;
}

int TNestedFrameSet::Along(const QPoint& local) const {
    return (Rows ? local.y() : local.x()) - EdgeBorder;
}

int TNestedFrameSet::BoundaryAt(const QPoint& local) const {
    const int along = Along(local);
    int best = 0, bestDistance = 0;
    for (int i = 1; i < DimCount && i <= MaxFrameDims; ++i) {
        const int position = BorderPositions[static_cast<size_t>(i)];
        const int distance = std::abs(position - along);
        // On a tie the boundary at or before the mouse wins.
        const bool better =
            best == 0 || distance < bestDistance || (distance == bestDistance && position <= along);
        if (better) {
            best = i;
            bestDistance = distance;
        }
    }
    if (best == 0 || bestDistance >= BoundaryReach || Fixed[static_cast<size_t>(best)]) return 0;
    return best;
}

void TNestedFrameSet::BorderMouseMove(QWidget* receiver, const QPoint& global) {
    if (TNestedFrameSet* dragging = MasterSet->DragOwnerSet) {
        dragging->DrawDragLine(dragging->mapFromGlobal(global));
        return;
    }
    const QPoint local = mapFromGlobal(global);
    TNestedFrameSet* owner = OwnerSet();
    if (owner && NearOuterEdge(local)) {
        owner->BorderMouseMove(receiver, global);
        return;
    }
    const int boundary = BoundaryAt(local);
    if (boundary == 0) {
        receiver->setCursor(Browser().PageCursor());
        return;
    }
    DraggedBorder = boundary;
    receiver->setCursor(Rows ? Qt::SplitVCursor : Qt::SplitHCursor);
}

void TNestedFrameSet::BorderMouseDown(QWidget* receiver, Qt::MouseButton button,
                                      const QPoint& global) {
    const QPoint local = mapFromGlobal(global);
    TNestedFrameSet* owner = OwnerSet();
    if (owner && NearOuterEdge(local)) {
        owner->BorderMouseDown(receiver, button, global);
        return;
    }
    if (button != Qt::LeftButton || MasterSet->DragOwnerSet) return;
    const int boundary = BoundaryAt(local);
    if (boundary == 0) return;
    DraggedBorder = boundary;
    MasterSet->DragOwnerSet = this;
    DrawDragLine(local);
}

void TNestedFrameSet::BorderMouseUp(QWidget*, Qt::MouseButton, const QPoint& global) {
    if (TNestedFrameSet* dragging = MasterSet->DragOwnerSet)
        dragging->EndDrag(dragging->mapFromGlobal(global));
}

void TNestedFrameSet::DrawDragLine(const QPoint& local) {
    // There is no confining the mouse on every desktop: the line stays in
    // the band between the neighbouring boundaries, one pixel inside each.
    const auto b = static_cast<size_t>(DraggedBorder);
    const int position =
        std::clamp(Along(local), BorderPositions[b - 1] + 1,
                   std::max(BorderPositions[b - 1] + 1, BorderPositions[b + 1] - 1));
    const QRect area = InsetRect();
    const QRect line = Rows ? QRect(area.left(), area.top() + position - 1, area.width(), 3)
                            : QRect(area.left() + position - 1, area.top(), 3, area.height());
    DragRect = QRect(mapTo(&Browser(), line.topLeft()), line.size());
    if (!dragLine_) dragLine_ = new QRubberBand(QRubberBand::Line, &Browser());
    dragLine_->setGeometry(DragRect);
    dragLine_->show();
    dragLine_->raise();
}

void TNestedFrameSet::EndDrag(const QPoint& local) {
    MasterSet->DragOwnerSet = nullptr;
    if (dragLine_) dragLine_->hide();
    const auto b = static_cast<size_t>(DraggedBorder);
    if (b < 1 || static_cast<int>(b) >= DimCount) return;
    BorderPositions[b] =
        std::clamp(Along(local), BorderPositions[b - 1] + 1,
                   std::max(BorderPositions[b - 1] + 1, BorderPositions[b + 1] - 1));
    const auto count = static_cast<size_t>(std::min(DimCount, static_cast<int>(Children.size())));
    TotalSize = SizesFromEnds({BorderPositions.data() + 1, count}, {Sizes.data(), count});
    PlaceChildren();
    update();
}

} // namespace lumo

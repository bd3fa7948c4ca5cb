// The viewer's painting: the background, its picture and the document drawn
// into the panel on Canvas, and the steps of animated pictures.
#include "viewer/html_viewer.h"

#include "layout/inline_image.h"
#include "layout/section_list.h"
#include "platform/color_names.h"
#include "platform/qt_canvas.h"
#include "platform/timer.h"
#include "viewer/paint_panel.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace lumo {

TColor THTMLViewer::BackgroundColor() const {
    return sectionList_->BackColor != clNone ? sectionList_->BackColor : defBackground_;
}

void THTMLViewer::InvalidatePanel() {
    if (panel_) panel_->update();
}

void THTMLViewer::PaintPanelRect(QWidget& panel, const QRect& rect) {
    if (rect.isEmpty()) return;
    // Straight onto the panel: the window's own buffer takes the paint, so a
    // picture of the rectangle between would only cost its memory and a copy.
    // On a high-density screen the page is drawn at the device's pixels, in
    // the same logical coordinates, and measured as layout measured it.
    QtCanvas canvas(panel, measureDevice_);
    const TRect clip{rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1};
    canvas.Painter().setClipRect(rect);
    canvas.SetBrush(BackgroundColor(), BrushStyle::Solid);
    canvas.FillRect(clip);
    PaintBackgroundPicture(canvas, clip);
    // A half-built document is never painted.
    if (!processing_) {
        PaintDocument(canvas, clip);
        ++paintCount_;
        paintedSinceLayout_ = true;
    }
}

void THTMLViewer::StepAnimations() {
    if (processing_) return;
    const int hs = HScroll(), sy = ScrollY();
    const TRect view{hs, sy, hs + PanelWidth(), sy + PanelHeight()};
    bool playing = false;
    for (TInlineImage* image : sectionList_->AnimatedImages) {
        if (!image->Animating()) continue;
        playing = true;
        // A picture out of view keeps its frame until it is scrolled back.
        const TRect box = image->BoxRect();
        if (Intersect(box, view).IsEmpty() || !image->StepAnimation()) continue;
        panel_->update(box.Left - hs, box.Top - sy, box.Width(), box.Height());
    }
    if (!playing) animationTimer_->SetEnabled(false);
}

bool THTMLViewer::AnimationTimerRunning() const {
    return animationTimer_->Enabled();
}

void THTMLViewer::PaintBackgroundPicture(Canvas& canvas, const TRect& clip) {
    // Tiled from the document's corner, so the picture scrolls with the text.
    const TRect page{-HScroll(), -ScrollY(), std::max(clip.Right, scrollWidth_ - HScroll()),
                     std::max(clip.Bottom, docHeight_ - ScrollY())};
    sectionList_->BackImage.Paint(canvas, page, clip);
}

void THTMLViewer::PaintDocument(Canvas& canvas, const TRect& clip) {
    sectionList_->PaintCell(canvas, clip, MaxScrollWidth, -HScroll(), 0);
}

void THTMLViewer::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const bool border = borderStyle_ == THTMLBorderStyle::htSingle ||
                        (borderStyle_ == THTMLBorderStyle::htFocused && hasFocus());
    if (border) {
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void THTMLViewer::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
    if (OnEnter) OnEnter(this);
}

void THTMLViewer::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    update();
}

} // namespace lumo

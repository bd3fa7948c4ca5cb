// The viewer's input: hover and link clicks, selection, double-click words,
// find, keys, the wheel, automatic scrolling while selecting and
// middle-button drag scrolling.
#include "layout/section_list.h"
#include "layout/text_section.h"
#include "layout/url_target.h"
#include "platform/clipboard.h"
#include "platform/qt_canvas.h"
#include "platform/qt_text.h"
#include "platform/timer.h"
#include "viewer/html_viewer.h"
#include "viewer/paint_panel.h"
#include "viewer/viewer_rules.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdlib>

namespace lumo {

namespace {

// The drag-scrolling cursor: a double arrow at rest, one arrow while moving.
QCursor DragCursor(int direction) {
    if (direction == 0) return QCursor(Qt::SizeVerCursor);
    QPixmap picture(17, 17);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::white);
    painter.setBrush(Qt::black);
    const int tip = direction < 0 ? 1 : 15, base = direction < 0 ? 9 : 7;
    painter.drawPolygon(QPolygon({QPoint(8, tip), QPoint(2, base), QPoint(14, base)}));
    const int stemTop = direction < 0 ? base : 1, stemBottom = direction < 0 ? 15 : base;
    painter.drawRect(6, stemTop, 4, stemBottom - stemTop);
    painter.end();
    return QCursor(picture, 8, 8);
}

} // namespace

// --- Positions and selection ---------------------------------------------------

int THTMLViewer::PositionAt(int X, int Y, bool* inText) {
    int xr = 0, yr = 0, caretHeight = 0;
    bool in = false;
    const int pos = sectionList_->CursorAt(*measure_, DocX(X), DocY(Y), xr, yr, caretHeight, in);
    if (inText) *inText = pos >= 0 && in;
    if (pos >= 0) return pos;
    // Above the document is its start, below its end; between items the
    // end of the text above, or the start of the block there.
    if (DocY(Y) < 0) return 0;
    if (DocY(Y) >= docHeight_) return sectionList_->PosCount;
    TSectionBase* item = sectionList_->ItemAtY(DocY(Y));
    if (!item) return 0;
    return dynamic_cast<TSection*>(item) ? item->FirstPos + item->PosCount : item->FirstPos;
}

void THTMLViewer::SetSelection(int start, int end) {
    TSectionList& root = *sectionList_;
    root.CaretPos = caretIndex_;
    if (root.SelStart == start && root.SelEnd == end) return;
    root.SelStart = start;
    root.SelEnd = end;
    InvalidatePanel();
}

void THTMLViewer::ExtendSelection(int position) {
    if (noSelect_ || position < 0) return;
    if (selAnchor_ < 0) selAnchor_ = position;
    caretIndex_ = position;
    SetSelection(std::min(selAnchor_, position), std::max(selAnchor_, position));
}

int THTMLViewer::SelectionLength() const {
    const int length = sectionList_->SelEnd - sectionList_->SelStart;
    return caretIndex_ < selAnchor_ ? -length : length;
}

void THTMLViewer::SelectEverything() {
    if (noSelect_ || processing_) return;
    selAnchor_ = 0;
    caretIndex_ = sectionList_->PosCount;
    SetSelection(0, sectionList_->PosCount);
}

QString THTMLViewer::SelectedText() {
    if (processing_) return {};
    return DecodeText(sectionList_->GetSelectedText(), sectionList_->CodePage);
}

void THTMLViewer::CopySelectionToClipboard() {
    if (processing_) return;
    std::string text = sectionList_->ClipboardText();
    if (!text.empty()) SetClipboardText(text, sectionList_->CodePage);
}

bool THTMLViewer::WordRange(int position, int& start, int& end) {
    char ch = 0;
    TSectionBase* object = nullptr;
    TSectionBase* home = nullptr; // a word never runs on into the next paragraph
    const auto isWord = [&](int p) {
        return p >= 0 && sectionList_->CharAt(p, ch, object) &&
               IsWordChar(ch, sectionList_->CodePage) && (home == nullptr || object == home);
    };
    if (position < 0) return false;
    if (!isWord(position)) {
        // Past the middle of a word's last letter the caret is after it.
        if (!isWord(position - 1)) return false;
        --position;
    }
    home = object;
    start = position;
    end = position + 1;
    while (isWord(start - 1))
        --start;
    while (isWord(end))
        ++end;
    return true;
}

std::string THTMLViewer::TextBetween(int start, int end) {
    std::string text;
    char ch = 0;
    TSectionBase* object = nullptr;
    for (int p = start; p < end; ++p)
        if (sectionList_->CharAt(p, ch, object)) text += ch;
    return text;
}

void THTMLViewer::SelectWordAt(int X, int Y) {
    int start = 0, end = 0;
    if (!WordRange(PositionAt(X, Y), start, end)) return;
    selAnchor_ = start;
    caretIndex_ = end;
    SetSelection(start, end);
}

bool THTMLViewer::FindNext(const QString& typed, bool matchCase) {
    std::string text;
    if (processing_ || typed.isEmpty()) return false;
    TSectionList& root = *sectionList_;
    if (!EncodeText(typed, root.CodePage, text)) return false;
    const int found = root.FindText(caretIndex_, text, matchCase);
    if (found < 0) return false;
    selAnchor_ = found;
    caretIndex_ = found + static_cast<int>(text.size());
    SetSelection(found, caretIndex_);
    int x = 0, y = 0;
    if (root.CursorToPoint(measure_.get(), found, x, y)) {
        const int top = ScrollY(), bottom = top + PanelHeight() - 20;
        if (y < top || y >= bottom) ScrollTo(y - PanelHeight() / 2);
        if (x < HScroll() || x >= HScroll() + PanelWidth()) ScrollHorzTo(x - PanelWidth() / 2);
    }
    InvalidatePanel();
    return true;
}

// --- Mouse -----------------------------------------------------------------------

void THTMLViewer::SetHot(const std::string& url, const std::string& target) {
    if (overLink_ && url == hotURL_ && target == hotTarget_) return;
    overLink_ = true;
    hotURL_ = url;
    hotTarget_ = target;
    if (OnHotSpotCovered) OnHotSpotCovered(this, hotURL_);
}

void THTMLViewer::ClearHot() {
    if (!overLink_) return;
    overLink_ = false;
    hotURL_.clear();
    hotTarget_.clear();
    if (OnHotSpotCovered) OnHotSpotCovered(this, hotURL_);
}

void THTMLViewer::UpdateHover(int X, int Y, Qt::KeyboardModifiers shift) {
    TSectionList& root = *sectionList_;
    const TUrlTarget* target = nullptr;
    TFormControl* control = nullptr;
    const bool link = root.LinkAtPoint(*measure_, DocX(X), DocY(Y), target, control);
    // Copied now: the host's image handler below may replace the document.
    const std::string url = target ? target->Url : std::string();
    const std::string frame = target ? target->Target : std::string();
    const unsigned document = documentSerial_;
    TInlineImage* object = nullptr;
    int ix = 0, iy = 0;
    const bool onImage = root.ObjectAt(DocX(X), DocY(Y), object, ix, iy);
    root.SetHoverImage(onImage ? object : nullptr);
    if (OnImageOver) {
        if (onImage) OnImageOver(this, object, shift, ix, iy);
        if (document != documentSerial_ || processing_) return;
    }
    if (link) {
        panel_->setCursor(Qt::PointingHandCursor);
        hoverTimer_->SetEnabled(true);
        SetHot(url, frame);
        return;
    }
    hoverTimer_->SetEnabled(false);
    bool inText = false;
    PositionAt(X, Y, &inText);
    panel_->setCursor(inText ? cursor() : QCursor(Qt::ArrowCursor));
    ClearHot();
}

void THTMLViewer::MouseLeft() {
    mouseInside_ = false;
    HoverTick();
}

void THTMLViewer::HoverTick() {
    if (processing_) return;
    if (mouseInside_ && panel_->rect().contains(lastMouse_)) return;
    hoverTimer_->SetEnabled(false);
    const TUrlTarget* target = nullptr;
    TFormControl* control = nullptr;
    // A point outside the document cancels the hover look.
    sectionList_->LinkAtPoint(*measure_, -1, -1, target, control);
    sectionList_->SetHoverImage(nullptr);
    ClearHot();
}

void THTMLViewer::DocMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers, int X, int Y) {
    if (processing_) return;
    if (dragScrolling_) {
        EndDragScroll();
        return;
    }
    lastMouse_ = {X, Y};
    if (button == Qt::MiddleButton) {
        StartDragScroll(Y);
        return;
    }
    if (button != Qt::LeftButton) return;
    setFocus(Qt::MouseFocusReason);
    afterDouble_ = false;
    const int position = PositionAt(X, Y);
    selAnchor_ = position;
    if (position >= 0) caretIndex_ = position;
    selecting_ = !noSelect_;
    SetSelection(caretIndex_, caretIndex_);
}

void THTMLViewer::DocMouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int X,
                               int Y) {
    if (processing_) return;
    lastMouse_ = {X, Y};
    mouseInside_ = panel_->rect().contains(lastMouse_);
    if (dragScrolling_) return; // the drag timer reads lastMouse_
    UpdateHover(X, Y, shift);
    if (!selecting_ || !(buttons & Qt::LeftButton)) return;
    ExtendSelection(PositionAt(X, Y));
    if (Y < 0 || Y >= PanelHeight()) autoScrollTimer_->SetEnabled(true);
}

void THTMLViewer::DocMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X, int Y) {
    if (processing_) return;
    TSectionList& root = *sectionList_;
    if (dragScrolling_) {
        if (std::abs(Y - dragStartY_) > 20 || button != Qt::MiddleButton) EndDragScroll();
        return;
    }
    const int docX = DocX(X), docY = DocY(Y);
    if (OnImageClick) {
        TInlineImage* object = nullptr;
        int ix = 0, iy = 0;
        const unsigned document = documentSerial_;
        if (root.ObjectAt(docX, docY, object, ix, iy))
            OnImageClick(this, object, button, shift, ix, iy);
        if (document != documentSerial_ || processing_) return; // the click opened a page
    }
    if (button == Qt::RightButton) {
        if (!OnRightClick) return;
        TRightClickParameters parameters;
        const TUrlTarget* target = nullptr;
        TFormControl* control = nullptr;
        if (root.LinkAtPoint(*measure_, docX, docY, target, control) && target) {
            parameters.LinkURL = target->Url;
            parameters.LinkTarget = target->Target;
        }
        root.ObjectAt(docX, docY, parameters.ClickedImage, parameters.ImageX, parameters.ImageY);
        int start = 0, end = 0;
        if (WordRange(PositionAt(X, Y), start, end))
            parameters.WordAtPoint = TextBetween(start, end);
        OnRightClick(this, parameters);
        return;
    }
    if (button != Qt::LeftButton) return;
    autoScrollTimer_->SetEnabled(false);
    const bool wasSelecting = selecting_;
    selecting_ = false;
    if (afterDouble_) {
        afterDouble_ = false; // the release of a double click keeps its word
        return;
    }
    if (wasSelecting) ExtendSelection(PositionAt(X, Y));
    if (root.SelEnd != root.SelStart) return; // a selection is never a click
    const TUrlTarget* target = nullptr;
    TFormControl* control = nullptr;
    if (!root.LinkAtPoint(*measure_, docX, docY, target, control)) return;
    if (control) {
        ClickImageControl(*control);
        return;
    }
    if (!target) return;
    overLink_ = true;
    hotURL_ = target->Url;
    hotTarget_ = target->Target;
    FollowLink();
}

void THTMLViewer::DocMouseDouble(Qt::MouseButton button, Qt::KeyboardModifiers shift, int X,
                                 int Y) {
    if (processing_ || followingLink_ || button != Qt::LeftButton) return;
    afterDouble_ = true;
    selecting_ = false;
    if (!noSelect_) SelectWordAt(X, Y);
    if (OnMouseDouble) OnMouseDouble(this, button, shift, X, Y);
}

// --- Automatic and drag scrolling --------------------------------------------

void THTMLViewer::AutoScrollTick() {
    if (processing_ || !selecting_) {
        autoScrollTimer_->SetEnabled(false);
        return;
    }
    const int height = PanelHeight(), y = lastMouse_.y();
    int step = 0;
    if (y < 0)
        step = -y <= 15 ? -VLineStep : -8 * VLineStep;
    else if (y >= height)
        step = y - height < 15 ? VLineStep : 8 * VLineStep;
    if (step == 0) {
        autoScrollTimer_->SetEnabled(false);
        return;
    }
    ScrollBy(step);
    ExtendSelection(PositionAt(lastMouse_.x(), std::clamp(y, 0, std::max(0, height - 1))));
}

void THTMLViewer::StartDragScroll(int Y) {
    dragScrolling_ = true;
    dragStartY_ = Y;
    panel_->setCursor(DragCursor(0));
    dragTimer_->SetEnabled(true);
}

void THTMLViewer::EndDragScroll() {
    if (!dragScrolling_) return;
    dragScrolling_ = false;
    dragTimer_->SetEnabled(false);
    panel_->setCursor(Qt::ArrowCursor);
}

void THTMLViewer::DragScrollTick() {
    if (processing_ || !dragScrolling_) return;
    const int distance = lastMouse_.y() - dragStartY_;
    const int beyond = std::abs(distance);
    const int step = beyond > 60 ? 32 : beyond > 20 ? 8 : 0;
    const int direction = step == 0 ? 0 : (distance < 0 ? -1 : 1);
    panel_->setCursor(DragCursor(direction));
    if (step) ScrollBy(direction * step);
}

// --- Keys and the wheel --------------------------------------------------------

void THTMLViewer::keyPressEvent(QKeyEvent* event) {
    if (processing_) return;
    if (dragScrolling_) {
        EndDragScroll();
        return;
    }
    const int page = std::max(1, PanelHeight() - VLineStep);
    switch (event->key()) {
    case Qt::Key_PageUp: ScrollBy(-page); break;
    case Qt::Key_PageDown: ScrollBy(page); break;
    case Qt::Key_Home: ScrollTo(0); break;
    case Qt::Key_End: ScrollTo(docHeight_); break;
    case Qt::Key_Up: ScrollBy(-VLineStep); break;
    case Qt::Key_Down: ScrollBy(VLineStep); break;
    case Qt::Key_Left: ScrollHorzTo(HScroll() - HLineStep); break;
    case Qt::Key_Right: ScrollHorzTo(HScroll() + HLineStep); break;
    default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void THTMLViewer::wheelEvent(QWheelEvent* event) {
    if (processing_) return;
    // Half the wheel's delta: 60 pixels a notch.
    ScrollBy(-event->angleDelta().y() / 2);
    event->accept();
}

} // namespace lumo

// The viewer's scrolling: the document's place in the panel, moved by the
// scroll bars or by the program, and saved and restored with the history.
#include "viewer/html_viewer.h"

#include "layout/section_list.h"
#include "viewer/paint_panel.h"

#include <QScrollBar>

#include <algorithm>
#include <cstdlib>

namespace lumo {

int THTMLViewer::ScrollY() const {
    return sectionList_->ScrollY;
}

int THTMLViewer::HScroll() const {
    return hScrollBar_->value();
}

void THTMLViewer::ScrollTo(int y) {
    const int old = sectionList_->ScrollY;
    y = std::clamp(y, 0, std::max(0, docHeight_ - PanelHeight()));
    settingBars_ = true;
    vScrollBar_->setValue(y);
    settingBars_ = false;
    sectionList_->SetScrollY(y);
    const int dy = old - y;
    if (dy == 0) return;
    // Short moves shift what is on screen and paint the strip uncovered.
    // The shift carries the widgets along; placing then puts each exactly.
    if (std::abs(dy) < PanelHeight() && !processing_)
        panel_->scroll(0, dy);
    else
        InvalidatePanel();
    PlaceControls();
}

void THTMLViewer::ScrollHorzTo(int x) {
    const int old = HScroll();
    settingBars_ = true;
    hScrollBar_->setValue(std::clamp(x, 0, hScrollBar_->maximum()));
    settingBars_ = false;
    if (HScroll() == old) return;
    PlaceControls();
    InvalidatePanel();
}

void THTMLViewer::ScrollBy(int dy) {
    ScrollTo(ScrollY() + dy);
}

void THTMLViewer::BarValueChanged(int value) {
    if (settingBars_) return;
    if (processing_) {
        settingBars_ = true;
        vScrollBar_->setValue(ScrollY());
        settingBars_ = false;
        return;
    }
    ScrollTo(value);
}

void THTMLViewer::HBarValueChanged(int) {
    if (settingBars_) return;
    PlaceControls();
    InvalidatePanel();
}

TScrollPosition THTMLViewer::ScrollPosition() {
    return ScrollPositionAt(*sectionList_, ScrollY());
}

void THTMLViewer::SetScrollPosition(const TScrollPosition& position) {
    const int y = ScrollYOf(*sectionList_, position);
    if (y >= 0) ScrollTo(y);
}

} // namespace lumo

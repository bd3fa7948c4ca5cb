// Finding text in a shown viewer and sending it mouse input as a user's
// would arrive. Points are found through the laid-out document, so tests do
// not depend on font sizes.
#pragma once

#include "layout/section_list.h"
#include "layout/text_section.h"
#include "viewer/html_viewer.h"

#include "tests/support/layout_fixture.h"

#include <QApplication>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <string_view>

namespace lumo::test {

// The document position of the first character of text (of its n-th
// occurrence), or -1.
inline int PositionOfText(THTMLViewer& viewer, std::string_view text, int occurrence = 0) {
    for (TSection* s : All<TSection>(viewer.SectionList())) {
        size_t at = s->Text.find(text);
        while (at != std::string::npos) {
            if (occurrence-- == 0) return s->FirstPos + static_cast<int>(at);
            at = s->Text.find(text, at + 1);
        }
    }
    return -1;
}

// A panel point inside the character at a document position.
inline QPoint PointAtPosition(THTMLViewer& viewer, int position) {
    int x = 0, y = 0;
    EXPECT_TRUE(viewer.SectionList().CursorToPoint(&viewer.MeasureCanvas(), position, x, y));
    return {x + 1 - viewer.HScroll(), y + 6 - viewer.ScrollY()};
}

inline QPoint PointOfText(THTMLViewer& viewer, std::string_view text, int occurrence = 0) {
    const int position = PositionOfText(viewer, text, occurrence);
    EXPECT_GE(position, 0) << text;
    return PointAtPosition(viewer, position);
}

inline void SendMouse(QWidget* widget, QEvent::Type type, Qt::MouseButton button, QPoint p,
                      Qt::MouseButtons held = Qt::NoButton) {
    QMouseEvent event(type, QPointF(p), QPointF(widget->mapToGlobal(p)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Moves onto the point of the viewer's panel, presses and releases there.
inline void ClickViewerAt(THTMLViewer& viewer, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* panel = viewer.PaintPanel();
    SendMouse(panel, QEvent::MouseMove, Qt::NoButton, p);
    SendMouse(panel, QEvent::MouseButtonPress, button, p, button);
    SendMouse(panel, QEvent::MouseButtonRelease, button, p);
}

inline void ClickText(THTMLViewer& viewer, std::string_view text,
                      Qt::MouseButton button = Qt::LeftButton) {
    ClickViewerAt(viewer, PointOfText(viewer, text), button);
}

} // namespace lumo::test

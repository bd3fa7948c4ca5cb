// A shown viewer with pages in a temporary folder, and synthetic mouse, key
// and wheel input sent to it as a user's would arrive. Points are found
// through the laid-out document, so the tests do not depend on font sizes.
#pragma once

#include "layout/section_list.h"
#include "layout/text_section.h"
#include "viewer/html_viewer.h"

#include "tests/support/layout_fixture.h"
#include "tests/support/pump.h"
#include "tests/support/temp_folder.h"
#include "tests/support/viewer_input.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace lumo::test {

class ViewerTest : public testing::Test {
protected:
    ViewerTest() {
        viewer.resize(400, 300);
        viewer.SetDefBackground(0xFFFFFF);
        viewer.show();
        Settle();
    }

    // Writes a page into the folder and returns its full name.
    std::string Page(std::string_view name, std::string_view html) {
        folder.Write(name, html);
        return folder / name;
    }
    void Open(std::string_view name, std::string_view html) { viewer.OpenFile(Page(name, html)); }

    int PositionOf(std::string_view text, int occurrence = 0) {
        return PositionOfText(viewer, text, occurrence);
    }
    QPoint PointAt(int position) { return PointAtPosition(viewer, position); }
    QPoint PointOf(std::string_view text, int occurrence = 0) {
        return PointOfText(viewer, text, occurrence);
    }
    // The section the view starts in.
    TSectionBase* FirstVisible() { return viewer.SectionList().ItemAtY(viewer.ScrollY()); }

    void Mouse(QEvent::Type type, Qt::MouseButton button, QPoint p,
               Qt::MouseButtons held = Qt::NoButton) {
        SendMouse(viewer.PaintPanel(), type, button, p, held);
    }
    void Move(QPoint p, Qt::MouseButtons held = Qt::NoButton) {
        Mouse(QEvent::MouseMove, Qt::NoButton, p, held);
    }
    void Press(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        Mouse(QEvent::MouseButtonPress, button, p, button);
    }
    void Release(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        Mouse(QEvent::MouseButtonRelease, button, p);
    }
    void Click(QPoint p) {
        Move(p);
        Press(p);
        Release(p);
    }
    void DoubleClick(QPoint p) {
        Click(p);
        Mouse(QEvent::MouseButtonDblClick, Qt::LeftButton, p, Qt::LeftButton);
        Release(p);
    }
    void Key(int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&viewer, &event);
    }
    void Wheel(int notches) {
        QWidget* panel = viewer.PaintPanel();
        const QPointF p(10, 10);
        QWheelEvent event(p, panel->mapToGlobal(p), QPoint(), QPoint(0, 120 * notches),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(panel, &event);
    }

    static void Settle() { QCoreApplication::processEvents(); }

    TempFolder folder;
    THTMLViewer viewer;
};

} // namespace lumo::test

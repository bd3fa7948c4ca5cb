// Frame set borders: bevels from BORDER, and dragging a boundary with the
// mouse as a user would (events on the frames' bevels).
#include "tests/frames/frame_browser_fixture.h"

#include <QRubberBand>

namespace lumo::test {
namespace {

class FramesetLayoutTest : public FrameBrowserTest {
protected:
    // Sends a mouse event to a frame at a point of its own.
    void Mouse(QWidget* panel, QEvent::Type type, QPoint p) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButtons held =
            type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        SendMouse(panel, type, button, p, held);
    }
    // Grabs the boundary at from on panel and lets it go at to (points of panel).
    void Drag(QWidget* panel, QPoint from, QPoint to) {
        Mouse(panel, QEvent::MouseMove, from);
        Mouse(panel, QEvent::MouseButtonPress, from);
        Mouse(panel, QEvent::MouseMove, to);
        Mouse(panel, QEvent::MouseButtonRelease, to);
    }
    QRubberBand* DragLine() { return browser.findChild<QRubberBand*>(); }
};

TEST_F(FramesetLayoutTest, BorderDecidesTheBevels) {
    struct Row {
        const char* attribute;
        int frameBevel;
        int edge;
    };
    const Row rows[] = {{"", 2, 0},
                        {" BORDER=0", 0, 2},
                        {" FRAMEBORDER=0", 0, 2},
                        {" BORDER=5", 5, 0},
                        {" BORDER=99", 20, 0}};
    for (const Row& row : rows) {
        Page("b.htm", std::string("<FRAMESET COLS=\"*,*\"") + row.attribute +
                          "><FRAME NAME=a SRC=\"x.htm\"><FRAME NAME=b SRC=\"y.htm\"></FRAMESET>");
        Open("b.htm");
        EXPECT_EQ(Frame("a")->frameWidth(), row.frameBevel) << row.attribute;
        EXPECT_EQ(browser.ShownFrameSet()->EdgeBorder, row.edge) << row.attribute;
        EXPECT_EQ(RectOf(Frame("a")).topLeft(), QPoint(row.edge, row.edge)) << row.attribute;
        EXPECT_EQ(RectOf(Frame("b")).right(), 799 - row.edge) << row.attribute;
        // Without borders the viewers draw no focus border either.
        EXPECT_EQ(Frame("a")->Viewer->BorderStyle() == THTMLBorderStyle::htNone,
                  row.frameBevel == 0)
            << row.attribute;
        Open("other.htm"); // the next row is a new page
    }
}

TEST_F(FramesetLayoutTest, DraggingAColumnBoundaryMovesIt) {
    Page("cols.htm", "<FRAMESET COLS=\"50%,50%\"><FRAME NAME=a SRC=\"x.htm\">"
                     "<FRAME NAME=b SRC=\"y.htm\"></FRAMESET>");
    Open("cols.htm");
    TFrame* a = Frame("a");
    // The boundary is at 400; the bevel of frame a ends there.
    Mouse(a, QEvent::MouseMove, {398, 300});
    EXPECT_EQ(a->cursor().shape(), Qt::SplitHCursor);
    Mouse(a, QEvent::MouseMove, {380, 300});
    EXPECT_EQ(a->cursor().shape(), browser.PageCursor().shape());
    Mouse(a, QEvent::MouseMove, {398, 300});
    Mouse(a, QEvent::MouseButtonPress, {398, 300});
    Mouse(a, QEvent::MouseMove, {600, 300});
    ASSERT_NE(DragLine(), nullptr);
    EXPECT_TRUE(DragLine()->isVisible());
    EXPECT_EQ(DragLine()->geometry(), QRect(599, 0, 3, 600));
    Mouse(a, QEvent::MouseButtonRelease, {600, 300});
    EXPECT_FALSE(DragLine()->isVisible());
    EXPECT_EQ(RectOf(a), QRect(0, 0, 600, 600));
    EXPECT_EQ(RectOf(Frame("b")), QRect(600, 0, 200, 600));
    // Past the neighbouring boundary the line stops one pixel inside it.
    Drag(a, {598, 300}, {900, 300});
    EXPECT_EQ(RectOf(a), QRect(0, 0, 799, 600));
    // A new size lays out from ROWS and COLS again: the drags are undone.
    browser.resize(1000, 600);
    Settle();
    EXPECT_EQ(RectOf(a), QRect(0, 0, 500, 600));
    EXPECT_EQ(RectOf(Frame("b")), QRect(500, 0, 500, 600));
}

TEST_F(FramesetLayoutTest, RowsDragVerticallyAndNestedSetsDragTheirOwnBoundaries) {
    Page("nest.htm", "<FRAMESET COLS=\"*,*\"><FRAME NAME=a SRC=\"x.htm\">"
                     "<FRAMESET ROWS=\"100,*\"><FRAME NAME=b SRC=\"y.htm\">"
                     "<FRAME NAME=c SRC=\"z.htm\"></FRAMESET></FRAMESET>");
    Open("nest.htm");
    TFrame* b = Frame("b");
    ASSERT_EQ(RectOf(b), QRect(400, 0, 400, 100));
    Mouse(b, QEvent::MouseMove, {200, 98});
    EXPECT_EQ(b->cursor().shape(), Qt::SplitVCursor);
    Drag(b, {200, 98}, {200, 250});
    EXPECT_EQ(RectOf(b), QRect(400, 0, 400, 250));
    EXPECT_EQ(RectOf(Frame("c")), QRect(400, 250, 400, 350));
    // At its left edge the nested set hands the mouse to the set around it.
    Drag(b, {1, 50}, {-100, 50});
    EXPECT_EQ(RectOf(Frame("a")), QRect(0, 0, 300, 600));
    EXPECT_EQ(RectOf(b), QRect(300, 0, 500, 250)); // the nested set keeps its proportions
}

TEST_F(FramesetLayoutTest, ABoundaryNextToANoResizeFrameStays) {
    Page("fixed.htm", "<FRAMESET COLS=\"200,*,200\"><FRAME NAME=a SRC=\"x.htm\">"
                      "<FRAME NAME=b SRC=\"y.htm\" NORESIZE><FRAME NAME=c SRC=\"z.htm\">"
                      "</FRAMESET>");
    Open("fixed.htm");
    TFrame* a = Frame("a");
    Mouse(a, QEvent::MouseMove, {198, 300});
    EXPECT_NE(a->cursor().shape(), Qt::SplitHCursor);
    Drag(a, {198, 300}, {300, 300});
    EXPECT_EQ(RectOf(a), QRect(0, 0, 200, 600));
    Drag(Frame("c"), {1, 300}, {-100, 300});
    EXPECT_EQ(RectOf(Frame("c")), QRect(600, 0, 200, 600));
    EXPECT_EQ(DragLine(), nullptr);
}

} // namespace
} // namespace lumo::test

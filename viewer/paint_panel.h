// The inner panel of the viewer that the document is painted on. It owns no
// state: paint and mouse events go to its viewer.
#pragma once

#include <QWidget>

namespace lumo {

class THTMLViewer;

class TPaintPanel : public QWidget {
public:
    explicit TPaintPanel(THTMLViewer& viewer);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    THTMLViewer& viewer_;
};

} // namespace lumo

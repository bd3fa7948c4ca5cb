// The widget that shows an embedded panel (PANEL) on screen, a child of the
// viewer's paint panel kept over the panel's box. It starts white, with a
// single border, at the box's size; the host fills it with a control of its
// own when the viewer raises OnPanelCreate.
#pragma once

#include <QFrame>

namespace lumo {

class TPanelWidget : public QFrame {
public:
    explicit TPanelWidget(QWidget* parent) : QFrame(parent) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
        QPalette look = palette();
        look.setColor(QPalette::Window, Qt::white);
        setPalette(look);
        setAutoFillBackground(true);
        hide();
    }

    // A printed page shows the panel as a box in its colour with its ALT
    // text; a host whose control prints otherwise turns this off.
    bool PrintAsBox = true;
};

} // namespace lumo

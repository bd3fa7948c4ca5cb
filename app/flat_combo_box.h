// An editable combo box that can paint itself flat: a thin frame that sinks
// while the mouse is over the box or it has the focus, and a drop button
// that stands out only then. Inactive, frame and button sit flush in the
// button-face colour.
#pragma once

#include <QComboBox>

namespace lumo {

class TFlatComboBox : public QComboBox {
public:
    explicit TFlatComboBox(QWidget* parent = nullptr);

    bool Flat() const { return flat_; }
    void SetFlat(bool flat);
    bool SlimButton() const { return slimButton_; }
    void SetSlimButton(bool slim);
    // The drop button's width: the style's scroll bar width, 2 pixels less
    // when slim.
    int ButtonWidth() const;

    // In box coordinates, while flat.
    QRect ButtonRect() const;
    QRect EditRect() const;

    void hidePopup() override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // The mouse is over the box or it has the focus.
    bool Active() const;
    void PlaceEditor();
    void PaintFrame(class QPainter& painter) const;
    void PaintButton(QPainter& painter) const;

    bool flat_ = false;
    bool slimButton_ = false;
    bool mouseInControl_ = false;
    bool buttonPressed_ = false;
};

} // namespace lumo

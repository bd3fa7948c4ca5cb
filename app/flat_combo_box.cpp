#include "app/flat_combo_box.h"

#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <qdrawutil.h>

namespace lumo {

namespace {

constexpr int EdgeWidth = 2;  // the sunken or flush outer frame
constexpr int InnerFrame = 1; // the frame in the window colour inside it
constexpr int SlimmedBy = 2;  // what a slim button gives up
constexpr int ArrowWidth = 7; // the drop arrow's base; its height is half of it plus one

} // namespace

TFlatComboBox::TFlatComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // The base places its editor whenever it likes; a flat box puts it back.
    lineEdit()->installEventFilter(this);
}

void TFlatComboBox::SetFlat(bool flat) {
    flat_ = flat;
    setAttribute(Qt::WA_Hover, flat);
    PlaceEditor();
    update();
}

void TFlatComboBox::SetSlimButton(bool slim) {
    slimButton_ = slim;
    PlaceEditor();
    update();
}

int TFlatComboBox::ButtonWidth() const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this) -
           (slimButton_ ? SlimmedBy : 0);
}

QRect TFlatComboBox::ButtonRect() const {
    const QRect inner = rect().adjusted(EdgeWidth, EdgeWidth, -EdgeWidth, -EdgeWidth);
    return QRect(inner.right() + 1 - ButtonWidth(), inner.top(), ButtonWidth(), inner.height());
}

QRect TFlatComboBox::EditRect() const {
    const QRect inner = rect().adjusted(EdgeWidth, EdgeWidth, -EdgeWidth, -EdgeWidth);
    return QRect(inner.left(), inner.top(), inner.width() - ButtonWidth(), inner.height())
        .adjusted(InnerFrame, InnerFrame, -InnerFrame, -InnerFrame);
}

bool TFlatComboBox::Active() const {
    return isEnabled() && (mouseInControl_ || hasFocus());
}

void TFlatComboBox::PlaceEditor() {
    if (!flat_ || !lineEdit()) return;
    if (lineEdit()->geometry() != EditRect()) lineEdit()->setGeometry(EditRect());
}

bool TFlatComboBox::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::HoverEnter:
        mouseInControl_ = true;
        update();
        break;
    case QEvent::Leave:
    case QEvent::HoverLeave:
        mouseInControl_ = false;
        update();
        break;
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::EnabledChange: update(); break;
    default: break;
    }
    return QComboBox::event(event);
}

bool TFlatComboBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        PlaceEditor();
    return QComboBox::eventFilter(watched, event);
}

void TFlatComboBox::resizeEvent(QResizeEvent* event) {
    QComboBox::resizeEvent(event);
    PlaceEditor();
}

void TFlatComboBox::mousePressEvent(QMouseEvent* event) {
    if (flat_ && event->button() == Qt::LeftButton &&
        ButtonRect().contains(event->position().toPoint())) {
        buttonPressed_ = true;
        update();
        // Opening the list is the button's whole job.
        showPopup();
        event->accept();
        return;
    }
    QComboBox::mousePressEvent(event);
}

void TFlatComboBox::mouseReleaseEvent(QMouseEvent* event) {
    if (buttonPressed_) {
        buttonPressed_ = false;
        update();
    }
    QComboBox::mouseReleaseEvent(event);
}

void TFlatComboBox::hidePopup() {
    QComboBox::hidePopup();
    buttonPressed_ = false;
    update();
}

void TFlatComboBox::paintEvent(QPaintEvent* event) {
    if (!flat_) {
        QComboBox::paintEvent(event);
        return;
    }
    QPainter painter(this);
    PaintFrame(painter);
    PaintButton(painter);
}

void TFlatComboBox::PaintFrame(QPainter& painter) const {
    const QPalette& pal = palette();
    if (Active())
        qDrawWinPanel(&painter, rect(), pal, true);
    else
        qDrawPlainRect(&painter, rect(), pal.color(QPalette::Button), EdgeWidth);
    const QRect inner = rect().adjusted(EdgeWidth, EdgeWidth, -EdgeWidth, -EdgeWidth);
    qDrawPlainRect(&painter, inner, pal.color(QPalette::Base), InnerFrame,
                   &pal.brush(QPalette::Base));
}

void TFlatComboBox::PaintButton(QPainter& painter) const {
    const QPalette& pal = palette();
    const QRect button = ButtonRect();
    if (Active())
        qDrawWinButton(&painter, button, pal, buttonPressed_, &pal.brush(QPalette::Button));
    else
        painter.fillRect(button, pal.button());
    // A pressed button's face moves down and right by a pixel.
    const QPoint shift = buttonPressed_ ? QPoint(1, 1) : QPoint(0, 0);
    const QPoint top = button.center() + shift - QPoint(ArrowWidth / 2, ArrowWidth / 4);
    painter.setPen(Qt::NoPen);
    painter.setBrush(
        pal.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    const QPoint arrow[] = {top, top + QPoint(ArrowWidth, 0),
                            top + QPoint(ArrowWidth / 2, ArrowWidth / 2 + 1)};
    painter.drawPolygon(arrow, 3);
}

} // namespace lumo

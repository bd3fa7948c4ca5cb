#include "app/toolbar_glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace lumo {

namespace {

constexpr int Size = 16;

void DrawArrow(QPainter& p, bool left) {
    QPolygonF arrow({{2, 8}, {8, 2}, {8, 5}, {14, 5}, {14, 11}, {8, 11}, {8, 14}});
    if (!left)
        for (QPointF& pt : arrow)
            pt.setX(Size - pt.x());
    p.setBrush(QColor(0, 128, 0));
    p.drawPolygon(arrow);
}

void DrawRefresh(QPainter& p) {
    p.setPen(QPen(QColor(0, 0, 160), 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3, 3, 10, 10), 90 * 16, 270 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 160));
    p.drawPolygon(QPolygonF({{8, 0}, {12, 3}, {8, 6}}));
}

void DrawStop(QPainter& p) {
    p.setBrush(QColor(200, 0, 0));
    p.drawPolygon(
        QPolygonF({{5, 1}, {11, 1}, {15, 5}, {15, 11}, {11, 15}, {5, 15}, {1, 11}, {1, 5}}));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(QPointF(5, 8), QPointF(11, 8));
}

void DrawBook(QPainter& p, bool framed) {
    p.setBrush(QColor(160, 40, 40));
    p.drawRect(QRectF(3, 1, 10, 14));
    p.setBrush(QColor(240, 230, 200));
    p.drawRect(QRectF(11, 2, 2, 12));
    if (framed) {
        p.setPen(QPen(QColor(0, 0, 160), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(5, 4, 5, 6));
    }
}

void DrawSearch(QPainter& p) {
    p.setPen(QPen(QColor(40, 40, 40), 2));
    p.setBrush(QColor(200, 230, 255));
    p.drawEllipse(QRectF(2, 2, 8, 8));
    p.setPen(QPen(QColor(90, 60, 20), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(14, 14));
}

// The glyph drawn in its logical 16 pixels at the given device pixel ratio.
QPixmap GlyphPixmap(Glyph glyph, int ratio) {
    QPixmap pixmap(Size * ratio, Size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    switch (glyph) {
    case Glyph::Back: DrawArrow(p, true); break;
    case Glyph::Forward: DrawArrow(p, false); break;
    case Glyph::Refresh: DrawRefresh(p); break;
    case Glyph::Stop: DrawStop(p); break;
    case Glyph::Bookmark: DrawBook(p, false); break;
    case Glyph::BookmarkFrame: DrawBook(p, true); break;
    case Glyph::Search: DrawSearch(p); break;
    }
    p.end();
    return pixmap;
}

} // namespace

// Drawn for ordinary and for high-density screens, so neither is enlarged.
QIcon ToolbarGlyph(Glyph glyph) {
    QIcon icon;
    for (const int ratio : {1, 2})
        icon.addPixmap(GlyphPixmap(glyph, ratio));
    return icon;
}

QPixmap PadlockPicture() {
    QPixmap pixmap(Size, Size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(96, 96, 96), 2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(4, 1, 8, 10), 0, 180 * 16); // the shackle
    p.drawLine(QPointF(4, 6), QPointF(4, 8));
    p.drawLine(QPointF(12, 6), QPointF(12, 8));
    p.setPen(QPen(QColor(128, 96, 0), 1));
    p.setBrush(QColor(224, 176, 32));
    p.drawRect(QRectF(2.5, 7.5, 11, 8)); // the body
    p.setBrush(Qt::black);
    p.drawRect(QRectF(7.5, 10.5, 1, 2)); // the keyhole
    return pixmap;
}

} // namespace lumo

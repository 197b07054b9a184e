// The data-aware controls' button images (not the display's characters: widgets/Matrix.cpp).

#include "platform/db/Glyphs.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

namespace tamisko::glyphs {
namespace {

constexpr int kSize = 16;

void triangle(QPainter& painter, qreal tipX, qreal baseX)
{
    QPainterPath path;
    path.moveTo(tipX, 8);
    path.lineTo(baseX, 3);
    path.lineTo(baseX, 13);
    path.closeSubpath();
    painter.fillPath(path, painter.pen().color());
}

void bar(QPainter& painter, qreal x)
{
    painter.fillRect(QRectF(x, 3, 2, 10), painter.pen().color());
}

void draw(QPainter& painter, Glyph glyph)
{
    const QColor ink = painter.pen().color();
    switch (glyph) {
    case Glyph::First:
        bar(painter, 3);
        triangle(painter, 5, 12);
        break;
    case Glyph::Prior:
        triangle(painter, 4, 11);
        break;
    case Glyph::Next:
        triangle(painter, 12, 5);
        break;
    case Glyph::Last:
        triangle(painter, 11, 4);
        bar(painter, 11);
        break;
    case Glyph::Insert:
        painter.fillRect(QRectF(7, 3, 2, 10), ink);
        painter.fillRect(QRectF(3, 7, 10, 2), ink);
        break;
    case Glyph::Delete:
        painter.fillRect(QRectF(3, 7, 10, 2), ink);
        break;
    case Glyph::Edit: {
        QPainterPath path; // an upward wedge
        path.moveTo(8, 3);
        path.lineTo(13, 11);
        path.lineTo(3, 11);
        path.closeSubpath();
        painter.fillPath(path, ink);
        break;
    }
    case Glyph::Post: {
        QPen pen(ink, 2);
        painter.setPen(pen);
        painter.drawPolyline(QPolygonF({{3, 8}, {6.5, 12}, {13, 4}}));
        break;
    }
    case Glyph::Cancel: {
        QPen pen(ink, 2);
        painter.setPen(pen);
        painter.drawLine(QPointF(4, 4), QPointF(12, 12));
        painter.drawLine(QPointF(12, 4), QPointF(4, 12));
        break;
    }
    case Glyph::Refresh: {
        QPen pen(ink, 1.6);
        painter.setPen(pen);
        painter.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 290 * 16);
        QPainterPath head;
        head.moveTo(10, 1.5);
        head.lineTo(13.5, 4.5);
        head.lineTo(9.5, 6.5);
        head.closeSubpath();
        painter.fillPath(head, ink);
        break;
    }
    case Glyph::Calendar:
        painter.drawRect(QRectF(2.5, 3.5, 11, 10));
        painter.fillRect(QRectF(2.5, 3.5, 11, 2.5), ink);
        for (int row = 0; row < 2; ++row) {
            for (int col = 0; col < 3; ++col)
                painter.fillRect(QRectF(4.5 + col * 3, 7.5 + row * 3, 1.5, 1.5), ink);
        }
        break;
    case Glyph::Calculator:
        painter.drawRect(QRectF(3.5, 1.5, 9, 13));
        painter.fillRect(QRectF(5, 3, 6, 2.5), ink);
        for (int row = 0; row < 3; ++row) {
            for (int col = 0; col < 3; ++col)
                painter.fillRect(QRectF(5 + col * 2.2, 7 + row * 2.4, 1.4, 1.4), ink);
        }
        break;
    }
}

QPixmap render(Glyph glyph, const QColor& ink, qreal ratio)
{
    QPixmap pixmap(QSize(kSize, kSize) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(ink, 1));
    draw(painter, glyph);
    return pixmap;
}

} // namespace

QIcon icon(Glyph glyph)
{
    const QPalette palette = QApplication::palette();
    QIcon result;
    for (const qreal ratio : {1.0, 2.0}) {
        result.addPixmap(
            render(glyph, palette.color(QPalette::Active, QPalette::ButtonText), ratio),
            QIcon::Normal);
        result.addPixmap(
            render(glyph, palette.color(QPalette::Disabled, QPalette::ButtonText), ratio),
            QIcon::Disabled);
    }
    return result;
}

} // namespace tamisko::glyphs

#include "shell/ToolPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace kelvane::toolpictures {

namespace {

using Drawing = std::function<void(QPainter&)>;

// The drawing is made on a 16 x 16 grid and scaled to the picture's size.
QPixmap picture(int size, const Drawing& draw)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 16.0, size / 16.0);
    draw(painter);
    return pixmap;
}

QIcon icon(const Drawing& draw)
{
    QIcon result;
    result.addPixmap(picture(16, draw));
    result.addPixmap(picture(32, draw));
    return result;
}

const QColor kInk(40, 40, 40);

void page(QPainter& p)
{
    QPainterPath outline;
    outline.moveTo(3.5, 1.5);
    outline.lineTo(9.5, 1.5);
    outline.lineTo(12.5, 4.5);
    outline.lineTo(12.5, 14.5);
    outline.lineTo(3.5, 14.5);
    outline.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawPath(outline);
    p.drawPolyline(QPolygonF({QPointF(9.5, 1.5), QPointF(9.5, 4.5), QPointF(12.5, 4.5)}));
}

} // namespace

QIcon New()
{
    return icon(page);
}

QIcon Open()
{
    return icon([](QPainter& p) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(230, 190, 80));
        p.drawPolygon(QPolygonF({QPointF(1.5, 4.5), QPointF(5.5, 4.5), QPointF(6.5, 5.5), QPointF(13.5, 5.5),
                                 QPointF(13.5, 13.5), QPointF(1.5, 13.5)}));
        p.setBrush(QColor(250, 215, 110));
        p.drawPolygon(QPolygonF({QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(13.5, 13.5), QPointF(1.5, 13.5)}));
    });
}

QIcon Save()
{
    return icon([](QPainter& p) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(60, 90, 160));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(4.5, 9.5, 7, 5));
    });
}

QIcon Print()
{
    return icon([](QPainter& p) {
        p.setPen(QPen(kInk, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(180, 180, 180));
        p.drawRect(QRectF(1.5, 6.5, 13, 6));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
    });
}

QPixmap Logo(int size)
{
    return picture(size, [](QPainter& p) {
        const QPointF top(8, 3.5);
        const QPointF left(3.5, 12);
        const QPointF right(12.5, 12);
        p.setPen(QPen(QColor(90, 90, 90), 1.2));
        p.drawLine(top, left);
        p.drawLine(top, right);
        p.setPen(QPen(kInk, 0.8));
        p.setBrush(QColor(0, 170, 0));
        p.drawEllipse(top, 2.5, 2.5);
        p.setBrush(QColor(230, 200, 0));
        p.drawEllipse(left, 2.5, 2.5);
        p.setBrush(QColor(210, 40, 40));
        p.drawEllipse(right, 2.5, 2.5);
    });
}

} // namespace kelvane::toolpictures

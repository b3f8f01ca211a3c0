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

namespace {

// The grade 0 (false) to 10 (true) that a report picture index stands for; -1 for none.
int gradeOfPicture(int index)
{
    if (index == 15)
        return 5;
    if (index >= 4 && index <= 8)
        return 14 - index; // 4 true .. 8 a little more true than not
    if (index >= 9 && index <= 13)
        return index - 9; // 9 false .. 13 a little less true than not
    return -1;
}

// From red (false) through yellow (undecided) to green (true).
QColor gradeColour(int grade)
{
    const double t = grade / 10.0;
    if (t <= 0.5)
        return QColor::fromRgbF(0.85, 0.2 + 1.3 * t, 0.15);
    return QColor::fromRgbF(0.85 - 1.5 * (t - 0.5), 0.85 - 0.3 * (t - 0.5), 0.15);
}

void disc(QPainter& p, const QColor& colour)
{
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(colour);
    p.drawEllipse(QPointF(8, 8), 6, 6);
}

void mark(QPainter& p, const QString& text, const QColor& colour)
{
    QFont font = p.font();
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    p.setPen(colour);
    p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, text);
}

} // namespace

QPixmap ReportLine(int index, int size)
{
    if (index == 1)
        return Logo(size);
    return picture(size, [index](QPainter& p) {
        if (const int grade = gradeOfPicture(index); grade >= 0) {
            disc(p, gradeColour(grade));
        } else if (index == 16) {
            disc(p, QColor(200, 200, 200));
            mark(p, QStringLiteral("?"), kInk);
        } else if (index == 17) {
            disc(p, QColor(200, 30, 30));
            mark(p, QStringLiteral("!"), Qt::white);
        } else if (index == 18) {
            page(p);
            p.setPen(QPen(kInk, 0.8));
            for (double y : {7.5, 9.5, 11.5})
                p.drawLine(QPointF(5, y), QPointF(11, y));
        }
    });
}

} // namespace kelvane::toolpictures

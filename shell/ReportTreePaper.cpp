#include "shell/ReportTreePaper.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QRegularExpression>
#include <QTreeWidgetItem>
#include <cmath>

namespace kelvane {

namespace {

constexpr double kTwipsPerPixel = 15;
constexpr int kDotsPerMetre = 3780; // 96 dots an inch: one pixel is 15 twips

double px(double twips)
{
    return twips / kTwipsPerPixel;
}

QImage pictureAt96Dpi(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMetre);
    image.setDotsPerMeterY(kDotsPerMetre);
    return image;
}

QStringList linesOf(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return text.split(lineBreak);
}

} // namespace

ReportTreePaper::ReportTreePaper(const QTreeWidgetItem& root, const QFont& font, LinePicture picture)
    : m_root(root), m_font(font), m_picture(std::move(picture))
{
}

double ReportTreePaper::Extent() const
{
    return DrawNode(nullptr, m_root, kLeft, kTop, 0);
}

int ReportTreePaper::PageCount(double extent, double pageHeight)
{
    if (pageHeight <= 0)
        return 1;
    return std::max(1, int(std::ceil((extent + kIcon) / pageHeight)));
}

QImage ReportTreePaper::Page(double top, double width, double height) const
{
    QImage page = pictureAt96Dpi(QSize(std::max(1, int(px(width))), std::max(1, int(px(height)))));
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setFont(m_font);
    painter.setPen(QPen(Qt::black, 0));
    DrawNode(&painter, m_root, kLeft, kTop, top);
    return page;
}

double ReportTreePaper::textHeight(const QString& text) const
{
    static const QImage device = pictureAt96Dpi(QSize(1, 1));
    const QFontMetricsF metrics(m_font, &device);
    return metrics.lineSpacing() * linesOf(text).size() * kTwipsPerPixel;
}

double ReportTreePaper::DrawNode(QPainter* painter, const QTreeWidgetItem& node, double x, double y, double top) const
{
    const QString text = node.text(0);
    const double height = textHeight(text);
    const double textY = y + (kIcon - height) / 2;

    if (painter) {
        const double sliceHeight = painter->device()->height() * kTwipsPerPixel;
        const bool onSlice = y + std::max(kIcon, height) >= top && std::min(y, textY) <= top + sliceHeight;
        if (onSlice) {
            painter->drawImage(QRectF(px(x), px(y - top), px(kIcon), px(kIcon)), m_picture(node));
            const QFontMetricsF metrics(m_font, painter->device());
            double baseline = px(textY - top) + metrics.ascent();
            for (const QString& line : linesOf(text)) {
                painter->drawText(QPointF(px(x + kIcon), baseline), line);
                baseline += metrics.lineSpacing();
            }
        }
    }
    if (node.childCount() == 0)
        return std::nearbyint(textY);

    const auto connect = [&](double x1, double y1, double x2, double y2) {
        if (painter)
            painter->drawLine(QPointF(px(x1), px(y1 - top)), QPointF(px(x2), px(y2 - top)));
    };
    // The first child hangs below the middle of this line's picture.
    const double stem = x + kHalfIcon;
    double branch = y + kIcon + kHalfIcon;
    connect(stem, y + kIcon, stem, branch);
    connect(stem, branch, stem + kIcon, branch);
    double last = DrawNode(painter, *node.child(0), x + kIcon + kHalfIcon, y + kIcon, top);
    // Each further child a step below the last line of the subtree before it.
    for (int i = 1; i < node.childCount(); ++i) {
        const double next = last + kGap;
        connect(stem, branch, stem, next);
        branch = next;
        connect(stem, branch, stem + kIcon, branch);
        last = DrawNode(painter, *node.child(i), x + kIcon + kHalfIcon, branch - kHalfIcon, top);
    }
    return last;
}

} // namespace kelvane

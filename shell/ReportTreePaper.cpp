#include "shell/ReportTreePaper.h"

#include "platform/Canvas.h"
#include "platform/Printer.h"
#include "platform/QtFont.h"

#include <QFontMetricsF>
#include <QRegularExpression>
#include <QTreeWidgetItem>
#include <algorithm>
#include <cmath>

namespace kelvane {

namespace {

constexpr double kTwipsPerPixel = 15;
constexpr int kDotsPerMetre = 3780; // 96 dots an inch: one pixel is 15 twips
constexpr qint32 kBlack = 0;

QStringList linesOf(const QString& text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return text.split(lineBreak);
}

// The layout measures texts as the screen does, at 96 dots an inch, so a tree takes the same
// pages on every printer.
const QPaintDevice& layoutDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        image.setDotsPerMeterX(kDotsPerMetre);
        image.setDotsPerMeterY(kDotsPerMetre);
        return image;
    }();
    return device;
}

} // namespace

ReportTreePaper::ReportTreePaper(const QTreeWidgetItem& root, const platform::FontDescription& font, LinePicture picture)
    : m_root(root), m_font(font), m_layoutFont(platform::toQFont(font)), m_picture(std::move(picture))
{
}

double ReportTreePaper::Extent() const
{
    return DrawNode(nullptr, m_root, kLeft, kTop);
}

int ReportTreePaper::PageCount(double extent, double pageHeight)
{
    if (pageHeight <= 0)
        return 1;
    return std::max(1, int(std::ceil((extent + kIcon) / pageHeight)));
}

void ReportTreePaper::PrintPage(platform::Printer& printer, double top, double height) const
{
    platform::Canvas& page = printer.page();
    page.setFont(m_font);
    page.setForeColor(kBlack);
    page.setDrawStyle(platform::drawstyle::Solid);
    page.setDrawWidth(1);
    const Slice slice {printer, top, height};
    DrawNode(&slice, m_root, kLeft, kTop);
}

double ReportTreePaper::textHeight(const QString& text) const
{
    const QFontMetricsF metrics(m_layoutFont, &layoutDevice());
    return metrics.lineSpacing() * linesOf(text).size() * kTwipsPerPixel;
}

double ReportTreePaper::DrawNode(const Slice* slice, const QTreeWidgetItem& node, double x, double y) const
{
    const QString text = node.text(0);
    const double height = textHeight(text);
    const double textY = y + (kIcon - height) / 2;

    const auto onSlice = [&](double at) { return at >= slice->top && at < slice->top + slice->height; };
    if (slice) {
        if (onSlice(y))
            slice->printer.PaintPicture(m_picture(node), QRectF(x, y - slice->top, kIcon, kIcon));
        if (onSlice(textY)) {
            platform::Canvas& page = slice->printer.page();
            page.setCurrentX(x + kIcon);
            page.setCurrentY(textY - slice->top);
            page.Print(text);
        }
    }
    if (node.childCount() == 0)
        return std::nearbyint(textY);

    // Connectors run across, or down: a part outside the slice is left to the page it is on.
    const auto connect = [&](double x1, double y1, double x2, double y2) {
        if (!slice)
            return;
        const double from = std::max(std::min(y1, y2), slice->top);
        const double to = std::min(std::max(y1, y2), slice->top + slice->height);
        if (y1 == y2 ? onSlice(y1) : from < to)
            slice->printer.page().Line(x1, (y1 == y2 ? y1 : from) - slice->top, x2, (y1 == y2 ? y2 : to) - slice->top);
    };
    // The first child hangs below the middle of this line's picture.
    const double stem = x + kHalfIcon;
    double branch = y + kIcon + kHalfIcon;
    connect(stem, y + kIcon, stem, branch);
    connect(stem, branch, stem + kIcon, branch);
    double last = DrawNode(slice, *node.child(0), x + kIcon + kHalfIcon, y + kIcon);
    // Each further child a step below the last line of the subtree before it.
    for (int i = 1; i < node.childCount(); ++i) {
        const double next = last + kGap;
        connect(stem, branch, stem, next);
        branch = next;
        connect(stem, branch, stem + kIcon, branch);
        last = DrawNode(slice, *node.child(i), x + kIcon + kHalfIcon, branch - kHalfIcon);
    }
    return last;
}

} // namespace kelvane

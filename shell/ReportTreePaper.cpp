#include "shell/ReportTreePaper.h"

#include "platform/Canvas.h"
#include "platform/Printer.h"
#include "platform/QtFont.h"

#include <QFontMetricsF>
#include <QTreeWidgetItem>
#include <algorithm>
#include <cmath>
#include <vector>

namespace kelvane {

namespace {

constexpr double kTwipsPerPixel = 15;
constexpr int kDotsPerMetre = 3780; // 96 dots an inch: one pixel is 15 twips
constexpr qint32 kBlack = 0;

// The lines of a text: a line break is CR LF, CR or LF.
qsizetype lineCount(const QString& text)
{
    qsizetype lines = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        if (text[i] == u'\r' || text[i] == u'\n')
            ++lines;
    }
    return lines;
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
    : m_font(font), m_lineSpacing(QFontMetricsF(platform::toQFont(font), &layoutDevice()).lineSpacing()),
      m_picture(std::move(picture))
{
    layOut(root);
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

    const double bottom = top + height;
    const auto onSlice = [&](double at) { return at >= top && at < bottom; };
    for (const Mark& mark : m_marks) {
        switch (mark.kind) {
        case Mark::Kind::Picture:
            if (onSlice(mark.y1))
                printer.PaintPicture(m_picture(*mark.line), QRectF(mark.x1, mark.y1 - top, kIcon, kIcon));
            break;
        case Mark::Kind::Text:
            if (onSlice(mark.y1)) {
                page.setCurrentX(mark.x1);
                page.setCurrentY(mark.y1 - top);
                page.Print(mark.line->text(0));
            }
            break;
        case Mark::Kind::Connector: {
            // A connector runs across or down; a part outside the slice is left to the page it is on.
            const double from = std::max(std::min(mark.y1, mark.y2), top);
            const double to = std::min(std::max(mark.y1, mark.y2), bottom);
            if (mark.y1 == mark.y2 ? onSlice(mark.y1) : from < to)
                page.Line(mark.x1, (mark.y1 == mark.y2 ? mark.y1 : from) - top, mark.x2,
                          (mark.y1 == mark.y2 ? mark.y2 : to) - top);
            break;
        }
        }
    }
}

double ReportTreePaper::textHeight(const QString& text) const
{
    return m_lineSpacing * double(lineCount(text)) * kTwipsPerPixel;
}

void ReportTreePaper::layOut(const QTreeWidgetItem& root)
{
    // Connectors run across from the stem to a line's picture, or down the stem.
    const auto across = [&](double x, double y) { m_marks.push_back({Mark::Kind::Connector, x, y, x + kIcon, y, nullptr}); };
    const auto down = [&](double x, double y1, double y2) { m_marks.push_back({Mark::Kind::Connector, x, y1, x, y2, nullptr}); };

    // The lines whose subtrees are being laid out, from the top line down: a tree as deep as a
    // long chain of evidence is walked without one call per level.
    struct Open {
        const QTreeWidgetItem* line;
        double x;
        double branch; // where the connector of the latest child leaves the stem
        int next;      // the child laid out next
    };
    std::vector<Open> open;

    // Places a line; one with children stays open, with the connector of its first child.
    const auto enter = [&](const QTreeWidgetItem& line, double lineX, double lineY) {
        const double textY = lineY + (kIcon - textHeight(line.text(0))) / 2;
        m_marks.push_back({Mark::Kind::Picture, lineX, lineY, 0, 0, &line});
        m_marks.push_back({Mark::Kind::Text, lineX + kIcon, textY, 0, 0, &line});
        if (line.childCount() == 0) {
            m_extent = std::nearbyint(textY);
            return;
        }
        // The first child hangs below the middle of this line's picture.
        const double stem = lineX + kHalfIcon;
        const double branch = lineY + kIcon + kHalfIcon;
        down(stem, lineY + kIcon, branch);
        across(stem, branch);
        open.push_back({&line, lineX, branch, 0});
    };

    enter(root, kLeft, kTop);
    while (!open.empty()) {
        Open& parent = open.back();
        if (parent.next == parent.line->childCount()) {
            open.pop_back(); // its last line is the last one placed
            continue;
        }
        const QTreeWidgetItem& child = *parent.line->child(parent.next);
        const double childX = parent.x + kIcon + kHalfIcon;
        double childY = parent.branch - kHalfIcon;
        if (parent.next > 0) {
            // Each further child a step below the last line of the subtree before it.
            const double stem = parent.x + kHalfIcon;
            const double next = m_extent + kGap;
            down(stem, parent.branch, next);
            parent.branch = next;
            across(stem, next);
            childY = next - kHalfIcon;
        }
        ++parent.next;
        enter(child, childX, childY); // may move `parent`
    }
}

} // namespace kelvane

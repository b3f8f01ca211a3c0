#include "platform/gui/PlainText.h"

#include <QPainter>
#include <QStyle>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace platform::gui {

namespace {

// At most `count` characters of `text`, not ending inside a surrogate pair.
QStringView startOf(QStringView text, qsizetype count)
{
    if (count >= text.size())
        return text;
    if (count > 0 && text.at(count - 1).isHighSurrogate())
        --count;
    return text.left(count);
}

// The first `lines` lines of `text`, each cut to `perLine` characters, as a text layout
// breaks lines.
QString linesStart(QStringView text, qsizetype lines, qsizetype perLine)
{
    QString start;
    qsizetype from = 0;
    for (qsizetype line = 0; line < lines && from <= text.size(); ++line) {
        qsizetype end = text.indexOf(u'\n', from);
        if (end < 0)
            end = text.size();
        if (line > 0)
            start += QChar::LineSeparator;
        start += startOf(text.sliced(from, end - from), perLine);
        from = end + 1;
    }
    return start;
}

// Lays the layout's text out in lines `width` wide, one below the other, each on a whole pixel
// after the font's leading, as a painter lays out the text of a label; their height.
double layOutLines(QTextLayout& layout, double width)
{
    const double leading = QFontMetricsF(layout.font()).leading();
    double height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        height = std::ceil(height + leading);
        line.setPosition(QPointF(0, height));
        height += line.height();
    }
    layout.endLayout();
    return height;
}

} // namespace

void PlainLabel::paintEvent(QPaintEvent* event)
{
    if (textFormat() != Qt::PlainText || text().size() <= kLaidOutWhole) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
    const Qt::Alignment align = QStyle::visualAlignment(layoutDirection(), alignment());
    QTextLayout layout;
    layout.setFont(font());
    QTextOption option(align & Qt::AlignHorizontal_Mask);
    option.setWrapMode(wordWrap() ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    layout.setTextOption(option);
    const double height = layOutStart(layout, room);

    // A text taller than the room shows its start.
    double top = room.top();
    if (height < room.height()) {
        if (align & Qt::AlignBottom)
            top += room.height() - height;
        else if (align & Qt::AlignVCenter)
            top += (room.height() - height) / 2;
    }
    painter.setClipRect(room);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, foregroundRole()));
    layout.draw(&painter, QPointF(room.left(), top));
}

double PlainLabel::layOutStart(QTextLayout& layout, const QRect& room) const
{
    const QString whole = text();
    const double lineHeight = std::max(1.0, QFontMetricsF(font()).lineSpacing());
    const qsizetype lines = qsizetype(room.height() / lineHeight) + 2;
    // A character takes at least a pixel of a line, but for marks joined to the one before it.
    const qsizetype perLine = qsizetype(room.width()) * 2 + 16;
    if (!wordWrap()) {
        layout.setText(linesStart(whole, lines, perLine));
        return layOutLines(layout, room.width());
    }
    // Each line breaks within the room's width, so the first piece is nearly always enough.
    for (qsizetype count = lines * perLine;; count *= 2) {
        layout.setText(linesStart(startOf(whole, count), count, count));
        const double height = layOutLines(layout, room.width());
        if (height > room.height() + lineHeight || count >= whole.size())
            return height;
    }
}

} // namespace platform::gui

#pragma once

#include <QLabel>
#include <QString>
#include <QTextDocument>
#include <QWidget>

class QTextLayout;

// Texts of knowledge bases and their macro projects, shown as they are written. Such a text
// has its own markup, which the model reads (a label's links and "&lt;" and "&gt;"); left to
// itself the toolkit would read a text that looks like markup once more: tags and entities as
// rich text, "[*]" in a window caption as the changed mark.
namespace platform::gui {

// A label whose caption is plain text, whatever it holds. A caption of any length costs what
// the label shows of it: one longer than kLaidOutWhole characters is laid out only as far as
// the label has room, a word too long for a line broken where the line ends.
class PlainLabel : public QLabel {
public:
    static constexpr qsizetype kLaidOutWhole = 20000;

    explicit PlainLabel(QWidget* parent = nullptr) : QLabel(parent) { setTextFormat(Qt::PlainText); }
    explicit PlainLabel(const QString& text, QWidget* parent = nullptr) : PlainLabel(parent) { setText(text); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Lays out the start of the text in `room`, enough of it to fill the room; its height.
    double layOutStart(QTextLayout& layout, const QRect& room) const;
};

// Makes `window`'s caption show `caption` as written, and reads it back as it was given.
inline void setPlainWindowTitle(QWidget& window, const QString& caption)
{
    QString escaped = caption;
    escaped.replace(QStringLiteral("[*]"), QStringLiteral("[*][*]"));
    window.setWindowTitle(escaped);
}
inline QString plainWindowTitle(const QWidget& window)
{
    QString caption = window.windowTitle();
    caption.replace(QStringLiteral("[*][*]"), QStringLiteral("[*]"));
    return caption;
}

// A tool tip that shows `text` as written; no text, no tool tip.
inline QString plainToolTip(const QString& text)
{
    return text.isEmpty() ? QString() : Qt::convertFromPlainText(text, Qt::WhiteSpacePre);
}

} // namespace platform::gui

#pragma once

#include <QLabel>
#include <QString>
#include <QTextDocument>

namespace kelvane::test {

// What the user reads of a text the toolkit is handed: rich text when it reads it as such
// (told so, or guessing from a text that looks like markup), else the text itself.
inline QString shownText(const QString& text, Qt::TextFormat format = Qt::AutoText)
{
    const bool rich = format == Qt::RichText || (format == Qt::AutoText && Qt::mightBeRichText(text));
    if (!rich)
        return text;
    QTextDocument document;
    document.setHtml(text);
    return document.toPlainText();
}

inline QString shownText(const QLabel& label) { return shownText(label.text(), label.textFormat()); }

} // namespace kelvane::test

#include "consult/TextLabelBox.h"

#include "answercontrols/Twips.h"
#include "model/FontProperties.h"
#include "model/TextLabel.h"
#include "platform/Colours.h"
#include "platform/QtFont.h"

#include <QTextCursor>
#include <QTextEdit>

namespace kelvane {

namespace textbox {

QString fromStored(const QString& text)
{
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    plain.replace(u'\r', u'\n');
    return plain;
}

QString toStored(const QString& text)
{
    QString stored = text;
    stored.replace(u'\n', QStringLiteral("\r\n"));
    return stored;
}

platform::FontDescription fontOf(TextLabel& label)
{
    const auto font = label.Font();
    platform::FontDescription description;
    description.name = font->Name;
    description.size = font->Size;
    description.bold = font->Bold;
    description.italic = font->Italic;
    description.underline = font->Underline;
    return description;
}

void showLabel(QTextEdit& box, TextLabel& label)
{
    box.setFont(platform::toQFont(fontOf(label)));
    box.setPlainText(fromStored(label.Text()));

    namespace colours = platform::colours;
    const qint32 colour = colours::resolve(label.ForeColor);
    QTextCursor all(box.document());
    all.select(QTextCursor::Document);
    QTextCharFormat format;
    format.setForeground(QColor(colours::red(colour), colours::green(colour), colours::blue(colour)));
    all.mergeCharFormat(format);
    box.moveCursor(QTextCursor::Start);
}

} // namespace textbox

double TextBoxCaption::Width() const { return twips::Width(m_box); }

double TextBoxCaption::Height() const { return twips::Height(m_box); }

void TextBoxCaption::setHeight(double height) { twips::setHeight(m_box, height); }

} // namespace kelvane

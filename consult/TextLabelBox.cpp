#include "consult/TextLabelBox.h"

#include "answercontrols/Twips.h"
#include "model/FontProperties.h"
#include "model/TextLabel.h"
#include "platform/Colours.h"
#include "platform/QtFont.h"

#include <QLabel>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <cmath>

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

namespace {

// The frame and the document's margins of a text box on both sides together, in twips.
double marginsOf(const QTextEdit& box)
{
    const double perSide = box.frameWidth() + box.document()->documentMargin();
    return twips::fromPixels(int(std::ceil(2 * perSide)));
}

} // namespace

double SizedCaption::Width() const { return twips::Width(m_control) - m_margins; }

double SizedCaption::Height() const { return twips::Height(m_control) - m_margins; }

void SizedCaption::setHeight(double height) { twips::setHeight(m_control, height + m_margins); }

TextBoxCaption::TextBoxCaption(QTextEdit& box, platform::FontDescription font)
    : SizedCaption(box, std::move(font), marginsOf(box))
{
}

LabelCaption::LabelCaption(QLabel& label, platform::FontDescription font) : SizedCaption(label, std::move(font), 0) {}

} // namespace kelvane

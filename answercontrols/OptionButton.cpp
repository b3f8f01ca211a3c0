#include "answercontrols/OptionButton.h"

#include "answercontrols/TextColour.h"
#include "platform/Colours.h"
#include "platform/QtFont.h"

namespace kelvane {

OptionButton::OptionButton(QWidget* parent)
    : QRadioButton(parent)
    , m_foreColor(platform::colours::ButtonText)
{
    setAutoExclusive(false);
    setFontDescription(m_font);
    setForeColor(m_foreColor);
}

std::unique_ptr<OptionButton> OptionButton::copy(QWidget* parent) const
{
    auto element = std::make_unique<OptionButton>(parent);
    element->setFontDescription(m_font);
    element->setForeColor(m_foreColor);
    element->resize(size());
    element->setText(text());
    return element;
}

void OptionButton::setFontDescription(const platform::FontDescription& font)
{
    m_font = font;
    setFont(platform::toQFont(font));
}

void OptionButton::setForeColor(qint32 colour)
{
    m_foreColor = colour;
    applyTextColour(*this, colour);
}

void OptionButton::mousePressEvent(QMouseEvent* event)
{
    Q_EMIT mousePressed();
    QRadioButton::mousePressEvent(event);
}

void OptionButton::nextCheckState()
{
    if (!isChecked())
        Q_EMIT selectionRequested();
}

} // namespace kelvane

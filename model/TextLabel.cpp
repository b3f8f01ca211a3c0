#include "model/TextLabel.h"

#include "model/FontProperties.h"

namespace kelvane {

std::shared_ptr<FontProperties> TextLabel::Font()
{
    if (!m_font)
        m_font = std::make_shared<FontProperties>();
    return m_font;
}

std::shared_ptr<TextLabel> TextLabel::Clone()
{
    auto copy = std::make_shared<TextLabel>();
    copy->HTML = HTML;
    copy->setFont(Font()->Clone());
    copy->ForeColor = ForeColor;
    return copy;
}

Collection<std::shared_ptr<URI>> TextLabel::URIs() const
{
    return {};
}

QString TextLabel::Text() const
{
    return HTML;
}

QString TextLabel::RTF() const
{
    return {};
}

} // namespace kelvane

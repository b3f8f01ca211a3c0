#pragma once

#include "model/URI.h"
#include "platform/Collection.h"

#include <QString>
#include <QtGlobal>
#include <memory>

namespace kelvane {

class FontProperties;

// Display text with a font, a colour and hyperlinks. HTML holds the stored form: links are
// written "<A " attributes ">" link text "</A>" (exact case); "&lt;" and "&gt;" stand for
// "<" and ">". Nothing else is interpreted.
class TextLabel {
public:
    QString HTML;

    // The label's font, made with its defaults on first read.
    std::shared_ptr<FontProperties> Font();
    void setFont(std::shared_ptr<FontProperties> font) { m_font = std::move(font); }
    // What Font() would give, without making a font for a label that has none yet: a large
    // document holds many labels that are drawn and saved with the defaults.
    FontProperties fontOrDefaults() const;

    qint32 ForeColor = 0;

    // A copy with its own font.
    std::shared_ptr<TextLabel> Clone();

    // One entry per link with link text, in text order; positions count stored characters.
    Collection<std::shared_ptr<URI>> URIs() const;

    // The plain text: tags dropped, "&lt;" and "&gt;" decoded.
    QString Text() const;
    // Whether the plain text is not empty, found without making it when the text has no tag.
    bool hasText() const;
    // Stores the text as HTML unchanged.
    void setText(const QString& text) { HTML = text; }

    // Rich text for the question dialog: the plain text with its links blue and underlined.
    QString RTF() const;

private:
    std::shared_ptr<FontProperties> m_font;
};

} // namespace kelvane

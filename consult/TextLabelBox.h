#pragma once

#include "model/CaptionLabel.h"

#include <QString>

class QLabel;
class QTextEdit;

namespace kelvane {

class TextLabel;

// The rich-text boxes of the consultation dialogs. Stored texts break lines with carriage
// returns (and line feeds); the boxes with line feeds.
namespace textbox {

QString fromStored(const QString& text);
QString toStored(const QString& text);

// The label's font as the screen shows it (name, size, bold, italic and underline).
platform::FontDescription fontOf(TextLabel& label);

// Shows the label's text in the box, in the label's font (name, size, bold, italic and
// underline) and its colour.
void showLabel(QTextEdit& box, TextLabel& label);

} // namespace textbox

// A text box as the common library sizes labels: it has no caption of its own, so only
// its height follows the text. Its size is the room of its text: the box less its frame and
// the document's margins. Sizes in twips.
class TextBoxCaption : public CaptionLabel {
public:
    TextBoxCaption(QTextEdit& box, platform::FontDescription font) : m_box(box), m_font(std::move(font)) {}

    void setCaption(const QString&) override {}
    platform::FontDescription Font() const override { return m_font; }
    double Width() const override;
    double Height() const override;
    void setHeight(double height) override;

private:
    // The frame and margins on both sides together, in twips.
    double margins() const;

    QTextEdit& m_box;
    platform::FontDescription m_font;
};

// A word-wrapped label as the common library sizes labels: its caption is set beforehand, so
// only its height follows the text. Sizes in twips.
class LabelCaption : public CaptionLabel {
public:
    LabelCaption(QLabel& label, platform::FontDescription font) : m_label(label), m_font(std::move(font)) {}

    void setCaption(const QString&) override {}
    platform::FontDescription Font() const override { return m_font; }
    double Width() const override;
    double Height() const override;
    void setHeight(double height) override;

private:
    QLabel& m_label;
    platform::FontDescription m_font;
};

} // namespace kelvane

#pragma once

#include "model/CaptionLabel.h"

#include <QString>

class QLabel;
class QTextEdit;
class QWidget;

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

// A control as the common library sizes labels: its text is shown by other means, so only its
// height follows the text. Its size is the room of its text: the control less its margins
// around the text. Sizes in twips.
class SizedCaption : public CaptionLabel {
public:
    void setCaption(const QString&) override {}
    platform::FontDescription Font() const override { return m_font; }
    double Width() const override;
    double Height() const override;
    void setHeight(double height) override;

protected:
    // `margins`: on both sides together.
    SizedCaption(QWidget& control, platform::FontDescription font, double margins)
        : m_control(control), m_font(std::move(font)), m_margins(margins)
    {
    }

private:
    QWidget& m_control;
    platform::FontDescription m_font;
    double m_margins;
};

// A text box, less its frame and the document's margins.
class TextBoxCaption : public SizedCaption {
public:
    TextBoxCaption(QTextEdit& box, platform::FontDescription font);
};

// A word-wrapped label, whose text has the whole label.
class LabelCaption : public SizedCaption {
public:
    LabelCaption(QLabel& label, platform::FontDescription font);
};

} // namespace kelvane

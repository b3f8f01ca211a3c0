#pragma once

#include "platform/FontDescription.h"

#include <QRadioButton>

namespace kelvane {

// One answer option of `Fuzzy` in option mode. Its owner decides which option is selected:
// a click or the space key on an unselected option only asks for the selection
// (selectionRequested), and a click on the selected one changes nothing. It keeps its font
// and text colour as set, whatever the screen makes of them.
class OptionButton : public QRadioButton {
    Q_OBJECT

public:
    explicit OptionButton(QWidget* parent);

    // A new element made from this one: font, colour, size and caption.
    std::unique_ptr<OptionButton> copy(QWidget* parent) const;

    const platform::FontDescription& fontDescription() const { return m_font; }
    void setFontDescription(const platform::FontDescription& font);

    // Text colour, 0x00BBGGRR or a system colour.
    qint32 ForeColor() const { return m_foreColor; }
    void setForeColor(qint32 colour);

Q_SIGNALS:
    void mousePressed();
    void selectionRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void nextCheckState() override;

private:
    platform::FontDescription m_font;
    qint32 m_foreColor;
};

} // namespace kelvane

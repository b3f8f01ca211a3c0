#include "answercontrols/TextColour.h"

#include "platform/Colours.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace kelvane {

void applyTextColour(QWidget& widget, qint32 colour)
{
    namespace colours = platform::colours;
    const qint32 plain = colours::resolve(colour);
    const QColor text(colours::red(plain), colours::green(plain), colours::blue(plain));
    QPalette palette = widget.palette();
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        palette.setColor(role, text);
    widget.setPalette(palette);
}

} // namespace kelvane

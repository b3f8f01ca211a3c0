#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

namespace kelvane {

// A font description of a text label.
class FontProperties {
public:
    FontProperties(); // the program-wide default font name, 8 points, no styles

    QString Name;
    qint16 Size = 8;
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool Strikethru = false;

    std::shared_ptr<FontProperties> Clone() const;
};

} // namespace kelvane

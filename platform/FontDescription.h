#pragma once

#include <QString>

namespace platform {

// A font as the drawing surfaces and the text measuring take it; size in points.
struct FontDescription {
    QString name = QStringLiteral("MS Sans Serif");
    double size = 8.0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethru = false;

    bool operator==(const FontDescription&) const = default;
};

} // namespace platform

#pragma once

#include "platform/FontDescription.h"

#include <QHash>
#include <QString>
#include <functional>
#include <mutex>

namespace platform {

// The widths of lines of text as the surfaces of one picture measure them, kept so that a line
// drawn again is not laid out once more only to be measured. A line is known by its text, its
// font and the resolution it is measured at: a text or font that changes is another line, and
// is measured anew. What is kept follows what is drawn: forgetUnused, called after each drawing,
// lets go of every width no one asked for since the call before. Used from any thread.
class TextWidths {
public:
    // The width of the line in pixels; `measure` gives it when it is not known.
    int width(const QString& line, const FontDescription& font, int dotsPerInch, const std::function<int()>& measure);

    // Lets go of the widths not asked for since the last call.
    void forgetUnused();
    // Lets go of every width (the fonts themselves changed).
    void clear();

    // How many lines have been measured: those whose widths were not known.
    qint64 measuredLines() const;

private:
    struct FontKey {
        FontDescription font;
        int dotsPerInch = 0;
        bool operator==(const FontKey&) const = default;
    };
    struct LineKey {
        QString line;
        int font = 0; // in m_fonts
        bool operator==(const LineKey&) const = default;
    };
    struct Width {
        int pixels = 0;
        quint32 askedIn = 0; // the generation it was last asked for in
    };
    friend size_t qHash(const FontKey& key, size_t seed);
    friend size_t qHash(const LineKey& key, size_t seed);

    mutable std::mutex m_lock;
    QHash<FontKey, int> m_fonts; // numbers the fonts, for short keys
    QHash<LineKey, Width> m_widths;
    quint32 m_generation = 0;
    qint64 m_measured = 0;
};

} // namespace platform

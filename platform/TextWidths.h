#pragma once

#include "platform/FontDescription.h"

#include <QHash>
#include <QString>
#include <array>
#include <atomic>
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
    // The number of a font at a resolution, the same for equal ones, for the widths' lifetime.
    int fontNumber(const FontDescription& font, int dotsPerInch);
    // The width of the line in pixels in the font of that number; `measure` gives it when it is
    // not known.
    int width(const QString& line, int font, const std::function<int()>& measure);

    // Lets go of the widths not asked for since the last call.
    void forgetUnused();
    // Lets go of every width (the fonts themselves changed).
    void clear();

    // How many lines have been measured: those whose widths were not known.
    qint64 measuredLines() const { return m_measured; }

private:
    struct FontKey {
        FontDescription font;
        int dotsPerInch = 0;
        bool operator==(const FontKey&) const = default;
    };
    struct LineKey {
        QString line;
        int font = 0;
        bool operator==(const LineKey&) const = default;
    };
    struct Width {
        int pixels = 0;
        quint32 askedIn = 0; // the generation it was last asked for in
    };
    // The widths are kept in parts, each with a lock of its own, so that threads drawing side by
    // side seldom wait for one another.
    struct Part {
        std::mutex lock;
        QHash<LineKey, Width> widths;
    };
    friend size_t qHash(const FontKey& key, size_t seed);
    friend size_t qHash(const LineKey& key, size_t seed);

    Part& partOf(const LineKey& key);

    std::mutex m_fontsLock;
    QHash<FontKey, int> m_fonts;
    std::array<Part, 16> m_parts;
    std::atomic<quint32> m_generation = 0;
    std::atomic<qint64> m_measured = 0;
};

} // namespace platform

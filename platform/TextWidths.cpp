#include "platform/TextWidths.h"

#include <QHashFunctions>

namespace platform {

size_t qHash(const TextWidths::FontKey& key, size_t seed)
{
    const FontDescription& font = key.font;
    const int styles = (font.bold ? 1 : 0) | (font.italic ? 2 : 0) | (font.underline ? 4 : 0) | (font.strikethru ? 8 : 0);
    return qHashMulti(seed, font.name, font.size, styles, key.dotsPerInch);
}

size_t qHash(const TextWidths::LineKey& key, size_t seed)
{
    return qHashMulti(seed, key.line, key.font);
}

int TextWidths::width(const QString& line, const FontDescription& font, int dotsPerInch, const std::function<int()>& measure)
{
    LineKey key {line, 0};
    {
        const std::lock_guard locked(m_lock);
        const FontKey fontKey {font, dotsPerInch};
        auto number = m_fonts.constFind(fontKey);
        if (number == m_fonts.constEnd())
            number = m_fonts.insert(fontKey, int(m_fonts.size()));
        key.font = *number;
        if (const auto known = m_widths.find(key); known != m_widths.end()) {
            known->askedIn = m_generation;
            return known->pixels;
        }
    }
    // Measured outside the lock, so that other threads go on meanwhile.
    const int pixels = measure();
    const std::lock_guard locked(m_lock);
    m_widths.insert(std::move(key), {pixels, m_generation});
    ++m_measured;
    return pixels;
}

void TextWidths::forgetUnused()
{
    const std::lock_guard locked(m_lock);
    m_widths.removeIf([&](QHash<LineKey, Width>::iterator entry) { return entry->askedIn != m_generation; });
    ++m_generation;
}

void TextWidths::clear()
{
    const std::lock_guard locked(m_lock);
    m_widths.clear();
    m_fonts.clear();
}

qint64 TextWidths::measuredLines() const
{
    const std::lock_guard locked(m_lock);
    return m_measured;
}

} // namespace platform

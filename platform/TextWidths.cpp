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

int TextWidths::fontNumber(const FontDescription& font, int dotsPerInch)
{
    const std::lock_guard locked(m_fontsLock);
    const FontKey key {font, dotsPerInch};
    auto number = m_fonts.constFind(key);
    if (number == m_fonts.constEnd())
        number = m_fonts.insert(key, int(m_fonts.size()));
    return *number;
}

TextWidths::Part& TextWidths::partOf(const LineKey& key)
{
    return m_parts[qHash(key, 0) % m_parts.size()];
}

int TextWidths::width(const QString& line, int font, const std::function<int()>& measure)
{
    LineKey key {line, font};
    Part& part = partOf(key);
    {
        const std::lock_guard locked(part.lock);
        if (const auto known = part.widths.find(key); known != part.widths.end()) {
            known->askedIn = m_generation;
            return known->pixels;
        }
    }
    // Measured outside the lock, so that other threads go on meanwhile.
    const int pixels = measure();
    ++m_measured;
    const std::lock_guard locked(part.lock);
    part.widths.insert(std::move(key), {pixels, m_generation});
    return pixels;
}

void TextWidths::forgetUnused()
{
    const quint32 generation = m_generation;
    for (Part& part : m_parts) {
        const std::lock_guard locked(part.lock);
        part.widths.removeIf([&](QHash<LineKey, Width>::iterator entry) { return entry->askedIn != generation; });
    }
    ++m_generation;
}

void TextWidths::clear()
{
    for (Part& part : m_parts) {
        const std::lock_guard locked(part.lock);
        part.widths.clear();
    }
}

} // namespace platform

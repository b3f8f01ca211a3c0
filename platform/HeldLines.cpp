#include "platform/HeldLines.h"

namespace platform {

void HeldLines::add(const PaintedLine& line)
{
    const auto known = m_places.constFind(line);
    if (known != m_places.cend()) {
        unlink(*known);
        append(*known);
        return;
    }
    const auto at = qint32(m_lines.size());
    m_lines.push_back({line});
    m_places.insert(line, at);
    append(at);
}

void HeldLines::clear()
{
    m_lines.clear();
    m_places.clear();
    m_first = m_last = kNone;
}

void HeldLines::unlink(qint32 at)
{
    Held& held = m_lines[std::size_t(at)];
    (held.previous == kNone ? m_first : m_lines[std::size_t(held.previous)].next) = held.next;
    (held.next == kNone ? m_last : m_lines[std::size_t(held.next)].previous) = held.previous;
    held.previous = held.next = kNone;
}

void HeldLines::append(qint32 at)
{
    Held& held = m_lines[std::size_t(at)];
    held.previous = m_last;
    held.next = kNone;
    (m_last == kNone ? m_first : m_lines[std::size_t(m_last)].next) = at;
    m_last = at;
}

} // namespace platform

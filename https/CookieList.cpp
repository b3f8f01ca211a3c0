#include "https/CookieList.h"

namespace kelvane::plexant {

void CookieList::setCount(int count)
{
    count = std::max(count, 0);
    if (count < m_pairs.size())
        m_pairs.resize(count);
    while (m_pairs.size() < count)
        m_pairs.append(std::pair<QByteArray, QByteArray>());
}

QByteArray CookieList::headerValue() const
{
    QByteArray text;
    for (const auto& [name, value] : m_pairs) {
        if (!text.isEmpty())
            text += "; ";
        text += name + '=' + value;
    }
    return text;
}

} // namespace kelvane::plexant

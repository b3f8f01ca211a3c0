#include "https/BodyLength.h"

namespace kelvane::plexant {

namespace {

std::optional<qint64> decimal(const QByteArray& text)
{
    const QByteArray digits = text.trimmed();
    if (digits.isEmpty() || digits.size() > 18)
        return std::nullopt;
    qint64 value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

void BodyLength::header(const QByteArray& field, const QByteArray& value)
{
    if (field.compare("Transfer-Encoding", Qt::CaseInsensitive) == 0) {
        m_coded = true;
        const QByteArray last = value.mid(value.lastIndexOf(',') + 1).trimmed();
        m_chunked = last.compare("chunked", Qt::CaseInsensitive) == 0;
        return;
    }
    if (field.compare("Content-Length", Qt::CaseInsensitive) != 0)
        return;
    const auto length = decimal(value);
    if (!length || (m_length && *m_length != *length))
        m_lengthBroken = true;
    m_length = length;
}

std::optional<qint64> BodyLength::expected() const
{
    if (m_noBody)
        return 0;
    if (m_coded || m_lengthBroken)
        return std::nullopt;
    return m_length;
}

} // namespace kelvane::plexant

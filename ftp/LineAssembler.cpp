#include "ftp/LineAssembler.h"

namespace kelvane::ftp {

LineAssembler::LineAssembler(qsizetype keep, qsizetype limit) : m_keep(keep), m_limit(limit) {}

LineAssembler::Result LineAssembler::add(QByteArrayView piece, bool complete)
{
    if (m_refused)
        return Result::TooLong;
    m_length += piece.size();
    if (m_length > m_limit) {
        m_refused = true;
        m_partial.clear();
        return Result::TooLong;
    }
    if (m_partial.size() < m_keep)
        m_partial.append(piece.first(std::min(piece.size(), m_keep - m_partial.size())));
    if (!complete)
        return Result::Partial;
    m_line = std::exchange(m_partial, {});
    m_length = 0;
    return Result::Line;
}

bool LineAssembler::takeUnfinished(QByteArray& line)
{
    if (m_refused || m_length == 0)
        return false;
    line = std::exchange(m_partial, {});
    m_length = 0;
    return true;
}

void LineAssembler::clear()
{
    m_partial.clear();
    m_length = 0;
    m_refused = false;
}

} // namespace kelvane::ftp

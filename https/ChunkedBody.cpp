#include "https/ChunkedBody.h"

#include <algorithm>

namespace kelvane::plexant {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

ChunkedBody::State ChunkedBody::state() const
{
    switch (m_phase) {
    case Phase::Done: return State::Done;
    case Phase::Broken: return State::Broken;
    default: return State::More;
    }
}

bool ChunkedBody::gatherLine(QByteArrayView bytes, qsizetype& at)
{
    if (m_lineWhole) {
        m_line.clear();
        m_lineWhole = false;
    }
    const qsizetype end = bytes.indexOf('\n', at);
    const qsizetype stop = end < 0 ? bytes.size() : end;
    m_line.append(bytes.data() + at, stop - at);
    at = end < 0 ? bytes.size() : end + 1;
    if (end < 0)
        return false;
    if (m_line.endsWith('\r'))
        m_line.chop(1);
    m_lineWhole = true;
    return true;
}

ChunkedBody::Phase ChunkedBody::sizeLine()
{
    qint64 size = 0;
    qsizetype at = 0;
    for (; at < m_line.size() && hexDigit(m_line.at(at)) >= 0; ++at) {
        if (at == kMaxSizeDigits)
            return Phase::Broken;
        size = size * 16 + hexDigit(m_line.at(at));
    }
    if (at == 0)
        return Phase::Broken;
    while (at < m_line.size() && isBlank(m_line.at(at)))
        ++at;
    if (at < m_line.size() && m_line.at(at) != ';')
        return Phase::Broken;
    m_remaining = size;
    return size == 0 ? Phase::Trailer : Phase::Data;
}

ChunkedBody::State ChunkedBody::take(QByteArrayView bytes, QByteArray& body)
{
    qsizetype at = 0;
    while (at < bytes.size() && (m_phase != Phase::Done && m_phase != Phase::Broken)) {
        if (m_phase == Phase::Data) {
            const qsizetype count = qsizetype(std::min<qint64>(m_remaining, bytes.size() - at));
            body.append(bytes.data() + at, count);
            at += count;
            m_remaining -= count;
            if (m_remaining == 0)
                m_phase = Phase::DataEnd;
            continue;
        }
        const bool whole = gatherLine(bytes, at);
        if (m_line.size() > (m_phase == Phase::DataEnd ? 1 : kMaxLine)) {
            m_phase = Phase::Broken;
            break;
        }
        if (!whole)
            continue;
        switch (m_phase) {
        case Phase::Size: m_phase = sizeLine(); break;
        case Phase::DataEnd: m_phase = m_line.isEmpty() ? Phase::Size : Phase::Broken; break;
        default:
            m_trailerBytes += m_line.size() + 1;
            if (m_line.isEmpty())
                m_phase = Phase::Done;
            else if (m_trailerBytes > kMaxTrailer)
                m_phase = Phase::Broken;
            break;
        }
    }
    return state();
}

} // namespace kelvane::plexant

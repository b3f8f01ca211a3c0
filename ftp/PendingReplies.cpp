#include "ftp/PendingReplies.h"

#include <algorithm>

namespace kelvane::ftp {

namespace {
// Answers kept for a reader that has not come for them yet: a command and an abort inside it.
constexpr size_t kKeptAnswers = 8;
} // namespace

PendingReplies::Serial PendingReplies::sent(const QByteArray& verb)
{
    m_waiting.push_back({++m_lastSerial, verb});
    return m_lastSerial;
}

std::optional<PendingReplies::Answer> PendingReplies::read(const QByteArray& line)
{
    const ReplyReader::Line kind = m_reader.add(line);
    if (kind == ReplyReader::Line::Continues || kind == ReplyReader::Line::Preliminary || m_waiting.empty())
        return std::nullopt;
    // 426 then 226: the abort of a transfer whose reply was read before.
    if (m_waiting.front().verb == "ABOR" && line.startsWith("426"))
        return std::nullopt;
    Answer answer {m_waiting.front().serial, line, kind == ReplyReader::Line::Positive};
    m_waiting.pop_front();
    m_answers.push_back(answer);
    if (m_answers.size() > kKeptAnswers)
        m_answers.pop_front();
    return answer;
}

std::optional<PendingReplies::Answer> PendingReplies::takeAnswer(Serial serial)
{
    const auto it = std::find_if(m_answers.begin(), m_answers.end(), [serial](const Answer& a) { return a.serial == serial; });
    if (it == m_answers.end())
        return std::nullopt;
    const Answer answer = *it;
    m_answers.erase(it);
    return answer;
}

void PendingReplies::settle(Serial serial)
{
    std::erase_if(m_waiting, [serial](const Waiting& waiting) { return waiting.serial == serial; });
}

void PendingReplies::clear()
{
    m_waiting.clear();
    m_answers.clear();
    m_reader = ReplyReader();
}

} // namespace kelvane::ftp

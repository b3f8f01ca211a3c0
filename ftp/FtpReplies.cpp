#include "ftp/FtpReplies.h"

namespace kelvane::ftp {

namespace {

// A code of three digits followed by a blank or nothing: the last line of a reply.
bool isLastLine(const QByteArray& line)
{
    const auto digit = [&](int i) { return line.at(i) >= '0' && line.at(i) <= '9'; };
    return line.size() >= 3 && digit(0) && digit(1) && digit(2) && (line.size() == 3 || line.at(3) == ' ');
}

} // namespace

ReplyReader::Line ReplyReader::add(const QByteArray& line)
{
    if (!m_openCode.isEmpty()) {
        if (!isLastLine(line))
            return Line::Continues;
        // A last line with another code ends the reply all the same, as one not to be trusted.
        const bool sameCode = line.startsWith(m_openCode);
        m_openCode.clear();
        if (!sameCode)
            return Line::Negative;
    } else if (line.size() >= 4 && line.at(3) == '-') {
        m_openCode = line.left(3);
        return Line::Continues;
    }
    switch (line.isEmpty() ? '\0' : line.at(0)) {
    case ' ':
    case '\t': return Line::Continues;
    case '1': return Line::Preliminary;
    case '2':
    case '3': return Line::Positive;
    default: return Line::Negative;
    }
}

std::optional<platform::sockets::SocketAddress> passiveAddress(const QByteArray& line)
{
    const qsizetype open = line.indexOf('(');
    if (!line.startsWith("227") || open < 0)
        return std::nullopt;
    int numbers[6] = {};
    qsizetype at = open + 1;
    const auto skipBlanks = [&] {
        while (at < line.size() && line.at(at) == ' ')
            ++at;
    };
    for (int i = 0; i < 6; ++i) {
        skipBlanks();
        const qsizetype start = at;
        int value = 0;
        while (at < line.size() && line.at(at) >= '0' && line.at(at) <= '9' && value <= 255)
            value = value * 10 + (line.at(at++) - '0');
        if (at == start || value > 255)
            return std::nullopt;
        numbers[i] = value;
        skipBlanks();
        if (i < 5) {
            if (at >= line.size() || (line.at(at) >= '0' && line.at(at) <= '9'))
                return std::nullopt;
            ++at;
        }
    }
    const quint32 host = quint32(numbers[0]) << 24 | quint32(numbers[1]) << 16 | quint32(numbers[2]) << 8 | quint32(numbers[3]);
    return platform::sockets::SocketAddress {host, static_cast<quint16>(numbers[4] * 256 + numbers[5])};
}

QByteArray portArgument(const platform::sockets::SocketAddress& address)
{
    const quint32 a = address.address;
    return QByteArray::number(a >> 24) + ',' + QByteArray::number((a >> 16) & 0xFF) + ','
        + QByteArray::number((a >> 8) & 0xFF) + ',' + QByteArray::number(a & 0xFF) + ','
        + QByteArray::number(address.port >> 8) + ',' + QByteArray::number(address.port & 0xFF);
}

bool namesUtf8Feature(const QByteArray& line)
{
    // Feature lines begin with a blank; the other lines of the reply carry its code.
    return line.startsWith(' ') && line.trimmed().toUpper() == "UTF8";
}

QByteArray pathOfPwdReply(const QByteArray& line)
{
    const QByteArray rest = line.mid(5);
    const qsizetype quote = rest.indexOf('"');
    return quote < 0 ? rest : rest.left(quote);
}

} // namespace kelvane::ftp

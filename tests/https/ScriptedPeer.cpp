#include "tests/https/ScriptedPeer.h"

#include "tests/support/TestEnvironment.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <limits>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvane::test {

namespace {

constexpr int kReadTimeoutMs = 8000;

QByteArray unescape(const QByteArray& text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c != '\\' || i + 1 >= text.size()) {
            bytes += c;
            continue;
        }
        const char next = text.at(++i);
        if (next == 'r')
            bytes += '\r';
        else if (next == 'n')
            bytes += '\n';
        else if (next == 'x' && i + 2 < text.size()) {
            bytes += char(text.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else
            bytes += next;
    }
    return bytes;
}

// The body of a tag: lines ending in CR LF, or (raw) escapes only.
QByteArray body(const QList<QByteArray>& lines, bool raw)
{
    QByteArray text;
    for (const QByteArray& line : lines)
        text += raw ? line : line + "\r\n";
    return raw ? unescape(text) : text;
}

int attribute(const QString& tag, const char* name, int fallback)
{
    const QRegularExpression pattern(QStringLiteral("%1=\"(\\d+)\"").arg(QLatin1String(name)));
    const auto match = pattern.match(tag);
    return match.hasMatch() ? match.captured(1).toInt() : fallback;
}

} // namespace

ScriptedPeer::ScriptedPeer(const QString& caseName)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(m_listener, 4);
    socklen_t length = sizeof address;
    ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    load(dataPath(QStringLiteral("https/%1.case").arg(caseName)));
    m_thread = std::thread([this] { play(); });
}

ScriptedPeer::~ScriptedPeer()
{
    m_stop = true;
    m_thread.join();
    closeConnection();
    ::close(m_listener);
}

QString ScriptedPeer::url(const QString& path) const { return QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path); }

void ScriptedPeer::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_failure = QStringLiteral("no case file ") + path;
        return;
    }
    const QByteArray port = QByteArray::number(m_port);
    QList<QByteArray> lines = file.readAll().replace("%PORT%", port).split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = QString::fromUtf8(lines.at(i)).trimmed();
        if (!line.startsWith(QLatin1Char('<')))
            continue;
        const QString kind = line.mid(1).section(QRegularExpression(QStringLiteral("[ />]")), 0, 0);
        Step step {kind, {}, attribute(line, "bytes", attribute(line, "ms", 0)), attribute(line, "delay", 0)};
        if (kind == QLatin1String("send")) {
            step.number = attribute(line, "chunk", 0);
            if (line.contains(QLatin1String(" endless")))
                step.kind = QStringLiteral("endless");
        }
        const int repeat = attribute(line, "repeat", 1);
        if (!line.endsWith(QLatin1String("/>"))) {
            const bool raw = line.contains(QLatin1String(" raw"));
            const QByteArray closing = "</" + kind.toLatin1() + '>';
            QList<QByteArray> content;
            for (++i; i < lines.size() && lines.at(i).trimmed() != closing; ++i)
                content.append(lines.at(i));
            step.text = body(content, raw).repeated(repeat);
        }
        if (kind == QLatin1String("protocol"))
            m_protocol = step.text;
        else
            m_steps.append(step);
    }
}

QByteArray ScriptedPeer::received()
{
    QElapsedTimer clock;
    clock.start();
    while (!m_done && clock.elapsed() < 5000)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const std::lock_guard guard(m_lock);
    return m_received;
}

QString ScriptedPeer::failure()
{
    const std::lock_guard guard(m_lock);
    return m_failure;
}

void ScriptedPeer::play()
{
    for (const Step& step : std::as_const(m_steps)) {
        if (m_stop)
            break;
        bool ok = true;
        if (step.kind == QLatin1String("recv"))
            ok = ensureConnection() && (step.number > 0 ? receiveBytes(step.number) : receiveHead());
        else if (step.kind == QLatin1String("send"))
            sendText(step);
        else if (step.kind == QLatin1String("endless"))
            sendEndlessly(step.text);
        else if (step.kind == QLatin1String("wait"))
            std::this_thread::sleep_for(std::chrono::milliseconds(step.number));
        else if (step.kind == QLatin1String("hang"))
            hang();
        else if (step.kind == QLatin1String("close"))
            closeConnection();
        if (!ok) {
            const std::lock_guard guard(m_lock);
            m_failure = QStringLiteral("step %1 failed").arg(step.kind);
            break;
        }
    }
    closeConnection();
    m_done = true;
}

bool ScriptedPeer::ensureConnection()
{
    if (m_connection >= 0)
        return true;
    QElapsedTimer clock;
    clock.start();
    while (!m_stop && clock.elapsed() < kReadTimeoutMs) {
        pollfd ready {m_listener, POLLIN, 0};
        if (::poll(&ready, 1, 50) > 0) {
            m_connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            m_pending.clear();
            return m_connection >= 0;
        }
    }
    return false;
}

bool ScriptedPeer::receiveSome(int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!m_stop && clock.elapsed() < timeoutMs) {
        pollfd ready {m_connection, POLLIN, 0};
        if (::poll(&ready, 1, 50) <= 0)
            continue;
        char buffer[4096];
        const ssize_t count = ::recv(m_connection, buffer, sizeof buffer, 0);
        if (count <= 0)
            return false;
        m_pending.append(buffer, count);
        const std::lock_guard guard(m_lock);
        m_received.append(buffer, count);
        return true;
    }
    return false;
}

bool ScriptedPeer::receiveHead()
{
    qsizetype end = -1;
    while ((end = m_pending.indexOf("\r\n\r\n")) < 0) {
        if (!receiveSome(kReadTimeoutMs))
            return false;
    }
    const QByteArray head = m_pending.left(end + 4);
    const QRegularExpression lengthPattern(QStringLiteral("(?i)\r\ncontent-length: *(\\d+)"));
    const auto match = lengthPattern.match(QString::fromLatin1(head));
    const qsizetype wanted = head.size() + (match.hasMatch() ? match.captured(1).toLongLong() : 0);
    while (m_pending.size() < wanted) {
        if (!receiveSome(kReadTimeoutMs))
            return false;
    }
    m_pending.remove(0, wanted);
    return true;
}

bool ScriptedPeer::receiveBytes(int count)
{
    while (m_pending.size() < count) {
        if (!receiveSome(kReadTimeoutMs))
            return false;
    }
    m_pending.remove(0, count);
    return true;
}

void ScriptedPeer::sendText(const Step& step)
{
    if (m_connection < 0)
        return;
    const qsizetype chunk = step.number > 0 ? step.number : step.text.size();
    for (qsizetype offset = 0; offset < step.text.size() && !m_stop; offset += chunk) {
        if (step.delay > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(step.delay));
        const QByteArray piece = step.text.mid(offset, chunk);
        ::send(m_connection, piece.constData(), size_t(piece.size()), MSG_NOSIGNAL);
    }
}

bool ScriptedPeer::sendWhole(const QByteArray& bytes)
{
    // Waits for room in short polls, so a client that stops reading cannot hold the peer.
    qsizetype offset = 0;
    while (offset < bytes.size() && !m_stop) {
        pollfd ready {m_connection, POLLOUT, 0};
        if (::poll(&ready, 1, 50) <= 0)
            continue;
        const ssize_t sent = ::send(m_connection, bytes.constData() + offset, size_t(bytes.size() - offset),
                                    MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        offset += std::max<ssize_t>(sent, 0);
    }
    return offset == bytes.size();
}

void ScriptedPeer::sendEndlessly(const QByteArray& text)
{
    if (m_connection < 0 || text.isEmpty())
        return;
    while (!m_stop && sendWhole(text)) {
    }
}

void ScriptedPeer::hang()
{
    // Reads (and keeps) what the client sends until it closes or the peer is stopped.
    while (m_connection >= 0 && receiveSome(std::numeric_limits<int>::max())) {
    }
}

void ScriptedPeer::closeConnection()
{
    if (m_connection < 0)
        return;
    ::close(m_connection);
    m_connection = -1;
}

} // namespace kelvane::test

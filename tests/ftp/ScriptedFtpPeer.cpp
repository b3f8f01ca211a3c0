#include "tests/ftp/ScriptedFtpPeer.h"

#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <QTcpSocket>

namespace kelvane::test {

namespace {

QByteArray unescape(const QByteArray& text)
{
    QByteArray result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) != '\\' || i + 1 == text.size()) {
            result.append(text.at(i));
            continue;
        }
        const char next = text.at(++i);
        result.append(next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : next);
    }
    return result;
}

} // namespace

ScriptedFtpPeer::ScriptedFtpPeer(const QString& caseName)
{
    QFile file(dataPath(QStringLiteral("ftp/") + caseName + QStringLiteral(".case")));
    if (!file.open(QIODevice::ReadOnly))
        m_problems << QStringLiteral("cannot read the case ") + caseName;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QByteArray line = raw.trimmed().isEmpty() || raw.startsWith('#') ? QByteArray() : raw;
        if (line.isEmpty())
            continue;
        const qsizetype blank = line.indexOf(' ');
        m_steps.append({blank < 0 ? line : line.left(blank), blank < 0 ? QByteArray() : unescape(line.mid(blank + 1))});
    }
    m_packetTimer.setSingleShot(true);
    QObject::connect(&m_packetTimer, &QTimer::timeout, this, [this] { writeNextPacket(); });
    QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] { accept(); });
    m_server.listen(QHostAddress::LocalHost, 0);
}

ScriptedFtpPeer::~ScriptedFtpPeer() = default;

QStringList ScriptedFtpPeer::problems() const
{
    QStringList all = m_problems;
    for (qsizetype i = m_next; i < m_steps.size(); ++i) {
        if (m_steps[i].kind == "expect")
            all << QStringLiteral("never received: ") + QString::fromLatin1(m_steps[i].argument);
    }
    return all;
}

void ScriptedFtpPeer::accept()
{
    QTcpSocket* next = m_server.nextPendingConnection();
    if (m_client || !next) {
        delete next;
        return;
    }
    m_client.reset(next);
    QObject::connect(m_client.get(), &QTcpSocket::readyRead, this, [this] { onReadyRead(); });
    run();
}

void ScriptedFtpPeer::onReadyRead()
{
    m_input.append(m_client->readAll());
    qsizetype end;
    while ((end = m_input.indexOf("\r\n")) >= 0) {
        QByteArray line = m_input.left(end);
        line.removeIf([](char c) { return static_cast<unsigned char>(c) >= 0xF0; });
        m_lines.append(line);
        m_input.remove(0, end + 2);
    }
    if (m_waitingForLine)
        run();
}

void ScriptedFtpPeer::run()
{
    // Steps run until one must wait: for a line, for packets still to go, or for ever.
    qsizetype consumed = 0;
    for (const Step& step : std::as_const(m_steps).mid(0, m_next))
        consumed += step.kind == "expect";
    while (m_next < m_steps.size() && m_pending.isEmpty()) {
        const Step& step = m_steps[m_next];
        if (step.kind == "expect") {
            if (consumed >= m_lines.size()) {
                m_waitingForLine = true;
                return;
            }
            if (m_lines[consumed] != step.argument)
                m_problems << QStringLiteral("expected \"%1\", received \"%2\"")
                                  .arg(QString::fromLatin1(step.argument), QString::fromLatin1(m_lines[consumed]));
            ++consumed;
        } else if (step.kind == "send") {
            m_pending = step.argument;
        } else if (step.kind == "chunk") {
            m_chunk = step.argument.toInt();
        } else if (step.kind == "delay") {
            m_delay = step.argument.toInt();
        } else if (step.kind == "silence") {
            ++m_next;
            return;
        } else if (step.kind == "close") {
            m_client->disconnectFromHost();
        } else {
            m_problems << QStringLiteral("unknown step ") + QString::fromLatin1(step.kind);
        }
        ++m_next;
    }
    m_waitingForLine = false;
    if (!m_pending.isEmpty())
        writeNextPacket();
}

void ScriptedFtpPeer::writeNextPacket()
{
    if (!m_client)
        return;
    const qsizetype size = m_chunk > 0 ? m_chunk : m_pending.size();
    m_client->write(m_pending.left(size));
    m_client->flush();
    m_pending.remove(0, size);
    if (!m_pending.isEmpty())
        m_packetTimer.start(m_delay);
    else
        run();
}

} // namespace kelvane::test

#include "tests/ftp/ScriptedFtpPeer.h"

#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <QRegularExpression>
#include <QTcpSocket>
#include <sys/socket.h>

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
        if (next == 'x' && i + 2 < text.size()) {
            result.append(static_cast<char>(text.mid(i + 1, 2).toInt(nullptr, 16)));
            i += 2;
            continue;
        }
        result.append(next == 'r' ? '\r' : next == 'n' ? '\n' : next == 't' ? '\t' : next);
    }
    return result;
}

// "<count> <text>" of the flood steps.
QByteArray repeated(const QByteArray& argument)
{
    const qsizetype blank = argument.indexOf(' ');
    return argument.mid(blank + 1).repeated(argument.left(blank).toInt());
}

std::pair<QByteArray, QByteArray> splitFirst(const QByteArray& argument)
{
    const qsizetype blank = argument.indexOf(' ');
    return blank < 0 ? std::pair(argument, QByteArray()) : std::pair(argument.left(blank), argument.mid(blank + 1));
}

// A close that resets the connection instead of ending it in order.
void reset(QTcpSocket& socket)
{
    const linger hard {1, 0};
    ::setsockopt(static_cast<int>(socket.socketDescriptor()), SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
    socket.abort();
}

} // namespace

ScriptedFtpPeer::ScriptedFtpPeer(const QString& caseName)
{
    QFile file(dataPath(QStringLiteral("ftp/") + caseName + QStringLiteral(".case")));
    if (!file.open(QIODevice::ReadOnly))
        m_problems << QStringLiteral("cannot read the case ") + caseName;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        if (raw.trimmed().isEmpty() || raw.startsWith('#'))
            continue;
        const auto [kind, argument] = splitFirst(raw);
        m_steps.append({kind, unescape(argument)});
    }
    m_packetTimer.setSingleShot(true);
    m_pauseTimer.setSingleShot(true);
    QObject::connect(&m_packetTimer, &QTimer::timeout, this, [this] { writeNextPacket(); });
    QObject::connect(&m_pauseTimer, &QTimer::timeout, this, [this] { run(); });
    QObject::connect(&m_server, &QTcpServer::newConnection, this, [this] { acceptControl(); });
    QObject::connect(&m_dataListener, &QTcpServer::newConnection, this, [this] { acceptData(); });
    m_server.listen(QHostAddress::LocalHost, 0);
}

ScriptedFtpPeer::~ScriptedFtpPeer() = default;

QStringList ScriptedFtpPeer::problems() const
{
    QStringList all = m_problems;
    for (qsizetype i = m_next; i < m_steps.size(); ++i) {
        if (m_steps[i].kind == "expect")
            all << QStringLiteral("never received: ") + QString::fromLatin1(m_steps[i].argument);
        else if (m_steps[i].kind == "expect-data-end")
            all << QStringLiteral("the data connection never ended");
    }
    return all;
}

void ScriptedFtpPeer::acceptControl()
{
    QTcpSocket* next = m_server.nextPendingConnection();
    if (m_client || !next) {
        delete next;
        return;
    }
    m_client.reset(next);
    QObject::connect(m_client.get(), &QTcpSocket::readyRead, this, [this] { onControlReadyRead(); });
    run();
}

void ScriptedFtpPeer::acceptData()
{
    // One data connection at a time; the next transfer's comes once the last one ended.
    while (QTcpSocket* next = m_dataListener.nextPendingConnection()) {
        if (m_data && !m_dataEnded)
            delete next;
        else
            adoptData(next);
    }
    run();
}

void ScriptedFtpPeer::adoptData(QTcpSocket* socket)
{
    m_data.reset(socket);
    m_dataEnded = false;
    QObject::connect(socket, &QTcpSocket::readyRead, this, [this] {
        m_dataReceived += m_data->readAll();
        run();
    });
    QObject::connect(socket, &QTcpSocket::connected, this, [this] { run(); });
    QObject::connect(socket, &QTcpSocket::bytesWritten, this, [this] { run(); });
    QObject::connect(socket, &QTcpSocket::disconnected, this, [this] {
        m_dataReceived += m_data->readAll();
        m_dataEnded = true;
        run();
    });
    QObject::connect(socket, &QTcpSocket::errorOccurred, this, [this] {
        m_dataEnded = true;
        run();
    });
}

void ScriptedFtpPeer::onControlReadyRead()
{
    m_input.append(m_client->readAll());
    qsizetype end;
    while ((end = m_input.indexOf("\r\n")) >= 0) {
        QByteArray line = m_input.left(end);
        line.removeIf([](char c) { return static_cast<unsigned char>(c) >= 0xF0; });
        m_lines.append(line);
        m_input.remove(0, end + 2);
    }
    if (m_waiting)
        run();
}

void ScriptedFtpPeer::run()
{
    // Signals that arrive while steps run (a write finished at once) ask for another pass.
    if (m_running) {
        m_runAgain = true;
        return;
    }
    m_running = true;
    do {
        m_runAgain = false;
        runSteps();
    } while (m_runAgain);
    m_running = false;
}

void ScriptedFtpPeer::runSteps()
{
    // Steps run until one must wait: for a line, for packets still to go, for a data
    // connection, or for ever.
    while (!m_silent && m_next < m_steps.size()) {
        if (!m_output.bytes.isEmpty() || m_packetTimer.isActive() || m_pauseTimer.isActive())
            return;
        m_waiting = !runStep(m_steps[m_next]);
        if (m_waiting)
            return;
        m_stepStarted = false;
        ++m_next;
    }
}

bool ScriptedFtpPeer::runStep(const Step& step)
{
    const QByteArray& kind = step.kind;
    if (kind == "send") {
        queue(m_client.get(), step.argument, m_chunk, m_delay);
    } else if (kind == "flood") {
        queue(m_client.get(), repeated(step.argument), m_chunk, m_delay);
    } else if (kind == "expect") {
        if (m_linesConsumed >= m_lines.size())
            return false;
        const QByteArray& line = m_lines[m_linesConsumed++];
        const bool matches = step.argument.endsWith('*') ? line.startsWith(step.argument.chopped(1))
                                                         : line == step.argument;
        if (!matches)
            m_problems << QStringLiteral("expected \"%1\", received \"%2\"")
                              .arg(QString::fromLatin1(step.argument), QString::fromLatin1(line));
    } else if (kind == "chunk") {
        m_chunk = step.argument.toInt();
    } else if (kind == "delay") {
        m_delay = step.argument.toInt();
    } else if (kind == "wait") {
        m_pauseTimer.start(step.argument.toInt());
    } else if (kind == "silence") {
        m_silent = true;
    } else if (kind == "close") {
        m_client->disconnectFromHost();
    } else {
        return runDataStep(step);
    }
    return true;
}

bool ScriptedFtpPeer::openListener()
{
    if (!m_dataListener.isListening() && !m_dataListener.listen(QHostAddress::LocalHost, 0)) {
        m_problems << QStringLiteral("cannot listen for data");
        return false;
    }
    return true;
}

bool ScriptedFtpPeer::dataFlushed() const { return m_data && m_data->bytesToWrite() == 0; }

std::optional<std::pair<QString, quint16>> ScriptedFtpPeer::lastPortAddress() const
{
    static const QRegularExpression port(QStringLiteral("^PORT (\\d+),(\\d+),(\\d+),(\\d+),(\\d+),(\\d+)$"));
    for (qsizetype i = m_lines.size() - 1; i >= 0; --i) {
        const auto match = port.match(QString::fromLatin1(m_lines[i]));
        if (match.hasMatch())
            return std::pair(QStringLiteral("%1.%2.%3.%4").arg(match.captured(1), match.captured(2), match.captured(3),
                                                                match.captured(4)),
                             static_cast<quint16>(match.captured(5).toInt() * 256 + match.captured(6).toInt()));
    }
    return std::nullopt;
}

bool ScriptedFtpPeer::runDataStep(const Step& step)
{
    const QByteArray& kind = step.kind;
    if (kind == "listen") {
        openListener();
    } else if (kind == "pasv") {
        if (!openListener())
            return true;
        const QByteArray host = step.argument.isEmpty() ? QByteArray("127.0.0.1") : step.argument;
        const quint16 port = m_dataListener.serverPort();
        queue(m_client.get(),
              "227 Entering Passive Mode (" + QByteArray(host).replace('.', ',') + ',' + QByteArray::number(port >> 8)
                  + ',' + QByteArray::number(port & 0xFF) + ")\r\n",
              m_chunk, m_delay);
    } else if (kind == "stranger-listen") {
        const auto [host, text] = splitFirst(step.argument);
        auto stranger = std::make_unique<QTcpServer>();
        if (!openListener() || !stranger->listen(QHostAddress(QString::fromLatin1(host)), m_dataListener.serverPort()))
            m_problems << QStringLiteral("a stranger cannot listen on ") + QString::fromLatin1(host);
        QTcpServer* server = stranger.get();
        QObject::connect(server, &QTcpServer::newConnection, server, [server, bytes = text] {
            while (QTcpSocket* socket = server->nextPendingConnection()) {
                socket->write(bytes);
                socket->disconnectFromHost();
            }
        });
        m_strangers.push_back(std::move(stranger));
    } else if (kind == "connect" || kind == "stranger-connect") {
        const auto address = lastPortAddress();
        if (!address) {
            m_problems << QStringLiteral("no PORT to connect to");
            return true;
        }
        return kind == "connect" ? connectData(*address) : connectStranger(*address, step.argument);
    } else if (kind == "data" || kind == "data-flood") {
        if (!m_data || m_data->state() != QAbstractSocket::ConnectedState)
            return false;
        queue(m_data.get(), kind == "data" ? step.argument : repeated(step.argument), m_dataChunk, m_dataDelay);
    } else if (kind == "data-chunk") {
        m_dataChunk = step.argument.toInt();
    } else if (kind == "data-delay") {
        m_dataDelay = step.argument.toInt();
    } else if (kind == "data-close" || kind == "data-reset") {
        if (!dataFlushed() && !m_dataEnded)
            return false;
        if (m_data && kind == "data-close")
            m_data->disconnectFromHost();
        else if (m_data)
            reset(*m_data);
    } else if (kind == "expect-data-end") {
        if (!m_dataEnded)
            return false;
    } else if (kind == "expect-data") {
        if (!m_dataEnded && m_dataReceived.size() < step.argument.toLongLong())
            return false;
    } else {
        m_problems << QStringLiteral("unknown step ") + QString::fromLatin1(kind);
    }
    return true;
}

bool ScriptedFtpPeer::connectData(const std::pair<QString, quint16>& address)
{
    if (!m_data) {
        adoptData(new QTcpSocket);
        m_data->connectToHost(address.first, address.second);
    }
    if (m_data->state() == QAbstractSocket::ConnectedState)
        return true;
    if (m_dataEnded) {
        m_problems << QStringLiteral("the client refused the data connection");
        return true;
    }
    return false;
}

bool ScriptedFtpPeer::connectStranger(const std::pair<QString, quint16>& address, const QByteArray& argument)
{
    if (!m_stepStarted) {
        m_stepStarted = true;
        const auto [host, text] = splitFirst(argument);
        auto socket = std::make_unique<QTcpSocket>();
        socket->bind(QHostAddress(QString::fromLatin1(host)), 0);
        QObject::connect(socket.get(), &QTcpSocket::connected, this, [this, s = socket.get(), bytes = text] {
            s->write(bytes);
            run();
        });
        QObject::connect(socket.get(), &QTcpSocket::errorOccurred, this, [this] { run(); });
        socket->connectToHost(address.first, address.second);
        m_strangers.push_back(std::move(socket));
    }
    // Connected (its bytes on their way), or turned away at once.
    const auto state = static_cast<QTcpSocket*>(m_strangers.back().get())->state();
    return state == QAbstractSocket::ConnectedState || state == QAbstractSocket::UnconnectedState;
}

void ScriptedFtpPeer::queue(QTcpSocket* socket, const QByteArray& bytes, int chunk, int delay)
{
    m_output = Output {socket, bytes, chunk, delay};
    writeNextPacket();
}

void ScriptedFtpPeer::writeNextPacket()
{
    if (!m_output.socket || m_output.socket->state() != QAbstractSocket::ConnectedState) {
        m_output = {};
        run();
        return;
    }
    const qsizetype size = m_output.chunk > 0 ? m_output.chunk : m_output.bytes.size();
    m_output.socket->write(m_output.bytes.left(size));
    m_output.socket->flush();
    m_output.bytes.remove(0, size);
    if (!m_output.bytes.isEmpty()) {
        m_packetTimer.start(m_output.delay);
        return;
    }
    m_output = {};
    run();
}

} // namespace kelvane::test

// Transfers and listings: the data path (passive or active), the transfer command and its
// reply, and the data connection's end.
#include "ftp/FTPCtrl.h"
#include "ftp/FtpCodes.h"
#include "ftp/FtpControlConn.h"
#include "ftp/FtpReplies.h"
#include "platform/sockets/SocketErrors.h"

#include <QFile>

namespace kelvane::ftp {

using namespace platform::sockets;

int CFTPCtrl::transfer(int action)
{
    using Mode = CFTPDataConn::Mode;
    const auto remoteFile = encodeName(m_remoteFile);
    if (!remoteFile)
        return code::BadPropertyValue;
    Mode mode = Mode::Listing;
    QByteArray verb = action == a_ListDirectory ? "NLST" : "LIST";
    if (action == a_Download) {
        mode = m_localFile.isEmpty() ? Mode::ToEvents : Mode::Download;
        verb = "RETR";
    } else if (action == a_Upload) {
        if (m_localFile.isEmpty()) {
            m_control->setMessage(text::NoUploadFile);
            return code::NoLocalFile;
        }
        if (QFile probe(m_localFile); !probe.open(QIODevice::ReadOnly)) {
            m_control->setMessage(text::UploadFileUnreadable);
            return code::NoLocalFile;
        }
        mode = Mode::Upload;
        verb = "STOR";
    }
    // The local file opens before anything goes out: a file that cannot be made or continued
    // costs the server nothing.
    if (const int result = beginLocalSide(mode)) {
        m_control->setMessage(m_data->failureText());
        return result;
    }
    if (const int result = openDataPath())
        return result;
    if (mode != Mode::Listing && m_startByte != 0) {
        if (const int result = sendCommand("REST", QByteArray::number(m_startByte)))
            return result;
    }
    PendingReplies::Serial serial = 0;
    if (const int result = sendOnly(verb, *remoteFile, serial))
        return result;
    m_data->setTransferCommandSent(true);
    int result = awaitReply(serial);
    // This side ends an upload, by closing its data connection after the last byte: a final
    // reply before that means the server ended it early.
    if (result == 0 && mode == Mode::Upload && !m_data->ended())
        m_data->cutShort();
    // The server's word alone does not end a transfer: its data must have ended cleanly too.
    if (result == 0)
        result = awaitDataEnd();
    if (result == 0 && m_data->failure() != 0) {
        result = m_data->failure();
        m_control->setMessage(m_data->failureText());
    }
    if (result == 0 && m_data->complete() != 0) {
        result = m_data->failure();
        m_control->setMessage(m_data->failureText());
    }
    return result;
}

int CFTPCtrl::beginLocalSide(CFTPDataConn::Mode mode)
{
    // A FIFO is written as its reader reads: the transfer waits for one to come.
    const qint64 start = mode == CFTPDataConn::Mode::Listing ? 0 : m_startByte;
    int result = 0;
    while ((result = m_data->beginTransfer(mode, m_localFile, start)) == CFTPDataConn::AwaitingReader) {
        bool idle = false;
        if (pumpMessages(PollMilliseconds, &idle) == 0)
            return code::Interrupted;
        if (idle && progressStalled())
            return error::TimedOut;
    }
    return result;
}

int CFTPCtrl::openDataPath() { return m_passive ? openPassiveDataPath() : openActiveDataPath(); }

int CFTPCtrl::openPassiveDataPath()
{
    if (const int result = sendCommand("PASV"))
        return result;
    const auto address = passiveAddress(m_answer);
    if (!address) {
        fireError(code::UnexpectedReply, text::UnexpectedReply);
        m_control->setMessage(text::UnexpectedReply);
        return code::UnexpectedReply;
    }
    // Only the port is taken from the reply: the data comes from the server this control
    // talks to, whatever host the reply names.
    m_data->setRemoteAddress(m_control->remoteAddress());
    m_data->setRemotePort(address->port);
    if (const int result = m_data->connect())
        return result;
    return awaitDataConnected();
}

int CFTPCtrl::openActiveDataPath()
{
    // The server reaches this control where the control connection's local end is.
    SocketAddress local;
    if (api().localAddress(m_control->socket(), local) != 0)
        return api().lastError();
    if (const int result = m_data->openListenSocket(local.address))
        return result;
    SocketAddress listening;
    if (api().localAddress(m_data->listenSocket(), listening) != 0 || listening.port == 0)
        return api().lastError();
    return sendCommand("PORT", portArgument(SocketAddress {local.address, listening.port}));
}

int CFTPCtrl::awaitDataConnected()
{
    while (!m_data->isConnected()) {
        if (m_data->failure() != 0)
            return m_data->failure();
        bool idle = false;
        if (pumpMessages(PollMilliseconds, &idle) == 0)
            return code::Interrupted;
        if (idle && !m_data->isConnected() && m_data->failure() == 0 && progressStalled())
            return error::TimedOut;
    }
    return 0;
}

int CFTPCtrl::awaitDataEnd()
{
    // In active mode the server may connect only after its final reply; data may follow the
    // reply for as long as it keeps coming.
    while (!m_data->ended()) {
        bool idle = false;
        if (pumpMessages(PollMilliseconds, &idle) == 0)
            return code::Interrupted;
        if (!idle)
            continue;
        m_data->readNow();
        if (!m_data->ended() && progressStalled())
            return error::TimedOut;
    }
    return 0;
}

void CFTPCtrl::cleanUpDataSide()
{
    // The data connection, a listening socket, and whatever a download wrote.
    m_data->abortTransfer();
}

void CFTPCtrl::acceptDataConnection(platform::sockets::SocketHandle socket, int event)
{
    if (socket == m_data->listenSocket() && event == event::Accept)
        m_data->acceptConnection(m_control->remoteAddress());
}

} // namespace kelvane::ftp

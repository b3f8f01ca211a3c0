#include "ftp/FtpDataConn.h"

#include "ftp/FTPCtrl.h"
#include "ftp/FtpCodes.h"
#include "ftp/FtpControlConn.h"
#include "platform/TextEncoding.h"
#include "platform/sockets/SocketErrors.h"

#include <algorithm>

namespace kelvane::ftp {

using namespace platform::sockets;

namespace {
constexpr int kBlockSize = ReceiveBuffer::Capacity;
constexpr int kAcceptedEvents = event::Read | event::Write | event::Close;
} // namespace

CFTPDataConn::CFTPDataConn(CFTPCtrl& control) : CWsockConn(control), m_ftp(control) {}

CFTPDataConn::~CFTPDataConn()
{
    closeLocalFile();
    closeListenSocket();
}

void CFTPDataConn::beginTransfer(Mode transferMode)
{
    closeLocalFile();
    mode = transferMode;
    m_accepted = false;
    m_established = false;
    m_fileTried = false;
    m_uploadCommandSent = false;
    m_failure = 0;
    m_failureText.clear();
    m_partialLine.clear();
}

void CFTPDataConn::transferAccepted()
{
    m_accepted = true;
    if (mode == Mode::Download && m_established && !m_fileTried)
        openLocalFile();
}

void CFTPDataConn::closeLocalFile() { m_file.reset(); }

void CFTPDataConn::abortTransfer()
{
    closeLocalFile();
    closeListenSocket();
    closeHard();
    if (!m_established)
        return;
    m_established = false;
    Q_EMIT m_ftp.EndTransfer();
}

void CFTPDataConn::fileFailure(int eventCode, const QString& text)
{
    // The first failure tells; the rest of the transfer would only repeat it.
    if (m_failure != 0)
        return;
    m_failure = eventCode;
    m_failureText = text;
    m_ftp.fireError(eventCode, text);
}

bool CFTPDataConn::openLocalFile()
{
    m_fileTried = true;
    auto file = std::make_unique<QFile>(m_ftp.LocalFile());
    const qint64 start = static_cast<qint64>(byteCount);
    int failure = 0;
    if (mode == Mode::Upload) {
        if (!file->open(QIODevice::ReadOnly))
            failure = code::LocalFileNotOpened;
        else if (start != 0 && !file->seek(start))
            failure = code::LocalFileSeekFailed;
    } else if (start != 0) {
        if (!file->open(QIODevice::ReadWrite))
            failure = code::LocalFileNotCreated;
        else if (!file->seek(start))
            failure = code::LocalFileSeekFailed;
    } else if (!file->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        failure = code::LocalFileNotCreated;
    }
    if (failure != 0) {
        fileFailure(failure, text::OpenFailed);
        return false;
    }
    m_file = std::move(file);
    return true;
}

void CFTPDataConn::onConnected(int code)
{
    // A data connection that failed opens no file: the server's reply tells the rest.
    if (code != 0)
        return;
    closeLocalFile();
    m_established = true;
    byteCount = static_cast<quint32>(m_ftp.m_startByte);
    if (mode == Mode::Upload && !openLocalFile()) {
        // Nothing can be sent: the server gets an empty transfer rather than waiting for ever.
        disconnect();
        return;
    }
    // A download's file is made only once the server sends it.
    if (mode == Mode::Download && m_accepted)
        openLocalFile();
    Q_EMIT m_ftp.StartTransfer();
}

void CFTPDataConn::onData(const QByteArray& piece, bool complete)
{
    // A download's file opens at the position the count held before these bytes.
    if (mode == Mode::Download && !m_file && !m_fileTried)
        openLocalFile();
    byteCount += static_cast<quint32>(piece.size());
    switch (mode) {
    case Mode::ToEvents:
        m_ftp.fireTransfer(byteCount, platform::encoding::fromAnsi(piece));
        break;
    case Mode::Download:
        if (!m_file) {
            fileFailure(code::LocalFileNotOpen, text::WriteFailed);
        } else if (m_file->write(piece) != piece.size()) {
            closeLocalFile();
            fileFailure(code::LocalFileWriteFailed, text::WriteFailed);
        }
        m_ftp.fireTransfer(byteCount, QString());
        break;
    case Mode::Listing:
        m_partialLine.append(piece);
        if (complete) {
            deliverLine(m_partialLine);
            m_partialLine.clear();
        }
        break;
    case Mode::Upload: break;
    }
}

void CFTPDataConn::deliverLine(const QByteArray& line) { m_ftp.fireDirList(platform::encoding::fromAnsi(line)); }

void CFTPDataConn::onDisconnected(int code)
{
    if (mode == Mode::Listing && !m_partialLine.isEmpty()) {
        deliverLine(m_partialLine);
        m_partialLine.clear();
    }
    // An accepted download that brought no bytes is an empty file.
    if (mode == Mode::Download && m_established && m_accepted && !m_fileTried)
        openLocalFile();
    if (m_file && mode == Mode::Download && !m_file->flush())
        fileFailure(code::LocalFileWriteFailed, text::WriteFailed);
    closeLocalFile();
    if (!m_established)
        return;
    m_established = false;
    Q_EMIT m_ftp.EndTransfer();
}

void CFTPDataConn::onError(int code, const QString& text) { m_ftp.fireError(code, text); }

int CFTPDataConn::sendUploadBlock(bool& busy)
{
    busy = false;
    const qint64 size = m_file->size();
    const qint64 sentSoFar = static_cast<qint64>(byteCount);
    if (size <= sentSoFar) {
        closeLocalFile();
        disconnect();
        return 0;
    }
    const int block = static_cast<int>(std::min<qint64>(size - sentSoFar, kBlockSize));
    char bytes[kBlockSize];
    if (m_file->read(bytes, block) != block) {
        closeLocalFile();
        m_ftp.m_control->setMessage(text::ReadFailed);
        return code::LocalFileIo;
    }
    const int result = send(bytes, block);
    if (result == 0) {
        byteCount += static_cast<quint32>(block);
        m_ftp.fireTransfer(byteCount, QString());
        busy = true;
        return 0;
    }
    if (result != error::WouldBlock)
        return result;
    // The socket took part of the block or nothing: the rest goes again at the next step.
    if (!m_file->seek(m_file->pos() - (block - lastSent()))) {
        m_ftp.m_control->setMessage(text::SeekFailed);
        return code::LocalFileIo;
    }
    if (lastSent() == 0)
        return 0;
    byteCount = static_cast<quint32>(m_file->pos());
    m_ftp.fireTransfer(byteCount, QString());
    return 0;
}

int CFTPDataConn::openListenSocket()
{
    closeListenSocket();
    m_listener = api().socket();
    if (m_listener == InvalidSocket)
        return api().lastError();
    if (api().bind(m_listener, SocketAddress {0, 0}) != 0 || api().listen(m_listener, 1) != 0
        || api().asyncSelect(m_listener, control().windowHandle(), CWsockCtrl::SocketMessage, event::Accept) != 0) {
        const int failure = api().lastError();
        closeListenSocket();
        return failure;
    }
    return 0;
}

void CFTPDataConn::closeListenSocket()
{
    if (m_listener == InvalidSocket)
        return;
    api().asyncSelect(m_listener, 0, 0, 0);
    api().closesocket(m_listener);
    m_listener = InvalidSocket;
}

void CFTPDataConn::acceptConnection()
{
    if (hasSocket())
        disconnect();
    const SocketHandle accepted = api().accept(m_listener, nullptr);
    closeListenSocket();
    if (accepted == InvalidSocket) {
        m_ftp.fireError(code::AcceptFailed, text::AcceptFailed);
        return;
    }
    adopt(accepted);
    if (api().asyncSelect(accepted, control().windowHandle(), CWsockCtrl::SocketMessage, kAcceptedEvents) != 0)
        m_ftp.fireError(code::SelectFailed, text::SelectFailed);
    onConnected(0);
}

} // namespace kelvane::ftp

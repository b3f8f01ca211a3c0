#include "ftp/FtpDataConn.h"

#include "ftp/FTPCtrl.h"
#include "ftp/FtpCodes.h"
#include "ftp/FtpControlConn.h"
#include "platform/TextEncoding.h"
#include "platform/sockets/SocketErrors.h"

namespace kelvane::ftp {

using namespace platform::sockets;

namespace {
constexpr int kAcceptedEvents = event::Read | event::Write | event::Close;
} // namespace

CFTPDataConn::CFTPDataConn(CFTPCtrl& control) : CWsockConn(control, ReceiveBuffer::DataCapacity), m_ftp(control) {}

CFTPDataConn::~CFTPDataConn()
{
    m_target.discard();
    m_source.close();
    closeListenSocket();
}

int CFTPDataConn::beginTransfer(Mode mode, const QString& localFile, qint64 startByte)
{
    abortTransfer();
    m_mode = mode;
    m_startByte = startByte;
    m_byteCount = startByte;
    m_established = false;
    m_ended = false;
    m_commandSent = false;
    m_failure = 0;
    m_failureText.clear();
    m_listing.clear();
    setDelimiter(mode == Mode::Listing ? QByteArray("\r\n") : QByteArray(), false);
    int failure = 0;
    if (mode == Mode::Download)
        failure = m_target.open(localFile, startByte);
    else if (mode == Mode::Upload)
        failure = m_source.open(localFile, startByte);
    if (failure == 0 || failure == AwaitingReader)
        return failure;
    m_ftp.fireError(failure, text::OpenFailed);
    m_failure = code::LocalFileIo;
    m_failureText = text::OpenFailed;
    return m_failure;
}

void CFTPDataConn::endTransfer()
{
    if (!std::exchange(m_established, false))
        return;
    Q_EMIT m_ftp.EndTransfer();
}

void CFTPDataConn::abortTransfer()
{
    closeListenSocket();
    closeHard();
    m_target.discard();
    m_source.close();
    endTransfer();
}

void CFTPDataConn::fail(int code, const QString& text)
{
    if (m_failure != 0)
        return;
    m_failure = code;
    m_failureText = text;
    abortTransfer();
}

int CFTPDataConn::complete()
{
    if (m_mode == Mode::Download && !m_target.commit()) {
        m_ftp.fireError(code::LocalFileWriteFailed, text::WriteFailed);
        m_failure = code::LocalFileIo;
        m_failureText = text::WriteFailed;
        return m_failure;
    }
    return 0;
}

void CFTPDataConn::cutShort()
{
    if (m_failure == 0)
        m_ftp.fireError(error::ConnectionAborted, socketErrorSentence(error::ConnectionAborted));
    fail(error::ConnectionAborted);
}

void CFTPDataConn::onConnected(int code)
{
    if (code != 0) {
        fail(code);
        return;
    }
    m_established = true;
    m_ended = false;
    m_byteCount = m_startByte;
    Q_EMIT m_ftp.StartTransfer();
}

void CFTPDataConn::onData(QByteArrayView piece, bool complete)
{
    if (m_failure != 0)
        return;
    m_byteCount += piece.size();
    switch (m_mode) {
    case Mode::ToEvents:
        m_ftp.fireTransfer(m_byteCount, platform::encoding::fromAnsi(piece.toByteArray()));
        break;
    case Mode::Download:
        if (!m_target.write(piece)) {
            m_ftp.fireError(code::LocalFileWriteFailed, text::WriteFailed);
            fail(code::LocalFileIo, text::WriteFailed);
            return;
        }
        m_ftp.fireTransfer(m_byteCount, QString());
        break;
    case Mode::Listing:
        deliverListing(piece, complete);
        break;
    case Mode::Upload: break;
    }
}

void CFTPDataConn::deliverListing(QByteArrayView piece, bool complete)
{
    switch (m_listing.add(piece, complete)) {
    case LineAssembler::Result::Partial: break;
    case LineAssembler::Result::Line: m_ftp.fireDirList(m_ftp.m_encoding.decode(m_listing.line())); break;
    case LineAssembler::Result::TooLong:
        m_ftp.fireError(code::UnexpectedReply, text::UnexpectedReply);
        fail(code::UnexpectedReply, text::UnexpectedReply);
        break;
    }
}

void CFTPDataConn::onDisconnected(int code)
{
    if (code != 0) {
        if (m_failure == 0)
            m_ftp.fireError(code, socketErrorSentence(code));
        fail(code);
        return;
    }
    // An upload ends when this side closes after the last byte, never when the server does.
    if (m_mode == Mode::Upload && m_source.isOpen()) {
        cutShort();
        return;
    }
    // A listing's last line may end with the connection instead of a line end.
    QByteArray last;
    if (m_mode == Mode::Listing && m_failure == 0 && m_listing.takeUnfinished(last))
        m_ftp.fireDirList(m_ftp.m_encoding.decode(last));
    m_ended = true;
    endTransfer();
}

void CFTPDataConn::onError(int code, const QString& text)
{
    if (m_failure == 0)
        m_ftp.fireError(code, text);
    fail(code);
}

bool CFTPDataConn::uploading() const
{
    return m_mode == Mode::Upload && m_commandSent && m_source.isOpen() && isConnected() && m_failure == 0;
}

int CFTPDataConn::sendUploadBlock(bool& busy)
{
    busy = false;
    QByteArrayView bytes;
    if (!m_source.pending(bytes)) {
        fail(code::LocalFileIo, text::ReadFailed);
        return 0;
    }
    if (bytes.isEmpty()) {
        // The whole file went: closing in order tells the server it is complete.
        m_source.close();
        disconnect();
        return 0;
    }
    const int result = send(bytes.data(), static_cast<int>(bytes.size()));
    if (lastSent() > 0) {
        m_source.advance(lastSent());
        m_byteCount = m_source.position();
        m_ftp.fireTransfer(m_byteCount, QString());
    }
    if (result == 0)
        busy = true;
    else if (result != error::WouldBlock)
        fail(result);
    return 0;
}

int CFTPDataConn::openListenSocket(quint32 localAddress)
{
    closeListenSocket();
    m_listener = api().socket();
    if (m_listener == InvalidSocket)
        return api().lastError();
    if (api().bind(m_listener, SocketAddress {localAddress, 0}) != 0 || api().listen(m_listener, 1) != 0
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

void CFTPDataConn::acceptConnection(quint32 server)
{
    SocketAddress peer;
    const SocketHandle accepted = api().accept(m_listener, &peer);
    if (accepted == InvalidSocket) {
        m_ftp.fireError(code::AcceptFailed, text::AcceptFailed);
        return;
    }
    if (peer.address != server) {
        // Someone else got to the port first: the server's connection may still come.
        api().asyncSelect(accepted, 0, 0, 0);
        api().closesocket(accepted);
        return;
    }
    closeListenSocket();
    closeHard();
    adopt(accepted);
    control().noteProgress();
    if (api().asyncSelect(accepted, control().windowHandle(), CWsockCtrl::SocketMessage, kAcceptedEvents) != 0)
        m_ftp.fireError(code::SelectFailed, text::SelectFailed);
    onConnected(0);
}

} // namespace kelvane::ftp

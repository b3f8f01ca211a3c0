#pragma once

#include "ftp/DownloadTarget.h"
#include "ftp/LineAssembler.h"
#include "ftp/UploadSource.h"
#include "ftp/WsockConn.h"

namespace kelvane::ftp {

class CFTPCtrl;

// The data connection of one transfer or listing: where its bytes go or come from, the local
// file, the count of bytes moved, and in active mode the socket it listens on for the server.
//
// A transfer ends cleanly only when its connection closes in order (the server's end of a
// download or listing, ours after the last byte of an upload). Anything else fails it: a reset
// or socket error, the server's close of an upload, the local file, a listing line without an
// end. The first failure is kept, and the connection is reset at once so the server stops too.
class CFTPDataConn : public CWsockConn {
public:
    enum class Mode {
        ToEvents = 1, // received bytes go to the Transfer event
        Upload = 2,   // LocalFile is sent
        Download = 3, // received bytes go into LocalFile
        Listing = 4,  // received lines go to the DirList event
    };

    explicit CFTPDataConn(CFTPCtrl& control);
    ~CFTPDataConn() override;

    // A transfer begins: its mode and, for a download into a file or an upload, the local file,
    // opened at once at `startByte`. 0, LocalFileIo (20145) after the Error event told why, or
    // AwaitingReader for a FIFO nobody reads yet.
    static constexpr int AwaitingReader = DownloadTarget::AwaitingReader;
    int beginTransfer(Mode mode, const QString& localFile, qint64 startByte);
    Mode mode() const { return m_mode; }
    // Counted from the start byte, in 64 bits.
    qint64 byteCount() const { return m_byteCount; }

    // The transfer command went out: an upload may send.
    void setTransferCommandSent(bool sent) { m_commandSent = sent; }
    // True while an upload has bytes to send on its connection.
    bool uploading() const;
    // Sends the next block of the upload. Always 0: a failure fails the transfer and the wait
    // goes on for the server's reply. `busy` tells that the socket took a whole block.
    int sendUploadBlock(bool& busy);

    // The connection of this transfer was made and has closed, or the transfer failed.
    bool ended() const { return m_failure != 0 || m_ended; }
    // The first failure (a code of FtpCodes.h or a socket error) and its text, or 0.
    int failure() const { return m_failure; }
    const QString& failureText() const { return m_failureText; }
    // The transfer succeeded: a download's file gets its bytes. 0, or the failure.
    int complete();
    // The server ended an upload before its last byte went: the transfer fails with
    // ConnectionAborted (10053).
    void cutShort();
    // Stops the transfer: its connection is reset, a listening socket closed, what a download
    // spooled dropped.
    void abortTransfer();

    // Active mode: listens on the control connection's local address and a port the system
    // picks, and takes a connection only from the server.
    int openListenSocket(quint32 localAddress);
    void closeListenSocket();
    platform::sockets::SocketHandle listenSocket() const { return m_listener; }
    // A connection waits on the listening socket; one from another address than `server` is
    // turned away and the socket goes on listening.
    void acceptConnection(quint32 server);

protected:
    void onConnected(int code) override;
    void onDisconnected(int code) override;
    void onData(QByteArrayView piece, bool complete) override;
    void onError(int code, const QString& text) override;

private:
    // Keeps the first failure and stops the transfer.
    void fail(int code, const QString& text = {});
    void deliverListing(QByteArrayView piece, bool complete);
    void endTransfer();

    CFTPCtrl& m_ftp;
    Mode m_mode = Mode::ToEvents;
    qint64 m_byteCount = 0;
    qint64 m_startByte = 0;
    DownloadTarget m_target;
    UploadSource m_source;
    LineAssembler m_listing = LineAssembler::forListings();
    bool m_established = false; // the connection of this transfer was made
    bool m_ended = false;       // and closed in order
    bool m_commandSent = false;
    int m_failure = 0;
    QString m_failureText;
    platform::sockets::SocketHandle m_listener = platform::sockets::InvalidSocket;
};

} // namespace kelvane::ftp

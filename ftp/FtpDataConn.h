#pragma once

#include "ftp/WsockConn.h"

#include <QFile>
#include <memory>

namespace kelvane::ftp {

class CFTPCtrl;

// The data connection of one transfer or listing: where its bytes go or come from, the local
// file, the count of bytes moved, and in active mode the socket it listens on for the server.
class CFTPDataConn : public CWsockConn {
public:
    enum class Mode {
        ToEvents = 1,  // received bytes go to the Transfer event
        Upload = 2,    // LocalFile is sent
        Download = 3,  // received bytes go into LocalFile
        Listing = 4,   // received lines go to the DirList event
    };

    explicit CFTPDataConn(CFTPCtrl& control);
    ~CFTPDataConn() override;

    Mode mode = Mode::ToEvents;
    // Counts from StartByte when the connection is made.
    quint32 byteCount = 0;

    // A transfer begins: its mode; a download's local file waits until the server accepted
    // the transfer or its first bytes arrive.
    void beginTransfer(Mode transferMode);
    // The server answered the transfer command with a preliminary reply.
    void transferAccepted();
    // True while the local file of an upload is open and the transfer command awaits its reply.
    bool uploading() const { return m_file && m_uploadCommandSent; }
    void setUploadCommandSent(bool sent) { m_uploadCommandSent = sent; }
    // Sends the next block of the upload; 0, a result code, or a socket error. `busy` tells
    // that a whole block went out and more may follow at once.
    int sendUploadBlock(bool& busy);
    // The first local-file failure of this transfer (its text is kept), or 0.
    int failure() const { return m_failure; }
    const QString& failureText() const { return m_failureText; }

    // Active mode: listens on a port the system picks and announces it.
    int openListenSocket();
    void closeListenSocket();
    platform::sockets::SocketHandle listenSocket() const { return m_listener; }
    // The server connected to the listening socket.
    void acceptConnection();
    void closeLocalFile();
    // Drops the connection, a listening socket and the local file of a transfer in progress.
    void abortTransfer();

protected:
    void onConnected(int code) override;
    void onDisconnected(int code) override;
    void onData(const QByteArray& piece, bool complete) override;
    void onError(int code, const QString& text) override;

private:
    bool openLocalFile();
    void fileFailure(int eventCode, const QString& text);
    void deliverLine(const QByteArray& line);

    CFTPCtrl& m_ftp;
    std::unique_ptr<QFile> m_file;
    bool m_accepted = false;     // the server accepted the transfer
    bool m_established = false;  // the connection of this transfer was made
    bool m_fileTried = false;
    bool m_uploadCommandSent = false;
    int m_failure = 0;
    QString m_failureText;
    QByteArray m_partialLine;
    platform::sockets::SocketHandle m_listener = platform::sockets::InvalidSocket;
};

} // namespace kelvane::ftp

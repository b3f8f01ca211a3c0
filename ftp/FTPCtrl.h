#pragma once

#include "ftp/FtpDataConn.h"
#include "ftp/LineConn.h"
#include "ftp/NameEncoding.h"
#include "ftp/PendingReplies.h"
#include "ftp/WsockCtrl.h"

#include <QByteArray>
#include <chrono>
#include <memory>
#include <optional>

namespace platform::automation {
class PropertyBag;
}

namespace kelvane::ftp {

class CFTPControlConn;

// The FTP control: one FTP session whose operations start by writing a code to Action. The
// write runs the operation to its end while the thread's messages keep flowing, so its events
// arrive during the write and their handlers may write Action 0 (stop waiting) or 1 (abort).
// A failing write raises the error of its result code (see CWsockCtrl::reportResult); failures
// nobody waits for arrive as the Error event.
//
// Names travel in UTF-8 when the server says at log-on that it uses UTF-8 names (FEAT, or
// OPTS UTF8 ON accepted), else in the ANSI code page; replies and listings are read the same
// way. A value too long for its field or holding a line break or NUL is refused when it is
// set, a name the server's encoding cannot carry when it is to be sent: "Bad property value."
// (380).
//
// Replies stay in step with their commands whatever happens: a command's late reply (after an
// abort, a stopped wait or a failed transfer) is read before the next command goes out. No wait
// lasts for ever: one that sees nothing move on the connections for two minutes fails with the
// socket time-out (10060), and a reply wait given up that way closes the control connection.
class CFTPCtrl : public CWsockCtrl {
    Q_OBJECT
    Q_PROPERTY(QString RemoteHost READ RemoteHost WRITE setRemoteHost)
    Q_PROPERTY(qint32 RemotePort READ RemotePort WRITE setRemotePort)
    Q_PROPERTY(QString User READ User WRITE setUser)
    Q_PROPERTY(QString Password READ Password WRITE setPassword)
    Q_PROPERTY(QString RemotePath READ RemotePath WRITE setRemotePath)
    Q_PROPERTY(QString LocalFile READ LocalFile WRITE setLocalFile)
    Q_PROPERTY(QString RemoteFile READ RemoteFile WRITE setRemoteFile)
    Q_PROPERTY(QString AltFile READ AltFile WRITE setAltFile)
    Q_PROPERTY(qint16 TransferMode READ TransferMode WRITE setTransferMode)
    Q_PROPERTY(qint16 Action READ Action WRITE setAction)
    Q_PROPERTY(QString LastReply READ LastReply WRITE refuseWrite)
    Q_PROPERTY(bool Passive READ Passive WRITE setPassive)
    Q_PROPERTY(QString Command READ Command WRITE setCommand)
    Q_PROPERTY(qint32 SocketHandle READ SocketHandle WRITE refuseWrite)
    Q_PROPERTY(qint32 StartByte READ StartByte WRITE setStartByte)

public:
    enum TAction : qint16 {
        a_Idle = 0,
        a_Abort = 1,
        a_Logon = 2,
        a_Logoff = 3,
        a_Download = 4,
        a_Upload = 5,
        a_DeleteFile = 6,
        a_RenameFile = 7,
        a_ListDirectory = 8,
        a_ListDirectoryLong = 9,
        a_MakeDirectory = 10,
        a_RemoveDirectory = 11,
        // The engine's own operations, also open to Action.
        SetAscii = 12,
        SetBinary = 13,
        ChangeDirectory = 14,
        RawCommand = 15,
    };
    enum TTransferMode : qint16 { tm_Default = 0, tm_ASCII = 1, tm_Binary = 2 };

    // Field sizes, in characters.
    static constexpr int UserLength = 32;
    static constexpr int PasswordLength = 64;
    static constexpr int PathLength = 256;

    explicit CFTPCtrl(QObject* parent = nullptr);
    ~CFTPCtrl() override;

    QString RemoteHost();
    void setRemoteHost(const QString& host);
    qint32 RemotePort() const;
    void setRemotePort(qint32 port);
    QString User() const { return m_user; }
    void setUser(const QString& user);
    QString Password() const { return m_password; }
    void setPassword(const QString& password);
    // While connected and idle, reading asks the server (PWD) and writing changes the
    // directory there (CWD, or CDUP for ".."). During an action the stored path answers.
    QString RemotePath();
    void setRemotePath(const QString& path);
    QString LocalFile() const { return m_localFile; }
    void setLocalFile(const QString& path);
    QString RemoteFile() const { return m_remoteFile; }
    void setRemoteFile(const QString& path);
    QString AltFile() const { return m_altFile; }
    void setAltFile(const QString& path);
    qint16 TransferMode() const { return m_transferMode; }
    void setTransferMode(qint16 mode);
    // The operation running, 0 when idle.
    qint16 Action() const { return m_action; }
    void setAction(qint16 action);
    QString LastReply() const;
    bool Passive() const { return m_passive; }
    void setPassive(bool passive) { m_passive = passive; }
    // Write-only: a raw command line, sent as it stands. Reading it raises "get not
    // supported" (394).
    QString Command() const;
    void setCommand(const QString& command);
    qint32 SocketHandle() const;
    qint32 StartByte() const;
    void setStartByte(qint32 position);

    // Saved properties, loaded from or saved to the container. Saving takes the stored values
    // and never talks to the server.
    void ReadProperties(const platform::automation::PropertyBag& bag);
    void WriteProperties(platform::automation::PropertyBag& bag) const;

    // The engine's operations, with their result codes (0, a code of FtpCodes.h or a socket
    // error); the property writes raise what these answer.
    int SetAction(int action);
    int SetTransferMode(int mode);
    int SetRemotePath(const QString& path);
    QString GetRemotePath();

Q_SIGNALS:
    void Error(qint16& ErrorCode, QString& Description);
    // Direction 0: a command sent; 1: a reply line received; 2: the control's own status text.
    void PITrail(qint16& Direction, QString& Message);
    void StartTransfer();
    void Transfer(qint32& BytesTransferred, QString& Text);
    void EndTransfer();
    void DirList(QString& DirEntry);

protected:
    CWsockConn& controlConnection() const override;
    void windowMessage(const platform::sockets::WindowMessage& message) override;

private:
    friend class CFTPControlConn;
    friend class CFTPDataConn;

    platform::sockets::SocketLibrary& api() const;
    void beginExchange();
    int perform(int action);
    int logOn();
    int logOff();
    int askNameEncoding();
    int abort();
    int transfer(int action);
    int beginLocalSide(CFTPDataConn::Mode mode);
    int openDataPath();
    int openPassiveDataPath();
    int openActiveDataPath();
    int awaitDataConnected();
    int awaitDataEnd();
    void cleanUpDataSide();

    // Commands and their replies (FtpCommands.cpp). Each sends one command once the replies
    // still owed were read, and reads its own reply: 0 for 2xx and 3xx, UnexpectedReply
    // (20142) with the reply as the message for any other, or the failure of the wait.
    int sendCommand(const QByteArray& verb, const QByteArray& argument = {});
    // The argument is a name: BadPropertyValue (380) when the session's encoding cannot carry it.
    int sendNamed(const QByteArray& verb, const QString& name);
    std::optional<QByteArray> encodeName(const QString& name);
    // Sends without reading what earlier commands are owed.
    int sendOnly(const QByteArray& verb, const QByteArray& argument, PendingReplies::Serial& serial);
    // `mayShareReply`: the command went while others were owed, and the reply before it may
    // have answered it too (ABOR).
    int awaitReply(PendingReplies::Serial serial, bool mayShareReply = false);
    int drainReplies();
    int readReplyLine(std::optional<std::chrono::milliseconds> within = std::nullopt);
    // Reads the reply lines that came before anyone waited for them.
    void readArrivedLines();
    void noteReplyLine(const QByteArray& line);
    // The control connection can no longer be read in step: it is closed.
    void dropControlConnection();
    // A new connection starts with nothing owed and names in the ANSI code page.
    void resetSession();

    // Notifications of the two connections.
    void reportConnected(int code);
    void reportDisconnected(int code);
    void acceptDataConnection(platform::sockets::SocketHandle socket, int event);

    void fireError(int code, const QString& description);
    void firePITrail(int direction, const QString& message);
    // The event's count is 32 bits wide: it carries the low 32 bits of the 64-bit count.
    void fireTransfer(qint64 count, const QString& text);
    void fireDirList(const QString& entry);

    // Raises 380 unless the value fits the field and holds no line break or NUL.
    static void requireSendable(const QString& value, int length);

    // How long ABOR waits for a reply of its own once the transfer it cut short was answered.
    static constexpr std::chrono::seconds SharedReplyGrace {2};

    std::unique_ptr<CFTPControlConn> m_control;
    std::unique_ptr<CFTPDataConn> m_data;
    qint16 m_action = a_Idle;
    qint16 m_transferMode = tm_Default;
    bool m_passive = false;
    qint32 m_startByte = 0;
    QString m_user;
    QString m_password;
    QString m_localFile;
    QString m_remotePath;
    QString m_remoteFile;
    QString m_altFile;
    QString m_command;
    // The session on the control connection.
    PendingReplies m_replies;
    QByteArray m_answer; // the last line of the reply just read
    NameEncoding m_encoding;
    bool m_featuresAsked = false;
    bool m_readingFeatures = false;
    bool m_utf8Announced = false;
};

} // namespace kelvane::ftp

#pragma once

#include "ftp/FtpDataConn.h"
#include "ftp/LineConn.h"
#include "ftp/WsockCtrl.h"

#include <QByteArray>
#include <memory>

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
// Texts that go on the wire travel in the ANSI code page. A value the control cannot send
// as given (too long for its field, a character the code page lacks, a line break or NUL) is
// refused with "Bad property value." (380).
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
    Q_PROPERTY(QString LastReply READ LastReply)
    Q_PROPERTY(bool Passive READ Passive WRITE setPassive)
    Q_PROPERTY(qint32 SocketHandle READ SocketHandle)
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
    // Write-only: a raw command line, sent as it stands.
    Q_INVOKABLE void setCommand(const QString& command);
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
    int perform(int action);
    int logOn();
    int logOff();
    int transfer(int action);
    int sendCommand(const QByteArray& verb, const QByteArray& argument = {});
    int openDataPath();
    int openPassiveDataPath();
    int openActiveDataPath();
    void awaitDataClose();
    void cleanUpDataSide();
    void beginExchange();

    // Notifications of the two connections.
    void reportConnected(int code);
    void reportDisconnected(int code);
    void acceptDataConnection(platform::sockets::SocketHandle socket, int event);

    void fireError(int code, const QString& description);
    void firePITrail(int direction, const QString& message);
    void fireTransfer(quint32 count, const QString& text);
    void fireDirList(const QString& entry);

    // Raises 380 unless the value fits the field and can go on the wire.
    static void requireSendable(const QString& value, int length);

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
    // Set when an abort ran inside this action.
    bool m_aborted = false;
};

} // namespace kelvane::ftp

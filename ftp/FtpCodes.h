#pragma once

#include <QString>

// The result codes of the FTP control and their texts. An operation answers 0 for success,
// one of these codes, or a socket error number (10004 to 11004).
namespace kelvane::ftp {

namespace code {
inline constexpr int RemotePortBusy = 20101;
inline constexpr int RemoteHostBusy = 20102;
inline constexpr int InvalidAddress = 20103;
inline constexpr int AlreadyConnected = 20105;
inline constexpr int ZeroPort = 20117;
inline constexpr int UnexpectedReply = 20142;
inline constexpr int ConnectionFailed = 20143; // event only
inline constexpr int Busy = 20144;
inline constexpr int LocalFileIo = 20145;
inline constexpr int NoLocalFile = 20146;
inline constexpr int OutOfMemory = 20201;
inline constexpr int Interrupted = 20302;
inline constexpr int AcceptFailed = 20312;     // event only
inline constexpr int SelectFailed = 20313;     // event only
inline constexpr int BadPropertyValue = 380;
// The framework's refusals of a write to a read-only property and a read of a write-only one.
inline constexpr int SetNotSupported = 383;
inline constexpr int GetNotSupported = 394;

// Codes of the Error event for local-file failures during a transfer.
inline constexpr int LocalFileNotOpened = 3;
inline constexpr int LocalFileNotCreated = 4;
inline constexpr int LocalFileNotOpen = 5;
inline constexpr int LocalFileWriteFailed = 7;
inline constexpr int LocalFileSeekFailed = 8;
} // namespace code

namespace text {
inline const QString RemotePortBusy =
    QStringLiteral("You cannot change the RemotePort at this time. A connection is in progress.");
inline const QString RemoteHostBusy =
    QStringLiteral("You cannot change the RemoteHost at this time. A connection is in progress.");
inline const QString InvalidAddress = QStringLiteral("The RemoteHost address is invalid (0.0.0.0).");
inline const QString AlreadyConnected =
    QStringLiteral("Already connected. If you want to reconnect, close the current connection first.");
inline const QString ZeroPort = QStringLiteral("RemotePort can't be zero. Please specify a valid service port number.");
inline const QString UnexpectedReply = QStringLiteral("Unexpected server reply.");
inline const QString Busy = QStringLiteral("Busy performing current action.");
inline const QString ReadFailed = QStringLiteral("Error reading from local file.");
inline const QString SeekFailed = QStringLiteral("Error seeking in local file.");
inline const QString WriteFailed = QStringLiteral("Error writing to local file.");
inline const QString OpenFailed = QStringLiteral("Error opening local file.");
inline const QString NoUploadFile = QStringLiteral("Please specify a local file for upload.");
inline const QString UploadFileUnreadable = QStringLiteral("Can't open LocalFile for reading.");
inline const QString OutOfMemory = QStringLiteral("Out of memory.");
inline const QString Interrupted = QStringLiteral("Interrupted.");
inline const QString BadPropertyValue = QStringLiteral("Bad property value.");
inline const QString SetNotSupported = QStringLiteral("Property is read-only.");
inline const QString GetNotSupported = QStringLiteral("Property is write-only.");
inline const QString AcceptFailed = QStringLiteral("Failed to accept new socket.");
inline const QString SelectFailed = QStringLiteral("Error calling WSAAsyncSelect on new socket.");
} // namespace text

// True for the socket error numbers, which reach callers as 15001 plus the number.
inline bool isSocketError(int result) { return result >= 10000 && result < 20000; }

} // namespace kelvane::ftp

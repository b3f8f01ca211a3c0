#pragma once

#include <QString>

namespace platform::sockets {

// The socket error numbers of the old socket layer, which both transfer controls report
// (and add to their own COM error numbers). Only the ones the code names are listed here;
// socketErrorText knows the texts of all of them.
namespace error {
inline constexpr int Interrupted = 10004;
inline constexpr int BadFile = 10009;
inline constexpr int AccessDenied = 10013;
inline constexpr int BadAddress = 10014;
inline constexpr int InvalidArgument = 10022;
inline constexpr int TooManyOpenFiles = 10024;
inline constexpr int WouldBlock = 10035;
inline constexpr int InProgress = 10036;
inline constexpr int AlreadyInProgress = 10037;
inline constexpr int NotSocket = 10038;
inline constexpr int MessageTooLong = 10040;
inline constexpr int ProtocolNotSupported = 10043;
inline constexpr int OperationNotSupported = 10045;
inline constexpr int AddressFamilyNotSupported = 10047;
inline constexpr int AddressInUse = 10048;
inline constexpr int AddressNotAvailable = 10049;
inline constexpr int NetworkDown = 10050;
inline constexpr int NetworkUnreachable = 10051;
inline constexpr int NetworkReset = 10052;
inline constexpr int ConnectionAborted = 10053;
inline constexpr int ConnectionReset = 10054;
inline constexpr int NoBufferSpace = 10055;
inline constexpr int AlreadyConnected = 10056;
inline constexpr int NotConnected = 10057;
inline constexpr int Shutdown = 10058;
inline constexpr int TimedOut = 10060;
inline constexpr int ConnectionRefused = 10061;
inline constexpr int NameTooLong = 10063;
inline constexpr int HostDown = 10064;
inline constexpr int HostUnreachable = 10065;
inline constexpr int SystemNotReady = 10091;
inline constexpr int VersionNotSupported = 10092;
inline constexpr int NotInitialised = 10093;
inline constexpr int HostNotFound = 11001;
inline constexpr int TryAgain = 11002;
inline constexpr int NoRecovery = 11003;
inline constexpr int NoData = 11004;
} // namespace error

// The fixed text of a socket error number (10004 to 11004, as the controls show them, for
// example "Connection refused" for 10061); a null text for any other number.
QString socketErrorText(int code);

// The text the HTTPS control gives a socket error: "[10061] Connection refused", or
// "[%d] (no description available)" for a number without a text.
QString describeSocketError(int code);

// The text the FTP control gives a socket error: the same with a closing period,
// "[10061] Connection refused.", except "[10066] Directory not empty"; "[%d] (no description
// available)" for a number without a text.
QString socketErrorSentence(int code);

} // namespace platform::sockets

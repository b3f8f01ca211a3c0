#pragma once

// The engine's own result codes (0 = success). Every other code an operation answers is a
// socket error number (10004 and up) or, on the second transport, a transport error
// number (12001 and up). The control adds 20001 to codes up to 10000 and 15001 to larger
// ones when it raises them (out of memory is raised as error 7).
namespace kelvane::plexant::code {

inline constexpr int Ok = 0;
inline constexpr int InvalidHandle = 5;
inline constexpr int ReadFailed = 6;
inline constexpr int WriteFailed = 7;
inline constexpr int RemotePortInUse = 100;
inline constexpr int RemoteHostInUse = 101;
inline constexpr int InvalidAddress = 102;
inline constexpr int AlreadyConnected = 104;
inline constexpr int ZeroPort = 116;
inline constexpr int FirewallFailed = 118;
inline constexpr int Busy = 143;
inline constexpr int ServerStatus = 151;
inline constexpr int NoServer = 152;
inline constexpr int InvalidUrl = 153;
inline constexpr int CookieIndex = 156;
inline constexpr int Truncated = 157; // the connection closed before the end of the headers or the announced length
inline constexpr int BadReply = 158;  // the reply breaks the protocol: an untold length, a zero byte, broken chunks
inline constexpr int OutOfMemory = 200;
inline constexpr int SecurityLibraryMissing = 270;
inline constexpr int CertificateStore = 271;
inline constexpr int Credentials = 273;
inline constexpr int ChainUnavailable = 274;
inline constexpr int ChainUnverifiable = 275;
inline constexpr int HandshakeFailed = 276;
inline constexpr int CertificateRejected = 280;
inline constexpr int NoServerCertificate = 281;
inline constexpr int EncryptFailed = 283;
inline constexpr int DecryptFailed = 284;
inline constexpr int Interrupted = 301;
inline constexpr int FileFailed = 302;

} // namespace kelvane::plexant::code

#pragma once

#include "platform/sockets/SocketLibrary.h"

#include <QByteArray>
#include <optional>

// What the FTP control reads from and writes into the lines of the control connection.
namespace kelvane::ftp {

// Follows the lines of one reply. A line whose fourth character is "-" opens a reply of
// several lines, which ends at the line that starts with the same code followed by a blank
// (or nothing); the lines between are its text, whatever else they hold. A line of another
// code followed by a blank ends it too (text lines never read so), as a negative reply.
class ReplyReader {
public:
    enum class Line {
        Continues,   // more lines of this reply follow
        Preliminary, // a final line of 1xx: the real reply is still to come
        Positive,    // a final line of 2xx or 3xx
        Negative,    // any other final line
    };

    Line add(const QByteArray& line);

private:
    QByteArray m_openCode; // the code of the reply of several lines being read
};

// The address of the data connection in a reply to PASV: "227 ... (h1,h2,h3,h4,p1,p2)".
// Blanks around the numbers are skipped; each number is 0 to 255 and the numbers are
// separated by one other character. Nothing when the line does not read so.
std::optional<platform::sockets::SocketAddress> passiveAddress(const QByteArray& line);

// The argument of PORT for an address and port: "127,0,0,1,19,137".
QByteArray portArgument(const platform::sockets::SocketAddress& address);

// True for the line of a FEAT reply that names the UTF8 feature: " UTF8", in any case,
// perhaps followed by a blank.
bool namesUtf8Feature(const QByteArray& line);

// The path of a reply to PWD such as 257 "/pub" is current: from the sixth character up to
// the next double quote (or the end).
QByteArray pathOfPwdReply(const QByteArray& line);

} // namespace kelvane::ftp

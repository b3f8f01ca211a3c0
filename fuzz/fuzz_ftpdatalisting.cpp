// Feeds the input to the FTP control as the listing an FTP server on 127.0.0.1 sends on the
// data connection, so that it is read the way a listing is: from the data socket, through the
// data connection's receive buffer and listing lines, to the DirList event, with the session's
// name encoding and the transfer's end on the control connection. (fuzz_ftplisting feeds the
// same line readers without a socket, many times faster.) The control logs on, lists and logs
// off; the peer answers every command, and its first byte sets how:
//   bit 0     a long listing (LIST) instead of names only (NLST)
//   bit 1     active mode: the peer connects to the control's PORT, else passive (PASV)
//   bit 2     the server announces UTF-8 names
//   bit 3     the data connection ends with a reset instead of an orderly close
//   bit 4     the transfer's 226 comes before the data connection ends
//   bits 5-6  the listing in 1, 2, 3 or 4 writes
// A failing operation raises the control's automation error, which is an outcome, not a
// fault; anything else is.
#include "FuzzSupport.h"
#include "fuzz/LoopbackPeer.h"
#include "ftp/FTPCtrl.h"
#include "platform/RuntimeError.h"

namespace {

using kelvane::ftp::CFTPCtrl;

struct ListingPlay {
    QByteArray listing;
    bool utf8 = false;
    bool active = false;
    bool reset = false;
    bool replyFirst = false;
    int writes = 1;
};

// The address and port of a PORT argument "h1,h2,h3,h4,p1,p2"; the port is 0 when it is not one.
sockaddr_in portAddress(const QByteArray& argument)
{
    sockaddr_in address {};
    address.sin_family = AF_INET;
    const QList<QByteArray> parts = argument.split(',');
    if (parts.size() != 6)
        return address;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(quint16(parts[4].toUShort() * 256 + parts[5].toUShort()));
    return address;
}

// The data connection of a listing: taken on the passive listener, or made to the PORT address.
int openData(const ListingPlay& play, const fuzz::LoopbackListener& passive, const sockaddr_in& active)
{
    if (!play.active)
        return passive.accept();
    const int connection = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (connection >= 0 && ::connect(connection, reinterpret_cast<const sockaddr*>(&active), sizeof active) != 0) {
        ::close(connection);
        return -1;
    }
    return connection;
}

// Sends the listing on a data connection and ends it, with the transfer's reply before or after.
void sendListing(int control, const ListingPlay& play, const fuzz::LoopbackListener& passive, const sockaddr_in& active)
{
    fuzz::sendText(control, "150 Here comes the listing\r\n");
    const int data = openData(play, passive, active);
    if (data < 0) {
        fuzz::sendText(control, "425 No data connection\r\n");
        return;
    }
    fuzz::sendInWrites(data, play.listing, play.writes);
    if (play.replyFirst)
        fuzz::sendText(control, "226 Listing sent\r\n");
    if (play.reset)
        fuzz::resetOnClose(data);
    else
        ::shutdown(data, SHUT_WR);
    ::close(data);
    if (!play.replyFirst)
        fuzz::sendText(control, "226 Listing sent\r\n");
}

// A server's side of a session: every command is answered, a listing as the play says.
void serveSession(int control, const ListingPlay& play)
{
    const fuzz::LoopbackListener passive;
    sockaddr_in active {};
    QByteArray pending;
    fuzz::sendText(control, "220 Ready\r\n");
    while (const auto line = fuzz::receiveLine(control, pending)) {
        const qsizetype blank = line->indexOf(' ');
        const QByteArray verb = (blank < 0 ? *line : line->left(blank)).toUpper();
        if (verb == "USER")
            fuzz::sendText(control, "331 Password required\r\n");
        else if (verb == "PASS")
            fuzz::sendText(control, "230 Logged in\r\n");
        else if (verb == "FEAT")
            fuzz::sendText(control, play.utf8 ? "211-Features:\r\n MDTM\r\n UTF8\r\n211 End\r\n" : "211 No features\r\n");
        else if (verb == "OPTS")
            fuzz::sendText(control, play.utf8 ? "200 Always in UTF8 mode\r\n" : "501 Not understood\r\n");
        else if (verb == "PASV")
            fuzz::sendText(control, "227 Entering Passive Mode (127,0,0,1," + QByteArray::number(passive.port() >> 8) + ','
                                        + QByteArray::number(passive.port() & 0xFF) + ")\r\n");
        else if (verb == "PORT") {
            active = portAddress(line->mid(5));
            fuzz::sendText(control, "200 PORT command successful\r\n");
        } else if (verb == "LIST" || verb == "NLST")
            sendListing(control, play, passive, active);
        else if (verb == "QUIT") {
            fuzz::sendText(control, "221 Goodbye\r\n");
            return;
        } else
            fuzz::sendText(control, "200 OK\r\n");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    fuzz::ensureCoreApplication();
    static fuzz::LoopbackPeer peer;

    const int settings = data[0];
    ListingPlay play;
    play.listing = fuzz::bytesOf(data + 1, size - 1);
    play.active = (settings & 2) != 0;
    play.utf8 = (settings & 4) != 0;
    play.reset = (settings & 8) != 0;
    play.replyFirst = (settings & 16) != 0;
    play.writes = 1 + ((settings >> 5) & 3);
    peer.play([play](int connection) { serveSession(connection, play); });

    CFTPCtrl ftp;
    int entries = 0;
    QObject::connect(&ftp, &CFTPCtrl::DirList, &ftp, [&entries](QString&) { ++entries; });
    const auto run = [&ftp](qint16 action) {
        try {
            ftp.setAction(action);
        } catch (const kelvane::RuntimeError&) {
        }
    };
    ftp.setWinsockLoaded(true);
    ftp.setRemoteHost(QStringLiteral("127.0.0.1"));
    ftp.setRemotePort(peer.port());
    ftp.setUser(QStringLiteral("kelvane"));
    ftp.setPassword(QStringLiteral("secret"));
    ftp.setPassive(!play.active);
    run(CFTPCtrl::a_Logon);
    run((settings & 1) != 0 ? CFTPCtrl::a_ListDirectoryLong : CFTPCtrl::a_ListDirectory);
    fuzz::require(entries <= play.listing.size() + 1, "a listing gave more entries than it has lines");
    run(CFTPCtrl::a_Logoff);
    peer.finish();
    return 0;
}

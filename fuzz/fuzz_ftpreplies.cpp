// Reads the input as the bytes a server sends on an FTP control connection, through the FTP
// control's own readers, without a socket: the receive buffer's line ends, the reply lines
// with their cap, the matching of replies to the commands waiting for them, and what the
// control takes out of a reply (a 227's port, a 257's path, the UTF8 feature, the text).
// The input's leading bytes shape its delivery (fuzz/FtpFeed.h).
#include "ftp/FtpReplies.h"
#include "ftp/PendingReplies.h"
#include "fuzz/FtpFeed.h"

#include <cstddef>
#include <cstdint>

using namespace kelvane::ftp;

namespace {

// The commands a session has out when the replies come: the greeting, a log-on, a transfer
// and an abort of it.
const char* const kCommands[] = {"", "USER", "PASS", "FEAT", "PASV", "RETR", "ABOR", "PWD"};

void readLine(const QByteArray& line, PendingReplies& pending, const NameEncoding& encoding)
{
    pending.read(line);
    passiveAddress(line);
    pathOfPwdReply(line);
    namesUtf8Feature(line);
    encoding.decode(line);
    if (!pending.owed())
        pending.sent("NOOP");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto feed = fuzz::FtpFeed::of(data, size, ReceiveBuffer::DefaultCapacity, 8);
    if (!feed)
        return 0;
    ReceiveBuffer buffer;
    buffer.setDelimiter("\r\n", true);
    LineAssembler lines = LineAssembler::forReplies();
    PendingReplies pending;
    for (const char* verb : kCommands)
        pending.sent(verb);
    feed->deliver(buffer, lines, [&](LineAssembler::Result result) {
        if (result == LineAssembler::Result::Line && !lines.line().isEmpty()) {
            readLine(lines.line(), pending, feed->encoding);
        } else if (result == LineAssembler::Result::TooLong) {
            // The control drops such a connection; a new one starts afresh.
            lines.clear();
            pending.clear();
            pending.sent("");
        }
        return true;
    });
    return 0;
}

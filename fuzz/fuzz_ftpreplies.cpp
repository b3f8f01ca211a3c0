// Reads the input as the bytes a server sends on an FTP control connection, through the FTP
// control's own readers, without a socket: the receive buffer's line ends, the reply lines
// with their cap, the matching of replies to the commands waiting for them, and what the
// control takes out of a reply (a 227's port, a 257's path, the UTF8 feature, the text).
// The first byte sets the size of each read of a short input (a connection delivers bytes
// in reads of any size), the second whether the session reads UTF-8, the third (from 0xF0 up)
// how often the rest repeats.
#include "ftp/FtpReplies.h"
#include "ftp/LineAssembler.h"
#include "ftp/NameEncoding.h"
#include "ftp/PendingReplies.h"
#include "ftp/ReceiveBuffer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

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
    if (size < 3)
        return 0;
    const NameEncoding encoding {(data[1] & 1) != 0};
    // Now and then the rest comes many times over, so that short inputs reach lines past the
    // caps while most runs stay short.
    const int repeat = data[2] >= 0xF0 ? 4 * (data[2] - 0xEF) : 1;
    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data + 3), static_cast<qsizetype>(size - 3)).repeated(repeat);
    // Long inputs come in whole reads, short ones in reads of any size (line ends split
    // between reads among them).
    const int readSize = repeat > 1 ? ReceiveBuffer::DefaultCapacity : 1 + data[0] * 8;
    const char* bytes = input.constData();
    const auto total = static_cast<std::size_t>(input.size());

    ReceiveBuffer buffer;
    buffer.setDelimiter("\r\n", true);
    LineAssembler lines = LineAssembler::forReplies();
    PendingReplies pending;
    for (const char* verb : kCommands)
        pending.sent(verb);

    std::size_t offset = 0;
    while (offset < total) {
        int space = 0;
        char* into = buffer.freeSpace(space);
        const int count = static_cast<int>(std::min<std::size_t>({std::size_t(space), std::size_t(readSize), total - offset}));
        std::memcpy(into, bytes + offset, static_cast<std::size_t>(count));
        buffer.commit(count);
        offset += static_cast<std::size_t>(count);
        QByteArrayView piece;
        bool complete = false;
        while (buffer.takeNext(piece, complete)) {
            switch (lines.add(piece, complete)) {
            case LineAssembler::Result::Partial: break;
            case LineAssembler::Result::Line:
                if (!lines.line().isEmpty())
                    readLine(lines.line(), pending, encoding);
                break;
            case LineAssembler::Result::TooLong:
                // The control drops such a connection; a new one starts afresh.
                lines.clear();
                pending.clear();
                pending.sent("");
                break;
            }
        }
    }
    return 0;
}

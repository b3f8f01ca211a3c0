// Reads the input as the bytes of an FTP listing's data connection, through the FTP
// control's own readers, without a socket: the receive buffer's exact "\r\n" line ends, the
// listing lines with their cap, the last line the connection's end completes, and the names'
// decoding. The first byte sets the size of each read of a short input, the second whether
// the session reads UTF-8, the third (from 0xF0 up) how often the rest repeats.
#include "ftp/LineAssembler.h"
#include "ftp/NameEncoding.h"
#include "ftp/ReceiveBuffer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

using namespace kelvane::ftp;

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
    const int readSize = repeat > 1 ? ReceiveBuffer::DataCapacity : 1 + data[0] * 257;
    const char* bytes = input.constData();
    const auto total = static_cast<std::size_t>(input.size());

    ReceiveBuffer buffer(ReceiveBuffer::DataCapacity);
    buffer.setDelimiter("\r\n", false);
    LineAssembler listing = LineAssembler::forListings();
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
            switch (listing.add(piece, complete)) {
            case LineAssembler::Result::Partial: break;
            case LineAssembler::Result::Line: encoding.decode(listing.line()); break;
            // The control fails the listing and stops reading.
            case LineAssembler::Result::TooLong: return 0;
            }
        }
    }
    // The server closed the connection: the rest is the last line.
    QByteArrayView rest;
    if (buffer.takeRest(rest) && listing.add(rest, false) == LineAssembler::Result::TooLong)
        return 0;
    QByteArray last;
    if (listing.takeUnfinished(last))
        encoding.decode(last);
    return 0;
}

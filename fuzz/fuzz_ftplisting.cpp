// Reads the input as the bytes of an FTP listing's data connection, through the FTP
// control's own readers, without a socket: the receive buffer's exact "\r\n" line ends, the
// listing lines with their cap, the last line the connection's end completes, and the names'
// decoding. The input's leading bytes shape its delivery (fuzz/FtpFeed.h). fuzz_ftpdatalisting
// sends listings through the data socket of a whole session instead.
#include "fuzz/FtpFeed.h"

#include <cstddef>
#include <cstdint>

using namespace kelvane::ftp;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto feed = fuzz::FtpFeed::of(data, size, ReceiveBuffer::DataCapacity, 257);
    if (!feed)
        return 0;
    ReceiveBuffer buffer(ReceiveBuffer::DataCapacity);
    buffer.setDelimiter("\r\n", false);
    LineAssembler listing = LineAssembler::forListings();
    const bool whole = feed->deliver(buffer, listing, [&](LineAssembler::Result result) {
        if (result == LineAssembler::Result::Line)
            feed->encoding.decode(listing.line());
        // The control fails a listing with a line past the cap and stops reading.
        return result != LineAssembler::Result::TooLong;
    });
    if (!whole)
        return 0;
    // The server closed the connection: the rest is the last line.
    QByteArrayView rest;
    if (buffer.takeRest(rest) && listing.add(rest, false) == LineAssembler::Result::TooLong)
        return 0;
    QByteArray last;
    if (listing.takeUnfinished(last))
        feed->encoding.decode(last);
    return 0;
}

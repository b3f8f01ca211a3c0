#pragma once

// The input of the FTP readers' fuzz targets, as a connection would deliver it: the first byte
// sets the size of each read of a short input (a connection delivers bytes in reads of any
// size), the second whether the session reads UTF-8, the third (from 0xF0 up) how often the
// rest repeats, so that short inputs now and then reach lines past the caps while most runs
// stay short.

#include "ftp/LineAssembler.h"
#include "ftp/NameEncoding.h"
#include "ftp/ReceiveBuffer.h"

#include <QByteArray>
#include <QByteArrayView>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

namespace fuzz {

struct FtpFeed {
    kelvane::ftp::NameEncoding encoding;
    QByteArray input;
    int readSize = 1;

    // Nothing for an input too short to hold its three leading bytes. Long inputs come in
    // reads of `wholeRead` bytes, short ones in reads of 1 + the first byte times `readStep`.
    static std::optional<FtpFeed> of(const std::uint8_t* data, std::size_t size, int wholeRead, int readStep)
    {
        if (size < 3)
            return std::nullopt;
        FtpFeed feed;
        feed.encoding.utf8 = (data[1] & 1) != 0;
        const int repeat = data[2] >= 0xF0 ? 4 * (data[2] - 0xEF) : 1;
        feed.input = QByteArray::fromRawData(reinterpret_cast<const char*>(data + 3), static_cast<qsizetype>(size - 3))
                         .repeated(repeat);
        feed.readSize = repeat > 1 ? wholeRead : 1 + data[0] * readStep;
        return feed;
    }

    // Reads the input into `buffer` read by read and hands each line the assembler makes of it
    // to `onResult(result)`; stops early when that returns false. Returns whether every read
    // was taken.
    template <typename OnResult>
    bool deliver(kelvane::ftp::ReceiveBuffer& buffer, kelvane::ftp::LineAssembler& lines, OnResult onResult) const
    {
        const auto total = static_cast<std::size_t>(input.size());
        std::size_t offset = 0;
        while (offset < total) {
            int space = 0;
            char* into = buffer.freeSpace(space);
            const auto count = std::min<std::size_t>({std::size_t(space), std::size_t(readSize), total - offset});
            std::memcpy(into, input.constData() + offset, count);
            buffer.commit(static_cast<int>(count));
            offset += count;
            QByteArrayView piece;
            bool complete = false;
            while (buffer.takeNext(piece, complete))
                if (!onResult(lines.add(piece, complete)))
                    return false;
        }
        return true;
    }
};

} // namespace fuzz

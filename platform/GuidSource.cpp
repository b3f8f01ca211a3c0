#include "platform/GuidSource.h"

#include <QRandomGenerator>

namespace platform {

Guid RandomGuidSource::newGuid()
{
    std::array<quint32, 4> words {};
    QRandomGenerator::system()->fillRange(words.data(), words.size());
    Guid guid;
    guid.data1 = words[0];
    guid.data2 = static_cast<quint16>(words[1] >> 16);
    guid.data3 = static_cast<quint16>((words[1] & 0x0FFF) | 0x4000); // version 4
    for (int i = 0; i < 4; ++i) {
        guid.data4[i] = static_cast<quint8>(words[2] >> (24 - 8 * i));
        guid.data4[4 + i] = static_cast<quint8>(words[3] >> (24 - 8 * i));
    }
    guid.data4[0] = static_cast<quint8>((guid.data4[0] & 0x3F) | 0x80); // variant 1
    return guid;
}

} // namespace platform

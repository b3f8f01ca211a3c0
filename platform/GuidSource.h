#pragma once

#include "platform/Service.h"

#include <QtGlobal>
#include <array>

namespace platform {

// A platform GUID in its four fields, as the generator hands it out.
struct Guid {
    quint32 data1 = 0;
    quint16 data2 = 0;
    quint16 data3 = 0;
    std::array<quint8, 8> data4 {};
};

// Source of new GUIDs: 128 random bits (version 4 layout). Never fails.
class GuidSource {
public:
    virtual ~GuidSource() = default;
    virtual Guid newGuid() = 0;
};

class RandomGuidSource : public GuidSource {
public:
    Guid newGuid() override;
};

template <>
struct ServiceDefault<GuidSource> {
    static std::unique_ptr<GuidSource> create() { return std::make_unique<RandomGuidSource>(); }
};

inline GuidSource& guids() { return Service<GuidSource>::get(); }

} // namespace platform

#pragma once

#include "platform/Variant.h"
#include "platform/automation/TypeLibrary.h"

#include <QList>

namespace platform::automation {

// Receives the events of automation objects. Every argument is passed by reference: what a
// sink leaves in a by-reference argument goes on to the next sink and back to the object.
// What a sink raises is dropped; an event never fails its object.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void onEvent(DispId id, const QString& name, QList<kelvane::Variant>& arguments) = 0;
};

} // namespace platform::automation

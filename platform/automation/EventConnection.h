#pragma once

#include "platform/automation/DispatchTable.h"
#include "platform/automation/EventSink.h"

#include <QObject>
#include <memory>

namespace platform::automation {

// One sink connected to the events (the signals) of one object; destroying the connection
// disconnects the sink. Sinks connected to one object hear each event in the order they
// were connected.
class EventConnection : public QObject {
public:
    EventConnection(QObject& source, std::shared_ptr<const DispatchTable> table, std::shared_ptr<EventSink> sink);

    // Receives the signals; every event is one method index past QObject's own.
    int qt_metacall(QMetaObject::Call call, int id, void** arguments) override;

private:
    void deliver(int eventPosition, void** arguments);

    std::shared_ptr<const DispatchTable> m_table;
    std::shared_ptr<EventSink> m_sink;
};

} // namespace platform::automation

#include "platform/automation/EventConnection.h"

#include "platform/automation/AutomationValues.h"

#include <QMetaMethod>

namespace platform::automation {

namespace {
// The first method index past QObject's own; event k is received as this + k.
int firstEventSlot() { return QObject::staticMetaObject.methodCount(); }
} // namespace

EventConnection::EventConnection(QObject& source, std::shared_ptr<const DispatchTable> table,
                                 std::shared_ptr<EventSink> sink)
    : m_table(std::move(table))
    , m_sink(std::move(sink))
{
    const QList<DispatchTable::Binding>& events = m_table->eventBindings();
    for (int k = 0; k < events.size(); ++k)
        QMetaObject::connect(&source, events.at(k).signal, this, firstEventSlot() + k, Qt::DirectConnection);
}

int EventConnection::qt_metacall(QMetaObject::Call call, int id, void** arguments)
{
    id = QObject::qt_metacall(call, id, arguments);
    if (id < 0 || call != QMetaObject::InvokeMetaMethod)
        return id;
    if (id < m_table->eventBindings().size())
        deliver(id, arguments);
    return -1;
}

void EventConnection::deliver(int eventPosition, void** arguments)
{
    // A sink may end its own connection while it handles the event: what the rest of the
    // delivery needs is held here, not in the connection.
    const std::shared_ptr<const DispatchTable> table = m_table;
    const std::shared_ptr<EventSink> sink = m_sink;
    const DispatchTable::Binding& event = table->eventBindings().at(eventPosition);
    const QMetaMethod signal = table->metaObject().method(event.signal);
    try {
        QList<kelvane::Variant> values;
        for (int i = 0; i < signal.parameterCount(); ++i)
            values.append(fromQt(QVariant(parameterType(signal, i), arguments[i + 1])));
        sink->onEvent(event.member->id, event.member->name, values);
        for (int i = 0; i < signal.parameterCount(); ++i) {
            if (!isByReference(signal, i))
                continue;
            // What the sink left goes back into the object's own variable.
            const QMetaType type = parameterType(signal, i);
            const QVariant left = toQt(values.at(i), type);
            type.destruct(arguments[i + 1]);
            type.construct(arguments[i + 1], left.constData());
        }
    } catch (...) {
        // An event never fails the object that raised it.
    }
}

} // namespace platform::automation

#include "automation/MacroEventSink.h"

#include "automation/MacroProject.h"

namespace kelvane {

MacroEventSink::MacroEventSink(std::weak_ptr<MacroProject> project, QString itemName,
                               const platform::automation::InterfaceDescription& events)
    : m_project(std::move(project))
    , m_itemName(std::move(itemName))
    , m_events(events)
{
}

void MacroEventSink::onEvent(platform::automation::DispId id, const QString& name, QList<Variant>& arguments)
{
    const auto project = m_project.lock();
    const auto* event = m_events.member(id);
    if (!project || !event)
        return;
    QStringList parameterNames;
    for (const auto& parameter : event->parameters)
        parameterNames << parameter.name;
    project->runHandler(m_itemName + u'_' + name, parameterNames, arguments);
}

} // namespace kelvane

#pragma once

#include "platform/automation/EventSink.h"

#include <memory>

namespace kelvane {

class MacroProject;

// Hands the events of one item of a macro project to the project's handlers: the event
// `Load` of the item "KnowledgeBase" runs `KnowledgeBase_Load(e)`, with `e` holding the
// arguments by their names.
class MacroEventSink : public platform::automation::EventSink {
public:
    MacroEventSink(std::weak_ptr<MacroProject> project, QString itemName,
                   const platform::automation::InterfaceDescription& events);

    void onEvent(platform::automation::DispId id, const QString& name, QList<kelvane::Variant>& arguments) override;

private:
    std::weak_ptr<MacroProject> m_project;
    QString m_itemName;
    const platform::automation::InterfaceDescription& m_events;
};

} // namespace kelvane

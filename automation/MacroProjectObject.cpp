#include "automation/MacroProjectObject.h"

#include "automation/MacroProject.h"

namespace kelvane {

QString MacroProjectObject::Name() const
{
    return m_project->Name();
}

void MacroProjectObject::setName(const QString& name)
{
    m_project->setName(name);
}

} // namespace kelvane

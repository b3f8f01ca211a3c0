#include "model/oldtext/OlderTextProperties.h"

#include "model/Property.h"
#include "model/basLibrary.h"
#include "model/oldtext/OlderTextStatement.h"

namespace kelvane {

OlderTextProperties::OlderTextProperties(QString prefix, const char* moduleName)
    : m_prefix(std::move(prefix)), m_moduleName(moduleName)
{
}

bool OlderTextProperties::apply(const OlderTextStatement& statement, Collection<std::shared_ptr<Property>>& properties)
{
    if (!statement.mentions(m_prefix))
        return false;
    const QString numbered = m_prefix + QString::number(statement.familyNumber(m_prefix.size()));
    if (statement.is(numbered + QStringLiteral("_Name"))) {
        m_current = std::make_shared<Property>();
        m_current->Name = statement.value();
    } else if (statement.is(numbered + QStringLiteral("_Value"))) {
        if (!m_current)
            raiseError(err::InvalidProcedureCall,
                       QStringLiteral("The value %1 has no property name before it.").arg(statement.key()));
        if (properties.Contains(m_current->Name)) {
            basLibrary::ReportError(QString::fromLatin1(m_moduleName), QStringLiteral("SerializeIn"),
                                    RuntimeError(err::DuplicateKey,
                                                 QStringLiteral("The property %1 is given twice; the first is kept.")
                                                     .arg(m_current->Name)));
            return true;
        }
        m_current->Value = statement.value();
        properties.Add(m_current, m_current->Name);
    }
    return true;
}

} // namespace kelvane

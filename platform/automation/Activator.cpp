#include "platform/automation/Activator.h"

#include "platform/Registry.h"
#include "platform/RuntimeError.h"
#include "platform/automation/ServerLibrary.h"
#include "platform/automation/TypeLibrary.h"

#include <utility>

namespace platform::automation {

ClassObjectRegistration::~ClassObjectRegistration()
{
    if (m_activator)
        m_activator->revoke(m_classId, m_factory);
}

ClassObjectRegistration::ClassObjectRegistration(ClassObjectRegistration&& other) noexcept
    : m_activator(std::exchange(other.m_activator, nullptr))
    , m_classId(other.m_classId)
    , m_factory(other.m_factory)
{
}

QUuid Activator::classIdOfProgId(const QString& progId) const
{
    if (progId.isEmpty())
        return {};
    const auto text = registry().queryValue(HKEY_CLASSES_ROOT, progId + QStringLiteral("\\CLSID"), {});
    return text ? QUuid::fromString(*text) : QUuid();
}

DispatchObject Activator::createObject(const QString& progId)
{
    const QUuid classId = classIdOfProgId(progId);
    if (classId.isNull())
        kelvane::raiseError(kelvane::err::CantCreateObject);
    return createObject(classId);
}

DispatchObject Activator::createObject(const QUuid& classId)
{
    std::shared_ptr<ClassFactory> factory;
    if (const auto running = m_running.find(classId); running != m_running.end()) {
        factory = running->second;
    } else {
        const auto library = registry().queryValue(HKEY_CLASSES_ROOT,
                                                    QStringLiteral("CLSID\\%1\\InprocServer32").arg(registryText(classId)), {});
        if (library && !library->isEmpty())
            factory = classFactoryFromLibrary(*library, classId);
    }
    if (!factory)
        kelvane::raiseError(kelvane::err::CantCreateObject);
    DispatchObject object = factory->createInstance();
    if (object.isNothing())
        kelvane::raiseError(kelvane::err::CantCreateObject);
    return object;
}

ClassObjectRegistration Activator::registerClassObject(const QUuid& classId, std::shared_ptr<ClassFactory> factory)
{
    const ClassFactory* offered = factory.get();
    m_running[classId] = std::move(factory);
    return ClassObjectRegistration(*this, classId, offered);
}

void Activator::revoke(const QUuid& classId, const ClassFactory* factory)
{
    // A later offer for the same class stays.
    const auto it = m_running.find(classId);
    if (it != m_running.end() && it->second.get() == factory)
        m_running.erase(it);
}

} // namespace platform::automation

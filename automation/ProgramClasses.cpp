#include "automation/ProgramClasses.h"

#include "automation/AutomationHost.h"
#include "automation/CApplication.h"
#include "automation/ClipboardObjects.h"
#include "automation/ControlObject.h"
#include "automation/KelvaneTypeLibrary.h"
#include "automation/KnowledgeBase.h"
#include "automation/MenuItem.h"
#include "automation/PageObject.h"
#include "automation/PropertyObject.h"
#include "automation/URIObject.h"
#include "platform/RuntimeError.h"

namespace kelvane::automation {

namespace {

using platform::automation::ClassRegistration;
using platform::automation::ServedClass;

ClassRegistration registrationOf(const char* className)
{
    ClassRegistration registration;
    registration.className = QString::fromLatin1(className);
    registration.progId = QStringLiteral("Kelvane.") + registration.className;
    return registration;
}

template <class T>
ServedClass served()
{
    return ServedClass::of<T>(registrationOf(T::kClassName));
}

} // namespace

const platform::automation::ClassServer& programClassServer()
{
    static const platform::automation::ClassServer server(
        typeLibrary(),
        {
            ServedClass {registrationOf(KnowledgeBase::kClassName), &KnowledgeBase::staticMetaObject, {},
                         [] { return std::shared_ptr<QObject>(KnowledgeBase::create()); }},
            ServedClass {registrationOf(CApplication::kClassName), &CApplication::staticMetaObject, {},
                         []() -> std::shared_ptr<QObject> {
                             const AutomationHost* host = automationHost();
                             return host ? host->application() : nullptr;
                         }},
            served<MenuItem>(),
            served<PropertyObject>(),
            served<ControlObject>(),
            served<ClipboardActionObject>(),
            served<ClipboardObject>(),
            served<PageObject>(),
            served<URIObject>(),
        });
    return server;
}

void registerProgramClasses(const QString& programPath)
{
    try {
        programClassServer().registerServer(platform::automation::ServerKind::LocalServer, programPath);
    } catch (const RuntimeError& error) {
        qWarning("Automation: the program's classes could not be registered: %s", qPrintable(error.Description()));
    }
}

} // namespace kelvane::automation

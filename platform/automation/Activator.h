#pragma once

#include "platform/Service.h"
#include "platform/automation/ClassFactory.h"

#include <QUuid>
#include <map>
#include <memory>

namespace platform::automation {

class Activator;

// A class object offered by a running server; the offer ends when this is destroyed.
class ClassObjectRegistration {
public:
    ClassObjectRegistration(Activator& activator, QUuid classId, const ClassFactory* factory)
        : m_activator(&activator)
        , m_classId(classId)
        , m_factory(factory)
    {
    }
    ~ClassObjectRegistration();
    ClassObjectRegistration(ClassObjectRegistration&& other) noexcept;
    ClassObjectRegistration& operator=(ClassObjectRegistration&&) = delete;
    ClassObjectRegistration(const ClassObjectRegistration&) = delete;
    ClassObjectRegistration& operator=(const ClassObjectRegistration&) = delete;

private:
    Activator* m_activator;
    QUuid m_classId;
    const ClassFactory* m_factory;
};

// Creates objects by ProgID or class identifier, as late-bound callers create them:
//   1. ProgID -> class identifier: HKEY_CLASSES_ROOT\<ProgID>\CLSID;
//   2. a class object that a running server of this process offers (registerClassObject), as
//      the program's own automation server offers its classes while it runs;
//   3. else the in-process server: the library named by CLSID\{id}\InprocServer32, loaded with
//      QLibrary (and kept loaded), whose exported DllGetClassObject hands out the class factory.
// A class with only a local server that is not running here cannot be created: its program
// would have to be started and reached from outside this process.
// Every failure raises CantCreateObject (429).
class Activator {
public:
    // The class identifier of a ProgID; a null id when it is not registered.
    QUuid classIdOfProgId(const QString& progId) const;

    DispatchObject createObject(const QString& progId);
    DispatchObject createObject(const QUuid& classId);

    // Offers the factory for the class until the registration is destroyed (which must happen
    // before this activator goes).
    [[nodiscard]] ClassObjectRegistration registerClassObject(const QUuid& classId, std::shared_ptr<ClassFactory> factory);

private:
    friend class ClassObjectRegistration;
    void revoke(const QUuid& classId, const ClassFactory* factory);

    std::map<QUuid, std::shared_ptr<ClassFactory>> m_running;
};

} // namespace platform::automation

namespace platform {

template <>
struct ServiceDefault<automation::Activator> {
    static std::unique_ptr<automation::Activator> create() { return std::make_unique<automation::Activator>(); }
};

inline automation::Activator& activator() { return Service<automation::Activator>::get(); }

} // namespace platform

#pragma once

#include "platform/automation/DispatchObject.h"

#include "automation/APCIntegration.h"

#include <QObject>
#include <QPointer>
#include <memory>

namespace kelvane {

// The application object the macro host is started with (the macro code's `Application`).
// KnowledgeBase and Documents list the program's document windows of another kind, which it
// never makes, so both are empty.
class CApplication : public QObject, public std::enable_shared_from_this<CApplication> {
    Q_OBJECT
    Q_PROPERTY(platform::automation::DispatchObject Application READ Application)
    Q_PROPERTY(QString Name READ Name)
    Q_PROPERTY(platform::automation::DispatchObject Parent READ Parent)
    Q_PROPERTY(platform::automation::DispatchObject VBE READ VBE)
    Q_PROPERTY(platform::automation::DispatchObject KnowledgeBase READ KnowledgeBase)
    Q_PROPERTY(platform::automation::DispatchObject Documents READ Documents)

public:
    static constexpr const char* kClassName = "CApplication";

    explicit CApplication(APCIntegration& host) : m_host(&host) {}

    platform::automation::DispatchObject dispatch();

    platform::automation::DispatchObject Application() { return dispatch(); }
    // The macro host's name: the application title.
    QString Name() const;
    platform::automation::DispatchObject Parent() { return dispatch(); }
    // The macro editor; Nothing once the host is gone.
    platform::automation::DispatchObject VBE() const;
    platform::automation::DispatchObject KnowledgeBase() const;
    platform::automation::DispatchObject Documents() const;

private:
    QPointer<APCIntegration> m_host;
};

} // namespace kelvane

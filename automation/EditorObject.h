#pragma once

#include "automation/APCIntegration.h"

#include <QObject>
#include <QPointer>

namespace kelvane {

// The macro editor as macro code and automation clients reach it (CApplication.VBE).
class EditorObject : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)

public:
    static constexpr const char* kClassName = "VBE";

    explicit EditorObject(APCIntegration& host) : m_host(&host) {}

    bool Visible() const;
    void setVisible(bool visible);

private:
    QPointer<APCIntegration> m_host;
};

} // namespace kelvane

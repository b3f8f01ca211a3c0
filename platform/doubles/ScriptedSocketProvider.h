#pragma once

#include "platform/sockets/LinuxSocketLibrary.h"
#include "platform/sockets/SocketErrors.h"
#include "platform/sockets/SocketProvider.h"

#include <QHash>
#include <QStringList>
#include <memory>

namespace platform::doubles {

// What the scripted socket libraries answer; the test keeps it through the provider.
struct SocketScript {
    bool loadable = true;            // false: no path names a library
    int startupResult = 0;           // what start-up answers (0, or a socket error)
    quint16 startupVersion = 0x0101; // the version a successful start-up reports
    QHash<QString, quint32> hosts;   // the only names the resolver knows (lower case)
    QString hostName = QStringLiteral("testhost");
    QStringList loadedPaths;         // every path a library was loaded for
};

// The Linux socket library with a scripted start-up and a resolver that needs no name
// service: dotted addresses and the script's names only.
class ScriptedSocketLibrary : public sockets::LinuxSocketLibrary {
public:
    explicit ScriptedSocketLibrary(std::shared_ptr<SocketScript> script) : m_script(std::move(script)) {}

    int startup(quint16 requestedVersion, sockets::StartupRecord& record) override
    {
        if (m_script->startupResult != 0)
            return m_script->startupResult;
        const int result = LinuxSocketLibrary::startup(requestedVersion, record);
        record.version = m_script->startupVersion;
        return result;
    }

    std::optional<quint32> resolveHost(const QString& name) override
    {
        if (!started())
            return std::nullopt;
        if (const auto dotted = parseAddress(name))
            return dotted;
        const auto it = m_script->hosts.constFind(name.toLower());
        if (it == m_script->hosts.constEnd()) {
            fail(sockets::error::HostNotFound);
            return std::nullopt;
        }
        return *it;
    }

    std::optional<QString> hostName() override
    {
        if (!started())
            return std::nullopt;
        return m_script->hostName;
    }

private:
    std::shared_ptr<SocketScript> m_script;
};

class ScriptedSocketProvider : public sockets::SocketProvider {
public:
    std::unique_ptr<sockets::SocketLibrary> load(const QString& path) override
    {
        script->loadedPaths.append(path);
        if (!script->loadable)
            return nullptr;
        return std::make_unique<ScriptedSocketLibrary>(script);
    }

    std::shared_ptr<SocketScript> script = std::make_shared<SocketScript>();
};

} // namespace platform::doubles

#include "platform/sockets/SocketLayer.h"

#include "platform/sockets/SocketErrors.h"
#include "platform/sockets/SocketProvider.h"

namespace platform::sockets {

namespace {
const QString kDown = QStringLiteral("Down");
}

SocketLayer::SocketLayer(int maxPathLength)
    : m_maxPathLength(maxPathLength)
    , m_path(defaultSocketLibraryName())
{
    m_record.systemStatus = kDown;
}

SocketLayer::~SocketLayer() = default;

QString SocketLayer::libraryPath() const { return m_library ? m_library->fileName() : m_path; }

void SocketLayer::setLibraryPath(const QString& path)
{
    m_path = path.left(m_maxPathLength);
    if (m_path.isEmpty())
        m_path = defaultSocketLibraryName();
}

SocketLibrary& SocketLayer::api() { return m_library ? *m_library : m_standby; }

bool SocketLayer::load()
{
    if (!m_library) {
        m_library = socketProvider().load(m_path);
        if (!m_library) {
            m_record.description = QStringLiteral("Could not load Winsock DLL.");
            return false;
        }
    }
    ++m_loadCount;
    StartupRecord started;
    const int result = m_library->startup(RequiredVersion, started);
    if (result == error::InvalidArgument || result == error::VersionNotSupported) {
        m_record.description = QStringLiteral("Version not supported.");
        return false;
    }
    if (result == error::SystemNotReady) {
        refuse(QStringLiteral("Network subsystem not ready."));
        return false;
    }
    if (result != 0 || started.version != RequiredVersion) {
        refuse(QStringLiteral("Incompatible Winsock version."));
        return false;
    }
    m_record = started;
    return true;
}

void SocketLayer::refuse(const QString& reason)
{
    unload();
    // Unloading empties the description; the reason stays so the control can tell it.
    m_record.description = reason;
}

void SocketLayer::unload()
{
    if (m_loadCount <= 0 || !m_library)
        return;
    --m_loadCount;
    m_library->cleanup();
    m_record.description.clear();
    m_record.systemStatus = kDown;
    m_record.maxSockets = 0;
    m_record.maxDatagramSize = 0;
    if (m_loadCount == 0)
        m_library.reset();
}

} // namespace platform::sockets

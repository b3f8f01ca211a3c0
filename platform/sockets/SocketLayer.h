#pragma once

#include "platform/sockets/SocketLibrary.h"
#include "platform/sockets/StandbySocketLibrary.h"

#include <memory>

namespace platform::sockets {

// The socket layer as one control library holds it for the whole process: the library path,
// the loaded library with its load count, and the start-up record. While nothing is loaded,
// api() answers with the stand-by routines, so socket calls fail without touching the network.
class SocketLayer {
public:
    static constexpr quint16 RequiredVersion = 0x0101;

    // `maxPathLength`: how many characters of a library path are kept.
    explicit SocketLayer(int maxPathLength);
    ~SocketLayer();
    SocketLayer(const SocketLayer&) = delete;
    SocketLayer& operator=(const SocketLayer&) = delete;

    // The path set, or while a library is loaded, that library's full file name.
    QString libraryPath() const;
    // Keeps at most maxPathLength characters; an empty path becomes the default name.
    void setLibraryPath(const QString& path);

    // Loads the library (on the first of nested loads) and starts it for version 1.1. False
    // when it cannot be used; the record's description then tells why: "Could not load Winsock
    // DLL.", "Version not supported." (the load still counts), "Network subsystem not ready."
    // or "Incompatible Winsock version." (both unloaded again).
    bool load();
    // Undoes one load: cleans up, empties the description, sets the status "Down" and the
    // limits 0; the last one forgets the library and puts the stand-by routines back.
    void unload();

    bool isLoaded() const { return m_library != nullptr; }
    int loadCount() const { return m_loadCount; }
    const StartupRecord& startupRecord() const { return m_record; }
    SocketLibrary& api();

private:
    void refuse(const QString& reason);

    int m_maxPathLength;
    QString m_path;
    std::unique_ptr<SocketLibrary> m_library;
    StandbySocketLibrary m_standby;
    int m_loadCount = 0;
    StartupRecord m_record;
};

} // namespace platform::sockets

#pragma once

#include "platform/Service.h"
#include "platform/sockets/SocketLibrary.h"

#include <QString>
#include <memory>

namespace platform::sockets {

// The name under which the controls ask for the socket library unless told otherwise.
QString defaultSocketLibraryName();

// Loads the socket library that a path names, as the controls once loaded theirs by file name.
class SocketProvider {
public:
    virtual ~SocketProvider() = default;
    // A fresh instance of the library, or null when the path names no library this system has.
    virtual std::unique_ptr<SocketLibrary> load(const QString& path) = 0;
};

// On Linux there is one socket library, the system's own. It answers to the default name
// (in any case, with or without a folder in either separator style) and to its own file name.
class SystemSocketProvider : public SocketProvider {
public:
    std::unique_ptr<SocketLibrary> load(const QString& path) override;
};

} // namespace platform::sockets

namespace platform {

template <>
struct ServiceDefault<sockets::SocketProvider> {
    static std::unique_ptr<sockets::SocketProvider> create() { return std::make_unique<sockets::SystemSocketProvider>(); }
};

inline sockets::SocketProvider& socketProvider() { return Service<sockets::SocketProvider>::get(); }

} // namespace platform

#pragma once

#include "platform/Service.h"

#include <QString>
#include <QStringList>

namespace platform {

// Starts outside programs. A program and its arguments are passed as they are: no shell
// ever reads them, so blanks, quotes and other special characters in an argument are safe.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;

    // Starts the program and returns at once, without waiting for it. Raises FileNotFound (53)
    // when the program cannot be started.
    virtual void start(const QString& program, const QStringList& arguments) = 0;
};

// Starts the program detached from this process, in its own session.
class DetachedProcessLauncher : public ProcessLauncher {
public:
    void start(const QString& program, const QStringList& arguments) override;
};

template <>
struct ServiceDefault<ProcessLauncher> {
    static std::unique_ptr<ProcessLauncher> create() { return std::make_unique<DetachedProcessLauncher>(); }
};

inline ProcessLauncher& launcher() { return Service<ProcessLauncher>::get(); }

} // namespace platform

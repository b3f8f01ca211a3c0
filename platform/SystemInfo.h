#pragma once

#include "platform/Service.h"

#include <QString>

namespace platform {

// Facts about the user and the machine that the program reads.
class SystemInfo {
public:
    virtual ~SystemInfo() = default;

    // Logon name of the current user; empty when it cannot be found.
    virtual QString userName() = 0;
    // The user's documents folder (XDG), without a final separator.
    virtual QString documentsFolder() = 0;
    // The temporary folder: TMP, else TMPDIR, else /tmp; a variable that names no existing
    // folder is passed over.
    virtual QString tempFolder() = 0;
    // The folder of the running program, without a final separator.
    virtual QString programFolder() = 0;
};

class LinuxSystemInfo : public SystemInfo {
public:
    QString userName() override;
    QString documentsFolder() override;
    QString tempFolder() override;
    QString programFolder() override;
};

template <>
struct ServiceDefault<SystemInfo> {
    static std::unique_ptr<SystemInfo> create() { return std::make_unique<LinuxSystemInfo>(); }
};

inline SystemInfo& systemInfo() { return Service<SystemInfo>::get(); }

} // namespace platform

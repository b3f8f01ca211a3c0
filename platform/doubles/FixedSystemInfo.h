#pragma once

#include "platform/SystemInfo.h"

namespace platform::doubles {

// System facts the test sets.
class FixedSystemInfo : public SystemInfo {
public:
    QString userName() override { return user; }
    QString documentsFolder() override { return documents; }
    QString tempFolder() override { return temp; }
    QString programFolder() override { return program; }

    QString user = QStringLiteral("tester");
    QString documents = QStringLiteral("/home/tester/Documents");
    QString temp = QStringLiteral("/tmp");
    QString program = QStringLiteral("/opt/kelvane");
};

} // namespace platform::doubles

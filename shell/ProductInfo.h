#pragma once

#include <QString>

// What the program says about itself: name, description, version, and the addresses of its
// web site and support page.
namespace kelvane::productinfo {

inline QString ProductName() { return QStringLiteral("Kelvane"); }
inline QString FileDescription() { return QStringLiteral("Kelvane knowledge-base viewer"); }

struct Version {
    int major = 0;
    int minor = 0;
    int revision = 0;
};
// The program's version, from the build.
Version ProgramVersion();

inline QString WebSite() { return QStringLiteral("https://www.kelvane.example"); }
inline QString SupportPage() { return WebSite() + QStringLiteral("/support"); }

} // namespace kelvane::productinfo
